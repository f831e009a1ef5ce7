#pragma once
// One running copy of the program per user: a lock file in the user's runtime folder, held
// with flock for the life of the process (a crashed owner frees it), holding the owner's
// process id once its window exists.
#include <string>
#include <sys/types.h>

namespace platform {

class cInstanceLock {
 public:
  cInstanceLock() = default;
  ~cInstanceLock();
  cInstanceLock(const cInstanceLock&) = delete;
  cInstanceLock& operator=(const cInstanceLock&) = delete;

  // Opens the lock file of name (UTF-8) and tries to take it. True when taken; false when
  // another process holds it or the file cannot be opened (then *error says why).
  bool TryAcquire(const std::string& name, std::string* error = nullptr);
  bool Held() const { return m_nFd >= 0 && m_bHeld; }
  // Writes this process's id into the held file.
  bool WriteOwnerId();
  // The process id the holder wrote; 0 when none is written yet.
  pid_t OwnerId() const;
  // Retries the lock every millisecond for at most timeoutMs; true once taken.
  bool WaitAcquire(unsigned timeoutMs);
  void Release();

 private:
  int m_nFd = -1;
  bool m_bHeld = false;
};

// The folder of the lock files: $XDG_RUNTIME_DIR, else the temporary folder (tests set it).
void SetInstanceLockFolder(const std::string& folder);
std::string InstanceLockFolder();

// Ends process pid at once (SIGKILL); true also when it has already ended, false when the
// signal could not be sent.
bool KillProcessNow(pid_t pid);

}  // namespace platform
