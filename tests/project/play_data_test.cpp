#include "project/play_data.h"

#include <gtest/gtest.h>

#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "project/system_data.h"
#include "tests/support/scoped_value.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Save(cPlayData& record) {
  DataFilePtr file = DataFileOpenWrite("progress.dat");
  record.Write(*file);
  return file->Bytes();
}

bool Load(cPlayData& record, const Bytes& bytes) {
  DataFilePtr file = DataFileFromBytes("progress.dat", bytes);
  return file && ReadRecordChecked(record, *file) == 1;
}

// A progress file of an older version, laid out by hand: the bound fields of that version
// numbered 1, 2, 3 ... in binding order, then the lists.
struct sOldFile {
  int version = 500;
  std::vector<std::int32_t> stageClear = {0, 0, 1};
  std::vector<std::int32_t> commonVar = {0, 7, 8};
};

Bytes OldProgressFile(const sOldFile& old) {
  const int v = old.version;
  int fields = 28;  // the fields every version down to 194 has
  if (v >= 758) fields += 3;
  if (v >= 678) fields += 3;
  if (v >= 679) fields += 1;
  cBytes f;
  f.I32(v).I32(fields);
  for (int i = 1; i <= fields; ++i) f.I32(i == 2 || i == 3 ? 0 : i);  // the cursor at (0, 0)
  f.I32(v >= 724 ? 3 : 2).Str("data\\stg4\\a.");
  if (v >= 724) f.Str("data\\stg4\\a.");
  f.Str("xyz");
  for (int i = 0; i < 8; ++i) f.I16(static_cast<std::int16_t>(2000 + i));
  if (v > 500) {
    f.I32(25);
    for (int i = 0; i < 25; ++i) f.I32(i % 2);
  }
  f.I32(0);  // carry-over slots
  f.I32(1);  // one result
  if (v >= 759)
    f.I32(4).I32(0).I32(0).I32(0).I32(300).I32(2).Str("data\\stg4\\a.").Str("data\\stg4\\a.");
  else
    f.I32(1).I32(300).I32(1).Str("data\\stg4\\a.");
  f.I32(1).I32(2).I32(1).I32(5000).I32(0);  // one challenge stage
  f.I32(static_cast<std::int32_t>(old.stageClear.size()));
  for (std::int32_t value : old.stageClear) f.I32(value);
  f.I32(static_cast<std::int32_t>(old.commonVar.size()));
  for (std::int32_t value : old.commonVar) f.I32(value);
  return f.data;
}

class PlayDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    g_SystemData.SetDefault();
    g_WorldMap.SetDefault();
  }
  void TearDown() override {
    SetPlayModeSource(nullptr);
  }
  cTempFolder folder;
  cScopedGlobal<cSystemData> m_KeepSystem{g_SystemData};
  cScopedGlobal<cWorldMapData> m_KeepMap{g_WorldMap};
  cScopedGlobal<int> m_KeepTestPlay{g_bTestPlay};
};

TEST_F(PlayDataTest, ResetGivesANewGame) {
  cPlayData record;
  record.m_nLives = 3;
  record.m_CommonVar[5] = 9;
  record.Reset();
  EXPECT_EQ(record.m_nLives, 0);
  EXPECT_EQ(record.m_nChallengeOpen, 1);
  EXPECT_EQ(record.m_nSaveSlot, -1);
  EXPECT_EQ(record.m_strRankName, "aaa");
  EXPECT_EQ(record.m_InheritFlags, cVector<std::int32_t>(25, 0));
  EXPECT_EQ(record.m_InheritSlots.size(), 1u);
  ASSERT_EQ(record.m_StageClear.size(), 1000u);
  EXPECT_EQ(record.m_StageClear[0], 1);
  EXPECT_EQ(record.m_CommonVar, cVector<std::int32_t>(1001, 0));
  EXPECT_EQ(record.Items().size(), 35u);
  EXPECT_EQ(record.StrItems().size(), 3u);
}

TEST_F(PlayDataTest, RoundTripIsByteIdentical) {
  cPlayData record;
  record.m_nMapX = 4;
  record.m_nMapPointSlot = 0x1234;
  record.SetStageName("data\\stg4\\abc-1.stg4", 1, 5, 2);
  record.m_nLives = 7;
  record.m_SaveTime.wYear = 2026;
  record.m_SaveTime.wMilliseconds = 999;
  record.m_InheritFlags[3] = 1;
  record.m_InheritSlots[0].m_nValue11 = 42;
  record.m_InheritSlots[0].m_Chara.m_nMaxHP = 77;
  record.RecordStageResult("data\\stg4\\abc.", "data\\stg4\\abc_c005_2.", 1, 5, 2, 900);
  record.m_StageClear[17] = 1;
  record.m_CommonVar[1000] = -5;
  const Bytes first = Save(record);
  ASSERT_EQ(record.m_ChallengeClear.size(), 40u);  // brought to the project's count on writing

  cPlayData loaded;
  ASSERT_TRUE(Load(loaded, first));
  EXPECT_EQ(Save(loaded), first);
  EXPECT_EQ(loaded.m_nMapPointSlot, 0x1234);
  EXPECT_EQ(loaded.m_strStageKey, "data\\stg4\\abc_c005_2.");
  EXPECT_EQ(loaded.m_SaveTime.wMilliseconds, 999);
  EXPECT_EQ(loaded.m_InheritSlots[0].m_Chara.m_nMaxHP, 77);
  EXPECT_EQ(loaded.GetStageResult("data\\stg4\\abc_c005_2."), 900);
  EXPECT_EQ(loaded.GetCommonVar(1000), -5);
}

TEST_F(PlayDataTest, OlderFilesAreUpgraded) {
  struct sCase {
    int version;
    bool allCarried;  // every carry flag 1
    int stageFlag0;   // entry 0 of the cleared stages
  };
  for (const sCase& c : {sCase{500, true, 1}, sCase{501, false, 1}, sCase{753, false, 1},
                         sCase{754, false, 1}, sCase{803, false, 1}, sCase{804, false, 0}}) {
    SCOPED_TRACE(c.version);
    sOldFile old;
    old.version = c.version;
    cPlayData record;
    ASSERT_TRUE(Load(record, OldProgressFile(old)));
    ASSERT_EQ(record.m_InheritFlags.size(), 25u);
    EXPECT_EQ(record.m_InheritFlags[0], c.allCarried ? 1 : 0);
    EXPECT_EQ(record.m_InheritFlags[1], 1);
    EXPECT_EQ(record.m_StageClear[0], c.stageFlag0);
    EXPECT_EQ(record.m_StageClear[2], 1);
    ASSERT_EQ(record.m_CommonVar.size(), 1001u);
    EXPECT_EQ(record.GetCommonVar(2), 8);
    EXPECT_EQ(record.GetCommonVar(1000), 0);
    ASSERT_EQ(record.m_Results.size(), 1u);
    EXPECT_EQ(record.m_Results[0].m_strKey, "data\\stg4\\a.");
    EXPECT_EQ(record.m_nStageBgmLoop, c.version >= 758 ? 22 : 19);  // stored since 166
    EXPECT_EQ(record.m_strRankName, "xyz");
    EXPECT_EQ(record.m_SaveTime.wDay, 2003);
    EXPECT_EQ(record.m_ChallengeClear.size(), 40u);
    EXPECT_EQ(record.m_ChallengeClear[0].m_nBest, 5000);
    EXPECT_EQ(record.m_InheritSlots.size(), 1u);  // every caller uses slot 0
    // Written back in the current layout, the record reads as it was.
    cPlayData again;
    const Bytes current = Save(record);
    ASSERT_TRUE(Load(again, current));
    EXPECT_EQ(Save(again), current);
  }
}

TEST_F(PlayDataTest, FileListsOfAnyLengthKeepTheRecordUsable) {
  sOldFile old;
  old.version = 821;
  old.stageClear = {};
  old.commonVar = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  cPlayData record;
  ASSERT_TRUE(Load(record, OldProgressFile(old)));
  EXPECT_EQ(record.m_StageClear.size(), 1000u);
  EXPECT_EQ(record.m_CommonVar.size(), 1001u);
  EXPECT_EQ(record.GetCommonVar(11), 11);
  EXPECT_FALSE(record.IsFlagSet(999));
}

TEST_F(PlayDataTest, DamagedFilesChangeNothing) {
  sOldFile old;
  old.version = 821;
  const Bytes good = OldProgressFile(old);
  Bytes truncated(good.begin(), good.end() - 3);
  Bytes hugeCount = good;
  // The common-variable count sits before its three values at the end.
  const std::size_t countAt = hugeCount.size() - 16;
  hugeCount[countAt + 3] = 0x7f;
  for (const Bytes& bytes : {truncated, hugeCount}) {
    cPlayData record;
    record.m_nLives = 3;
    record.m_CommonVar[2] = 44;
    EXPECT_FALSE(Load(record, bytes));
    EXPECT_EQ(record.m_nLives, 3);
    EXPECT_EQ(record.m_CommonVar[2], 44);
    EXPECT_EQ(record.m_CommonVar.size(), 1001u);
  }
}

TEST_F(PlayDataTest, ValidateKeepsTheCursorOnTheMapAndTheChallengeList) {
  g_WorldMap.SetSize(10, 8);
  g_WorldMap.m_nStartX = 2;
  g_WorldMap.m_nStartY = 3;
  g_SystemData.m_nChallengeCount = 5;
  struct sCase {
    int x, y, wantX, wantY;
  };
  for (const sCase& c : {sCase{4, 5, 4, 5}, sCase{10, 5, 2, 5}, sCase{4, 8, 4, 3},
                         sCase{19, 14, 2, 3}, sCase{-1, -1, 2, 3}}) {
    cPlayData record;
    record.m_nMapX = c.x;
    record.m_nMapY = c.y;
    record.m_nChallengeOpen = 9;
    record.m_ChallengeClear.resize(12);
    record.Validate();
    EXPECT_EQ(record.m_nMapX, c.wantX);
    EXPECT_EQ(record.m_nMapY, c.wantY);
    EXPECT_EQ(record.m_ChallengeClear.size(), 5u);
    EXPECT_EQ(record.m_nChallengeOpen, 5);
  }
}

TEST_F(PlayDataTest, StageNamesAndKeys) {
  struct sCase {
    const char* name;
    int variant, var, value;
    const char* cut;
    const char* key;
    int multiPart;
  };
  const sCase cases[] = {
      {"data\\stg4\\abc-1.stg4", 0, 0, 0, "data\\stg4\\abc.", "data\\stg4\\abc.", 1},
      {"data\\stg4\\abc.stg4", 0, 0, 0, "data\\stg4\\abc.", "data\\stg4\\abc.", 0},
      {"data\\stg4\\abc.stg4", 1, 5, 2, "data\\stg4\\abc.", "data\\stg4\\abc_c005_2.", 0},
      {"data\\stg4\\abc-1.stg4_003", 1, 12, -4, "data\\stg4\\abc.", "data\\stg4\\abc_c012_-4.", 1},
      {"noextension", 0, 0, 0, "", "", 0},
      {nullptr, 0, 0, 0, "", "", 0},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name ? c.name : "null");
    cPlayData record;
    record.SetStageName(c.name, c.variant, c.var, c.value);
    EXPECT_EQ(record.m_strStageName, c.cut);
    EXPECT_EQ(record.m_strStageKey, c.key);
    EXPECT_EQ(record.m_bMultiPart, c.multiPart);
  }
}

TEST_F(PlayDataTest, BestResultsPerKey) {
  cPlayData record;
  record.RecordStageResult("a.", "a.", 0, 0, 0, 100);
  record.RecordStageResult("b.", "b.", 0, 0, 0, 50);
  record.RecordStageResult("a.", "a.", 0, 0, 0, 80);  // lower: nothing changes
  EXPECT_EQ(record.GetStageResult("a."), 100);
  EXPECT_EQ(record.m_nResultTotal, 150);
  record.RecordStageResult("a.", "a.", 0, 0, 0, 130);
  EXPECT_EQ(record.GetStageResult("a."), 130);
  EXPECT_EQ(record.m_nResultTotal, 180);
  EXPECT_EQ(record.GetStageResult("A."), 0);  // keys are compared as stored
  EXPECT_EQ(record.m_Results.size(), 2u);
}

TEST_F(PlayDataTest, RecountCountsOnlyStagesStillOnTheMap) {
  cWorldMapPoint point;
  point.m_Links[0].m_strStage = "data\\stg4\\abc-1.stg4";
  g_WorldMap.m_Points.push_back(point);
  point.m_Links[0].m_strStage = "data\\stg4\\v.stg4";
  point.m_Links[0].m_bVariant = 1;
  point.m_Links[0].m_nVariantA = 5;
  point.m_Links[0].m_nVariantB = 2;
  g_WorldMap.m_Points.push_back(point);
  cPlayData record;
  record.RecordStageResult("data\\stg4\\abc.", "data\\stg4\\abc.", 0, 0, 0, 100);
  record.RecordStageResult("data\\stg4\\gone.", "data\\stg4\\gone.", 0, 0, 0, 1000);
  record.RecordStageResult("data\\stg4\\v.", "data\\stg4\\v_c005_2.", 1, 5, 2, 10);
  record.RecordStageResult("data\\stg4\\v.", "data\\stg4\\v_c005_3.", 1, 5, 3, 1);
  record.RecountStageResults();
  EXPECT_EQ(record.m_nResultTotal, 110);
  EXPECT_EQ(record.m_Results.size(), 4u);
}

TEST_F(PlayDataTest, RestoreStageStartByPlayMode) {
  static int mode = PLAY_MODE_STORY;
  SetPlayModeSource([] { return mode; });
  struct sCase {
    int playMode;
    int testPlay;
    int storyFlag;
    int testFlag;
    bool restored;
  };
  for (const sCase& c :
       {sCase{PLAY_MODE_STORY, 0, 1, 0, true}, sCase{PLAY_MODE_STORY, 0, 0, 1, false},
        sCase{PLAY_MODE_REPLAY, 0, 0, 0, true}, sCase{PLAY_MODE_STORY, 1, 1, 0, false},
        sCase{PLAY_MODE_STORY, 1, 0, 1, true}, sCase{PLAY_MODE_CHALLENGE, 0, 0, 0, true}}) {
    mode = c.playMode;
    g_bTestPlay = c.testPlay;
    g_SystemData.m_bStoryRestoreVars = c.storyFlag;
    g_SystemData.m_bTestRestoreVars = c.testFlag;
    cPlayData record;
    record.m_CommonVar[1] = 1;
    record.m_nLives = 3;
    record.m_nTotalScore = 100;
    record.KeepStageStart();
    record.m_CommonVar[1] = 2;
    record.m_nLives = 2;
    record.m_nTotalScore = 150;
    record.RestoreStageStart(0);
    EXPECT_EQ(record.m_CommonVar[1], c.restored ? 1 : 2) << c.playMode << c.testPlay;
    EXPECT_EQ(record.m_nTotalScore, 100);
    EXPECT_EQ(record.m_nLives, 2);  // a miss leaves the lives to the caller
    record.m_CommonVar[1] = 2;
    record.RestoreStageStart(1);
    EXPECT_EQ(record.m_CommonVar[1], 1);
    EXPECT_EQ(record.m_nLives, 3);
  }
}

TEST_F(PlayDataTest, NextLap) {
  cPlayData record;
  record.m_StageClear[5] = 1;
  record.m_nMapX = 1;
  record.m_nLap = 0x7fffffff;  // a file may hold any count: it wraps, it does not overflow
  record.StartNextLap();
  EXPECT_EQ(record.m_nLap, static_cast<std::int32_t>(0x80000000u));
  EXPECT_EQ(record.m_StageClear[5], 0);
  EXPECT_EQ(record.m_StageClear[0], 1);
  EXPECT_EQ(record.m_nMapX, 9);
  EXPECT_EQ(record.m_nMapY, 7);
}

TEST_F(PlayDataTest, CycleRankingGenre) {
  struct sCase {
    std::vector<std::uint8_t> genres;
    int from, steps, to;
  };
  const sCase cases[] = {
      {{0, 1, 0, 0, 0}, 4, 1, 1},  {{0, 0, 0, 0, 0}, 3, 1, 3}, {{1, 0, 1, 0, 1}, 0, 2, 4},
      {{1, 0, 1, 0, 1}, 0, -1, 4}, {{0, 1, 0, 1, 0}, 2, 0, 3}, {{0, 1, 0, 1, 0}, 1, -3, 3},
      {{1, 1, 1, 1, 1}, 9, 0, 0},  {{0, 0, 1}, 4, 1, 2},
  };
  for (const sCase& c : cases) {
    g_SystemData.m_RankingSets[int{PLAY_MODE_CHALLENGE}].m_Genres.assign(c.genres.begin(),
                                                                         c.genres.end());
    cPlayData record;
    record.m_nRankGenre = c.from;
    record.CycleRankingGenre(PLAY_MODE_CHALLENGE, c.steps);
    EXPECT_EQ(record.m_nRankGenre, c.to) << c.from << " " << c.steps;
  }
  cPlayData record;
  record.m_nRankGenre = 2;
  record.CycleRankingGenre(7, 1);  // no such play mode
  EXPECT_EQ(record.m_nRankGenre, 2);
}

TEST_F(PlayDataTest, WorldMapQueriesStayInsideTheLists) {
  cPlayData record;
  record.m_StageClear[3] = 1;
  record.m_CommonVar[1000] = 6;
  record.m_nResultTotal = 12;
  const cWorldMapProgress& progress = record;
  EXPECT_TRUE(progress.IsFlagSet(0));
  EXPECT_TRUE(progress.IsFlagSet(3));
  EXPECT_FALSE(progress.IsFlagSet(1000));
  EXPECT_FALSE(progress.IsFlagSet(-1));
  EXPECT_EQ(progress.GetCommonVar(1000), 6);
  EXPECT_EQ(progress.GetCommonVar(1001), 0);
  EXPECT_EQ(progress.GetCommonVar(0), 0);
  EXPECT_EQ(progress.GetCommonVar(-7), 0);
  EXPECT_EQ(progress.GetResultTotal(), 12);
}

}  // namespace
