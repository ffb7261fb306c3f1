#include <QApplication>

#include "platform/qt/gui_queue.h"
#include "platform/qt/qt_presenter.h"
#include "platform/runtime/threads.h"
#include "platform/window/task_queue.h"
#include "platform/window/window_system.h"

namespace qtp {

int RunPresenter(int argc, char** argv, std::function<void()> program, std::size_t stackBytes) {
    int args = argc;  // QApplication keeps a reference to it
    QApplication app(args, argv);
    auto presenter = std::make_shared<QtPresenter>();
    wnd::SetPresenter(presenter);
    // The loop ends when the program's thread and every thread it started have ended: the last of
    // them, after its per-thread end, hands the quit to the GUI thread. A quit handed over before
    // the loop runs is taken when it starts.
    GuiQueue ending;
    rt::SetLastThreadEndHook([&ending] { ending.Post([] { QCoreApplication::quit(); }); });
    if (wnd::StartTask(std::move(program), stackBytes) == 0) {
        rt::SetLastThreadEndHook(nullptr);
        wnd::SetPresenter(nullptr);
        return 1;
    }
    const int rc = QApplication::exec();
    wnd::SetPresenter(nullptr);
    rt::WaitForTaskThreads();  // the last thread has left the hook too
    rt::SetLastThreadEndHook(nullptr);
    presenter.reset();
    return rc;
}

}  // namespace qtp
