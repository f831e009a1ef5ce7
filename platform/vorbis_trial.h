#pragma once
// A trial decode of Ogg Vorbis music in a child process. A damaged stream can make libvorbis
// itself fault (a division by zero, a wild read) where no check of ours can see it coming; the
// child decodes the whole stream first, in the very order of calls the player makes, and the
// player never decodes beyond what the child has survived. A child that dies of a signal, or
// stalls and is killed, means the stream is refused.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct OggVorbis_File;

namespace platform {

// Frames asked of each ov_read_float call. The player and the trial both ask this many, so
// that their calls match one for one.
constexpr int kVorbisReadFrames = 4096;

// An Ogg file in memory, read by libvorbisfile through our callbacks.
struct sVorbisMemory {
  const std::uint8_t* pData = nullptr;
  std::size_t nSize = 0;
  std::size_t nPos = 0;
};
// ov_open_callbacks over memory (which must outlive the file); its result.
int OpenVorbisMemory(OggVorbis_File* file, sVorbisMemory* memory);

class cVorbisTrial {
 public:
  // Forks the child that decodes bytes: open, rewind, every read to the end, rewind again.
  explicit cVorbisTrial(std::shared_ptr<const std::vector<std::uint8_t>> bytes);
  // Kills the child if it still runs; a thread of its own reaps it at once.
  ~cVorbisTrial();
  cVorbisTrial(const cVorbisTrial&) = delete;
  cVorbisTrial& operator=(const cVorbisTrial&) = delete;

  // The child died, stalled, or could not be started.
  bool Refused() const;
  // The child went through the whole stream.
  bool Passed() const;
  // Whether the player may open the stream and rewind it to the start (the child has).
  bool MayOpen() const;
  // Whether the player may make read number index of a pass (0 is the first after a rewind).
  bool MayRead(std::int64_t index) const;
  // Whether the player may rewind at the end of a pass.
  bool MayRewind() const;

  // Waits until MayRead(index) (or MayRewind when index is negative) or a verdict, at most
  // until the deadline (on the TrialClock); the final answer of MayRead / MayRewind.
  bool WaitToRead(std::int64_t index, std::int64_t deadlineMicros) const;
  // Waits until the child has made reads calls, or ended, or stalled.
  void WaitForLead(std::int64_t reads) const;

 private:
  struct sChild;

  std::shared_ptr<sChild> m_pChild;  // shared with the thread that reaps it
};

// Microseconds of a monotonic clock.
std::int64_t TrialClock();

// Test hooks. The hook runs in the child before its read number index (it may kill or stall
// the child); the stall limit is how long one step of the child may take before it is killed;
// the clock (null: the host's) is the one TrialClock reads, so that a test can hold the
// player's waits open until the child's own outcome, however slow the machine.
using VorbisTrialHook = void (*)(std::int64_t index);
void SetVorbisTrialHook(VorbisTrialHook hook);
void SetVorbisTrialStallLimit(int milliseconds);
void SetVorbisTrialClock(std::int64_t (*now)());
// The child's stall timer runs out now (for a hook that makes the child hang).
void ExpireVorbisTrialStallTimer();

// Tests: while the scope lasts every result is the trial's own outcome, however slow or busy
// the machine: the player's waits for the child never time out (their clock stands still) and
// one step of the child may take a minute. At the end the hook, the limit and the clock are
// the defaults again.
class cTrialOutcomeScope {
 public:
  cTrialOutcomeScope();
  ~cTrialOutcomeScope();
  cTrialOutcomeScope(const cTrialOutcomeScope&) = delete;
  cTrialOutcomeScope& operator=(const cTrialOutcomeScope&) = delete;
};

}  // namespace platform
