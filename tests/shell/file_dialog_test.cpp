#include "shell/file_dialog.h"

#include <gtest/gtest.h>

namespace {

TEST(FileFilter, PairsOfCaptionAndPatternsUpToTheDoubleNul) {
  using namespace std::string_literals;
  const auto entries =
      ParseFileFilter("Stage\0*.stg4_*;*.rpl4_*\0All\0*.*\0\0Ignored\0*.x\0"s);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].strCaption, "Stage");
  EXPECT_EQ(entries[0].patterns, (std::vector<std::string>{"*.stg4_*", "*.rpl4_*"}));
  EXPECT_EQ(entries[1].patterns, (std::vector<std::string>{"*.*"}));
  EXPECT_TRUE(ParseFileFilter("").empty());
  EXPECT_TRUE(ParseFileFilter("caption without patterns"s).empty());
  EXPECT_EQ(ParseFileFilter("A\0;*.a;;\0"s)[0].patterns, (std::vector<std::string>{"*.a"}));
}

}  // namespace
