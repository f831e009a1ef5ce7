#include "project/story_save.h"

#include <gtest/gtest.h>

#include "foundation/report.h"
#include "platform/host_file.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/system_data.h"
#include "tests/support/scoped_value.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const char* const kChallengePath = "user_data/challenge/Challenge.dat";

class StorySaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    for (const char* folder : {"user_data", "user_data\\story", "user_data\\challenge"})
      ASSERT_TRUE(platform::MakeHostFolder(folder));
    g_SystemData.SetDefault();
    g_SystemData.m_bUnlimitedLives = {0, 0, 0, 0};
    g_SlotInfo.assign(kStorySlotCount, cSlotInfo());
  }
  void TearDown() override {
    platform::SetReplaceFaultHook(nullptr);
    g_SlotInfo.assign(kStorySlotCount, cSlotInfo());
  }
  static std::string SlotFile(int slot) {
    std::string path = MakeStorySlotPath(slot);
    for (char& c : path)
      if (c == '\\') c = '/';
    return path;
  }
  cTempFolder folder;
  cScopedGlobal<cSystemData> m_KeepSystem{g_SystemData};
};

TEST_F(StorySaveTest, SlotFileNames) {
  EXPECT_EQ(MakeStorySlotPath(0), "user_data\\story\\Story01.dat");
  EXPECT_EQ(MakeStorySlotPath(9), "user_data\\story\\Story10.dat");
  EXPECT_EQ(MakeStorySlotPath(98), "user_data\\story\\Story99.dat");
}

TEST_F(StorySaveTest, SaveAndLoadASlot) {
  cPlayData record;
  record.m_nLives = 3;
  record.m_nTotalScore = 4567;
  record.m_CommonVar[10] = 8;
  ASSERT_EQ(record.SaveSlot(2), 1);
  EXPECT_EQ(g_SlotInfo[2].m_nState, SLOT_SAVED);
  EXPECT_EQ(g_SlotInfo[2].m_bValid, 1);
  EXPECT_GE(g_SlotInfo[2].m_SaveTime.wYear, 2024);
  const Bytes file = ReadBytes(SlotFile(2));

  cPlayData loaded;
  ASSERT_EQ(loaded.LoadSlot(2), 1);
  EXPECT_EQ(loaded.m_nTotalScore, 4567);
  EXPECT_EQ(loaded.m_CommonVar[10], 8);
  EXPECT_EQ(loaded.m_SaveTime.wMinute, g_SlotInfo[2].m_SaveTime.wMinute);
  ASSERT_EQ(loaded.SaveFile("copy.dat"), 1);
  EXPECT_EQ(ReadBytes("copy.dat"), file);

  cVector<cSlotInfo> headers(kStorySlotCount);
  LoadSlotHeaders(headers);
  EXPECT_EQ(headers[2].m_nState, SLOT_SAVED);
  EXPECT_EQ(headers[2].m_SaveTime.wSecond, g_SlotInfo[2].m_SaveTime.wSecond);
  EXPECT_EQ(headers[1].m_nState, SLOT_EMPTY);
  EXPECT_EQ(headers[1].m_bValid, 0);
  cPlayData untouched;
  untouched.m_nLives = 6;
  EXPECT_EQ(untouched.LoadSlot(1), 0);  // nothing saved there
  EXPECT_EQ(untouched.m_nLives, 6);
  EXPECT_EQ(untouched.SaveSlot(-1), 0);
  EXPECT_EQ(untouched.SaveSlot(kStorySlotCount), 0);
}

TEST_F(StorySaveTest, AnInterruptedSaveKeepsTheOldSave) {
  cPlayData record;
  record.m_nTotalScore = 100;
  ASSERT_EQ(record.SaveSlot(0), 1);
  const Bytes old = ReadBytes(SlotFile(0));
  g_SlotInfo[0].m_SaveTime.wYear = 1999;  // the time the list shows for the old save
  const platform::sSystemTime before = record.m_SaveTime;

  platform::SetReplaceFaultHook([](const std::string&) { return false; });
  record.m_nTotalScore = 200;
  EXPECT_EQ(record.SaveSlot(0), 0);
  EXPECT_EQ(ReadBytes(SlotFile(0)), old);
  EXPECT_EQ(g_SlotInfo[0].m_SaveTime.wYear, 1999);
  EXPECT_EQ(record.m_SaveTime.wMilliseconds, before.wMilliseconds);
  EXPECT_EQ(record.SaveChallenge(), 0);
  EXPECT_FALSE(platform::HostFileExists(kChallengePath));

  platform::SetReplaceFaultHook(nullptr);
  cPlayData loaded;
  ASSERT_EQ(loaded.LoadSlot(0), 1);
  EXPECT_EQ(loaded.m_nTotalScore, 100);
}

// A save that cannot be read is shown as such and is never written over.
TEST_F(StorySaveTest, UnreadableSavesAreShownAndKept) {
  cPlayData record;
  record.m_nTotalScore = 100;
  ASSERT_EQ(record.SaveSlot(4), 1);
  Bytes newer = ReadBytes(SlotFile(4));
  newer[0] = 0x36;  // version 822
  newer[1] = 0x03;
  const Bytes good = ReadBytes(SlotFile(4));
  const Bytes damaged(good.begin(), good.end() - 10);
  for (const Bytes& bytes : {newer, damaged, Bytes{1, 2}}) {
    WriteBytes(SlotFile(4), bytes);
    cVector<cSlotInfo> headers(kStorySlotCount);
    headers[4].Set(record);
    LoadSlotHeaders(headers);
    EXPECT_EQ(headers[4].m_nState, SLOT_UNREADABLE);
    EXPECT_EQ(headers[4].m_bValid, 0);
    EXPECT_FALSE(SlotDateText(headers[4]).empty());

    cPlayData other;
    other.m_nTotalScore = 7;
    EXPECT_EQ(other.LoadSlot(4), 0);
    EXPECT_EQ(other.m_nTotalScore, 7);
    EXPECT_EQ(other.SaveSlot(4), 0);
    EXPECT_EQ(ReadBytes(SlotFile(4)), bytes);

    WriteBytes(kChallengePath, bytes);
    EXPECT_EQ(other.LoadChallenge(), 0);
    EXPECT_EQ(other.SaveChallenge(), 0);
    EXPECT_EQ(ReadBytes(kChallengePath), bytes);
  }
  // Once the player removes the file, the slot is free again.
  ASSERT_TRUE(platform::RemoveHostFile(MakeStorySlotPath(4)));
  cVector<cSlotInfo> headers(kStorySlotCount);
  LoadSlotHeaders(headers);
  EXPECT_EQ(headers[4].m_nState, SLOT_EMPTY);
  EXPECT_EQ(record.SaveSlot(4), 1);
}

TEST_F(StorySaveTest, LivesOfALoadedSave) {
  struct sCase {
    int playMode;
    int unlimited;
    std::int32_t savedLives;
    std::int32_t wantEntry, wantLives;
  };
  for (const sCase& c :
       {sCase{PLAY_MODE_STORY, 0, kUnlimitedLives, 2, 5},
        sCase{PLAY_MODE_STORY, 1, 3, kUnlimitedLives, kUnlimitedLives},
        sCase{PLAY_MODE_STORY, 0, 3, 2, 3}, sCase{PLAY_MODE_CHALLENGE, 0, kUnlimitedLives, 2, 8},
        sCase{PLAY_MODE_CHALLENGE, 1, 3, kUnlimitedLives, kUnlimitedLives}}) {
    cPlayData record;
    record.m_nEntryLives = 2;
    record.m_nLives = c.savedLives;
    g_SystemData.m_bUnlimitedLives = {0, 0, 0, 0};
    g_SystemData.m_nStartLives = {5, 8, 5, 5};
    cPlayData loaded;
    if (c.playMode == PLAY_MODE_STORY) {
      ASSERT_EQ(record.SaveSlot(0), 1);
      g_SystemData.m_bUnlimitedLives[0] = c.unlimited;
      ASSERT_EQ(loaded.LoadSlot(0), 1);
    } else {
      ASSERT_EQ(record.SaveChallenge(), 1);
      g_SystemData.m_bUnlimitedLives[1] = c.unlimited;
      ASSERT_EQ(loaded.LoadChallenge(), 1);
    }
    EXPECT_EQ(loaded.m_nEntryLives, c.wantEntry);
    EXPECT_EQ(loaded.m_nLives, c.wantLives);
  }
}

TEST_F(StorySaveTest, SlotListLines) {
  cVector<cSlotInfo> headers(kStorySlotCount);
  headers[96].m_bValid = 1;
  headers[96].m_nState = SLOT_SAVED;
  headers[96].m_SaveTime = {2026, 3, 2, 9, 7, 5, 59, 999};
  headers[97].m_nState = SLOT_UNREADABLE;
  const std::vector<sSlotListLine> lines = BuildSlotList(headers, 95, 10);
  ASSERT_EQ(lines.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[i].nRow, i);
    EXPECT_EQ(lines[i].nSlotNumber, 96 + i);
  }
  EXPECT_EQ(lines[0].strDate, "");
  EXPECT_EQ(lines[1].strDate, "2026/03/09 07:05");
  EXPECT_EQ(lines[2].strDate, SlotDateText(headers[97]));
  EXPECT_NE(lines[2].strDate, "");

  const std::vector<sSlotListLine> top = BuildSlotList(headers, -2, 3);
  ASSERT_EQ(top.size(), 1u);
  EXPECT_EQ(top[0].nRow, 2);
  EXPECT_EQ(top[0].nSlotNumber, 1);
}

}  // namespace
