#include "foundation/thread.h"

#include "foundation/report.h"
#include "foundation/window_messages.h"
#include "platform/clock.h"

cThread thGame;
cThread thPause;
cThread g_RankingThread;
cThread g_StageLoadThread;

namespace {
std::atomic<std::uint32_t> g_exitGraceMs{5000};

// One turn of a wait: the main thread keeps serving the others while it waits.
void WaitTurn() {
  platform::ServeRequests();
  platform::SleepMs(1);
}
}  // namespace

void SetThreadExitGrace(std::uint32_t ms) { g_exitGraceMs.store(ms); }

cThread::~cThread() { Exit(); }

platform::HostThread cThread::Handle() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_hThread;
}

void cThread::Release(const platform::HostThread& thread) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (m_hThread == thread) m_hThread.reset();
}

bool cThread::HasThread() const { return Handle() != nullptr; }

bool cThread::Running() const {
  platform::HostThread thread = Handle();
  return thread && !platform::HostThreadEnded(thread);
}

int cThread::Start(Proc proc, void* param) {
  if (platform::HostThread old = Handle()) {
    if (!platform::HostThreadEnded(old)) {
      ErrLogF("cThread::Start: a thread still runs (%u)", m_dwThreadId.load());
      return 0;
    }
    // Ended but never collected.
    platform::JoinHostThread(old);
    Release(old);
  }
  platform::HostThread thread = platform::StartHostThread(proc, param);
  if (!thread) return 0;
  m_dwThreadId.store(platform::HostThreadId(thread));
  std::lock_guard<std::mutex> lock(m_mutex);
  m_hThread = thread;
  return 1;
}

void cThread::Wait() {
  platform::HostThread thread = Handle();
  if (!thread) return;
  while (!platform::HostThreadEnded(thread)) WaitTurn();
  platform::JoinHostThread(thread);
  Release(thread);
}

bool cThread::Suspend() {
  platform::SuspendHostThread(Handle());
  return true;
}

bool cThread::Resume() {
  platform::ResumeHostThread(Handle());
  return true;
}

void cThread::Exit() {
  platform::HostThread thread = Handle();
  if (!thread) return;
  const std::uint32_t id = platform::HostThreadId(thread);
  // A suspended thread must run to see the quit message.
  platform::ResumeHostThread(thread);
  ErrLog("Exit A");
  platform::RequestHostThreadStop(thread);
  platform::PostThreadMessage(id, WM_QUIT, 0, 0);
  ErrLog("Exit B");
  ErrLog("Exit C");
  int polls = 0;
  const std::uint64_t start = platform::MonotonicMs();
  bool reported = false;
  while (!platform::HostThreadEnded(thread)) {
    WaitTurn();
    platform::PostThreadMessage(id, WM_QUIT, 0, 0);
    if (++polls < kExitPolls) continue;
    if (!reported) {
      reported = true;
      ErrLogF("Exit: thread %u did not end after %d polls", id, kExitPolls);
    }
    if (platform::MonotonicMs() - start >= kExitPolls + g_exitGraceMs.load()) {
      // Killing it could leave the heap or a file half written; the process ends instead, and
      // nothing the thread may still touch is released.
      ReportErr("thread %u does not end; the program ends", id);
      platform::AbandonHostThread(thread);
      Release(thread);
      platform::EndProcessNow(3);
      return;
    }
  }
  ErrLog("Exit D");
  platform::JoinHostThread(thread);
  Release(thread);
  ErrLog("Exit E");
}
