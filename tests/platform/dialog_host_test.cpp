#include "platform/dialog_host.h"

#include <gtest/gtest.h>

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

}  // namespace
