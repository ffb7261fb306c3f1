#include "platform/qt/gui_queue.h"

#include <QCoreApplication>

#include <utility>

namespace qtp {
namespace {
const QEvent::Type kWake = static_cast<QEvent::Type>(QEvent::registerEventType());
}  // namespace

GuiQueue::GuiQueue() : wake_(kWake) {}

void GuiQueue::Post(std::function<void()> call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
    if (wakePending_) return;
    wakePending_ = true;
    QCoreApplication::postEvent(this, wake_.clone());
}

bool GuiQueue::event(QEvent* e) {
    // The lock comes first: the event itself was made under it by the posting thread.
    std::unique_lock lock(mutex_);
    if (e->type() != kWake) {
        lock.unlock();
        return QObject::event(e);
    }
    // A call posted from here on wakes the thread again, so it keeps its place among the other
    // events posted after it.
    std::vector<std::function<void()>> calls = std::exchange(calls_, {});
    wakePending_ = false;
    lock.unlock();
    for (auto& call : calls) call();
    return true;
}

}  // namespace qtp
