#pragma once
// The integer that database records keep without interpreting it held values of another
// meaning before version 153: records read from such files clear it.
#include <cstdint>

inline void ClearStaleExtra(int version, std::int32_t& extra) {
  if (version < 153) extra = 0;
}
