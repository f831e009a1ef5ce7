#include "platform/clock.h"

#include <chrono>
#include <thread>

#include "platform/thread_messages.h"

namespace platform {

std::uint64_t MonotonicMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMs(std::uint32_t ms) {
  PassSuspendGate();
  if (ms == 0)
    std::this_thread::yield();
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace platform
