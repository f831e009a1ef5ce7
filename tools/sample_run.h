#pragma once
// The player run without a screen, a sound device or a clock of its own: the real start-up on
// a game folder with SDL's dummy drivers, then frames through the scene manager, one call at a
// time, on a clock that moves only as the frames ask. Keys are held through the platform's
// key-state table, as the window would hold them. For the tests and tools that play the sample
// game from a script; the player itself has no such mode.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

  // One frame with exactly these keys held (virtual key codes: 'Z', platform::VK_LEFT...).
  // False when the program asked to end.
  bool Frame(const std::vector<int>& keys = {});

  // Runs frames, the keys of each given by keysOf(frame number from 0), until done() holds
  // before a frame or the bound is reached. Returns the frames run, or -1 at the bound or
  // when the program asked to end.
  int RunUntil(const std::function<bool()>& done, int bound,
               const std::function<std::vector<int>(int)>& keysOf);

  int Frames() const { return m_nFrames; }
  // The message boxes shown (UTF-8), each answered with its default.
  const std::vector<std::string>& Messages() const;

 private:
  bool m_bStarted = false;
  int m_nFrames = 0;
  // The system bitmaps' file names, which the scenes rename, as they were before the run.
  std::vector<std::string> m_SystemBmpFiles;
};

// The keys of a script that holds button 1 on every other frame, as the replays' harness does
// so that a message that waits for a press is always answered.
std::vector<int> TapButton1(int frame);
