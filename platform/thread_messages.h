#pragma once
// Threads, their message queues and the requests other threads make of the main thread.
//
// - Every thread has a small numeric id. A thread started here gets its queue before it runs,
//   so a post to it succeeds at once; any other thread gets one the first time it peeks, gets
//   or waits. A post to a thread without a queue, or to one that has ended, fails.
// - The main thread (the one that called BecomeMainThread) serves requests: a request blocks
//   its sender until the main thread has run it. The main thread serves them whenever it
//   peeks, gets or waits for its own messages, and in ServeRequests.
// - Once shut-down has begun, pending and new requests fail at once, so no thread is left
//   waiting on a main thread that no longer serves it. A thread asked to stop gets the same
//   answer for its own requests.
// - Suspension is a gate: a suspended thread stops at its next peek, get, wait or sleep, never
//   at an arbitrary instruction.
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

struct sThreadMessage {
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// The values of the two messages the layer itself treats specially.
constexpr std::uint32_t kCloseMessage = 0x0010;
constexpr std::uint32_t kQuitMessage = 0x0012;

std::uint32_t CurrentThreadId();

bool PostThreadMessage(std::uint32_t threadId, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam);
// Looks at the calling thread's queue without waiting; true when a message was there.
bool PeekThreadMessage(sThreadMessage& out, bool remove);
// Empties the calling thread's queue (a fresh start that must not read an earlier one's quit).
void DiscardThreadMessages();
// Waits for the next message of the calling thread's queue; false when it is the quit message.
bool GetThreadMessage(sThreadMessage& out);
// Waits until the calling thread has a message or timeoutMs pass; true when one is there.
bool WaitThreadMessage(std::uint32_t timeoutMs);

// The calling thread becomes the main thread: it gets its queue, and the close request of
// the program posts kCloseMessage to it from then on.
void BecomeMainThread();
// Forgets the main thread (tests, and the very end of the program).
void LeaveMainThread();
bool IsMainThread();
std::uint32_t MainThreadId();

// The main thread's idle wait: returns when a message or a request reaches the main thread,
// when WakeMainThread is called, or after timeoutMs. While a window is shown its events end
// the wait too: the video layer installs a waiter that sees them (wait), and that another
// thread can interrupt (wake).
void WaitMainThread(std::uint32_t timeoutMs);
void WakeMainThread();
struct sMainThreadWaiter {
  void (*wait)(std::uint32_t timeoutMs) = nullptr;
  void (*wake)() = nullptr;
};
void SetMainThreadWaiter(const sMainThreadWaiter& waiter);

// The main window's handler of numbered requests, run on the main thread.
using RequestHandler = std::intptr_t (*)(std::uint32_t message, std::uintptr_t wParam,
                                         std::intptr_t lParam);
void SetRequestHandler(RequestHandler handler);
// Sends a numbered request to the main window's handler and waits for its result. On the
// main thread the handler runs at once. False, with *result untouched, when the request
// failed: no main thread or handler, shut-down begun, or the sender was asked to stop.
bool SendRequest(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                 std::intptr_t* result);
// Runs work on the main thread and waits for it; the same failures as SendRequest.
bool RunOnMainThread(const std::function<void()>& work);
// Runs the requests waiting for the main thread; returns how many. Nothing off the main thread.
int ServeRequests();

void BeginShutdown();
bool ShutdownBegun();
// Tests only: back to the state before shut-down.
void ResetShutdown();

// Threads started by the layer.
using ThreadProc = std::uint32_t (*)(void*);
class cHostThread;
using HostThread = std::shared_ptr<cHostThread>;

// Starts proc(param) on a new thread with its queue in place; null when it cannot start.
HostThread StartHostThread(ThreadProc proc, void* param);
std::uint32_t HostThreadId(const HostThread& thread);
bool HostThreadEnded(const HostThread& thread);
// Collects a thread that has ended.
void JoinHostThread(const HostThread& thread);
// Lets a thread that will not end go on alone; its resources are never released.
void AbandonHostThread(const HostThread& thread);
void SuspendHostThread(const HostThread& thread);
void ResumeHostThread(const HostThread& thread);
// Sets the thread's stop flag: its gate opens and its requests fail from now on.
void RequestHostThreadStop(const HostThread& thread);

// For the calling thread: whether it was asked to stop; the suspend gate.
bool StopRequested();
void PassSuspendGate();

// Ends the process at once, without running destructors: the way out when a thread that may
// still use shared state will not end. Tests install a hook that returns instead.
void EndProcessNow(int code);
void SetEndProcessHook(void (*hook)(int code));

}  // namespace platform
