#pragma once
// The host's clock and sleep, in milliseconds.
#include <cstdint>

namespace platform {

// A steady millisecond count that never goes back and does not wrap in practice.
std::uint64_t MonotonicMs();

// Milliseconds since the process was started (exec, the loader's work included); the
// kernel keeps the start in clock ticks, so the figure is good to about 10 ms.
std::uint64_t MsSinceProcessStart();

// Sleeps about ms milliseconds (0 yields). A thread started by the layer first passes its
// suspend gate, so a suspended loop stops here and nowhere else.
void SleepMs(std::uint32_t ms);

// The local date and time as the save files store it: year, month (1-12), day of the week
// (0 Sunday), day, hour, minute, second, millisecond, each 16 bits.
struct sSystemTime {
  std::uint16_t wYear = 0;
  std::uint16_t wMonth = 0;
  std::uint16_t wDayOfWeek = 0;
  std::uint16_t wDay = 0;
  std::uint16_t wHour = 0;
  std::uint16_t wMinute = 0;
  std::uint16_t wSecond = 0;
  std::uint16_t wMilliseconds = 0;
};
static_assert(sizeof(sSystemTime) == 16, "stored raw in save files");

sSystemTime LocalTime();

}  // namespace platform
