#include "play/appearance.h"

#include <gtest/gtest.h>

#include <climits>

#include "content/condition.h"
#include "content/palette.h"
#include "foundation/compare.h"
#include "objects/object_services.h"
#include "play/map_cells.h"
#include "play/spawn.h"
#include "stage_fixture.h"
#include "tests/objects/play_world.h"

namespace {

cEdCond CommonVar(int index, int op, int constant) {
  cEdCond c;
  c.m_nKind = COND_COMMON_VAR;
  c.m_nIndex = static_cast<std::int16_t>(index);
  c.m_nOperator = static_cast<std::int8_t>(op);
  c.m_nConst = constant;
  return c;
}

class AppearanceTest : public cStageFixture {
 protected:
  void SetUp() override {
    cStageFixture::SetUp();
    InstallObjectServices();
    SetUpStage(1);
    g_PlayData.m_CommonVar.assign(1001, 0);
  }
  cScopedObjectServices m_Services;
};

TEST_F(AppearanceTest, ComparisonsAndCombinations) {
  struct Row {
    int op, value, constant, want;
  } rows[] = {
      {0, 5, 5, 1},  {1, 5, 5, 0},         {2, 5, 5, 1},          {3, 4, 5, 1},
      {4, 5, 5, 0},  {5, 4, 5, 1},         {6, 7, 0, 1},          {7, 7, 0, 0},
      {6, -6, 3, 1}, {7, -6, 3, 0},        {6, 7, 3, 0},          {7, 7, 3, 1},
      {6, INT_MIN, 2, 1}, {2, INT_MIN, INT_MAX, 0}, {8, 5, 5, 0}, {-1, 5, 5, 0},
  };
  for (const Row& r : rows) {
    g_PlayData.m_CommonVar[9] = r.value;
    CondVector one{CommonVar(9, r.op, r.constant)};
    EXPECT_EQ(CheckConditions(one, COND_MODE_ALL, nullptr), r.want)
        << r.op << " " << r.value << " " << r.constant;
  }
  g_PlayData.m_CommonVar[1] = 1;
  CondVector mixed{CommonVar(1, COMPARE_EQUAL, 1), CommonVar(2, COMPARE_EQUAL, 1)};
  EXPECT_EQ(CheckConditions(mixed, COND_MODE_ALL, nullptr), 0);
  EXPECT_EQ(CheckConditions(mixed, COND_MODE_ANY, nullptr), 1);
  EXPECT_EQ(CheckConditions(mixed, 2, nullptr), 0);
  CondVector none;
  EXPECT_EQ(CheckConditions(none, COND_MODE_ALL, nullptr), 1);
  EXPECT_EQ(CheckConditions(none, COND_MODE_ANY, nullptr), 0);
}

TEST_F(AppearanceTest, CheckOnceBlocksStayUntilReplaced) {
  cEdBlock block;
  block.m_sGraphic = 1;
  block.m_nHitMode = BLOCK_HIT_SOLID;
  block.m_Conds.push_back(CommonVar(5, COMPARE_AT_LEAST, 1));
  block.m_bCondOnce = 1;
  cMapCell& cell = *MapCellAtBlock(4, 4);
  SetMapCellBlock(cell, block);
  EXPECT_EQ(CheckBlockAppearance(cell), 0);
  EXPECT_EQ(cell.GetHitMode(1), BLOCK_HIT_NONE);
  g_PlayData.m_CommonVar[5] = 1;
  EXPECT_EQ(CheckBlockAppearance(cell), 1);
  g_PlayData.m_CommonVar[5] = 0;
  EXPECT_EQ(CheckBlockAppearance(cell), 1);  // the latch holds it
  EXPECT_EQ(cell.GetHitMode(1), BLOCK_HIT_SOLID);

  // A block put there anew is tested afresh.
  cEdShot change;
  change.m_nBlockSummonMode = BLOCKCHANGE_SUMMON;
  const double x = (4 + kMapMargin) * 32, y = (4 + kMapMargin) * 32;
  ChangeBlock(x, y, change, block);
  EXPECT_EQ(CheckBlockAppearance(cell), 0);

  // Without the switch the list is tested every time.
  block.m_bCondOnce = 0;
  SetMapCellBlock(cell, block);
  g_PlayData.m_CommonVar[5] = 1;
  EXPECT_EQ(CheckBlockAppearance(cell), 1);
  g_PlayData.m_CommonVar[5] = 0;
  EXPECT_EQ(CheckBlockAppearance(cell), 0);
}

TEST_F(AppearanceTest, CharactersItemsAndFlows) {
  cChara chara;
  chara.Reset(nullptr, 0, 0, 0);
  EXPECT_EQ(CheckCharaAppearance(chara), 1);  // no conditions
  cEdCond own;
  own.m_nKind = COND_CHARA_VAR;
  own.m_nIndex = 2;
  own.m_nOperator = COMPARE_EQUAL;
  own.m_nConst = 4;
  cEdChara def;
  def.m_Conds.push_back(own);
  chara.Reset(&def, 0, 0, 0);
  EXPECT_EQ(CheckCharaAppearance(chara), 0);
  chara.m_Vars[2] = 4;  // the character's own variable
  EXPECT_EQ(CheckCharaAppearance(chara), 1);
  EXPECT_EQ(chara.m_bAppeared, 1);  // latched, although the switch is off
  chara.m_Vars[2] = 0;
  EXPECT_EQ(CheckCharaAppearance(chara), 0);
  chara.m_Def.m_nCondMode = 2;
  chara.m_Def.m_bCondOnce = 1;
  EXPECT_EQ(CheckCharaAppearance(chara), 1);  // once passed, never tested again

  // An item's conditions are the hero's: its character variable 1.
  ASSERT_FALSE(g_Heroes.empty());
  g_Heroes.front().Reset(nullptr, 0, 0, 0);  // this stage has no placed hero to set it up
  cItem item;
  own.m_nIndex = 1;
  item.m_Def.m_Conds.push_back(own);
  EXPECT_EQ(CheckItemAppearance(item), 0);
  g_Heroes.front().m_Vars[1] = 4;
  EXPECT_EQ(CheckItemAppearance(item), 1);

  cEdFlow flow;
  cFlowRun run;
  EXPECT_EQ(CheckFlowConditions(chara, run), 1);  // no flow yet
  run.m_pFlow = &flow;
  flow.m_Conds.push_back(CommonVar(3, COMPARE_GREATER, 0));
  flow.m_bCondOnce = 1;
  EXPECT_EQ(CheckFlowConditions(chara, run), 0);
  g_PlayData.m_CommonVar[3] = 1;
  EXPECT_EQ(CheckFlowConditions(chara, run), 1);
  g_PlayData.m_CommonVar[3] = 0;
  EXPECT_EQ(CheckFlowConditions(chara, run), 1);
}

// The collision probes read a compact copy of each cell; whatever changes a cell (the stage's
// set-up, a block command, a refused summon put back, an emptied cell) must leave the probes
// answering as the cell does.
TEST_F(AppearanceTest, ProbesAnswerAsTheCellsWhateverChangesThem) {
  const auto at = [](int column, int row, const cEdBlock& block) {
    cEdBlock placed = block;
    placed.m_sPosX = static_cast<std::int16_t>(column);
    placed.m_sPosY = static_cast<std::int16_t>(row);
    return placed;
  };
  cEdBlock solid;
  solid.m_sGraphic = 1;
  solid.m_nHitMode = BLOCK_HIT_SOLID;
  cEdBlock passed = solid;
  passed.m_nPassGroup = 2;
  cEdBlock deadly = solid;
  deadly.m_nHitMode = BLOCK_HIT_DEADLY;
  cEdBlock hidden = solid;
  hidden.m_Conds.push_back(CommonVar(5, COMPARE_AT_LEAST, 1));
  hidden.m_bCondOnce = 1;
  g_Stage.m_PlacedBlocks = {at(1, 3, passed), at(2, 3, deadly), at(3, 3, hidden)};
  SetUpStage(1);

  const auto probe = [](int column, int row, int group) {
    const std::int64_t index =
        MapCellIndex((column + kMapMargin) * 32 + 5, (row + kMapMargin) * 32 + 5);
    const int mode = MapCellHitMode(index, group);
    EXPECT_EQ(mode, MapCellAt(index).GetHitMode(group))
        << "cell " << column << "," << row << " group " << group;
    return mode;
  };
  EXPECT_EQ(probe(1, 3, 1), BLOCK_HIT_SOLID);
  EXPECT_EQ(probe(1, 3, 2), BLOCK_HIT_NONE);
  EXPECT_EQ(probe(2, 3, 1), BLOCK_HIT_DEADLY);
  EXPECT_EQ(probe(3, 3, 1), BLOCK_HIT_NONE);
  g_PlayData.m_CommonVar[5] = 1;
  EXPECT_EQ(probe(3, 3, 1), BLOCK_HIT_SOLID);
  g_PlayData.m_CommonVar[5] = 0;
  EXPECT_EQ(probe(3, 3, 1), BLOCK_HIT_SOLID);  // latched

  cEdShot summon;
  summon.m_nBlockSummonMode = BLOCKCHANGE_SUMMON;
  cEdShot erase;
  erase.m_nBlockSummonMode = BLOCKCHANGE_ERASE;
  const auto change = [](int column, int row, const cEdShot& params, const cEdBlock& block) {
    ChangeBlock((column + kMapMargin) * 32, (row + kMapMargin) * 32, params, block);
  };
  change(4, 4, summon, deadly);
  EXPECT_EQ(probe(4, 4, 1), BLOCK_HIT_DEADLY);
  change(3, 3, summon, passed);
  EXPECT_EQ(probe(3, 3, 2), BLOCK_HIT_NONE);
  EXPECT_EQ(probe(3, 3, 1), BLOCK_HIT_SOLID);
  change(2, 3, summon, hidden);
  EXPECT_EQ(probe(2, 3, 1), BLOCK_HIT_NONE);
  change(4, 4, erase, solid);  // the common palette's first block takes the cell
  ASSERT_FALSE(g_CommonPalette.m_Blocks.empty());
  EXPECT_EQ(probe(4, 4, 1), g_CommonPalette.m_Blocks.front().m_nHitMode);
  MakeEmptyCell(*MapCellAtBlock(1, 3));
  EXPECT_EQ(probe(1, 3, 1), BLOCK_HIT_NONE);

  // A summon refused over the hero puts the cell back as it was.
  cHero& hero = g_Heroes.front();
  hero.m_bFinished = 0;
  hero.m_dX = (6 + kMapMargin) * 32 + 4;
  hero.m_dY = (6 + kMapMargin) * 32 + 4;
  hero.m_dRight = hero.m_dX + 15;
  hero.m_dBottom = hero.m_dY + 15;
  cEdShot refused = summon;
  refused.m_byReserved56 = 1;
  change(6, 6, refused, solid);
  EXPECT_EQ(MapCellAtBlock(6, 6)->m_sGraphic, 0);
  EXPECT_EQ(probe(6, 6, 1), BLOCK_HIT_NONE);
}

}  // namespace
