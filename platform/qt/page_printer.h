#pragma once
// Printed pages sent to a printer (or the PDF file a print dialog chose), drawn with the preview's
// own painting routine. Any thread may print, each on a printer no other thread touches meanwhile.
#include <vector>

class QPrinter;

namespace wnd {
struct PageSet;
}

namespace qtp {

// Sets the printer's paper to the one the pages were laid out for (its orientation from its
// shape), so a print dialog opens on it.
void UsePaperOf(QPrinter& printer, const wnd::PageSet& pages);

// Prints the chosen pages (from 1, in order; empty: all; numbers past the last page are skipped),
// one sheet each, at their real size from the paper's corner; pages laid out for paper larger than
// the printer's are made smaller, evenly, to fit it whole. False when there was nothing to print
// or the printer failed.
bool PrintPages(QPrinter& printer, const wnd::PageSet& pages, const std::vector<int>& selection);

// A printer with the choices of another (device or file, paper, copies, sides, colour), for the
// print dialogs that follow while the other prints.
void CarryOver(const QPrinter& from, QPrinter& to);

}  // namespace qtp
