#pragma once
// The wrapper through which every thread but the main thread is started, waited for,
// suspended, resumed and stopped.
//
// A loop thread looks at its queue (platform::PeekThreadMessage) on every turn and ends on
// WM_QUIT. Its starter posts WM_APP to it right after Start until the post succeeds.
// Suspend closes a gate the thread passes at its next peek, wait or sleep. Exit never kills:
// it posts WM_QUIT and sets the thread's stop flag (its requests to the main thread fail from
// then on), polls 200 times 1 ms, then waits a few seconds more; a thread still running after
// that is logged and the process ends without releasing what the thread may still use.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/thread_messages.h"

class cThread {
 public:
  using Proc = std::uint32_t (*)(void* param);

  cThread() = default;
  ~cThread();
  cThread(const cThread&) = delete;
  cThread& operator=(const cThread&) = delete;

  // 1 when the thread runs proc(param), 0 when it could not be started or one still runs.
  int Start(Proc proc, void* param);
  // Waits for the thread to end, then lets go of it. The main thread serves requests meanwhile.
  void Wait();
  // True when there is no thread or the call succeeded.
  bool Suspend();
  bool Resume();
  void Exit();

  bool HasThread() const;
  // A thread was started and has not ended yet.
  bool Running() const;
  std::uint32_t ThreadId() const { return m_dwThreadId.load(); }

 private:
  platform::HostThread Handle() const;
  void Release(const platform::HostThread& thread);

  std::atomic<std::uint32_t> m_dwThreadId{0};
  mutable std::mutex m_mutex;  // guards m_hThread, read by other threads while this one ends
  platform::HostThread m_hThread;
};

extern cThread thGame;
extern cThread thPause;
extern cThread g_RankingThread;
extern cThread g_StageLoadThread;

// Polls of 1 ms before a stopped thread counts as not answering.
constexpr int kExitPolls = 200;
// How long Exit then still waits before it ends the process (tests shorten it).
void SetThreadExitGrace(std::uint32_t ms);
