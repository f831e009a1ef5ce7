#include "play/hits.h"

#include <gtest/gtest.h>

#include "content/item.h"
#include "stage_fixture.h"

namespace {

class HitsTest : public cStageFixture {
 protected:
  void SetUp() override {
    cStageFixture::SetUp();
    g_Stage.m_PlacedCharas = CharaVector({Chara(0, 2, 3), Chara(1, 6, 3), Chara(1, 8, 3)});
    SetUpStage(1);
  }
  static void Box(cObject& o, double x, double y) {
    o.m_dX = x;
    o.m_dY = y;
    o.m_dRight = x + 15;
    o.m_dBottom = y + 15;
  }
};

TEST_F(HitsTest, AnAnyNumberItemActsOnceUntilTheHeroTouchesItAnew) {
  cHero& hero = g_Heroes.front();
  hero.m_HP.m_nValue = 10;
  cItem& item = g_ItemList.emplace_back();
  item.m_Def.m_sGraphic = 1;
  item.m_Def.m_nTakeMode = TAKE_ALWAYS;
  item.m_nNumber = 4;
  item.m_bPresent = 1;
  Box(item, 500, 500);
  auto touch = [&](bool on) {
    hero.m_PickupBox.m_Rect = on ? sDRect{505, 505, 520, 520} : sDRect{0, 0, 10, 10};
    EXPECT_EQ(PickUpItems(hero), 0);
  };
  touch(true);
  EXPECT_EQ(hero.m_PickedItems.size(), 1u);
  touch(true);
  EXPECT_EQ(hero.m_PickedItems.size(), 1u);  // standing on it: once
  touch(false);
  EXPECT_TRUE(hero.m_PickedItems.empty());
  touch(true);
  EXPECT_EQ(hero.m_PickedItems.size(), 1u);
  EXPECT_EQ(g_ItemList.size(), 1u);

  // A ONCE item goes; a NEVER item and a carried one are never taken.
  item.m_Def.m_nTakeMode = TAKE_NEVER;
  cItem& once = g_ItemList.emplace_back(item);
  once.m_Def.m_nTakeMode = TAKE_ONCE;
  cItem& carried = g_ItemList.emplace_back(once);
  carried.m_bCarried = 1;
  touch(true);
  EXPECT_EQ(g_ItemList.size(), 2u);
  EXPECT_EQ(g_ItemList.back().m_bCarried, 1);
}

TEST_F(HitsTest, CharactersDefeatedByCommandsGoOrStayByTheKeepSwitch) {
  for (int keep : {0, 1}) {
    SetUpStage(1);
    g_Heroes.front().m_HP.m_nValue = 10;
    g_SystemData.m_bClearEndsFrame = keep;
    ASSERT_EQ(g_CharaList.size(), 2u);
    for (cChara& c : g_CharaList) c.m_HP.m_nValue = 5;
    g_CharaList.front().m_HP.m_nValue = 0;
    g_CharaList.back().m_bRemoveReq = 1;
    EXPECT_EQ(CheckDefeats(g_CharaList), 0);
    if (keep) {
      ASSERT_EQ(g_CharaList.size(), 1u);
      EXPECT_EQ(g_CharaList.front().m_bFinished, 1);
    } else {
      EXPECT_TRUE(g_CharaList.empty());
    }
    for (const auto& group : scene.m_CharaGroup)
      for (const cCharaBase* c : group) EXPECT_NE(c, nullptr);
  }
  // The hero without HP ends the frame, whatever its end says.
  g_Heroes.front().m_HP.m_nValue = 0;
  EXPECT_EQ(CheckDefeats(g_CharaList), 1);
  EXPECT_EQ(g_Heroes.front().m_bFinished, 1);
}

TEST_F(HitsTest, DeathChecks) {
  cChara& chara = g_CharaList.front();
  EXPECT_EQ(DeathCheck(g_Heroes.front()), 2);
  chara.m_nControl = 0;
  EXPECT_EQ(DeathCheck(chara), 2);
  chara.m_nControl = 1;
  EXPECT_EQ(DeathCheck(chara), 0);
  EXPECT_EQ(chara.m_bFinished, 1);
  EXPECT_EQ(DeathCheck(chara), 0);
}

}  // namespace

namespace {

TEST_F(HitsTest, TheCharacterAPassWorksOnIsUnlinkedButNotFreed) {
  cChara& current = g_CharaList.front();
  current.m_bRemoveReq = 1;
  g_Heroes.front().m_HP.m_nValue = 10;
  for (cChara& c : g_CharaList) c.m_HP.m_nValue = 5;
  {
    sPassCharaGuard guard(&current);
    EXPECT_EQ(CheckDefeats(g_CharaList), 0);
    EXPECT_TRUE(PassCharaRemoved());
    EXPECT_EQ(g_CharaList.size(), 2u);
    EXPECT_EQ(current.m_bFinished, 1);
    for (const auto& group : scene.m_CharaGroup)
      for (const cCharaBase* c : group) EXPECT_NE(c, &current);
  }
  // Without the guard it goes at once.
  EXPECT_EQ(CheckDefeats(g_CharaList), 0);
  EXPECT_EQ(g_CharaList.size(), 1u);
}

}  // namespace
