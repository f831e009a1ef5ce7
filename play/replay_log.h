#pragma once
// The key log of an attempt: the player's direction and button words run-length coded per
// channel, the attempt's random seed, and the cursors with which a replay plays it back.
#include <cstdint>

#include "foundation/containers.h"
#include "foundation/file_data.h"

class cReplayKeyLog : public cFileData {
 public:
  cReplayKeyLog() { SetupItems(g_nDataVersion); }
  cReplayKeyLog(const cReplayKeyLog& other) : cFileData() {
    SetupItems(g_nDataVersion);
    *this = other;
  }
  // The words, runs and seed; the playback cursors stay as they were.
  cReplayKeyLog& operator=(const cReplayKeyLog& other);

  // The seed is the one bound field.
  void SetupItems(int version) override;
  // Seed 0, no frames, the cursors at the start.
  void Clear();
  // Playback starts again from the first frame.
  void ResetPlayCursors();

  cVector<std::int16_t> m_DirWords;
  cVector<std::int16_t> m_ButtonWords;
  cVector<std::int32_t> m_DirRuns;
  cVector<std::int32_t> m_ButtonRuns;
  std::int32_t m_nSeed = 0;
  std::int32_t m_nDirIndex = 0;
  std::int32_t m_nButtonIndex = 0;
  std::int32_t m_nDirCount = 0;
  std::int32_t m_nButtonCount = 0;
};

// The log of the current attempt (also the one a loaded replay plays) and of the previous one.
extern cReplayKeyLog g_ReplayLog;
extern cReplayKeyLog g_PrevReplayLog;
