#pragma once
// Procedure threads with per-thread program data.
//
// Every window task runs on a thread of its own. A thread's program data (its request and response
// cells, error state, record buffers, table objects, file instances) is started on the thread's
// first touch and ended when its procedure returns. The program installs the start and end hooks;
// the platform calls them in the right order and then runs the registered end steps (which release
// the thread's file instances).
#include <cstddef>
#include <functional>

namespace rt {

using Procedure = std::function<void()>;

// Stacks smaller than this are raised to it: the sizes procedures ask for are minimums.
inline constexpr std::size_t kMinimumThreadStack = 8u * 1024u * 1024u;

// Starts proc on a new thread with at least stackBytes of stack. Returns the new thread's number,
// 0 when no thread could be started. Does not wait.
int StartThreadProcedure(Procedure proc, std::size_t stackBytes);

// The calling thread's number; 1 is the program's first thread. 0 for a thread that never touched
// program data (the presenter's thread, for instance).
int CurrentThreadNumber();

// Program start: numbering starts again, so the next thread to touch its data becomes thread 1.
// Waits for task threads of an earlier run to end first.
void BeginProgram();

// Program hooks, run on the thread concerned. start runs at the first touch, end when the thread's
// data ends (before the registered end steps).
void SetThreadHooks(std::function<void()> start, std::function<void()> end);
// Steps run on every thread after the end hook, in registration order (once per process).
void RegisterThreadEndStep(std::function<void()> step);

// Runs the per-thread start on this thread if it has not run yet (gives the thread its number).
void TouchThreadData();
// Runs the per-thread end on this thread if its start ran and its end has not.
void EndThreadData();

// Number of started procedure threads that have not finished.
std::size_t LiveTaskThreads();
// Blocks until every started procedure thread has ended (but the calling one, when it is one),
// and the last one has left the hook below.
void WaitForTaskThreads();

// Runs `hook` on a procedure thread whose end leaves none live, after its end steps, so whoever
// waits for the program to end is told instead of asking (empty: none).
void SetLastThreadEndHook(std::function<void()> hook);

}  // namespace rt
