#include "platform/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>

#include "platform/host_path.h"

namespace platform {
namespace {

std::atomic<ReplaceFaultHook> g_replaceFault{nullptr};

bool WriteAll(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

FILE* OpenHostFile(std::string_view programPath, const char* mode) {
  if (programPath.empty()) return nullptr;
  std::string host = HostPath(programPath);
  struct stat st;
  // Folders open as files on Linux; the program never wants that.
  if (::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return nullptr;
  return std::fopen(host.c_str(), mode);
}

eReadResult ReadHostFile(std::string_view programPath, std::vector<std::uint8_t>& out,
                         std::size_t maxBytes) {
  FILE* f = OpenHostFile(programPath, "rb");
  if (!f) return eReadResult::CannotOpen;
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  eReadResult result = eReadResult::Ok;
  for (;;) {
    std::size_t n = std::fread(chunk, 1, sizeof(chunk), f);
    if (n > 0) {
      if (bytes.size() + n > maxBytes) {
        result = eReadResult::TooLarge;
        break;
      }
      bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (n < sizeof(chunk)) {
      if (std::ferror(f)) result = eReadResult::ReadError;
      break;
    }
  }
  std::fclose(f);
  if (result == eReadResult::Ok) out.swap(bytes);
  return result;
}

bool ReplaceHostFile(std::string_view programPath, const void* data, std::size_t size) {
  if (programPath.empty()) return false;
  std::string host = HostPath(programPath);
  std::string temp = host + ".tmp.XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = WriteAll(fd, data, size) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ::chmod(temp.c_str(), 0644);
  if (ok) {
    ReplaceFaultHook hook = g_replaceFault.load();
    if (hook && !hook(temp)) ok = false;
  }
  if (ok && ::rename(temp.c_str(), host.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

void SetReplaceFaultHook(ReplaceFaultHook hook) { g_replaceFault.store(hook); }

bool HostFileExists(std::string_view programPath) {
  struct stat st;
  return !programPath.empty() && ::stat(HostPath(programPath).c_str(), &st) == 0 &&
         S_ISREG(st.st_mode);
}

bool HostFolderExists(std::string_view programPath) {
  struct stat st;
  return !programPath.empty() && ::stat(HostPath(programPath).c_str(), &st) == 0 &&
         S_ISDIR(st.st_mode);
}

bool MakeHostFolder(std::string_view programPath) {
  if (programPath.empty()) return false;
  return ::mkdir(HostPath(programPath).c_str(), 0755) == 0;
}

bool RemoveHostFile(std::string_view programPath) {
  return !programPath.empty() && ::unlink(HostPath(programPath).c_str()) == 0;
}

std::string CurrentFolder() {
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof(buffer))) return std::string();
  return ProgramPath(buffer);
}

bool ChangeCurrentFolder(std::string_view programPath) {
  return !programPath.empty() && ::chdir(HostPath(programPath).c_str()) == 0;
}

}  // namespace platform
