#pragma once
// The file a print dialog proposes when the user prints to a file: named after the report, in the
// folder the program keeps its data in, and never one that is there already or that another dialog
// open at the same time proposes, so one job never writes over another's file.
#include <QString>

#include <set>

namespace qtp {

// A report title as the stem of a file name: letters, digits, blanks and a few marks every file
// system takes ("-_.,()'"); anything else becomes a blank, runs of blanks become one, and blanks
// and dots are cut off both ends (no hidden or parent-folder names). Short enough for any file
// system; "Report" when nothing is left.
QString PrintFileStem(const QString& title);

// "<folder>/<stem>.pdf", or "<stem> (2).pdf", "(3)" ... : the first that names no file (nor link)
// in the folder and is not in `taken`. An empty folder is the working directory.
QString ProposePrintFile(const QString& folder, const QString& title, const std::set<QString>& taken);

}  // namespace qtp
