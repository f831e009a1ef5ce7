#pragma once
// A close signal from outside that arrives while run waits for the user (a box, a chooser, a
// dialog): run must give way within two seconds, and the signal stays for the program's loop to
// take. A run that does not give way within a few seconds ends the test process.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>

#include "platform/clock.h"
#include "platform/close_request.h"

inline void RunWhileCloseSignalArrives(const std::function<void()>& run) {
  std::atomic<bool> answered{false};
  std::thread closer([&] {
    platform::SleepMs(300);
    platform::RaiseCloseSignalForTest();
    for (int waited = 0; !answered && waited < 5000; ++waited) platform::SleepMs(1);
    if (!answered) std::_Exit(3);
  });
  const std::uint64_t start = platform::MonotonicMs();
  run();
  answered = true;
  closer.join();
  EXPECT_LT(platform::MonotonicMs() - start, 2000u);
  EXPECT_TRUE(platform::TakeCloseSignal());
}
