#pragma once
// The host's clock and sleep, in milliseconds.
#include <cstdint>

namespace platform {

// A steady millisecond count that never goes back and does not wrap in practice.
std::uint64_t MonotonicMs();

// Sleeps about ms milliseconds (0 yields). A thread started by the layer first passes its
// suspend gate, so a suspended loop stops here and nowhere else.
void SleepMs(std::uint32_t ms);

}  // namespace platform
