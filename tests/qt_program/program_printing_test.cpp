// Printing from the program's own windows on the Qt presenter, as a user prints: a report from the
// frame's menu, its preview's File > Print, and the frame's File > Print Setup. A print to a file is
// proposed a file of the report's own name beside the data files, a different one for each dialog
// open at once; what the page set-up accepted is what the next print comes out on.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "data/records.h"
#include "data/thread_tables.h"
#include "globals/globals.h"
#include "platform/qt/printing.h"
#include "platform/qt/qt_presenter.h"
#include "platform/qt/screen.h"
#include "platform/runtime/field_access.h"
#include "platform/runtime/fixed_string.h"
#include "platform/window/task_queue.h"
#include "prescriptions/update_prescripts.h"
#include "qt/qt_test_support.h"
#include "qt_program/running_program.h"
#include "shell/main_frame.h"
#include "shell/run_application.h"
#include "support/close_all_windows.h"
#include "support/program_fixture.h"
#include "support/program_setup.h"
#include "support/program_test.h"
#include "support/task_thread.h"

namespace {

// Three prescriptions on file (one page's worth), so the report from the frame's menu has pages.
void addPrescriptions() {
    testing_support::runOnTaskThread([] {
        files::TableFile& f = data::PrescriptsFile();
        ASSERT_EQ(testing_support::openOrCreate(f), 0);
        for (const char* drug : {"Aspirin", "Lipitor", "Zocor"}) {
            rt::clearRecord(data::PrescriptsTable(), &data::PRE);
            rt::assign(data::PRE.DRUGNAMEASPRESCRIBED, drug);
            rt::assign(data::PRE.PERSONSNAME, "mother");
            rt::assign(data::PRE.ACTIVE, "Y");
            rt::assign(data::PRE.RXNUMBER, drug);
            rt::assignC(data::PRE.PRINTKEY, prescriptions::ComposePrintKey(data::PRE));
            ASSERT_EQ(f.add(), 0);
        }
        f.close();
    });
}

// What pdfinfo reads of a printed file: its pages and the first page's size in points.
struct PdfInfo {
    int pages = 0;
    double width = 0, height = 0;
};
PdfInfo pdfInfo(const QString& path) {
    QProcess p;
    p.start("pdfinfo", {path});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) return {};
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    PdfInfo info;
    info.pages = QRegularExpression(R"(Pages:\s+(\d+))").match(out).captured(1).toInt();
    const auto size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(out);
    info.width = size.captured(1).toDouble();
    info.height = size.captured(2).toDouble();
    return info;
}

// The words pdftotext finds on a printed file's pages, with where each ends (points).
struct PdfWord {
    QString text;
    double right = 0, bottom = 0;
};
std::vector<PdfWord> pdfWords(const QString& path) {
    QProcess p;
    p.start("pdftotext", {"-bbox", path, "-"});
    if (!p.waitForFinished(20000) || p.exitCode() != 0) return {};
    std::vector<PdfWord> words;
    const QRegularExpression word(R"re(<word xMin="[\d.]+" yMin="[\d.]+" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (const auto& m : word.globalMatch(QString::fromUtf8(p.readAllStandardOutput())))
        words.push_back({m.captured(3), m.captured(1).toDouble(), m.captured(2).toDouble()});
    return words;
}

class QtProgramPrinting : public qttest::RunningProgram {
protected:
    void SetUp() override {
        addPrescriptions();
        if (HasFatalFailure()) return;
        SetUpProgram();
        if (HasFatalFailure()) return;
        StartProgram();
    }
    void TearDown() override {
        for (QWidget* d : screen().Prints().Dialogs()) qobject_cast<QDialog*>(d)->reject();
        RunningProgram::TearDown();
    }
    QString inDataFolder(const char* name) const { return QDir(QString::fromStdString(folder_.path())).filePath(name); }

    // Every prescription's report, from the frame's menu on a thread of its own, in its preview.
    wnd::WindowId OpenReport() {
        QAction* report = screen().MenuAction(frame_, "?REPORTPRESCRIPTS");
        EXPECT_NE(report, nullptr);
        if (!report) return 0;
        const wnd::WindowId before = screen().Find("Report Preview");
        report->trigger();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const wnd::WindowId now = screen().Find("Report Preview");
            return now != 0 && now != before;
        }, qttest::kWaitMs));
        EXPECT_TRUE(qttest::Settle());
        return screen().Find("Report Preview");
    }
    // The preview's File > Print: its print dialog.
    QPrintDialog* PrintFrom(wnd::WindowId preview) {
        const auto before = dialogs<QPrintDialog>();
        QAction* print = screen().MenuAction(preview, "?PRINT");
        EXPECT_NE(print, nullptr);
        if (!print) return nullptr;
        print->trigger();
        QPrintDialog* shown = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            for (QPrintDialog* d : dialogs<QPrintDialog>())
                if (std::find(before.begin(), before.end(), d) == before.end()) shown = d;
            return shown != nullptr;
        }, qttest::kWaitMs));
        return shown;
    }
    // The frame's File > Print Setup: the page set-up dialog.
    QPageSetupDialog* PrintSetup() {
        screen().MenuAction(frame_, "?PRINTSETUP")->trigger();
        QPageSetupDialog* shown = nullptr;
        EXPECT_TRUE(QTest::qWaitFor([&] {
            const auto open = dialogs<QPageSetupDialog>();
            shown = open.empty() ? nullptr : open.back();
            return shown != nullptr;
        }, qttest::kWaitMs));
        return shown;
    }
    template <typename D>
    std::vector<D*> dialogs() {
        std::vector<D*> out;
        for (QWidget* w : screen().Prints().Dialogs())
            if (auto* d = qobject_cast<D*>(w)) out.push_back(d);
        return out;
    }
    static QString proposed(QPrintDialog& dialog) {
        auto* file = dialog.findChild<QLineEdit*>("filename");
        return file ? file->text() : QString("(no file box)");
    }
    // OK on the print dialog, printing to the file it shows; waits until the preview has gone.
    void PrintToFile(QPrintDialog& dialog, wnd::WindowId preview) {
        auto* printers = dialog.findChild<QComboBox*>("printers");
        ASSERT_NE(printers, nullptr);
        const int pdf = printers->findText("PDF", Qt::MatchContains);
        ASSERT_GE(pdf, 0);
        printers->setCurrentIndex(pdf);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return screen().WindowWidget(preview) == nullptr; }, qttest::kWaitMs))
            << "a printed preview closes";
    }

};

TEST_F(QtProgramPrinting, EachPrintDialogProposesAFileOfTheReportsNameBesideTheDataNoOtherHas) {
    // Two of the same report, each on its own thread, each with its print dialog open at once.
    const wnd::WindowId first = OpenReport(), second = OpenReport();
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    ASSERT_NE(first, second);
    QPrintDialog* one = PrintFrom(first);
    QPrintDialog* two = PrintFrom(second);
    ASSERT_TRUE(one && two);
    EXPECT_EQ(proposed(*one), inDataFolder("Prescription Report.pdf"));
    EXPECT_EQ(proposed(*two), inDataFolder("Prescription Report (2).pdf"));

    // The second prints to its own file; the first's file is not touched.
    PrintToFile(*two, second);
    EXPECT_EQ(pdfInfo(inDataFolder("Prescription Report (2).pdf")).pages, 1);
    EXPECT_FALSE(QFile::exists(inDataFolder("Prescription Report.pdf")));
    // A dialog opened now passes over both: one is printed, one still proposed.
    const wnd::WindowId third = OpenReport();
    QPrintDialog* three = PrintFrom(third);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(proposed(*three), inDataFolder("Prescription Report (3).pdf"));
    // Once the first is cancelled its name is free again.
    three->reject();
    ASSERT_TRUE(qttest::Settle());
    one->reject();
    ASSERT_TRUE(qttest::Settle());
    three = PrintFrom(third);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(proposed(*three), inDataFolder("Prescription Report.pdf"));
    PrintToFile(*three, third);
    EXPECT_EQ(pdfInfo(inDataFolder("Prescription Report.pdf")).pages, 1);
    EXPECT_TRUE(screen().WindowWidget(first)) << "the cancelled dialog's preview stays";
}

TEST_F(QtProgramPrinting, PageSetupsAcceptedChoicesAreKeptAndTheNextPrintComesOutOnThem) {
    // An OK that changes nothing leaves the report on its own paper, US Letter upright.
    QPageSetupDialog* setup = PrintSetup();
    ASSERT_NE(setup, nullptr);
    setup->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    ASSERT_TRUE(qttest::Settle());
    {
        const wnd::WindowId preview = OpenReport();
        QPrintDialog* print = PrintFrom(preview);
        ASSERT_NE(print, nullptr);
        const QString file = proposed(*print);
        PrintToFile(*print, preview);
        const PdfInfo printed = pdfInfo(file);
        EXPECT_NEAR(printed.width, 612, 1);
        EXPECT_NEAR(printed.height, 792, 1);
    }

    // Landscape A4 with wider margins, accepted.
    setup = PrintSetup();
    ASSERT_NE(setup, nullptr);
    auto* sizes = setup->findChild<QComboBox*>("pageSizeCombo");
    auto* landscape = setup->findChild<QRadioButton*>("landscape");
    auto* portrait = setup->findChild<QRadioButton*>("portrait");
    auto* units = setup->findChild<QComboBox*>("unitCombo");
    auto* left = setup->findChild<QDoubleSpinBox*>("leftMargin");
    ASSERT_TRUE(sizes && landscape && portrait && units && left);
    EXPECT_TRUE(portrait->isChecked()) << "the report's own paper until a set-up is accepted";
    const int a4 = sizes->findText("A4", Qt::MatchStartsWith);
    ASSERT_GE(a4, 0);
    sizes->setCurrentIndex(a4);
    units->setCurrentIndex(units->findData(QVariant::fromValue(QPageLayout::Millimeter)));
    QTest::mouseClick(landscape, Qt::LeftButton, {}, QPoint(6, landscape->height() / 2));  // on its mark
    left->setValue(25.0);
    setup->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    ASSERT_TRUE(qttest::Settle());
    ASSERT_TRUE(dialogs<QPageSetupDialog>().empty());

    // Read back at the next Print Setup; portrait chosen there and cancelled changes nothing.
    setup = PrintSetup();
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(setup->findChild<QRadioButton*>("landscape")->isChecked());
    EXPECT_TRUE(setup->findChild<QComboBox*>("pageSizeCombo")->currentText().startsWith("A4"));
    const QPageLayout shown = setup->printer()->pageLayout();
    EXPECT_NEAR(shown.margins(QPageLayout::Millimeter).left(), 25.0, 0.1);
    portrait = setup->findChild<QRadioButton*>("portrait");
    QTest::mouseClick(portrait, Qt::LeftButton, {}, QPoint(6, portrait->height() / 2));
    ASSERT_TRUE(portrait->isChecked());
    setup->reject();
    ASSERT_TRUE(qttest::Settle());

    // The next print opens on it and comes out on it: A4 (842 x 595 pt) across.
    const wnd::WindowId preview = OpenReport();
    QPrintDialog* print = PrintFrom(preview);
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(print->printer()->pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_NEAR(print->printer()->pageLayout().margins(QPageLayout::Millimeter).left(), 25.0, 0.1);
    const QString file = proposed(*print);
    PrintToFile(*print, preview);
    if (const char* keep = std::getenv("QTP_PRINT_PDF")) QFile::copy(file, keep);
    const PdfInfo printed = pdfInfo(file);
    EXPECT_EQ(printed.pages, 1);
    EXPECT_NEAR(printed.width, 842, 1);
    EXPECT_NEAR(printed.height, 595, 1);
    // The upright page comes out whole on it, down to its footer.
    const auto words = pdfWords(file);
    EXPECT_TRUE(std::any_of(words.begin(), words.end(), [](const PdfWord& w) { return w.text == "Zocor"; }));
    EXPECT_TRUE(std::any_of(words.begin(), words.end(), [](const PdfWord& w) { return w.text == "Tallomere"; }));
    for (const PdfWord& w : words) {
        EXPECT_LE(w.right, printed.width) << w.text.toStdString();
        EXPECT_LE(w.bottom, printed.height) << w.text.toStdString();
    }
}

}  // namespace
