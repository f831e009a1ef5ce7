#include "project/menu_command.h"

#include <gtest/gtest.h>

#include "foundation/report.h"

namespace {

cVector<cCmd> Menu(std::initializer_list<std::pair<int, const char*>> entries) {
  cVector<cCmd> list;
  for (auto& [enabled, caption] : entries) list.emplace_back(enabled, caption);
  return list;
}

TEST(MenuCommands, EnabledEntriesCountedAndFound) {
  const cVector<cCmd> list = Menu({{1, "a"}, {0, "b"}, {1, "c"}, {0, "d"}, {1, "e"}});
  EXPECT_EQ(cCmd::CountEnabled(list), 3);
  EXPECT_EQ(cCmd::GetCmdNum(0, list), 0);
  EXPECT_EQ(cCmd::GetCmdNum(1, list), 2);
  EXPECT_EQ(cCmd::GetCmdNum(2, list), 4);
  EXPECT_EQ(cCmd::GetCmdNum(3, list), 0);   // no such entry
  EXPECT_EQ(cCmd::GetCmdNum(-1, list), 0);
  EXPECT_EQ(cCmd::CountEnabled(cVector<cCmd>{}), 0);
}

TEST(MenuCommands, TheWindowIsCentredByItsWidestEnabledCaption) {
  // Two double-byte captions of 2 and 3 characters: (3 + 1) x 16 = 64 wide.
  EXPECT_EQ(cCmd::GetCmdWindowX(320, Menu({{1, "\x82\xA0\x82\xA2"}, {1, "\x82\xA0\x82\xA2\x82\xA4"}})),
            288);
  // A disabled caption does not count; a line feed counts nothing.
  EXPECT_EQ(cCmd::GetCmdWindowX(100, Menu({{1, "ab\n"}, {0, "abcdefgh"}})), 100 - 48 / 2);
  EXPECT_EQ(cCmd::GetCmdWindowX(100, Menu({{1, ""}, {1, ""}})), 100);
  EXPECT_EQ(cCmd::GetCmdWindowX(100, Menu({})), 100);
}

}  // namespace
