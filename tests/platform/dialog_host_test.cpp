#include "platform/dialog_host.h"

#include <gtest/gtest.h>

#include "../support/close_signal.h"

namespace {

TEST(FileChooser, SavedNamesWithoutExtensionGetTheWholeDefaultOne) {
  using platform::WithDefaultExtension;
  EXPECT_EQ(WithDefaultExtension("/g/replay", "rpl4_821"), "/g/replay.rpl4_821");
  EXPECT_EQ(WithDefaultExtension("/g/replay.rpl4_500", "rpl4_821"), "/g/replay.rpl4_500");
  EXPECT_EQ(WithDefaultExtension("/g.d/replay", "rpl4_821"), "/g.d/replay.rpl4_821");
  EXPECT_EQ(WithDefaultExtension("/g/replay", ""), "/g/replay");
}

TEST(FileChooser, FilterPatternsIgnoreCase) {
  EXPECT_EQ(platform::CaselessPattern("*.stg4_*"), "*.[sS][tT][gG]4_*");
}

// The chooser's window fits on the screen (its buttons stay reachable), whatever size the
// toolkit would give it by default.
int g_nChooserW = 0, g_nChooserH = 0;
void MeasureAndCancel(const std::string&) {
  int w = 0, h = 0;
  static int ticks = 0;
  if (!platform::ChooserWindowSize(w, h)) {  // not on the screen yet
    ticks = 0;
    return;
  }
  if (++ticks < 50) return;  // as the user sees it, once the window has settled
  ticks = 0;
  g_nChooserW = w;
  g_nChooserH = h;
  platform::AnswerChooser("");
}

TEST(FileChooser, OpensNoLargerThanTheScreensWorkArea) {
  if (!platform::StartDialogToolkit()) GTEST_SKIP() << "no display";
  int x = 0, y = 0, areaW = 0, areaH = 0;
  ASSERT_TRUE(platform::MonitorWorkArea(x, y, areaW, areaH));
  platform::SetChooserWatcher(&MeasureAndCancel);
  for (bool save : {true, false}) {
    platform::sFileChoice choice;
    choice.save = save;
    choice.folder = "/tmp";
    choice.title = save ? "save" : "open";
    g_nChooserW = g_nChooserH = 0;
    EXPECT_TRUE(platform::ChooseFiles(choice).empty());
    EXPECT_GT(g_nChooserW, 0) << choice.title;
    EXPECT_LE(g_nChooserW, areaW) << choice.title;
    EXPECT_LE(g_nChooserH, areaH) << choice.title;
  }
  platform::SetChooserWatcher(nullptr);
}

// A close signal from outside while a chooser or a dialog waits for the user: it gives way at
// once (a chooser as cancelled, a dialog through its own close handling, or ended when that
// handling keeps it open) and the signal stays for the program's loop to take.
TEST(FileChooser, ACloseSignalCancelsTheOpenChooser) {
  if (!platform::StartDialogToolkit()) GTEST_SKIP() << "no display";
  for (bool save : {true, false}) {
    platform::sFileChoice choice;
    choice.save = save;
    choice.folder = "/tmp";
    choice.title = save ? "save" : "open";
    RunWhileCloseSignalArrives([&] { EXPECT_TRUE(platform::ChooseFiles(choice).empty()); });
  }
}

TEST(HostDialog, ACloseSignalClosesTheOpenDialog) {
  if (!platform::StartDialogToolkit()) GTEST_SKIP() << "no display";
  for (bool closes : {true, false}) {
    platform::cHostDialog dialog("dialog", 200, 100);
    dialog.AddEdit(1, 10, 10, 100, 20);
    platform::sDialogEvents events;
    int closeCalls = 0;
    // A dialog that ends on its close box, and one that stays open.
    events.close = [&] {
      ++closeCalls;
      if (closes) dialog.End(7);
    };
    RunWhileCloseSignalArrives([&] { EXPECT_EQ(dialog.RunModal(events), closes ? 7 : 0); });
    EXPECT_EQ(closeCalls, 1);
  }
}

}  // namespace
