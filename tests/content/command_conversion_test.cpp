#include "content/command_conversion.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "content/command.h"
#include "foundation/report.h"
#include "tests/support/temp_folder.h"

namespace {

using Params = std::vector<std::int32_t>;

// Parameters given by index: {{index, value}, ...} over a vector of count zeros.
Params With(int count, std::initializer_list<std::pair<int, std::int32_t>> values) {
  Params params(static_cast<std::size_t>(count), 0);
  for (auto [index, value] : values) params[static_cast<std::size_t>(index)] = value;
  return params;
}

class CommandConversionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(ReportOpen("Report_Game.txt")); }
  cTempFolder folder;
};

TEST_F(CommandConversionTest, KindsAndParametersOfOlderVersions) {
  const struct {
    const char* what;
    int set, version, kind;
    Params params;
    int wantKind;
    Params want;
  } cases[] = {
      {"arrange p1 2", 0, 700, 37, {0, 2}, 38, {11, 5, 0, 0, 0}},
      {"arrange p1 10", 0, 700, 37, {0, 10}, 38, {11, 13, 0, 0, 0}},
      {"arrange p1 11", 0, 700, 37, {0, 11}, 38, {11, 18, 0, 0, 0}},
      {"arrange p1 1", 0, 700, 37, {0, 1}, 38, {11, 1, 0, 0, 0}},
      {"arrange kind past vanish", 0, 730, 37, {24, 3, 0, 0, 0}, 38, {25, 3, 0, 0, 0}},
      {"stage clear v100", 0, 100, 17, {3, 1, 2, 3, 4}, 17, {4, 1, 2, 3, 4, 0, 0, 0, 0}},
      {"stage clear mode 1 v721", 0, 721, 17, {1}, 17, {1}},
      {"flow op v759", 0, 759, 16, {1, 2, 3, 9}, 16, {1, 2, 3, 0}},
      {"flow op v763", 0, 763, 16, {1, 2, 3, 9}, 16, {1, 2, 3, 9}},
      {"set target v180", 0, 180, 21, {7, 8}, 21, With(16, {{1, 7}, {2, 8}, {12, 1}})},
      {"get item v733", 0, 733, 24, {1, 5}, 25, {1, 5}},
      {"vanish v734", 0, 734, 24, {1, 5, 0}, 24, {1, 5, 0}},
      {"bgm v150", 0, 150, 35, {4}, 36, {4, 1}},
      {"bgm v166", 0, 166, 35, {4}, 36, {4}},
      {"status op v160", 0, 160, 22, With(18, {{3, 1}, {4, 12}, {6, 2}, {12, 1}, {13, 5}}), 22,
       With(18, {{3, 1}, {4, 14}, {6, 2}, {12, 1}, {13, 6}})},
      {"status op of the system v160", 0, 160, 22, With(18, {{3, 2}, {4, 12}}), 22,
       With(18, {{3, 5}, {4, 12}})},
      {"status op2 v205", 0, 205, 23, {1, 6, 0, 0, 0}, 23, {1, 7, 0, 0, 0}},
      {"status op2 v766", 0, 766, 23, {2, 1, 0, 0, 0, 9}, 23, {5, 1, 0, 0, 0}},
      {"set graphic v218", 0, 218, 25, {3, 50, 0}, 26, {3, 51, 0}},
      {"set graphic capped", 0, 218, 25, {3, 119, 0}, 26, {3, 119, 0}},
      {"chara effect v190", 0, 190, 29, {4, 5}, 30, {4, 0, 5}},
      {"picture v190", 0, 190, 31, With(15, {{6, 9}, {14, 7}}), 32, With(15, {{6, 1}, {7, 9}})},
      {"message v540", 0, 540, 19, {7}, 19, With(18, {{0, 7}, {10, 1}, {14, 1}, {16, 1}})},
      {"message v545", 0, 545, 19, With(18, {{0, 3}, {10, 1}}), 19,
       With(18, {{0, 3}, {14, 1}, {16, 1}})},
      {"summon v200", 0, 200, 14, {1, 2, 3}, 14, {}},
      {"turn v766", 0, 766, 9, {5}, 9, {11}},
      {"turn v767", 0, 767, 9, {5}, 9, {5}},
      {"current version", 0, 821, 24, {1}, 24, {1}},
      // Item commands: kind k stands for character kind k + 15.
      {"item bgm v150", 1, 150, 20, {4}, 21, {4, 1}},
      {"item arrange v700", 1, 700, 22, {0, 2}, 23, {11, 5, 0, 0, 0}},
      {"item arrange kind past vanish", 1, 733, 22, {24, 0, 0, 0, 0}, 23, {25, 0, 0, 0, 0}},
      {"item flow change", 1, 100, 1, {0, 5}, 1, {0, 5}},
      {"item status op v160", 1, 160, 7, With(18, {{4, 12}}), 7, With(18, {{4, 14}})},
      // Stored vectors too short for a step are read as zeros, never past their end.
      {"empty status op2", 0, 200, 23, {}, 23, {0, 0, 0, 0, 0}},
      {"empty stage clear", 0, 721, 17, {}, 17, {0}},
      {"empty arrange", 0, 730, 37, {}, 38, {0}},
      {"empty status op", 0, 766, 22, {}, 22, With(7, {})},
      {"raised value at its top", 0, 721, 17, {INT32_MAX}, 17, {INT32_MAX}},
      {"kind outside the tables", 0, 100, 90, {1, 2}, 91, {1, 2}},
      {"negative kind", 0, 100, -3, {1, 2}, -3, {1, 2}},
  };
  for (const auto& c : cases) {
    cEdCmd cmd;
    cmd.m_nCmdSet = static_cast<std::int8_t>(c.set);
    cmd.m_nKind = static_cast<std::int8_t>(c.kind);
    cmd.m_Params = c.params;
    ConvertCommand(cmd, c.version);
    EXPECT_EQ(cmd.m_nKind, c.wantKind) << c.what;
    EXPECT_EQ(static_cast<const Params&>(cmd.m_Params), c.want) << c.what;
  }
}

TEST_F(CommandConversionTest, SubRecords) {
  cEdCmd shot;
  shot.m_nKind = CMD_SHOT;
  NewShot(shot.m_pShot);
  shot.m_pShot->m_sGraphic = 5;
  cEdCmd capped = shot;
  capped.m_pShot->m_sGraphic = 119;
  cEdCmd later = shot;
  ConvertCommand(shot, 219);
  ConvertCommand(capped, 219);
  ConvertCommand(later, 220);
  EXPECT_EQ(shot.m_pShot->m_sGraphic, 6);
  EXPECT_EQ(capped.m_pShot->m_sGraphic, 119);
  EXPECT_EQ(later.m_pShot->m_sGraphic, 5);

  cEdCmd rush;
  rush.m_nKind = CMD_MOVE_RUSH;
  NewMove(rush.m_pMove);
  rush.m_pMove->m_sAngle = 45;
  rush.m_pMove->m_sAngleClone = 3;
  rush.m_pMove->m_bMirrorAngle = 0;
  ConvertCommand(rush, 513);
  EXPECT_EQ(rush.m_pMove->m_sAngle, 0);
  EXPECT_EQ(rush.m_pMove->m_sAngleClone, 0);
  EXPECT_EQ(rush.m_pMove->m_bMirrorAngle, 1);

  const struct {
    int set, kind, mode, want;
  } warps[] = {{0, CMD_WARP, 2, 5}, {0, CMD_WARP, 1, 1}, {1, 5, 4, 7}};
  for (const auto& w : warps) {
    cEdCmd warp;
    warp.m_nCmdSet = static_cast<std::int8_t>(w.set);
    warp.m_nKind = static_cast<std::int8_t>(w.kind);
    NewMove(warp.m_pMove);
    warp.m_pMove->m_nMode = static_cast<std::int8_t>(w.mode);
    ConvertCommand(warp, 766);
    EXPECT_EQ(warp.m_pMove->m_nMode, w.want);
  }

  // The same kinds without their sub-records have nothing to convert.
  for (int kind : {CMD_SHOT, CMD_MOVE_RUSH, CMD_WARP}) {
    cEdCmd bare;
    bare.m_nKind = static_cast<std::int8_t>(kind);
    ConvertCommand(bare, 100);
    EXPECT_FALSE(bare.m_pShot);
    EXPECT_FALSE(bare.m_pMove);
  }

  // Flow operations of older files get a switched-off condition list in place of any other.
  cEdCmd flowOp;
  flowOp.m_nKind = CMD_FLOW_OP;
  NewCondList(flowOp.m_pCondList);
  flowOp.m_pCondList->m_bEnabled = 1;
  flowOp.m_pCondList->m_Conds.resize(2);
  ConvertCommand(flowOp, 763);
  ASSERT_TRUE(flowOp.m_pCondList);
  EXPECT_EQ(flowOp.m_pCondList->m_bEnabled, 0);
  EXPECT_TRUE(flowOp.m_pCondList->m_Conds.empty());
  cEdCmd itemFlow;
  itemFlow.m_nCmdSet = CMDSET_ITEM;
  itemFlow.m_nKind = ITEMCMD_FLOW_CHANGE;
  ConvertCommand(itemFlow, 700);
  EXPECT_FALSE(itemFlow.m_pCondList);
}

TEST_F(CommandConversionTest, ShortVectorsAreReported) {
  cEdCmd cmd;
  cmd.m_nKind = 22;
  ConvertCommand(cmd, 160);
  const std::string log = ReadText("Report_Game.txt");
  EXPECT_NE(log.find("stores 0 parameters"), std::string::npos) << log;
}

}  // namespace
