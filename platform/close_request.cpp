#include "platform/close_request.h"

#include <signal.h>

#include <atomic>

namespace platform {
namespace {
std::atomic<bool> g_requested{false};
std::atomic<int> g_count{0};
std::atomic<void (*)()> g_handler{nullptr};
volatile sig_atomic_t g_signalled = 0;

void OnCloseSignal(int) { g_signalled = 1; }
}  // namespace

void CatchCloseSignals() {
  struct sigaction action = {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool TakeCloseSignal() {
  if (!g_signalled) return false;
  g_signalled = 0;
  return true;
}

bool CloseSignalPending() { return g_signalled != 0; }

void RaiseCloseSignalForTest() { g_signalled = 1; }

void RequestClose() {
  g_requested.store(true);
  g_count.fetch_add(1);
  if (auto handler = g_handler.load()) handler();
}

bool IsCloseRequested() { return g_requested.load(); }

void SetCloseHandler(void (*handler)()) { g_handler.store(handler); }

void ResetCloseRequest() {
  g_requested.store(false);
  g_count.store(0);
}

int CloseRequestCount() { return g_count.load(); }

}  // namespace platform
