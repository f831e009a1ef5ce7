#include "platform/close_request.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<bool> g_requested{false};
std::atomic<int> g_count{0};
std::atomic<void (*)()> g_handler{nullptr};
}  // namespace

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
