#include "platform/clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

#include <unistd.h>

#include "platform/thread_messages.h"

namespace platform {

std::uint64_t MonotonicMs() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::uint64_t MsSinceProcessStart() {
  // Field 22 of /proc/self/stat: the start in clock ticks since boot. The command name
  // (field 2) may hold spaces, so the fields are counted from its closing bracket.
  std::FILE* file = std::fopen("/proc/self/stat", "r");
  if (!file) return 0;
  char text[1024] = {};
  const std::size_t length = std::fread(text, 1, sizeof(text) - 1, file);
  std::fclose(file);
  text[length] = 0;
  const char* p = std::strrchr(text, ')');
  if (!p) return 0;
  unsigned long long start = 0;
  // After the bracket: state (3), then fields 4..21, then the start (22).
  if (std::sscanf(p + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                  &start) != 1)
    return 0;
  const long hz = sysconf(_SC_CLK_TCK);
  timespec now{};
  if (hz <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return 0;
  const std::uint64_t nowMs =
      static_cast<std::uint64_t>(now.tv_sec) * 1000 + static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
  const std::uint64_t startMs = start * 1000 / static_cast<std::uint64_t>(hz);
  return nowMs > startMs ? nowMs - startMs : 0;
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
