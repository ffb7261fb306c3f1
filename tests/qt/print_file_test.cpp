// The file a print to a file is proposed: the report's name, kept to what any file system takes,
// in the given folder, and never a file that is there or one proposed to another open dialog.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/qt/print_file.h"

namespace {

TEST(QtPrintFile, AReportsTitleBecomesAFileNameThatStaysInItsFolder) {
    const struct {
        const char* title;
        const char* stem;
    } cases[] = {
        {"Prescription Report", "Prescription Report"},
        {"Blood Pressure/Glucose: Ann's", "Blood Pressure Glucose Ann's"},
        {"../../etc/passwd", "etc passwd"},                  // never a parent folder
        {".hidden", "hidden"},                               // never a hidden file
        {"a\\b*c?d\"e<f>g|h\ti\nj", "a b c d e f g h i j"},  // what other file systems refuse, and controls
        {"  Health   Profile . ", "Health Profile"},
        {"\u00c4rzte \u00e9t\u00e9 (2024), list_1-2", "\u00c4rzte \u00e9t\u00e9 (2024), list_1-2"},
        {"", "Report"},
        {"/// ...", "Report"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qtp::PrintFileStem(QString::fromUtf8(c.title)).toStdString(), c.stem) << c.title;
    EXPECT_LE(qtp::PrintFileStem(QString(400, u'x')).size(), 100);
}

TEST(QtPrintFile, TheProposalIsNeitherAFileThereNorOneProposedAlready) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();
    auto at = [&](const char* name) { return QDir(folder).filePath(QString::fromUtf8(name)); };
    const QString title = "Prescription Report";

    EXPECT_EQ(qtp::ProposePrintFile(folder, title, {}), at("Prescription Report.pdf"));
    // Proposed to a dialog still open: the next dialog gets the next number.
    std::set<QString> taken{at("Prescription Report.pdf")};
    EXPECT_EQ(qtp::ProposePrintFile(folder, title, taken), at("Prescription Report (2).pdf"));
    // A file there, or a link to no file, is passed over as well.
    QFile made(at("Prescription Report (2).pdf"));
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
    made.close();
    ASSERT_TRUE(QFile::link(at("nowhere"), at("Prescription Report (3).pdf")));
    EXPECT_EQ(qtp::ProposePrintFile(folder, title, taken), at("Prescription Report (4).pdf"));
    EXPECT_EQ(qtp::ProposePrintFile(folder, title, {}), at("Prescription Report.pdf"));
    // The working directory when no folder is given.
    EXPECT_EQ(qtp::ProposePrintFile(QString(), "x", {}), QDir::current().absoluteFilePath("x.pdf"));
}

}  // namespace
