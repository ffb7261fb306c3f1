#include <QApplication>
#include <QTimer>

#include <atomic>

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
    auto done = std::make_shared<std::atomic<bool>>(false);
    if (wnd::StartTask([program = std::move(program), done] {
            program();
            done->store(true);
        }, stackBytes) == 0) {
        wnd::SetPresenter(nullptr);
        return 1;
    }
    // The loop ends once the program's thread and every thread it started have ended; a thread
    // still counts until its per-thread end has run, so this asks again until it is so.
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, &app, [done] {
        if (done->load() && rt::LiveTaskThreads() == 0) QCoreApplication::quit();
    });
    watch.start();
    const int rc = QApplication::exec();
    wnd::SetPresenter(nullptr);
    rt::WaitForTaskThreads();
    presenter.reset();
    return rc;
}

}  // namespace qtp
