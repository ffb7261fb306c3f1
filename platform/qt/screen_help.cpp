#include "platform/qt/screen.h"

// Help viewers and the keys a task types into its controls.

#include <QMainWindow>
#include <QPlainTextEdit>

#include "platform/qt/dialog_place.h"
#include "platform/qt/help_viewer.h"
#include "platform/qt/picture_book.h"
#include "platform/qt/screen_parts.h"
#include "platform/runtime/codepage.h"

namespace qtp {

using namespace detail;

namespace {
std::string folded(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = static_cast<char>(rt::foldCase(static_cast<unsigned char>(c)));
    return out;
}
}  // namespace

void Screen::ShowHelp(const wnd::HelpRequest& request) {
    if (dying_) return;
    std::unique_ptr<HelpViewer>& viewer = help_[folded(request.file)];
    if (!viewer) viewer = std::make_unique<HelpViewer>(q(request.file), wnd::FindHelpFile(request.file));
    if (!viewer->isVisible()) {
        // The program's own window: transient for the frame (never under it), with its icon,
        // opened over it. The screen owns the viewer, so the frame is not its parent.
        MakeWindowOf(*viewer, frame_.data(), false);
        viewer->setWindowIcon(frame_ ? frame_->windowIcon() : ProgramIcon());
        PlaceOver(*viewer, frame_.data());
    }
    viewer->Show(request);
}

HelpViewer* Screen::Help(std::string_view file) const {
    const auto it = help_.find(folded(file));
    return it == help_.end() ? nullptr : it->second.get();
}

void Screen::TypeKey(wnd::WindowId id, int n, wnd::KeyCode key) {
    View* v = view(id);
    if (!v || !v->cs(n) || (key & ~wnd::kShift) != wnd::kKeyEnter) return;
    ControlView* cv = v->cv(n);
    auto* plain = cv ? qobject_cast<QPlainTextEdit*>(cv->widget.data()) : nullptr;
    if (!plain || plain->isReadOnly()) return;
    // A line break at the caret, as the user's own Enter; the edit marks the box typed into.
    plain->insertPlainText(QStringLiteral("\n"));
}

}  // namespace qtp
