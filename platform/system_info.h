#pragma once
// What the report log says about the machine, read from Linux sources.
#include <cstdint>
#include <string>

namespace platform {

struct sSystemInfo {
  std::string osName;         // e.g. "Debian GNU/Linux 12 (bookworm)"
  std::string kernel;         // uname release, e.g. "6.1.0-18-amd64"
  int osMajor = 0;            // kernel major and minor
  int osMinor = 0;
  std::string cpuVendor;      // e.g. "GenuineIntel"; empty when unknown
  std::string cpuBrand;       // empty when the processor gives none
  double cpuClockHz = 0;      // 0 when unknown
  double memTotal = 0;        // bytes of physical memory
  double memFree = 0;         // bytes available
  double virTotal = 0;        // bytes of address space the process may use
  double virFree = 0;
};

sSystemInfo ReadSystemInfo();

// Free bytes for the caller on the file system of folder (the current folder when empty).
std::uint64_t DiskFreeBytes(const std::string& hostFolder);

}  // namespace platform
