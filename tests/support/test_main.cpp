// Test entry: every test runs without a display and with the data version set as start-up
// sets it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/file_data.h"
#include "platform/message_box.h"
#include "tests/support/lsan_suppressions.h"

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  g_nDataVersion = kDataVersion;
  platform::SetMessageBoxesShown(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
