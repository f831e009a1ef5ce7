#include "platform/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>

#include "platform/host_path.h"

namespace platform {
namespace {

std::atomic<ReplaceFaultHook> g_replaceFault{nullptr};
std::atomic<CopyFaultHook> g_copyFault{nullptr};

bool CopyTree(const std::filesystem::path& from, const std::filesystem::path& to) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(from, ec);
  if (ec) return false;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return false;
    const fs::path target = to / it->path().filename();
    const fs::file_status status = it->symlink_status(ec);
    if (ec) return false;
    if (fs::is_symlink(status)) {
      fs::copy_symlink(it->path(), target, ec);
    } else if (fs::is_directory(status)) {
      if (!fs::create_directory(target, ec) || !CopyTree(it->path(), target)) return false;
    } else if (fs::is_regular_file(status)) {
      CopyFaultHook hook = g_copyFault.load();
      if (hook && !hook(it->path().string())) return false;
      fs::copy_file(it->path(), target, ec);
    }
    // Devices, sockets and pipes have no place in a game's data: left out.
    if (ec) return false;
  }
  return !ec;
}

// Temporary files and folders are named "<name>.tmp.XXXXXX" (six letters or digits, as
// mkstemp makes them). Those being written by this process are known and never swept.
std::mutex g_tempLock;
std::set<std::string> g_tempsInFlight;

bool IsTemporaryName(const std::string& name) {
  const std::size_t mark = name.rfind(".tmp.");
  if (mark == std::string::npos || mark == 0 || name.size() - mark != 11) return false;
  for (std::size_t i = mark + 5; i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

// Makes a unique temporary file (its descriptor) or folder (0) from pattern and marks it in
// flight; -1 when it could not be made.
int BeginTemp(std::string& pattern, bool folder) {
  std::lock_guard<std::mutex> guard(g_tempLock);
  const int fd = folder ? (::mkdtemp(pattern.data()) ? 0 : -1) : ::mkstemp(pattern.data());
  if (fd >= 0) g_tempsInFlight.insert(pattern);
  return fd;
}

void EndTemp(const std::string& path) {
  std::lock_guard<std::mutex> guard(g_tempLock);
  g_tempsInFlight.erase(path);
}

// Removes what a killed write left in folder: temporary files of any name (folders == false),
// or the temporary folders of the copy named base. Nothing of another naming, and nothing
// still being written, is touched.
void SweepTemps(const std::filesystem::path& folder, bool folders, const std::string& base) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
  if (ec) return;
  std::lock_guard<std::mutex> guard(g_tempLock);
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return;
    const std::string name = it->path().filename().string();
    if (!IsTemporaryName(name)) continue;
    if (folders && name.compare(0, name.size() - 11, base) != 0) continue;
    const std::string path = (folder.empty() ? fs::path(name) : folder / name).string();
    if (g_tempsInFlight.count(path)) continue;
    const fs::file_status status = it->symlink_status(ec);
    if (ec) continue;
    if (folders ? fs::is_directory(status) : fs::is_regular_file(status)) {
      std::error_code removed;
      fs::remove_all(path, removed);
    }
  }
}

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
  // A file already larger than allowed is refused before a byte of it is read.
  struct stat st;
  if (::fstat(::fileno(f), &st) == 0 && S_ISREG(st.st_mode) &&
      static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    std::fclose(f);
    return eReadResult::TooLarge;
  }
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
  const int fd = BeginTemp(temp, false);
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
  EndTemp(temp);
  // What an earlier, killed write left beside its file goes once this one is done.
  if (ok) SweepTemps(std::filesystem::path(host).parent_path(), false, std::string());
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

bool ListHostFolder(std::string_view programPath, std::vector<std::string>& names) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(programPath.empty() ? std::string(".") : HostPath(programPath), ec);
  if (ec) return false;
  std::vector<std::string> found;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return false;
    found.push_back(ProgramPath(it->path().filename().string()));
  }
  names.swap(found);
  return true;
}

bool CopyHostFolder(std::string_view fromProgramPath, std::string_view toProgramPath) {
  namespace fs = std::filesystem;
  if (fromProgramPath.empty() || toProgramPath.empty()) return false;
  std::string from = HostPath(fromProgramPath);
  std::string to = HostPath(toProgramPath);
  while (to.size() > 1 && to.back() == '/') to.pop_back();
  std::error_code ec;
  if (!fs::is_directory(from, ec) || fs::exists(fs::symlink_status(to, ec))) return false;
  std::string temp = to + ".tmp.XXXXXX";
  if (BeginTemp(temp, true) < 0) return false;
  ::chmod(temp.c_str(), 0755);
  bool ok = CopyTree(from, temp) && ::rename(temp.c_str(), to.c_str()) == 0;
  if (!ok) fs::remove_all(temp, ec);
  EndTemp(temp);
  // A copy killed half-way left its temporary folder: it goes once this one is done.
  if (ok) {
    const fs::path target(to);
    SweepTemps(target.parent_path(), true, target.filename().string());
  }
  return ok;
}

void SetCopyFaultHook(CopyFaultHook hook) { g_copyFault.store(hook); }

std::string CurrentFolder() {
  char buffer[PATH_MAX];
  if (!::getcwd(buffer, sizeof(buffer))) return std::string();
  return ProgramPath(buffer);
}

bool ChangeCurrentFolder(std::string_view programPath) {
  return !programPath.empty() && ::chdir(HostPath(programPath).c_str()) == 0;
}

}  // namespace platform
