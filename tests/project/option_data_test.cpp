#include "project/option_data.h"

#include <gtest/gtest.h>

#include "foundation/report.h"
#include "platform/host_file.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes OptionFile(int version, std::int32_t palette, std::int32_t bgm, std::int32_t volume,
                 std::int32_t rankMode, const char* name) {
  cBytes f;
  f.I32(version).I32(4).I32(palette).I32(bgm).I32(volume).I32(rankMode).I32(1).Str(name);
  return f.data;
}

class OptionDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    ASSERT_TRUE(platform::MakeHostFolder("user_data"));
  }
  cTempFolder folder;
};

TEST_F(OptionDataTest, DefaultsWithoutAFile) {
  cOptionData options;
  EXPECT_EQ(options.Load(), 0);
  EXPECT_EQ(options.m_nPalette, 0);
  EXPECT_EQ(options.m_bBgm, 1);
  EXPECT_EQ(options.m_nSeVolume, 7);
  EXPECT_EQ(options.m_nRankMode, 0);
  EXPECT_EQ(options.m_strRankName, "aaa");
  EXPECT_EQ(options.Save(), 1);
  EXPECT_EQ(ReadBytes("user_data/Option.dat"), OptionFile(821, 0, 1, 7, 0, "aaa"));
}

TEST_F(OptionDataTest, ReadAndWrittenByteForByte) {
  for (int version : {100, 821}) {
    WriteBytes("user_data/Option.dat", OptionFile(version, 23, 0, 10, 3, "xyz"));
    cOptionData options;
    ASSERT_EQ(options.Load(), 1);
    EXPECT_EQ(options.m_nPalette, 23);
    EXPECT_EQ(options.m_bBgm, 0);
    EXPECT_EQ(options.m_strRankName, "xyz");
    ASSERT_EQ(options.Save(), 1);
    EXPECT_EQ(ReadBytes("user_data/Option.dat"), OptionFile(821, 23, 0, 10, 3, "xyz"));
  }
}

TEST_F(OptionDataTest, ValuesOutsideTheirRangesAreClamped) {
  struct sCase {
    std::int32_t palette, bgm, volume, rankMode;
    std::int32_t wantPalette, wantBgm, wantVolume, wantRankMode;
  };
  for (const sCase& c : {sCase{24, 2, 11, 4, 23, 1, 10, 3}, sCase{-1, -1, -3, -9, 0, 1, 0, 0},
                         sCase{12, 0, 5, 2, 12, 0, 5, 2}}) {
    WriteBytes("user_data/Option.dat",
               OptionFile(821, c.palette, c.bgm, c.volume, c.rankMode, "aaa"));
    cOptionData options;
    ASSERT_EQ(options.Load(), 1);
    EXPECT_EQ(options.m_nPalette, c.wantPalette);
    EXPECT_EQ(options.m_bBgm, c.wantBgm);
    EXPECT_EQ(options.m_nSeVolume, c.wantVolume);
    EXPECT_EQ(options.m_nRankMode, c.wantRankMode);
  }
}

TEST_F(OptionDataTest, ANewerFileKeepsTheDefaultsAndIsNotOverwritten) {
  const Bytes newer = OptionFile(900, 5, 0, 2, 1, "new");
  WriteBytes("user_data/Option.dat", newer);
  cOptionData options;
  EXPECT_EQ(options.Load(), 0);
  EXPECT_EQ(options.m_nSeVolume, 7);
  EXPECT_EQ(options.Save(), 0);
  EXPECT_EQ(ReadBytes("user_data/Option.dat"), newer);
}

}  // namespace
