#include "project/stage.h"

#include <gtest/gtest.h>

#include "foundation/shell_services.h"
#include "foundation/window_messages.h"
#include "platform/close_request.h"
#include "platform/host_file.h"
#include "platform/text_codec.h"
#include "platform/message_box.h"
#include "project/stage_loader.h"
#include "tests/content/fake_refs.h"
#include "tests/support/record_bytes.h"
#include "tests/support/scoped_value.h"

namespace {

std::vector<std::string> g_Boxes;
// Kept in the program's own code page, as the expected texts are written.
int RecordBox(const std::string& text, const std::string&, int) {
  g_Boxes.push_back(platform::Utf8ToCp932(text));
  return platform::kAnswerOk;
}

class StageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Boxes.clear();
    platform::SetMessageBoxHandler(&RecordBox);
    platform::ResetCloseRequest();
    g_Stage.SetDefault();
    g_StageCopy.SetDefault();
  }
  void TearDown() override {
    platform::SetMessageBoxHandler(nullptr);
    platform::ResetCloseRequest();
    g_Stage.SetDefault();
    g_StageCopy.SetDefault();
  }

  // A small stage with a hero, built in g_Stage so that its palette-2 references hold.
  static void BuildStage() {
    g_Stage.SetDefault();
    g_Stage.m_strName = "草原";
    g_Stage.m_nWidth = 30;
    g_Stage.m_nHeight = 20;
    g_Stage.m_nSpeedLevel = 4;
    g_Stage.m_dGravity = 0.25;
    g_Stage.m_PalBlocks.resize(3);
    g_Stage.m_PalBlocks[2].m_sGraphic = 6;
    g_Stage.m_PalCharas.resize(3);
    g_Stage.m_PalCharas[2].m_nMaxHP = 40;
    g_Stage.m_PalItems.resize(2);
    g_Stage.m_PlacedBlocks.resize(2);
    g_Stage.m_PlacedBlocks[1].m_sGraphic = 3;
    g_Stage.m_PlacedBlocks[1].m_sPosX = 29;
    g_Stage.m_PlacedCharas.resize(2);
    cEdChara& hero = g_Stage.m_PlacedCharas[1];
    hero.m_nControl = 0;
    hero.m_sGraphic = 1;
    hero.m_nBasePalette = PALETTE_STAGE;
    hero.m_sBaseIndex = 2;
    hero.m_Inherit[23] = 1;
    hero.m_nMaxHP = 40;  // as inherited, so that a read changes nothing
    hero.m_nDropItem = -1;
    hero.m_Flows.resize(1);
    hero.m_Flows[0].m_nTrigger = 3;
    g_Stage.m_PlacedItems.resize(1);
    g_Stage.m_BackLayers.resize(2);
    g_Stage.m_BackLayers[1].m_strImage = "bg.bmp";
    g_Stage.m_VarNames.resize(1000);
    g_Stage.m_VarNames[3].m_strName = "鍵";
    g_Stage.m_EraseArea[1].Set(1, 0, 1, 0, 2, 3, 4, 5);
  }

  cFakeRefs m_Refs;
};

TEST_F(StageTest, StageFileRoundTripsByteForByte) {
  cTempFolder folder;
  BuildStage();
  ASSERT_EQ(g_Stage.SaveFile("a.stg4_000"), 1);
  g_Stage.SetDefault();
  ASSERT_EQ(g_Stage.LoadFile("a.stg4_000"), 1);
  EXPECT_EQ(g_Stage.m_strName, "草原");
  EXPECT_EQ(g_Stage.m_PlacedCharas[1].m_nMaxHP, 40);
  EXPECT_EQ(g_Stage.m_PlacedCharas[1].m_Inherit[23], 1);  // a stage keeps its flags
  EXPECT_EQ(g_Stage.m_nSubSteps, 4);
  EXPECT_EQ(g_Stage.FindHeroDef(), 1);
  ASSERT_EQ(g_Stage.SaveFile("b.stg4_000"), 1);
  const auto bytes = ReadBytes("a.stg4_000");
  EXPECT_EQ(ReadBytes("b.stg4_000"), bytes);
  // 98 fields at this version, and the trailer last.
  EXPECT_EQ(LayoutAt(g_Stage, 821).first, 98);
  EXPECT_EQ(LayoutAt(g_Stage, 154).first, 71);
  const std::vector<std::uint8_t> tail(bytes.end() - 4, bytes.end());
  EXPECT_EQ(tail, cBytes().I32(123456789).data);
}

TEST_F(StageTest, OldStageFileIsUpgraded) {
  BuildStage();
  g_Stage.m_nHeroHitW = 20;
  g_Stage.m_nCharaHitH = 22;
  g_Stage.m_VarNames.resize(2);
  g_Stage.m_ResultItems.assign(3, 1);
  g_Stage.m_EraseArea[0].Set(1, 1, 1, 1, 7, 7, 7, 7);
  auto bytes = FileAtVersion(154, [](cDataFile& f) { g_Stage.Write(f); });
  bytes.resize(bytes.size() - 4);  // no trailer before 173
  g_Stage.SetDefault();
  ASSERT_TRUE(ReadFromBytes(bytes, [](cDataFile& f) { g_Stage.Read(f); }));
  EXPECT_EQ(g_Stage.m_nHeroFlyHitW, 20);
  EXPECT_EQ(g_Stage.m_nCharaFlyHitH, 22);
  EXPECT_EQ(g_Stage.m_bHeroHitBottom + g_Stage.m_bHeroFlyHitBottom + g_Stage.m_bCharaHitBottom +
                g_Stage.m_bCharaFlyHitBottom,
            0);
  EXPECT_EQ(g_Stage.m_nBgmOptA, 1);
  EXPECT_EQ(g_Stage.m_ResultItems, (cVector<std::int32_t>{1, 1, 1, 0, 0}));
  EXPECT_EQ(g_Stage.m_nCharaH, 30);
  EXPECT_EQ(g_Stage.m_nShowColour[0], 5);
  EXPECT_EQ(g_Stage.m_bStartCaption2, 0);
  EXPECT_EQ(g_Stage.m_VarNames.size(), 1000u);
  EXPECT_EQ(g_Stage.m_EraseArea[0].m_bRight, 1);  // stored since 125
  // The flag of group 23 moved up with the group inserted at 21.
  EXPECT_EQ(g_Stage.m_PlacedCharas[1].m_Inherit[24], 1);
}

TEST_F(StageTest, SpeedLevelGivesSubSteps) {
  const struct {
    int level, n;
    double limit, limitStep;
  } cases[] = {{10, 10, 60, 6}, {11, 1, 60, 60}, {19, 9, 60, 60.0 / 9}, {20, 20, 120, 6},
               {1, 1, 6, 6}};
  cStage stage;
  for (const auto& c : cases) {
    stage.SetSpeedLevel(c.level);
    EXPECT_EQ(stage.m_nSubSteps, c.n) << c.level;
    EXPECT_EQ(stage.m_dSpeedLimit, c.limit) << c.level;
    EXPECT_DOUBLE_EQ(stage.m_dSpeedLimitStep, c.limitStep) << c.level;
    EXPECT_EQ(stage.m_nSubSteps8, 8 * c.n) << c.level;
    EXPECT_EQ(stage.m_nStepsPerTenth, 6 * c.n) << c.level;
  }
  stage.m_dGravity = 0.4;
  stage.SetSpeedLevel(2);
  EXPECT_DOUBLE_EQ(stage.m_dGravityStep, 0.1);
}

TEST_F(StageTest, ValidationLowersScrollLimitsAndFindsTheHero) {
  cStage stage;
  stage.m_nWidth = 30;
  stage.m_nHeight = 20;
  stage.m_nLimitRight = 40;
  stage.m_nLimitLeft = 12;
  stage.m_nLimitTop = 2;
  stage.m_nLimitBottom = -4;
  stage.m_nBgm = 2;
  m_Refs.m_Sizes[REF_BGM] = 2;
  stage.Validate();
  EXPECT_EQ(stage.m_nLimitRight, 29);
  EXPECT_EQ(stage.m_nLimitLeft, 10);
  EXPECT_EQ(stage.m_nLimitTop, 2);
  EXPECT_EQ(stage.m_nLimitBottom, -4);
  EXPECT_EQ(stage.m_nBgm, 0);

  stage.m_PlacedCharas.resize(3);
  stage.m_PlacedCharas[0].m_nControl = 0;  // no picture
  stage.m_PlacedCharas[1].m_sGraphic = 2;  // computer-controlled
  EXPECT_EQ(stage.FindHeroDef(), -1);
  stage.m_PlacedCharas[2].m_nControl = 0;
  stage.m_PlacedCharas[2].m_sGraphic = 2;
  EXPECT_EQ(stage.FindHeroDef(), 2);
}

class StageLoadTest : public StageTest {
 protected:
  std::vector<std::uint8_t> StageBytes(int version = kDataVersion) {
    BuildStage();
    auto bytes = FileAtVersion(version, [](cDataFile& f) { g_Stage.Write(f); });
    g_Stage.SetDefault();
    return bytes;
  }
  cTempFolder m_Folder;
};

TEST_F(StageLoadTest, LoadsTheNewestNumberedVariantAndCopiesThePlayData) {
  auto bytes = StageBytes();
  WriteBytes("forest.stg4_003", bytes);
  BuildStage();
  g_Stage.m_strName = "newest";
  ASSERT_EQ(g_Stage.SaveFile("forest.stg4_010"), 1);
  g_Stage.SetDefault();
  ASSERT_EQ(LoadStageFile("forest.stg4", 1, &g_StageCopy), 1);
  EXPECT_EQ(g_Stage.m_strPath, "forest.stg4_010");
  EXPECT_EQ(g_Stage.m_strName, "newest");
  EXPECT_EQ(g_StageCopy.m_strName, "newest");
  EXPECT_EQ(g_StageCopy.m_BackLayers.size(), 2u);
  EXPECT_EQ(g_StageCopy.m_EraseArea[1].m_nMarginBottom, 5);
  EXPECT_TRUE(g_StageCopy.m_PlacedCharas.empty() && g_StageCopy.m_PalBlocks.empty() &&
              g_StageCopy.m_PalCharas.empty() && g_StageCopy.m_PalItems.empty() &&
              g_StageCopy.m_PlacedBlocks.empty() && g_StageCopy.m_PlacedItems.empty());
  EXPECT_TRUE(g_Boxes.empty());
  // No variant at all: refused without a message.
  EXPECT_EQ(LoadStageFile("desert.stg4", 1, nullptr), 0);
  EXPECT_TRUE(g_Boxes.empty());
}

TEST_F(StageLoadTest, DamagedStageFilesAreRefusedWithTheirMessage) {
  const auto good = StageBytes();
  auto withTrailer = [&](std::vector<std::uint8_t> bytes, std::uint32_t trailer) {
    std::memcpy(bytes.data() + bytes.size() - 4, &trailer, 4);
    return bytes;
  };
  auto speedZero = [&] {
    std::vector<std::uint8_t> bytes = good;
    // header, field count, 20 int32 and the gravity double, then the speed level.
    const std::int32_t zero = 0;
    std::memcpy(bytes.data() + 8 + 20 * 4 + 8, &zero, 4);
    return bytes;
  };
  const std::string failed = "ステージファイル s.stg4_000 の読み込みに失敗しました！";
  const std::string damaged = "ステージファイル s.stg4_000 が破損しています！";
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::string message;
    bool closes;
  } cases[] = {
      {"bad trailer", withTrailer(good, 0), damaged, true},
      {"truncated", withTrailer({good.begin(), good.end() - 40}, kStageTrailer), failed, false},
      {"count beyond the bytes", withTrailer(cBytes().I32(821).I32(0).I32(0).I32(0x40000000)
                                                 .I32(0).data, kStageTrailer), failed, false},
      {"speed level 0", speedZero(), failed, false},
      {"newer version", withTrailer(cBytes().I32(822).I32(0).I32(0).data, kStageTrailer),
       failed, false},
      {"missing", {}, failed, false},
  };
  for (const auto& c : cases) {
    g_Boxes.clear();
    platform::ResetCloseRequest();
    platform::RemoveHostFile("s.stg4_000");
    if (!c.bytes.empty()) WriteBytes("s.stg4_000", c.bytes);
    EXPECT_EQ(LoadStageFile("s.stg4_000", 0, nullptr), 0) << c.what;
    ASSERT_EQ(g_Boxes.size(), 1u) << c.what;
    EXPECT_EQ(g_Boxes[0], c.message) << c.what;
    EXPECT_EQ(platform::IsCloseRequested(), c.closes) << c.what;
  }
  // Before 174 the trailer is not tested.
  WriteBytes("s.stg4_000", withTrailer(StageBytes(173), 0));
  g_Boxes.clear();
  EXPECT_EQ(LoadStageFile("s.stg4_000", 0, nullptr), 1);
  EXPECT_TRUE(g_Boxes.empty());
}

TEST_F(StageLoadTest, EachLoadStartsFromADefaultStage) {
  // A stage that turns on every switch of the first erase area, then one of version 124, which
  // stores only the left switch: the others are the defaults, not the previous stage's.
  BuildStage();
  g_Stage.m_EraseArea[0].Set(1, 1, 1, 1, 7, 7, 7, 7);
  ASSERT_EQ(g_Stage.SaveFile("first.stg4_000"), 1);
  BuildStage();
  g_Stage.m_EraseArea[0].Set(0, 1, 1, 1, 2, 2, 2, 2);
  WriteBytes("old.stg4_000", FileAtVersion(124, [](cDataFile& f) { g_Stage.Write(f); }));
  g_Stage.SetDefault();

  ASSERT_EQ(LoadStageFile("first.stg4_000", 0, nullptr), 1);
  ASSERT_EQ(g_Stage.m_EraseArea[0].m_bRight, 1);
  ASSERT_EQ(LoadStageFile("old.stg4_000", 0, nullptr), 1);
  const cEraseArea& area = g_Stage.m_EraseArea[0];
  EXPECT_EQ(area.m_bLeft, 0);
  EXPECT_EQ(area.m_bRight, 0);
  EXPECT_EQ(area.m_bTop, 0);
  EXPECT_EQ(area.m_bBottom, 0);
  EXPECT_EQ(area.m_nMarginLeft, 2);
  EXPECT_EQ(g_Stage.m_strPath, "old.stg4_000");
  EXPECT_TRUE(g_Boxes.empty());
}

TEST_F(StageLoadTest, StageWithoutHeroIsRefused) {
  BuildStage();
  g_Stage.m_PlacedCharas[1].m_nControl = 1;
  ASSERT_EQ(g_Stage.SaveFile("s.stg4_000"), 1);
  cScopedGlobal<int> keepTestPlay(g_bTestPlay);
  for (int testPlay : {0, 1}) {
    g_bTestPlay = testPlay;
    g_Boxes.clear();
    platform::ResetCloseRequest();
    EXPECT_EQ(LoadStageFile("s.stg4_000", 0, &g_StageCopy), 0);
    ASSERT_EQ(g_Boxes.size(), 1u);
    EXPECT_EQ(g_Boxes[0], "主人公が配置されていないのでプレイできません！");
    EXPECT_EQ(platform::IsCloseRequested(), testPlay == 1);
  }
}

TEST_F(StageLoadTest, CloseRequestDuringTheReadDropsTheResultAndKeepsTheRequest) {
  WriteBytes("s.stg4_000", StageBytes());
  for (std::uint32_t request : {std::uint32_t{WM_QUIT}, std::uint32_t{WM_CLOSE}}) {
    platform::sThreadMessage message;
    while (platform::PeekThreadMessage(message, true)) {
    }
    ASSERT_TRUE(platform::PostThreadMessage(platform::CurrentThreadId(), request, 0, 0));
    ASSERT_TRUE(platform::PostThreadMessage(platform::CurrentThreadId(), WM_APP, 7, 0));
    g_Boxes.clear();
    EXPECT_EQ(LoadStageFile("s.stg4_000", 0, &g_StageCopy), 0);
    EXPECT_EQ(g_Stage.m_bLoaded, 1);  // the read was not cut off
    EXPECT_TRUE(g_Boxes.empty());
    // Both messages are there again, in their order, for the caller's own loop.
    ASSERT_TRUE(platform::PeekThreadMessage(message, true));
    EXPECT_EQ(message.message, request);
    ASSERT_TRUE(platform::PeekThreadMessage(message, true));
    EXPECT_EQ(message.message, std::uint32_t{WM_APP});
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(platform::PeekThreadMessage(message, true));
  }
}

}  // namespace
