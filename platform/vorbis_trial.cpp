#include "platform/vorbis_trial.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace platform {
namespace {

std::atomic<VorbisTrialHook> g_hook{nullptr};
constexpr int kDefaultStallMs = 5000;
std::atomic<int> g_nStallMs{kDefaultStallMs};
std::atomic<std::int64_t (*)()> g_clock{nullptr};

std::size_t MemoryRead(void* ptr, std::size_t size, std::size_t count, void* source) {
  auto* m = static_cast<sVorbisMemory*>(source);
  if (size == 0) return 0;
  const std::size_t items = std::min(count, (m->nSize - m->nPos) / size);
  if (items > 0) std::copy_n(m->pData + m->nPos, items * size, static_cast<std::uint8_t*>(ptr));
  m->nPos += items * size;
  return items;
}

int MemorySeek(void* source, ogg_int64_t offset, int whence) {
  auto* m = static_cast<sVorbisMemory*>(source);
  ogg_int64_t base = 0;
  if (whence == SEEK_CUR)
    base = static_cast<ogg_int64_t>(m->nPos);
  else if (whence == SEEK_END)
    base = static_cast<ogg_int64_t>(m->nSize);
  else if (whence != SEEK_SET)
    return -1;
  const ogg_int64_t size = static_cast<ogg_int64_t>(m->nSize);
  // Both within 0..size, so the sum cannot overflow.
  if (offset < -size || offset > size) return -1;
  const ogg_int64_t to = base + offset;
  if (to < 0 || to > size) return -1;
  m->nPos = static_cast<std::size_t>(to);
  return 0;
}

long MemoryTell(void* source) {
  return static_cast<long>(static_cast<sVorbisMemory*>(source)->nPos);
}

enum eStage : int { kStarted, kRewound, kDone };

void ArmStallTimer(int ms) {
  itimerval timer{};
  timer.it_value.tv_sec = ms / 1000;
  timer.it_value.tv_usec = (ms % 1000) * 1000;
  setitimer(ITIMER_REAL, &timer, nullptr);
}

}  // namespace

int OpenVorbisMemory(OggVorbis_File* file, sVorbisMemory* memory) {
  const ov_callbacks callbacks{MemoryRead, MemorySeek, nullptr, MemoryTell};
  return ov_open_callbacks(memory, file, nullptr, 0, callbacks);
}

namespace {

struct sShared {
  std::atomic<int> nStage{kStarted};
  std::atomic<std::int64_t> nReads{0};
};
static_assert(std::atomic<std::int64_t>::is_always_lock_free, "shared with another process");

enum eVerdict : int { kRunning, kPassed, kRefused };

// The child: touches nothing but the decoder and its shared counters, and leaves by _exit.
// The parent's fault handlers (sanitizers, fuzzer) are put back to the default, so that a fault
// of the decoder simply kills the child.
[[noreturn]] void RunChild(const std::vector<std::uint8_t>& bytes, std::atomic<int>& stage,
                           std::atomic<std::int64_t>& reads, VorbisTrialHook hook, int stallMs) {
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS, SIGALRM})
    sigaction(sig, &byDefault, nullptr);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);

  ArmStallTimer(stallMs);
  sVorbisMemory memory{bytes.data(), bytes.size(), 0};
  OggVorbis_File file;
  if (OpenVorbisMemory(&file, &memory) != 0) {
    // Not a stream the player can open either: nothing of it will be decoded.
    stage.store(kDone);
    _exit(0);
  }
  ArmStallTimer(stallMs);
  ov_pcm_seek(&file, 0);
  stage.store(kRewound);
  for (std::int64_t i = 0;; ++i) {
    if (hook) hook(i);
    ArmStallTimer(stallMs);
    float** pcm = nullptr;
    int section = 0;
    const long n = ov_read_float(&file, &pcm, kVorbisReadFrames, &section);
    reads.store(i + 1);
    if (n <= 0 && n != OV_HOLE) break;
  }
  ArmStallTimer(stallMs);
  ov_pcm_seek(&file, 0);
  stage.store(kDone);
  _exit(0);
}

}  // namespace

struct cVorbisTrial::sChild {
  sShared* pShared = nullptr;  // in a mapping shared with the child
  pid_t nPid = -1;
  std::atomic<int> nVerdict{kRunning};
  std::mutex reapMutex;  // held while the pid may be signalled or reaped
  bool bReaped = false;

  ~sChild() {
    if (!pShared) return;
    pShared->~sShared();
    munmap(pShared, sizeof(sShared));
  }

  void Kill() {
    std::lock_guard lock(reapMutex);
    if (!bReaped && nPid > 0) kill(nPid, SIGKILL);
  }

  void Reap() {
    // Wait without reaping first: the pid stays ours, and safe to signal, until it is reaped
    // under the lock.
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(nPid), &info, WEXITED | WNOWAIT) != 0 &&
           errno == EINTR) {
    }
    std::lock_guard lock(reapMutex);
    int status = 0;
    pid_t got;
    do {
      got = waitpid(nPid, &status, 0);
    } while (got < 0 && errno == EINTR);
    bReaped = true;
    const bool clean = got == nPid && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                       pShared->nStage.load() == kDone;
    nVerdict = clean ? kPassed : kRefused;
  }
};

cVorbisTrial::cVorbisTrial(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
    : m_pChild(std::make_shared<sChild>()) {
  sChild& child = *m_pChild;
  void* map =
      mmap(nullptr, sizeof(sShared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (map == MAP_FAILED || !bytes) {
    if (map != MAP_FAILED) munmap(map, sizeof(sShared));
    child.nVerdict = kRefused;
    return;
  }
  child.pShared = new (map) sShared;
  const VorbisTrialHook hook = g_hook.load();
  const int stallMs = g_nStallMs.load();
  child.nPid = fork();
  if (child.nPid == 0)
    RunChild(*bytes, child.pShared->nStage, child.pShared->nReads, hook, stallMs);
  if (child.nPid < 0) {
    child.bReaped = true;
    child.nVerdict = kRefused;
    return;
  }
  try {
    // Detached: a trial that is given up must not wait for its child to wind down.
    std::thread([reaped = m_pChild] { reaped->Reap(); }).detach();
  } catch (const std::system_error&) {
    child.Kill();
    child.Reap();
  }
}

cVorbisTrial::~cVorbisTrial() { m_pChild->Kill(); }

bool cVorbisTrial::Refused() const { return m_pChild->nVerdict.load() == kRefused; }

bool cVorbisTrial::Passed() const { return m_pChild->nVerdict.load() == kPassed; }

bool cVorbisTrial::MayOpen() const {
  if (Passed()) return true;
  return !Refused() && m_pChild->pShared->nStage.load() >= kRewound;
}

bool cVorbisTrial::MayRead(std::int64_t index) const {
  if (Passed()) return true;
  return !Refused() && m_pChild->pShared->nReads.load() > index;
}

bool cVorbisTrial::MayRewind() const {
  if (Passed()) return true;
  return !Refused() && m_pChild->pShared->nStage.load() == kDone;
}

bool cVorbisTrial::WaitToRead(std::int64_t index, std::int64_t deadlineMicros) const {
  for (;;) {
    const bool may = index < 0 ? MayRewind() : MayRead(index);
    if (may || Refused() || TrialClock() >= deadlineMicros) return may;
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
}

void cVorbisTrial::WaitForLead(std::int64_t reads) const {
  // The child's own timer ends it when a step stalls; this bound only covers a child that
  // was stopped from outside.
  const std::int64_t deadline = TrialClock() + (2 * std::int64_t{g_nStallMs.load()} + 1000) * 1000;
  for (;;) {
    if (m_pChild->nVerdict.load() != kRunning || m_pChild->pShared->nStage.load() == kDone ||
        (m_pChild->pShared->nStage.load() >= kRewound && m_pChild->pShared->nReads.load() >= reads))
      return;
    if (TrialClock() >= deadline) {
      m_pChild->Kill();
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  while (m_pChild->nVerdict.load() == kRunning)
    std::this_thread::sleep_for(std::chrono::microseconds(100));
}

std::int64_t TrialClock() {
  if (auto clock = g_clock.load()) return clock();
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * 1000000 + now.tv_nsec / 1000;
}

void SetVorbisTrialHook(VorbisTrialHook hook) { g_hook = hook; }

void SetVorbisTrialStallLimit(int milliseconds) { g_nStallMs = std::max(milliseconds, 1); }

void SetVorbisTrialClock(std::int64_t (*now)()) { g_clock = now; }

void ExpireVorbisTrialStallTimer() { ArmStallTimer(1); }

cTrialOutcomeScope::cTrialOutcomeScope() {
  SetVorbisTrialClock([] { return std::int64_t{0}; });
  SetVorbisTrialStallLimit(60000);
}

cTrialOutcomeScope::~cTrialOutcomeScope() {
  SetVorbisTrialHook(nullptr);
  SetVorbisTrialStallLimit(kDefaultStallMs);
  SetVorbisTrialClock(nullptr);
}

}  // namespace platform
