// Which windows open inside the frame and which stand on their own: lists and forms are the
// frame's children, the refill reminders, the person chooser and the progress windows are plain;
// a progress window's texts stand clear of its edges.
#include <gtest/gtest.h>

#include "platform/window/layout.h"
#include "prescriptions/register.h"

namespace {

TEST(PrescriptionWindowKinds, RemindersTheChooserAndProgressWindowsArePlainListsAndFormsAreChildren) {
    ASSERT_TRUE(prescriptions::RegisterPrescriptionProcedures());
    struct Case {
        const char* procedure;
        const char* label;
        wnd::WindowKind kind;
    };
    const Case cases[] = {
        {"Reminders", "P1$QUICKWINDOW", wnd::WindowKind::Plain},
        {"prequick", "P1$WINDOW", wnd::WindowKind::Plain},
        {"RemindRpt", "P1$PROGRESSWINDOW", wnd::WindowKind::Plain},
        {"quicklist", "P1$PROGRESSWINDOW", wnd::WindowKind::Plain},
        {"BrowsePrescripts", "P1$QUICKWINDOW", wnd::WindowKind::MdiChild},
        {"UpdatePrescripts", "P1$QUICKWINDOW", wnd::WindowKind::MdiChild},
        {"BrowseDoctors", "P1$QUICKWINDOW", wnd::WindowKind::MdiChild},
    };
    for (const Case& c : cases) {
        const wnd::WindowLayout* layout = wnd::FindWindowLayout(c.procedure, c.label);
        ASSERT_NE(layout, nullptr) << c.procedure << " has no window " << c.label;
        EXPECT_EQ(layout->window.kind, c.kind) << c.procedure;
    }
}

TEST(PrescriptionWindowKinds, AProgressWindowsTextsKeepAMarginFromItsEdges) {
    ASSERT_TRUE(prescriptions::RegisterPrescriptionProcedures());
    for (const char* report : {"ReportPrescripts", "printprescrpt", "RemindRpt", "quicklist"}) {
        const wnd::WindowLayout* progress = wnd::FindWindowLayout(report, "P1$PROGRESSWINDOW");
        ASSERT_NE(progress, nullptr) << report;
        for (const wnd::LayoutControl& c : progress->controls) {
            if (c.state.kind != wnd::ControlKind::String) continue;
            EXPECT_GE(c.state.at.x, 4) << report << " " << c.state.use;
            EXPECT_LE(c.state.at.x + c.state.at.width, progress->window.at.width - 4) << report << " " << c.state.use;
        }
    }
}

}  // namespace
