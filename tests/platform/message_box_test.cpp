#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../support/close_signal.h"
#include "../support/fresh_process.h"
#include "platform/glyph_source.h"

TEST(MessageBox, WithoutADisplayNothingIsShown) {
  // The display is put back for the tests after this one.
  const char* display = std::getenv("DISPLAY");
  const std::string kept = display ? display : "";
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  platform::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(platform::ShowMessageBox("text", "caption", platform::kBoxYesNo), 0);
  EXPECT_EQ(platform::DefaultAnswer(platform::kBoxYesNo | platform::kIconQuestion),
            platform::kAnswerYes);
  EXPECT_EQ(platform::DefaultAnswer(platform::kBoxOkCancel), platform::kAnswerOk);
  if (display) setenv("DISPLAY", kept.c_str(), 1);
}

// A real box on the display while the program's faces hold the font configuration. A close
// signal that arrives while it waits answers it as the button that does nothing, stays for
// the program's own loop to take, and the program then ends normally.
TEST(MessageBox, ACloseSignalAnswersTheOpenBoxAndTheProgramEndsNormally) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  InFreshProcess([] {
    platform::SetMessageBoxesShown(true);
    ASSERT_TRUE(platform::OpenGlyphFace("IPAGothic", 16, 0));
    struct sCase {
      int type, answer;
    } cases[] = {
        {platform::kBoxYesNo | platform::kIconQuestion, platform::kAnswerNo},
        {platform::kBoxOkCancel, platform::kAnswerCancel},
        {platform::kBoxOk | platform::kIconError, platform::kAnswerOk},
    };
    for (const sCase& c : cases)
      RunWhileCloseSignalArrives([&] {
        EXPECT_EQ(platform::ShowMessageBox("question", "caption", c.type), c.answer) << c.type;
      });
  });
}
