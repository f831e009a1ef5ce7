#include "foundation/timer.h"

#include <cstdio>

#include "platform/clock.h"

namespace {

constexpr int kRingSize = 16;

struct sRing {
  std::uint32_t samples[kRingSize] = {};
  int position = 0;
  std::uint32_t average = 0;

  void Put(std::uint32_t value) {
    samples[position++] = value;
    if (position < kRingSize) return;
    position = 0;
    std::uint64_t sum = 0;
    for (std::uint32_t sample : samples) sum += sample;
    average = static_cast<std::uint32_t>(sum / kRingSize);
  }
};

struct sTiming {
  std::uint64_t stopwatchStart = 0;
  std::uint32_t frameWork = 1;
  unsigned everyCount = 0;
  bool fpsStarted = false;
  std::uint64_t fpsStart = 0;
  unsigned fpsFrames = 0;
  unsigned fpsPublished = 0;
  bool rateStarted = false;
  std::uint64_t rateDue = 0;
  bool paceStarted = false;
  std::uint64_t paceStart = 0;
  unsigned paceFrames = 0;
  sRing workRing;
  sRing fpsRing;
  bool sampleReady = true;
};

sTiming g_timing;
std::uint64_t (*g_clock)() = nullptr;
void (*g_sleep)(std::uint32_t) = nullptr;
sFrameWaitHooks g_hooks;

std::uint64_t Now() { return g_clock ? g_clock() : platform::MonotonicMs(); }

}  // namespace

std::uint32_t TimeGetTime() { return static_cast<std::uint32_t>(Now()); }

std::uint32_t TimerStart() {
  g_timing.stopwatchStart = Now();
  return static_cast<std::uint32_t>(g_timing.stopwatchStart);
}

std::uint32_t TimerRestart() { return TimerStart(); }

std::uint32_t TimerElapsed(int restart) {
  const std::uint64_t now = Now();
  const auto elapsed = static_cast<std::uint32_t>(now - g_timing.stopwatchStart);
  if (restart) g_timing.stopwatchStart = now;
  return elapsed;
}

std::uint32_t TimerElapsedCached(int measure) {
  if (measure) g_timing.frameWork = static_cast<std::uint32_t>(Now() - g_timing.stopwatchStart);
  return g_timing.frameWork;
}

int CountEvery(int mode, unsigned n) {
  if (mode == 0) {
    g_timing.everyCount = 0;
    return 0;
  }
  if (mode == 2) return g_timing.everyCount == 0 ? 1 : 0;
  if (++g_timing.everyCount >= n) {
    g_timing.everyCount = 0;
    return 1;
  }
  return 0;
}

unsigned CountFps(int count) {
  const std::uint64_t now = Now();
  if (!g_timing.fpsStarted) {
    g_timing.fpsStarted = true;
    g_timing.fpsStart = now;
  }
  if (!count) return g_timing.fpsPublished;
  if (now - g_timing.fpsStart >= 1000) {
    g_timing.fpsPublished = g_timing.fpsFrames;
    g_timing.fpsStart = now;
    g_timing.fpsFrames = 0;
    return g_timing.fpsPublished;
  }
  ++g_timing.fpsFrames;
  return g_timing.fpsPublished;
}

bool WaitRate(unsigned fps) {
  const std::uint64_t now = Now();
  if (!g_timing.rateStarted) {
    g_timing.rateStarted = true;
    g_timing.rateDue = now;
  }
  if (fps == 0) return true;
  if (now < g_timing.rateDue) return false;
  g_timing.rateDue = now + 1000 / fps;
  return true;
}

bool FrameWait(unsigned fps, int show, DDSURFACEDATA* font) {
  if (fps == 0 || !g_hooks.isDirect3D || !g_hooks.isDirect3D()) return true;
  const std::uint64_t now = Now();
  if (!g_timing.paceStarted) {
    g_timing.paceStarted = true;
    g_timing.paceStart = now;
  }
  const bool drawing = show && font;
  if (drawing && g_timing.sampleReady) {
    g_timing.sampleReady = false;
    g_timing.workRing.Put(TimerElapsedCached(0));
    g_timing.fpsRing.Put(CountFps(0));
  }
  // Release times are counted from the start of the pacing second, so they never drift
  // within it. The last frame of a second starts the next one at its own time, as players of
  // existing games know the speed.
  const double due = static_cast<double>(g_timing.paceStart) +
                     static_cast<double>(g_timing.paceFrames) * 1000.0 / static_cast<double>(fps);
  if (due > static_cast<double>(now)) return false;
  if (static_cast<double>(now) - due >= 1000.0 / static_cast<double>(fps)) {
    // A whole frame late (the thread was held: a load, a dialog): the pacing second starts
    // again now, rather than the missed frames running all at once.
    g_timing.paceFrames = 0;
    g_timing.paceStart = now;
  }
  if (++g_timing.paceFrames >= fps) {
    g_timing.paceFrames = 0;
    g_timing.paceStart = now;
  }
  if (drawing) {
    if (g_hooks.drawText) {
      char text[160];
      std::snprintf(text, sizeof(text), "FPS-Ave %u(%u)\ndwTime_OneSec %u\nnFrameCt_OneSec %u",
                    g_timing.fpsRing.average, g_timing.workRing.average,
                    static_cast<std::uint32_t>(g_timing.paceStart), g_timing.paceFrames);
      g_hooks.drawText(font, 0, 16, text);
    }
    g_timing.sampleReady = true;
  }
  return true;
}

namespace {
std::uint32_t MsUntil(double due) {
  const double left = due - static_cast<double>(Now());
  if (left <= 1.0) return 1;
  const auto whole = static_cast<std::uint32_t>(left);
  return static_cast<double>(whole) < left ? whole + 1 : whole;
}
}  // namespace

std::uint32_t WaitRateDueIn() { return MsUntil(static_cast<double>(g_timing.rateDue)); }

std::uint32_t FrameWaitDueIn(unsigned fps) {
  if (fps == 0) return 1;
  return MsUntil(static_cast<double>(g_timing.paceStart) +
                 static_cast<double>(g_timing.paceFrames) * 1000.0 / static_cast<double>(fps));
}

void SetFrameWaitHooks(const sFrameWaitHooks& hooks) { g_hooks = hooks; }

void TimerSleep(std::uint32_t ms) {
  if (g_sleep)
    g_sleep(ms);
  else
    platform::SleepMs(ms);
}

void SetTimerClock(std::uint64_t (*now)()) { g_clock = now; }

void SetTimerSleep(void (*sleep)(std::uint32_t ms)) { g_sleep = sleep; }

void ResetTimers() { g_timing = sTiming(); }
