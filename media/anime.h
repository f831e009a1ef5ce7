#pragma once
// The frame sequencer: turns a table of animation runs into a cell number per game tick.
//
// A run is a list of entries {frame, duration, lock} closed by one control entry whose frame
// is negative: -1 holds the last entry, -2 starts the run again, -3 jumps to the run named
// by its duration field, and any other negative value ends the run and is itself reported
// as the frame (the database uses -4 for the end of a one-shot animation).
#include <cstdint>

#include "foundation/containers.h"

struct sAnimeFrame {
  int nFrame = 0;
  int nDuration = 0;
  std::uint8_t bLock = 0;
};

inline constexpr int kAnimeHold = -1;
inline constexpr int kAnimeLoop = -2;
inline constexpr int kAnimeJump = -3;
inline constexpr int kAnimeEnd = -4;

using AnimeRun = cVector<sAnimeFrame>;
using AnimeRuns = cVector<AnimeRun>;

class cAnime {
 public:
  // runs: a null-terminated array of int arrays, each a sequence of {frame, duration, lock}
  // triples ending with its first triple whose frame is negative. A null array changes
  // nothing.
  void Init(const int* const* runs);
  // The same from runs already laid out as entries (the database's sequences).
  void Init(const AnimeRuns& runs);

  // Starts run n from its first entry; 0 when refused because the current entry is locked
  // and force is 0, or because the table has no run n.
  int Set(int n, int force);
  // As Set, but asking for the current run keeps it running and returns 1.
  int Change(int n, int force);
  // Advances one tick and returns the frame to show; 0 while there is nothing to show.
  int Update();
  // The frame of the current entry, without stepping.
  int GetFrame() const;
  // Moves the tick counter on by n ticks within the current entry (the next Update steps on
  // when the counter has passed the entry's duration).
  void AddTicks(int n) { m_nTick += n; }
  // Entry e of run r lasts n ticks longer; nothing for an entry the table does not hold.
  void LengthenEntry(int r, int e, int n);

  int GetRun() const { return m_nRun; }
  int GetEntry() const { return m_nEntry; }
  int GetTick() const { return m_nTick; }
  const AnimeRuns& Runs() const { return m_Runs; }

 private:
  // The current entry, or null when the current run has none (no table, no such run).
  const sAnimeFrame* Current() const;
  bool HasRun(int n) const;

  AnimeRuns m_Runs;
  int m_nRun = 0;
  int m_nEntry = 0;
  int m_nTick = 0;
};
