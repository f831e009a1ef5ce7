#include "platform/thread_messages.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "platform/close_request.h"

namespace platform {
namespace {

// One thread's queue and flags. Everything here is guarded by the layer's one mutex.
struct sControl {
  explicit sControl(std::uint32_t id) : id(id) {}
  std::uint32_t id;
  std::deque<sThreadMessage> queue;
  bool suspended = false;
  bool stop = false;
  bool woken = false;  // the main thread's wait was interrupted
  std::condition_variable changed;  // a message, a request (main thread), the gate
};

struct sRequest {
  enum eState { kPending, kRunning, kDone, kFailed };
  std::function<void()> work;
  eState state = kPending;
};

struct sLayer {
  std::mutex mutex;
  std::unordered_map<std::uint32_t, std::shared_ptr<sControl>> queues;
  std::deque<std::shared_ptr<sRequest>> requests;
  std::condition_variable requestChanged;
  std::atomic<std::uint32_t> mainId{0};
  std::atomic<bool> shutdown{false};
  std::atomic<RequestHandler> handler{nullptr};
  std::atomic<void (*)(int)> endHook{nullptr};
  std::atomic<std::uint32_t> nextId{1};
  std::atomic<void (*)(std::uint32_t)> waiterWait{nullptr};
  std::atomic<void (*)()> waiterWake{nullptr};
};

// Never destroyed: threads and the destructors of global objects use it until the very end.
sLayer& Layer() {
  static sLayer* layer = new sLayer;
  return *layer;
}

thread_local std::uint32_t t_id = 0;
thread_local std::shared_ptr<sControl> t_control;

// Removes a lazily made queue when its thread ends.
struct sQueueOwner {
  ~sQueueOwner() {
    if (!t_control) return;
    std::lock_guard<std::mutex> lock(Layer().mutex);
    Layer().queues.erase(t_control->id);
  }
};
thread_local sQueueOwner t_queueOwner;

sControl& OwnControl() {
  if (!t_control) {
    (void)&t_queueOwner;
    auto control = std::make_shared<sControl>(CurrentThreadId());
    std::lock_guard<std::mutex> lock(Layer().mutex);
    Layer().queues[control->id] = control;
    t_control = control;
  }
  return *t_control;
}

bool OwnStopLocked() { return t_control && t_control->stop; }

void WaitGateLocked(std::unique_lock<std::mutex>& lock) {
  if (!t_control) return;
  t_control->changed.wait(lock, [] { return !t_control->suspended || t_control->stop; });
}

bool RequestPendingLocked() { return IsMainThread() && !Layer().requests.empty(); }

// Interrupts the window's waiter of the main thread, when one is installed.
void WakeWaiter() {
  if (auto wake = Layer().waiterWake.load()) wake();
}

void PostCloseToMainThread() {
  if (std::uint32_t id = Layer().mainId.load()) PostThreadMessage(id, kCloseMessage, 0, 0);
}

}  // namespace

class cHostThread {
 public:
  std::uint32_t id = 0;
  std::shared_ptr<sControl> control;
  std::shared_ptr<std::atomic<bool>> ended = std::make_shared<std::atomic<bool>>(false);
  std::thread thread;
  std::mutex joinMutex;
};

std::uint32_t CurrentThreadId() {
  if (t_id == 0) t_id = Layer().nextId.fetch_add(1);
  return t_id;
}

bool PostThreadMessage(std::uint32_t threadId, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
  sLayer& layer = Layer();
  std::lock_guard<std::mutex> lock(layer.mutex);
  auto it = layer.queues.find(threadId);
  if (it == layer.queues.end()) return false;
  it->second->queue.push_back(sThreadMessage{message, wParam, lParam});
  it->second->changed.notify_all();
  if (threadId == layer.mainId.load()) WakeWaiter();
  return true;
}

bool PeekThreadMessage(sThreadMessage& out, bool remove) {
  sControl& own = OwnControl();
  ServeRequests();
  std::unique_lock<std::mutex> lock(Layer().mutex);
  WaitGateLocked(lock);
  if (own.queue.empty()) return false;
  out = own.queue.front();
  if (remove) own.queue.pop_front();
  return true;
}

void DiscardThreadMessages() {
  sControl& own = OwnControl();
  std::lock_guard<std::mutex> lock(Layer().mutex);
  own.queue.clear();
}

bool GetThreadMessage(sThreadMessage& out) {
  sControl& own = OwnControl();
  for (;;) {
    ServeRequests();
    std::unique_lock<std::mutex> lock(Layer().mutex);
    WaitGateLocked(lock);
    if (!own.queue.empty()) {
      out = own.queue.front();
      own.queue.pop_front();
      return out.message != kQuitMessage;
    }
    own.changed.wait(lock, [&] {
      return !own.queue.empty() || RequestPendingLocked() || (own.suspended && !own.stop);
    });
  }
}

bool WaitThreadMessage(std::uint32_t timeoutMs) {
  sControl& own = OwnControl();
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    ServeRequests();
    std::unique_lock<std::mutex> lock(Layer().mutex);
    WaitGateLocked(lock);
    if (!own.queue.empty()) return true;
    bool woken = own.changed.wait_until(lock, until, [&] {
      return !own.queue.empty() || RequestPendingLocked() || (own.suspended && !own.stop);
    });
    if (!woken) return false;
  }
}

void WaitMainThread(std::uint32_t timeoutMs) {
  if (!IsMainThread()) return;
  if (auto wait = Layer().waiterWait.load()) {
    wait(timeoutMs);
    return;
  }
  sControl& own = OwnControl();
  std::unique_lock<std::mutex> lock(Layer().mutex);
  own.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                       [&] { return own.woken || !own.queue.empty() || RequestPendingLocked(); });
  own.woken = false;
}

void WakeMainThread() {
  sLayer& layer = Layer();
  {
    std::lock_guard<std::mutex> lock(layer.mutex);
    auto main = layer.queues.find(layer.mainId.load());
    if (main != layer.queues.end()) {
      main->second->woken = true;
      main->second->changed.notify_all();
    }
  }
  WakeWaiter();
}

void SetMainThreadWaiter(const sMainThreadWaiter& waiter) {
  // The wake first: a waiter is never called without a way to end its wait.
  Layer().waiterWake.store(waiter.wake);
  Layer().waiterWait.store(waiter.wait);
}

void BecomeMainThread() {
  OwnControl();
  Layer().mainId.store(CurrentThreadId());
  SetCloseHandler(&PostCloseToMainThread);
}

void LeaveMainThread() {
  if (Layer().mainId.load() == CurrentThreadId()) {
    SetCloseHandler(nullptr);
    Layer().mainId.store(0);
  }
}

bool IsMainThread() {
  std::uint32_t id = Layer().mainId.load();
  return id != 0 && id == CurrentThreadId();
}

std::uint32_t MainThreadId() { return Layer().mainId.load(); }

void SetRequestHandler(RequestHandler handler) { Layer().handler.store(handler); }

bool SendRequest(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                 std::intptr_t* result) {
  RequestHandler handler = Layer().handler.load();
  if (!handler) return false;
  std::intptr_t value = 0;
  if (!RunOnMainThread([&] { value = handler(message, wParam, lParam); })) return false;
  if (result) *result = value;
  return true;
}

bool RunOnMainThread(const std::function<void()>& work) {
  sLayer& layer = Layer();
  if (layer.shutdown.load()) return false;
  if (IsMainThread()) {
    work();
    return true;
  }
  std::uint32_t mainId = layer.mainId.load();
  if (mainId == 0) return false;
  auto request = std::make_shared<sRequest>();
  request->work = work;
  std::unique_lock<std::mutex> lock(layer.mutex);
  if (layer.shutdown.load() || OwnStopLocked()) return false;
  auto main = layer.queues.find(mainId);
  if (main == layer.queues.end()) return false;
  layer.requests.push_back(request);
  main->second->changed.notify_all();
  WakeWaiter();
  layer.requestChanged.wait(lock, [&] {
    return request->state == sRequest::kDone || request->state == sRequest::kFailed ||
           (request->state == sRequest::kPending && OwnStopLocked());
  });
  if (request->state == sRequest::kPending) {
    // Asked to stop while waiting: withdraw the request, it was never begun.
    for (auto it = layer.requests.begin(); it != layer.requests.end(); ++it)
      if (*it == request) {
        layer.requests.erase(it);
        break;
      }
    return false;
  }
  return request->state == sRequest::kDone;
}

int ServeRequests() {
  if (!IsMainThread()) return 0;
  sLayer& layer = Layer();
  int served = 0;
  for (;;) {
    std::shared_ptr<sRequest> request;
    {
      std::lock_guard<std::mutex> lock(layer.mutex);
      if (layer.requests.empty()) return served;
      request = layer.requests.front();
      layer.requests.pop_front();
      request->state = sRequest::kRunning;
    }
    request->work();
    ++served;
    std::lock_guard<std::mutex> lock(layer.mutex);
    request->state = sRequest::kDone;
    layer.requestChanged.notify_all();
  }
}

void BeginShutdown() {
  sLayer& layer = Layer();
  std::lock_guard<std::mutex> lock(layer.mutex);
  layer.shutdown.store(true);
  for (auto& request : layer.requests) request->state = sRequest::kFailed;
  layer.requests.clear();
  layer.requestChanged.notify_all();
}

bool ShutdownBegun() { return Layer().shutdown.load(); }

void ResetShutdown() { Layer().shutdown.store(false); }

HostThread StartHostThread(ThreadProc proc, void* param) {
  if (!proc) return nullptr;
  sLayer& layer = Layer();
  auto thread = std::make_shared<cHostThread>();
  thread->id = layer.nextId.fetch_add(1);
  thread->control = std::make_shared<sControl>(thread->id);
  {
    std::lock_guard<std::mutex> lock(layer.mutex);
    layer.queues[thread->id] = thread->control;
  }
  auto control = thread->control;
  auto ended = thread->ended;
  try {
    thread->thread = std::thread([proc, param, control, ended] {
      t_id = control->id;
      t_control = control;
      proc(param);
      {
        std::lock_guard<std::mutex> lock(Layer().mutex);
        Layer().queues.erase(control->id);
      }
      t_control.reset();
      ended->store(true);
    });
  } catch (const std::system_error&) {
    std::lock_guard<std::mutex> lock(layer.mutex);
    layer.queues.erase(thread->id);
    return nullptr;
  }
  return thread;
}

std::uint32_t HostThreadId(const HostThread& thread) { return thread ? thread->id : 0; }

bool HostThreadEnded(const HostThread& thread) { return !thread || thread->ended->load(); }

void JoinHostThread(const HostThread& thread) {
  if (!thread) return;
  std::lock_guard<std::mutex> lock(thread->joinMutex);
  if (thread->thread.joinable()) thread->thread.join();
}

void AbandonHostThread(const HostThread& thread) {
  if (!thread) return;
  std::lock_guard<std::mutex> lock(thread->joinMutex);
  if (thread->thread.joinable()) thread->thread.detach();
}

void SuspendHostThread(const HostThread& thread) {
  if (!thread) return;
  std::lock_guard<std::mutex> lock(Layer().mutex);
  thread->control->suspended = true;
}

void ResumeHostThread(const HostThread& thread) {
  if (!thread) return;
  std::lock_guard<std::mutex> lock(Layer().mutex);
  thread->control->suspended = false;
  thread->control->changed.notify_all();
}

void RequestHostThreadStop(const HostThread& thread) {
  if (!thread) return;
  std::lock_guard<std::mutex> lock(Layer().mutex);
  thread->control->stop = true;
  thread->control->changed.notify_all();
  Layer().requestChanged.notify_all();
}

bool StopRequested() {
  std::lock_guard<std::mutex> lock(Layer().mutex);
  return OwnStopLocked();
}

void PassSuspendGate() {
  if (!t_control) return;
  std::unique_lock<std::mutex> lock(Layer().mutex);
  WaitGateLocked(lock);
}

void EndProcessNow(int code) {
  if (auto hook = Layer().endHook.load()) {
    hook(code);
    return;
  }
  std::_Exit(code);
}

void SetEndProcessHook(void (*hook)(int code)) { Layer().endHook.store(hook); }

}  // namespace platform
