#pragma once
// Calls handed from task threads to the GUI thread and run there in the order they were posted.
// The calls and the data they carry pass under the queue's own lock; Qt's event queue only wakes
// the GUI thread. The hand-off is so published by a lock every thread sees (ThreadSanitizer too:
// the locks inside Qt are invisible to it), and one wake-up runs every call posted before it.
// The wake-up event is a copy Qt makes of one the queue keeps, so it is Qt's own object from
// its making on the posting thread to its delivery.
#include <QEvent>
#include <QObject>

#include <functional>
#include <mutex>
#include <vector>

namespace qtp {

class GuiQueue final : public QObject {
public:
    GuiQueue();  // on the GUI thread
    // From any thread; runs `call` on the GUI thread after every call posted before it.
    void Post(std::function<void()> call);

protected:
    bool event(QEvent* e) override;

private:
    std::mutex mutex_;
    std::vector<std::function<void()>> calls_;
    bool wakePending_ = false;  // a wake-up event is on its way
    const QEvent wake_;         // what each wake-up event is a copy of
};

}  // namespace qtp
