#include "platform/clock.h"

#include <algorithm>
#include <chrono>
#include <ctime>
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

sSystemTime LocalTime() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  sSystemTime time;
  if (localtime_r(&seconds, &local) == nullptr) return time;
  time.wYear = static_cast<std::uint16_t>(local.tm_year + 1900);
  time.wMonth = static_cast<std::uint16_t>(local.tm_mon + 1);
  time.wDayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
  time.wDay = static_cast<std::uint16_t>(local.tm_mday);
  time.wHour = static_cast<std::uint16_t>(local.tm_hour);
  time.wMinute = static_cast<std::uint16_t>(local.tm_min);
  time.wSecond = static_cast<std::uint16_t>(std::min(local.tm_sec, 59));
  time.wMilliseconds = static_cast<std::uint16_t>(ms < 0 ? 0 : ms);
  return time;
}

}  // namespace platform
