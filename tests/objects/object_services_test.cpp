#include "objects/object_services.h"

#include <gtest/gtest.h>

#include "objects/chara.h"
#include "platform/close_request.h"
#include "tests/objects/play_world.h"

namespace {

class ObjectServicesTest : public cPlayWorld {
 protected:
  void SetUp() override {
    MakeMap(20, 15);
    InstallObjectServices();
  }
  cScopedObjectServices m_Services;
  cScopedHeroes m_Heroes;
};

cEdCond VarCond(int kind, int index, int value) {
  cEdCond c;
  c.m_nKind = static_cast<std::int8_t>(kind);
  c.m_nIndex = static_cast<std::int16_t>(index);
  c.m_nConst = value;
  return c;
}

TEST_F(ObjectServicesTest, ConditionsReadTheStagesVariablesAndObjects) {
  cPlayScene scene;
  cScopedValue<cPlayScene*> current(g_pPlayScene, &scene);
  g_PlayData.m_CommonVar.assign(1001, 0);
  g_PlayData.m_CommonVar[5] = 7;
  scene.m_StageVar[12] = -3;
  cChara ch;
  ch.Reset(nullptr, 0, 0, 0);
  ch.m_Vars[8] = 4;
  ch.m_nFacing = 1;
  cEdCond common = VarCond(COND_COMMON_VAR, 5, 7);
  cEdCond stage = VarCond(COND_STAGE_VAR, 12, -3);
  cEdCond own = VarCond(COND_CHARA_VAR, 8, 4);
  cEdCond facing = VarCond(COND_STATUS3, 0, 0);
  facing.m_nItem = STATE_FACING_RIGHT;
  for (cEdCond* c : {&common, &stage, &own, &facing}) EXPECT_EQ(CheckCondition(*c, &ch), 1);
  EXPECT_EQ(CheckCondition(own, nullptr), 0);
  // A bad index is reported and reads element 0.
  const int closes = platform::CloseRequestCount();
  cEdCond bad = VarCond(COND_CHARA_VAR, 9, 0);
  EXPECT_EQ(CheckCondition(bad, &ch), 1);  // element 0 holds 0
  EXPECT_GT(platform::CloseRequestCount(), closes);
  platform::ResetCloseRequest();
}

TEST_F(ObjectServicesTest, BlocksAppearForTheFirstHero) {
  cHero& hero = m_Heroes.Add();
  hero.Reset(nullptr, 0, 0, 0);
  hero.m_nFacing = 0;
  cMapCell* cell = MapCellAtBlock(2, 2);
  cell->m_nHitMode = BLOCK_HIT_SOLID;
  cEdCond facing = VarCond(COND_STATUS3, 0, 0);
  facing.m_nItem = STATE_FACING_RIGHT;
  cell->m_Conds.push_back(facing);
  EXPECT_EQ(cell->GetHitMode(1), 0);
  hero.m_nFacing = 1;
  EXPECT_EQ(cell->GetHitMode(1), BLOCK_HIT_SOLID);
}

}  // namespace
