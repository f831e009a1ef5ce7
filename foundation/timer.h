#pragma once
// Millisecond timing of the frame loop: a stopwatch for the work of a frame, a call counter
// that turns frames into seconds, the frames-per-second counter, and the two frame pacers.
// The state exists once for the process and is used by the game thread. Times are read from
// a 64-bit monotonic clock; the values handed out are its low 32 bits, as the old millisecond
// clock gave them.
#include <cstdint>

struct DDSURFACEDATA;

// Now, in milliseconds.
std::uint32_t TimeGetTime();

std::uint32_t TimerStart();
std::uint32_t TimerRestart();
// Now minus the stopwatch's start; with restart non-zero the stopwatch starts again.
std::uint32_t TimerElapsed(int restart);
// With measure non-zero keeps and returns the time since the stopwatch's start; with 0
// returns the kept time (1 until the first measure).
std::uint32_t TimerElapsedCached(int measure);

// mode 0: reset, 0. mode 2: 1 when the counter is 0. Other modes: count one; 1 (and reset)
// when the count reaches n.
int CountEvery(int mode, unsigned n);
// The frames counted in the last complete second; with count non-zero one frame is counted
// first (the frame that closes a second is counted in neither).
unsigned CountFps(int count);
// The frame limiter of the DirectDraw mode: true when the frame may go, at least 1000 / fps
// ms after the last one. After each false the caller sleeps until WaitRateDueIn says.
bool WaitRate(unsigned fps);
// The frame pacer of the Direct3D mode: releases frame k of a pacing second at
// start + k * 1000 / fps; with show and a font it draws the measured rates. A frame released
// a whole frame time late starts a new pacing second, so missed frames are not made up.
bool FrameWait(unsigned fps, int show, DDSURFACEDATA* font);
// The milliseconds until WaitRate, or FrameWait at fps, lets the next frame go; at least 1, so
// a caller that sleeps them after a false never spins.
std::uint32_t WaitRateDueIn();
std::uint32_t FrameWaitDueIn(unsigned fps);

// What the pacer needs of the media library: whether the Direct3D mode is on, and text drawn
// on the back buffer from a font surface with cells of 8 x 16 pixels. Without them the pacer
// lets every frame go at once, as the DirectDraw mode does.
struct sFrameWaitHooks {
  bool (*isDirect3D)() = nullptr;
  void (*drawText)(DDSURFACEDATA* font, int x, int y, const char* text) = nullptr;
};
void SetFrameWaitHooks(const sFrameWaitHooks& hooks);

// Sleeps about ms milliseconds on the timers' clock: the host's sleep, or the test's.
void TimerSleep(std::uint32_t ms);

// Tests: a clock of their own (null: the host's), a sleep that advances it (null: the host's),
// and timing state as at start.
void SetTimerClock(std::uint64_t (*now)());
void SetTimerSleep(void (*sleep)(std::uint32_t ms));
void ResetTimers();
