// Test entry: every test runs without a display and with the data version set as start-up
// sets it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/file_data.h"
#include "platform/message_box.h"

// The desktop bus and X libraries that SDL's video start-up loads keep a few buffers for the
// life of the process; they are not the program's.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libX11.so\nleak:libxcb\n";
}

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  g_nDataVersion = kDataVersion;
  platform::SetMessageBoxesShown(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
