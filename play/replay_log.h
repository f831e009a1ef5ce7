#pragma once
// The key log of an attempt: the player's direction and button words run-length coded per
// channel, the attempt's random seed, and the cursors with which a replay plays it back.
// Also the replay files that hold a log with its stage and progress, their names, and the
// keys that save one during play.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"
#include "platform/clock.h"

class cInputState;
class cPlayData;
class cStage;

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
  // The seed, then the four channels' vectors (a count, then the elements). A count the file
  // cannot back, or a channel whose words and runs differ in number, marks the file damaged.
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  // Seed 0, no frames, the cursors at the start.
  void Clear();
  // Playback starts again from the first frame.
  void ResetPlayCursors();

  // Appends one frame of the record's two words: a word equal to its channel's last one
  // lengthens that run, any other starts a new run.
  void Record(const cInputState& record);
  // Writes the next frame into the record's two words and returns 0; 1 when either channel
  // is exhausted (nothing written).
  int Play(cInputState& record);
  // 1 when no frame was recorded.
  bool IsEmpty() const { return m_DirWords.empty(); }

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
// Calls of CheckPlayHotKeys until the nothing-to-save sound may sound again.
extern std::int32_t g_nReplayNoticeWait;

// A replay file: the data version, the stage body (the definition lists of stage, the rest
// from copy, as they were before the attempt), the key log and the progress at the attempt's
// start. Written through the safe replace: 1, or 0 when it could not be written (nothing of it
// is then left behind).
int SaveReplayFile(cReplayKeyLog& log, const std::string& path, cStage& stage, cStage& copy,
                   cPlayData& progress);
// Reads a replay file: the stage into stage, its play data into second, the key log into log
// and, from version 173 on, the progress into progress; older files leave progress as it is.
// The file is read whole into scratch records first, so a file that is missing, newer or
// damaged changes none of them; it is reported in a box naming it, and the result is 0.
// On success g_nPlaybackReplayVersion holds the file's version.
int LoadReplayFile(cReplayKeyLog& log, const std::string& path, cStage& stage, cStage& second,
                   cPlayData& progress);
// The proposed name of a new replay of the stage name (the progress record's, with its
// variant): user_data\rpl4\NAME__YYYY__MM_DD__hh_mm.rpl4_821, " (2)" to " (999)" before the
// extension while a file of that name exists, made absolute. An empty name gives the current
// folder. A long name is cut (at a whole character) so that the path stays within bounds.
int MakeReplayFileName(std::string& out, const std::string& name);
int MakeReplayFileName(std::string& out, const std::string& name,
                       const platform::sSystemTime& now);

// F1 saves the current attempt, F2 the previous one (through the main window's save request).
// 1 when a replay was saved (the caller then ends its frame without drawing), else 0.
int CheckPlayHotKeys();
// Empties the key logs of the current and the previous attempt.
void ClearReplayLogs();

// The main window's actions behind the replay requests: load the chosen file into the play
// records, save the current (previous 0) or previous attempt, and the proposed file name.
int LoadReplayForPlay(const std::string& path);
int SaveReplayOfAttempt(const std::string& path, int previous);
std::string ProposeReplayFileName();
