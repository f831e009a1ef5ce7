#include "project/carry_over.h"

#include <gtest/gtest.h>

#include "content/content_refs.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "tests/support/scoped_value.h"

namespace {

class cTables : public cContentRefs {
 public:
  std::int32_t TableSize(eRefTable table) const override {
    return table == REF_BGM ? 4 : table == REF_ANIME_SET ? 3 : 10;
  }
};

cEdFlow Flow(int id) {
  cEdFlow flow;
  flow.m_nID = id;
  return flow;
}

class CarryOverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_SystemData.SetDefault();
    g_SystemData.m_InheritAllowed.assign(INHERIT_ITEM_COUNT, 1);
    g_SystemData.m_InheritReset.assign(INHERIT_ITEM_COUNT, 0);
    SetContentRefs(&tables);
    hero.m_sGraphic = 5;
    hero.m_sAnimeSet = 2;
    hero.m_nMaxHP = 80;
    hero.m_nPower = 9;
    hero.m_Flows = {Flow(1), Flow(2)};
  }
  void TearDown() override {
    SetContentRefs(nullptr);
  }
  // A stage end that stores the hero: HP 33, SP 4, effect 6, time left 57, lives 2, music 3.
  void Store(cPlayData& record) { record.StoreInherit(0, hero, 33, 4, 6, 1, 0, 57, 2, 3); }

  cTables tables;
  cScopedGlobal<cSystemData> m_KeepSystem{g_SystemData};
  cEdChara hero;
};

TEST_F(CarryOverTest, EveryItemReachesTheNextStage) {
  cPlayData record;
  Store(record);
  EXPECT_EQ(record.m_bInherit, 1);
  EXPECT_EQ(record.m_InheritFlags, cVector<std::int32_t>(25, 1));

  cEdChara next;
  cStage stage;
  stage.m_nTimeLimit = 300;
  record.m_nLives = 9;
  record.ApplyInherit(0, next, stage);
  std::int32_t hp = 10, sp = 0;
  record.GetInheritValues(0, hp, sp);
  EXPECT_EQ(next.m_sGraphic, 5);
  EXPECT_EQ(next.m_sAnimeSet, 2);
  EXPECT_EQ(next.m_nMaxHP, 80);
  EXPECT_EQ(next.m_nPower, 9);
  ASSERT_EQ(next.m_Flows.size(), 2u);
  EXPECT_EQ(next.m_Flows[1].m_nID, 2);
  EXPECT_EQ(next.m_sCharaEffect, 6);  // the effect that was running, not the definition's
  EXPECT_EQ(next.m_nCharaEffectMode, 1);
  EXPECT_EQ(next.m_bCharaEffectRepeat, 0);
  EXPECT_EQ(stage.m_nTimeLimit, 57);
  EXPECT_EQ(stage.m_nBgm, 3);
  EXPECT_EQ(record.m_nLives, 2);
  EXPECT_EQ(hp, 33);
  EXPECT_EQ(sp, 4);
}

TEST_F(CarryOverTest, ItemsTheProjectDoesNotAllowAreNeitherStoredNorApplied) {
  cPlayData record;
  g_SystemData.m_InheritAllowed[int{INHERIT_MAX_HP}] = 0;
  g_SystemData.m_InheritAllowed[int{INHERIT_HP}] = 0;
  Store(record);
  EXPECT_EQ(record.m_InheritFlags[int{INHERIT_MAX_HP}], 0);
  EXPECT_EQ(record.m_InheritSlots[0].m_Chara.m_nMaxHP, cEdChara().m_nMaxHP);

  record.m_InheritFlags[int{INHERIT_MAX_HP}] = 1;  // whatever the flag says
  record.m_InheritFlags[int{INHERIT_HP}] = 1;
  record.m_InheritSlots[0].m_Chara.m_nMaxHP = 500;
  cEdChara next;
  cStage stage;
  record.ApplyInherit(0, next, stage);
  std::int32_t hp = 10, sp = 0;
  record.GetInheritValues(0, hp, sp);
  EXPECT_EQ(next.m_nMaxHP, cEdChara().m_nMaxHP);
  EXPECT_EQ(next.m_nPower, 9);
  EXPECT_EQ(hp, 10);
  EXPECT_EQ(sp, 4);
}

TEST_F(CarryOverTest, NothingIsAppliedBeforeAStore) {
  cPlayData record;
  record.m_InheritFlags.assign(25, 1);
  record.m_InheritSlots[0].m_Chara.m_nMaxHP = 500;
  cEdChara next;
  cStage stage;
  stage.m_nTimeLimit = 300;
  record.ApplyInherit(0, next, stage);
  std::int32_t hp = 10, sp = 1;
  record.GetInheritValues(0, hp, sp);
  EXPECT_EQ(next.m_nMaxHP, cEdChara().m_nMaxHP);
  EXPECT_EQ(stage.m_nTimeLimit, 300);
  EXPECT_EQ(hp, 10);
  EXPECT_EQ(sp, 1);
}

TEST_F(CarryOverTest, ResetAfterAMissDropsOnlyTheMarkedItems) {
  g_SystemData.m_InheritReset[int{INHERIT_HP}] = 1;
  g_SystemData.m_InheritReset[int{INHERIT_SP}] = 1;
  cPlayData record;
  Store(record);
  record.ResetInheritFlags();
  std::int32_t hp = 10, sp = 1;
  record.GetInheritValues(0, hp, sp);
  EXPECT_EQ(hp, 10);
  EXPECT_EQ(sp, 1);
  cEdChara next;
  cStage stage;
  record.ApplyInherit(0, next, stage);
  EXPECT_EQ(next.m_nMaxHP, 80);
}

// Stored values that do not fit this project (a save from another project, or a damaged one)
// are brought back inside its tables.
TEST_F(CarryOverTest, StoredValuesOutsideThisProjectFallBack) {
  struct sCase {
    std::int16_t graphic;
    std::int16_t animeSet;
    std::int32_t time;
    std::int32_t bgm;
    std::int16_t wantGraphic, wantAnimeSet;
    std::int32_t wantTime, wantBgm;
  };
  for (const sCase& c : {sCase{0, 2, 57, 3, 1, 2, 57, 3}, sCase{7, 3, -5, 4, 7, 0, 0, 0},
                         sCase{7, -1, 0, -2, 7, 0, 0, 0}}) {
    cPlayData record;
    Store(record);
    cInheritData& slot = record.m_InheritSlots[0];
    slot.m_Chara.m_sGraphic = c.graphic;
    slot.m_Chara.m_sAnimeSet = c.animeSet;
    slot.m_nStageValue = c.time;
    slot.m_nStageBgm = c.bgm;
    cEdChara next;
    cStage stage;
    record.ApplyInherit(0, next, stage);
    EXPECT_EQ(next.m_sGraphic, c.wantGraphic);
    EXPECT_EQ(next.m_sAnimeSet, c.wantAnimeSet);
    EXPECT_EQ(stage.m_nTimeLimit, c.wantTime);
    EXPECT_EQ(stage.m_nBgm, c.wantBgm);
  }
}

TEST_F(CarryOverTest, SlotsOutsideTheListAreIgnored) {
  cPlayData record;
  record.StoreInherit(1, hero, 1, 1, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(record.m_bInherit, 0);
  Store(record);
  cEdChara next;
  cStage stage;
  record.ApplyInherit(-1, next, stage);
  std::int32_t hp = 10, sp = 1;
  record.GetInheritValues(3, hp, sp);
  EXPECT_EQ(next.m_nMaxHP, cEdChara().m_nMaxHP);
  EXPECT_EQ(hp, 10);
  record.ResetInheritSlots(2);
  EXPECT_EQ(record.m_InheritSlots.size(), 2u);
}

}  // namespace
