#include "play/spawn.h"

#include <gtest/gtest.h>

#include <vector>

#include "content/shot.h"
#include "stage_fixture.h"

namespace {

class SpawnTest : public cStageFixture {
 protected:
  std::vector<double> Xs() const {
    std::vector<double> xs;
    for (const cChara& c : g_CharaList) xs.push_back(c.m_dX);
    return xs;
  }
};

TEST_F(SpawnTest, CopiesAreSpacedAndShiftedAndMirroredOnlyWhenAsked) {
  SetUpStage(1);
  struct sCase {
    int facing, mirror;
    double d0, d1, d2;  // offsets from the first copy's unshifted place
  };
  const sCase cases[] = {{0, 0, 8, 48, 88}, {1, 0, 8, 48, 88}, {1, 1, -8, -48, -88},
                         {0, 1, 8, 48, 88}};
  for (const sCase& c : cases) {
    g_CharaList.clear();
    cEdChara def = Chara(1, 3, 2);
    def.m_nCopies = 2;
    def.m_sCopyStepX = 40;
    def.m_sCopyOffsetX = 8;
    def.m_nFacing = static_cast<std::uint8_t>(c.facing);
    def.m_bCopyMirrorX = static_cast<std::uint8_t>(c.mirror);
    std::int32_t counter = 5;
    PlaceCharacter(g_CharaList, 3, 2, counter, def, nullptr);
    ASSERT_EQ(g_CharaList.size(), 3u);
    EXPECT_EQ(counter, 8);
    const std::vector<double> xs = Xs();
    const double base = xs[0] - c.d0;
    EXPECT_DOUBLE_EQ(xs[1] - base, c.d1) << c.facing << c.mirror;
    EXPECT_DOUBLE_EQ(xs[2] - base, c.d2) << c.facing << c.mirror;
    EXPECT_EQ(g_CharaList.back().m_nNumber, 7);
  }
}

TEST_F(SpawnTest, OutsideTheMapOrBlockedUsesNoNumber) {
  SetUpStage(1);
  Put(5, 5, BLOCK_HIT_SOLID);
  cEdShot params;
  const cEdChara def = Chara(1, 0, 0);
  std::int32_t counter = 3;
  // Outside the whole map (the map with its margins is 40 x 35 cells).
  SpawnCharacter(g_CharaList, -200, -200, 1, 0, params, def, counter, nullptr);
  cEdChara far = def;
  far.m_sCopyOffsetY = -2000;
  PlaceCharacter(g_CharaList, 3, 3, counter, far, nullptr);
  EXPECT_TRUE(g_CharaList.empty());
  EXPECT_EQ(counter, 3);
  // Onto the solid block: taken away again.
  SpawnCharacter(g_CharaList, (5 + 10) * 32, (5 + 10) * 32, 1, 0, params, def, counter,
                 nullptr);
  EXPECT_TRUE(g_CharaList.empty());
  EXPECT_EQ(counter, 3);
  // A free place: the number, the group list, the hero as target, the life in sub-steps.
  params.m_bRange = 1;
  params.m_sRange = 5;
  SpawnCharacter(g_CharaList, (7 + 10) * 32, (5 + 10) * 32, 2, 0, params, def, counter,
                 nullptr);
  ASSERT_EQ(g_CharaList.size(), 1u);
  EXPECT_EQ(counter, 4);
  EXPECT_EQ(g_CharaList.front().m_nNumber, 3);
  EXPECT_EQ(g_CharaList.front().m_nLife, 5 * 6);
  EXPECT_EQ(scene.m_CharaGroup[2].size(), 1u);
  // An item is never refused for a blocked place.
  cEdItem item;
  std::int32_t items = 0;
  SpawnItem(g_ItemList, (5 + 10) * 32, (5 + 10) * 32, params, item, items);
  EXPECT_EQ(g_ItemList.size(), 1u);
  EXPECT_EQ(items, 1);
}

TEST_F(SpawnTest, BlockChangesByKindPresenceAndVersion) {
  struct sCase {
    int kind;
    int present;    // the cell holds a block
    int noChange;   // its unchangeable flag
    int appears;    // its appearance conditions hold
    int older;      // a project of version 616 or older
    int wantGraphic;
  };
  const sCase cases[] = {
      {BLOCKCHANGE_SUMMON, 0, 0, 1, 0, 7}, {BLOCKCHANGE_SUMMON, 1, 0, 1, 0, 7},
      {BLOCKCHANGE_ERASE, 1, 0, 1, 0, 0},  {BLOCKCHANGE_TOGGLE, 1, 0, 1, 0, 0},
      {BLOCKCHANGE_TOGGLE, 0, 0, 1, 0, 7}, {BLOCKCHANGE_SUMMON, 1, 1, 1, 0, 3},
      {BLOCKCHANGE_ERASE, 1, 1, 0, 0, 0},  {BLOCKCHANGE_ERASE, 1, 1, 0, 1, 3},
      {BLOCKCHANGE_SUMMON, 0, 1, 1, 0, 7}, {BLOCKCHANGE_SUMMON, 0, 1, 1, 1, 0},
      {5, 1, 0, 1, 0, 3},
  };
  SetUpStage(1);
  for (const sCase& c : cases) {
    g_SystemData.bCompatBlockChange = c.older;
    scene.m_ToggledCells.clear();
    cMapCell& cell = *MapCellAtBlock(4, 4);
    MakeEmptyCell(cell);
    cEdBlock old;
    old.m_sGraphic = static_cast<std::int16_t>(c.present ? 3 : 0);
    old.m_bNoChange = static_cast<std::uint8_t>(c.noChange);
    if (!c.appears) {
      old.m_Conds.resize(1);  // a condition that does not hold keeps the block away
      old.m_nCondMode = 0;
    }
    SetMapCellBlock(cell, old);
    cEdBlock block;
    block.m_sGraphic = 7;
    cEdShot params;
    params.m_nBlockSummonMode = static_cast<std::int8_t>(c.kind);
    ChangeBlock((4 + 10) * 32, (4 + 10) * 32, params, block);
    EXPECT_EQ(MapCellAtBlock(4, 4)->m_sGraphic, c.wantGraphic)
        << c.kind << c.present << c.noChange << c.appears << c.older;
  }
}

TEST_F(SpawnTest, ToggleOncePerVolleyAndNeverIntoAnotherRow) {
  SetUpStage(1);
  cEdBlock block;
  block.m_sGraphic = 7;
  cEdShot params;
  params.m_nBlockSummonMode = BLOCKCHANGE_TOGGLE;
  const double x = (4 + 10) * 32, y = (4 + 10) * 32;
  ChangeBlock(x, y, params, block);
  ChangeBlock(x, y, params, block);
  EXPECT_EQ(MapCellAtBlock(4, 4)->m_sGraphic, 7);
  scene.m_ToggledCells.clear();  // the next volley
  ChangeBlock(x, y, params, block);
  EXPECT_EQ(MapCellAtBlock(4, 4)->m_sGraphic, 0);

  // A column past the row stride (or below 0) would land in the next (previous) row.
  params.m_nBlockSummonMode = BLOCKCHANGE_SUMMON;
  const std::vector<cMapCell> before = g_MapCells;
  const int stride = scene.m_ScrollX.m_nStride;
  ChangeBlock(stride * 32.0, y, params, block);
  ChangeBlock(-64, y, params, block);
  ChangeBlock(x, 1e9, params, block);
  for (std::size_t i = 0; i < before.size(); ++i)
    ASSERT_EQ(g_MapCells[i].m_sGraphic, before[i].m_sGraphic) << i;
}

TEST_F(SpawnTest, ARefusedSummonOverTheHeroStillHoldsIt) {
  SetUpStage(1);
  cHero& hero = g_Heroes.front();
  for (int refuse : {0, 1}) {
    MakeEmptyCell(*MapCellAtBlock(6, 6));
    hero.m_nFlyChangeTimer = 0;
    hero.m_bFinished = 0;
    hero.m_dX = (6 + 10) * 32 + 4;
    hero.m_dY = (6 + 10) * 32 + 4;
    hero.m_dRight = hero.m_dX + 15;
    hero.m_dBottom = hero.m_dY + 15;
    cEdBlock block;
    block.m_sGraphic = 7;
    cEdShot params;
    params.m_nBlockSummonMode = BLOCKCHANGE_SUMMON;
    params.m_byReserved56 = static_cast<std::int8_t>(refuse);
    ChangeBlock((6 + 10) * 32, (6 + 10) * 32, params, block);
    EXPECT_EQ(hero.m_nFlyChangeTimer, 2) << refuse;
    EXPECT_EQ(MapCellAtBlock(6, 6)->m_sGraphic, refuse ? 0 : 7) << refuse;
  }
}

// A character summoned into a group beyond the eight group lists is put into list 0 (the
// range test closes the program, and play goes on until it closes). Taking it out of play
// takes it out of that list, so that nothing walks to it once it is freed.
TEST_F(SpawnTest, ACharacterOfAGroupBeyondTheListsLeavesListZeroWhenItGoes) {
  SetUpStage(1);
  for (int group : {9, 255}) {
    SCOPED_TRACE(testing::Message() << "group " << group);
    g_CharaList.clear();
    for (auto& list : scene.m_CharaGroup) list.clear();
    cEdShot params;
    std::int32_t counter = 20;
    SpawnCharacter(g_CharaList, (7 + 10) * 32, (5 + 10) * 32, group, 0, params,
                   Chara(1, 0, 0), counter, nullptr);
    SpawnCharacter(g_CharaList, (9 + 10) * 32, (5 + 10) * 32, 0, 0, params, Chara(1, 0, 0),
                   counter, nullptr);
    ASSERT_EQ(g_CharaList.size(), 2u);
    ASSERT_EQ(scene.m_CharaGroup[0].size(), 2u);
    EXPECT_TRUE(platform::IsCloseRequested());
    platform::ResetCloseRequest();
    EraseCharaNode(g_CharaList.begin());
    std::vector<int> numbers;
    for (const cCharaBase* c : scene.m_CharaGroup[0]) numbers.push_back(c->m_nNumber);
    EXPECT_EQ(numbers, std::vector<int>{21});
  }
}

}  // namespace
