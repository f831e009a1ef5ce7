#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(MessageBox, WithoutADisplayNothingIsShown) {
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  platform::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(platform::ShowMessageBox("text", "caption", platform::kBoxYesNo), 0);
  EXPECT_EQ(platform::DefaultAnswer(platform::kBoxYesNo | platform::kIconQuestion),
            platform::kAnswerYes);
  EXPECT_EQ(platform::DefaultAnswer(platform::kBoxOkCancel), platform::kAnswerOk);
}
