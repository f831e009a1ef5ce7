#include "platform/instance_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace platform {
namespace {
std::mutex g_folderLock;
std::string g_folder;
}  // namespace

void SetInstanceLockFolder(const std::string& folder) {
  std::lock_guard<std::mutex> guard(g_folderLock);
  g_folder = folder;
}

std::string InstanceLockFolder() {
  {
    std::lock_guard<std::mutex> guard(g_folderLock);
    if (!g_folder.empty()) return g_folder;
  }
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) return runtime;
  return "/tmp";
}

cInstanceLock::~cInstanceLock() { Release(); }

bool cInstanceLock::TryAcquire(const std::string& name, std::string* error) {
  if (m_nFd < 0) {
    // Without a runtime folder the name carries the user's id, so users do not meet.
    std::string path = InstanceLockFolder() + "/" + name;
    if (!std::getenv("XDG_RUNTIME_DIR")) path += "." + std::to_string(getuid());
    path += ".lock";
    m_nFd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_nFd < 0) {
      if (error) *error = path + ": " + std::strerror(errno);
      return false;
    }
  }
  if (flock(m_nFd, LOCK_EX | LOCK_NB) == 0) {
    m_bHeld = true;
    // A new owner has no id until its window exists.
    (void)!ftruncate(m_nFd, 0);
    return true;
  }
  if (error) *error = std::strerror(errno);
  return false;
}

bool cInstanceLock::WriteOwnerId() {
  if (!Held()) return false;
  const std::string text = std::to_string(getpid()) + "\n";
  if (ftruncate(m_nFd, 0) != 0) return false;
  return pwrite(m_nFd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size());
}

pid_t cInstanceLock::OwnerId() const {
  if (m_nFd < 0) return 0;
  char buffer[32] = {};
  const ssize_t n = pread(m_nFd, buffer, sizeof(buffer) - 1, 0);
  if (n <= 0) return 0;
  char* end = nullptr;
  const long value = std::strtol(buffer, &end, 10);
  if (end == buffer || value <= 0 || value > 0x7FFFFFFF) return 0;
  return static_cast<pid_t>(value);
}

bool cInstanceLock::WaitAcquire(unsigned timeoutMs) {
  for (unsigned waited = 0;; ++waited) {
    if (TryAcquire("")) return true;
    if (waited >= timeoutMs) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void cInstanceLock::Release() {
  if (m_nFd < 0) return;
  if (m_bHeld) flock(m_nFd, LOCK_UN);
  close(m_nFd);
  m_nFd = -1;
  m_bHeld = false;
}

// A process that has ended meanwhile (the other instance closed while the question was up)
// is what the caller asked for: that counts as done.
bool KillProcessNow(pid_t pid) {
  if (pid <= 0) return false;
  return kill(pid, SIGKILL) == 0 || errno == ESRCH;
}

}  // namespace platform
