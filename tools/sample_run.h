#pragma once
// The player run without a screen, a sound device or a clock of its own: the real start-up on
// a game folder with SDL's dummy drivers, then frames through the scene manager, one call at a
// time, on a clock that moves only as the frames ask. Keys are held through the platform's
// key-state table, as the window would hold them. For the tests and tools that play the sample
// game from a script; the player itself has no such mode.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class cTrialOutcomeScope;
}

class cHeadlessRun {
 public:
  cHeadlessRun();
  ~cHeadlessRun();
  cHeadlessRun(const cHeadlessRun&) = delete;
  cHeadlessRun& operator=(const cHeadlessRun&) = delete;

  // Starts the program in the current folder, which holds a game (its data folder made from
  // default\ when missing, as the first start asks). False, with the messages shown so far in
  // Messages(), when start-up failed.
  bool Start(const std::string& commandLine = "");

  // One frame with exactly these keys held (virtual key codes: 'Z', platform::VK_LEFT...),
  // and the taps pressed and let go again before it, as a quick finger does between two
  // frames. False when the program asked to end.
  bool Frame(const std::vector<int>& keys = {}, const std::vector<int>& taps = {});

  // Runs frames, the keys of each given by keysOf(frame number from 0), until done() holds
  // before a frame or the bound is reached. Returns the frames run, or -1 at the bound or
  // when the program asked to end.
  int RunUntil(const std::function<bool()>& done, int bound,
               const std::function<std::vector<int>(int)>& keysOf);

  // From the title, plays a replay file as the title's replay command does once its dialog
  // chose the file: replay mode, the file loaded into the play records, the play scene next.
  // False when the file does not load.
  bool StartReplay(const std::string& path);

  int Frames() const { return m_nFrames; }
  // The message boxes shown (UTF-8), each answered with its default.
  const std::vector<std::string>& Messages() const;

 private:
  // The music's trial reads wait for their own outcome, not for the host's clock, so that a
  // slow machine hears the same music.
  std::unique_ptr<platform::cTrialOutcomeScope> m_pTrialOutcome;
  bool m_bStarted = false;
  int m_nFrames = 0;
  // The system bitmaps' file names, which the scenes rename, as they were before the run.
  std::vector<std::string> m_SystemBmpFiles;
};

// Where a stage's play stands: still playing, cleared (the stage-end phase), or lost (the
// retry or game-over menu), with the score and the frames of play so far.
struct sPlayEnd {
  enum eState { PLAYING, CLEARED, LOST, NO_STAGE } nState = NO_STAGE;
  int nScore = 0;
  int nFrames = 0;
};
sPlayEnd CurrentPlayEnd();
// "cleared, score 120, 1834 frames"
std::string DescribePlayEnd(const sPlayEnd& end);

// A key script: one line per stretch of frames, "<frames> <keys>", the keys among L R U D
// (the directions) and Z X C V (buttons 1 to 4), "-" for none; "#" starts a comment. The keys
// of each frame in order; empty, with a message in error, when a line cannot be read.
std::vector<std::vector<int>> ParseKeyScript(const std::string& text, std::string& error);

// The keys of a script that holds button 1 on every other frame, as the replays' harness does
// so that a message that waits for a press is always answered.
std::vector<int> TapButton1(int frame);
