#pragma once
// Running the Qt presenter inside a test: every wait turns the event loop, so the GUI thread keeps
// answering while the task threads work.
#include <chrono>
#include <functional>

namespace qttest {

// Turns the event loop until every task thread is idle and the presenter has applied what they
// sent; false when that did not happen within the timeout.
bool Settle(std::chrono::milliseconds timeout = std::chrono::seconds(20));
// Turns the event loop until done() holds; false on timeout.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(20));
// Turns the event loop until every task thread has ended.
bool WaitForTaskThreads(std::chrono::milliseconds timeout = std::chrono::seconds(20));

}  // namespace qttest
