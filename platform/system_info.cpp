#include "platform/system_info.h"

#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace platform {
namespace {

std::string Trim(std::string s) {
  size_t a = s.find_first_not_of(" \t\"");
  size_t b = s.find_last_not_of(" \t\"\r\n");
  if (a == std::string::npos) return std::string();
  return s.substr(a, b - a + 1);
}

void ReadCpu(sSystemInfo& info) {
#if defined(__x86_64__) || defined(__i386__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(0, &a, &b, &c, &d) && a > 0) {
    char vendor[13];
    std::memcpy(vendor, &b, 4);
    std::memcpy(vendor + 4, &d, 4);
    std::memcpy(vendor + 8, &c, 4);
    vendor[12] = 0;
    info.cpuVendor = vendor;
    unsigned maxExt = __get_cpuid_max(0x80000000, nullptr);
    if (maxExt >= 0x80000004) {
      char brand[49];
      for (unsigned i = 0; i < 3; ++i) {
        unsigned r[4];
        __get_cpuid(0x80000002 + i, &r[0], &r[1], &r[2], &r[3]);
        std::memcpy(brand + i * 16, r, 16);
      }
      brand[48] = 0;
      info.cpuBrand = brand;
    }
  }
#endif
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("cpu MHz", 0) == 0) {
      size_t colon = line.find(':');
      if (colon != std::string::npos) info.cpuClockHz = std::atof(line.c_str() + colon + 1) * 1e6;
      break;
    }
  }
}

}  // namespace

sSystemInfo ReadSystemInfo() {
  sSystemInfo info;
  std::ifstream release("/etc/os-release");
  std::string line;
  while (std::getline(release, line)) {
    if (line.rfind("PRETTY_NAME=", 0) == 0) info.osName = Trim(line.substr(12));
  }
  struct utsname u;
  if (::uname(&u) == 0) {
    info.kernel = u.release;
    std::sscanf(u.release, "%d.%d", &info.osMajor, &info.osMinor);
    if (info.osName.empty()) info.osName = u.sysname;
  }
  ReadCpu(info);
  struct sysinfo si;
  if (::sysinfo(&si) == 0) {
    info.memTotal = static_cast<double>(si.totalram) * si.mem_unit;
    info.memFree = static_cast<double>(si.freeram + si.bufferram) * si.mem_unit;
  }
  std::ifstream meminfo("/proc/meminfo");
  while (std::getline(meminfo, line)) {
    if (line.rfind("MemAvailable:", 0) == 0) info.memFree = std::atof(line.c_str() + 13) * 1024.0;
  }
  struct rlimit rl;
  // A 64-bit process has 128 TiB of user address space unless a limit says otherwise.
  double space = 140737488355328.0;
  if (::getrlimit(RLIMIT_AS, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY)
    space = static_cast<double>(rl.rlim_cur);
  info.virTotal = space;
  double used = 0;
  std::ifstream status("/proc/self/status");
  while (std::getline(status, line)) {
    if (line.rfind("VmSize:", 0) == 0) used = std::atof(line.c_str() + 7) * 1024.0;
  }
  info.virFree = space > used ? space - used : 0;
  return info;
}

std::uint64_t DiskFreeBytes(const std::string& hostFolder) {
  struct statvfs st;
  if (::statvfs(hostFolder.empty() ? "." : hostFolder.c_str(), &st) != 0) return 0;
  return static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
}

}  // namespace platform
