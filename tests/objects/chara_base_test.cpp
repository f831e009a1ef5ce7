#include "objects/chara_base.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <list>

#include "objects/chara.h"
#include "objects/shot.h"
#include "platform/close_request.h"
#include "play/play_graphics.h"
#include "project/system_bitmaps.h"
#include "tests/objects/play_world.h"

namespace {

class CharaBaseTest : public cPlayWorld {
 protected:
  void SetUp() override { MakeMap(30, 20); }
  cScopedHeroes m_Heroes;
};

bool HasRef(const cCharaBase& holder, const cCharaBase* object, int slot) {
  for (const sTargetRef& r : holder.m_BackRefs)
    if (r.pObject == object && r.nSlot == slot) return true;
  return false;
}

TEST_F(CharaBaseTest, LinksAreRecordedOnceAndClearedWhenACharacterGoes) {
  cHero& hero = m_Heroes.Add();
  hero.Reset(nullptr, 0, 0, 0);
  cCharaList charas(4);
  auto it = charas.begin();
  cChara& a = *it++;
  cChara& b = *it++;
  cChara& c = *it++;
  cChara& x = *it++;
  for (cChara& ch : charas) ch.Reset(nullptr, 0, 0, 0);
  a.InitTargets(nullptr);
  x.InitTargets(nullptr);
  b.InitTargets(nullptr);
  x.InitTargets(nullptr);  // twice: no second entry
  EXPECT_EQ(hero.m_BackRefs.size(), 3u);
  // x is tg3 of a and b and the owner of c; a shot aims at x.
  for (cChara* holder : {&a, &b}) {
    holder->m_Targets[2] = &x;
    x.m_BackRefs.push_back({holder, 2});
  }
  c.InitTargets(&x);
  c.InitTargets(&x);
  EXPECT_EQ(x.m_BackRefs.size(), 3u);
  cShot shot;
  shot.m_pTarget = &x;
  shot.m_pOwner = &x;
  x.m_ShotLinks.push_back({&shot, 0});
  x.m_ShotLinks.push_back({&shot, 4});

  x.UnlinkReferences();
  EXPECT_EQ(a.m_Targets[2], nullptr);
  EXPECT_EQ(b.m_Targets[2], nullptr);
  EXPECT_EQ(c.m_pOwner, nullptr);
  EXPECT_EQ(shot.m_pTarget, nullptr);
  EXPECT_EQ(shot.m_pOwner, nullptr);
  EXPECT_TRUE(x.m_BackRefs.empty());
  EXPECT_TRUE(x.m_ShotLinks.empty());
  EXPECT_EQ(x.m_pOwner, nullptr);
  for (cCharaBase* t : x.m_Targets) EXPECT_EQ(t, nullptr);
  // The hero's other references keep their order.
  ASSERT_EQ(hero.m_BackRefs.size(), 3u);
  EXPECT_EQ(hero.m_BackRefs[0].pObject, &a);
  EXPECT_EQ(hero.m_BackRefs[1].pObject, &b);
  EXPECT_EQ(hero.m_BackRefs[2].pObject, &c);
  charas.clear();  // each unlinks itself as it goes
  EXPECT_TRUE(hero.m_BackRefs.empty());
}

TEST_F(CharaBaseTest, AProbeCopyLeavesTheOriginalsLinksAlone) {
  cHero& hero = m_Heroes.Add();
  hero.Reset(nullptr, 0, 0, 0);
  cCharaList charas(2);
  cChara& a = charas.front();
  cChara& b = charas.back();
  for (cChara& ch : charas) {
    ch.Reset(nullptr, 0, 0, 0);
    ch.InitTargets(nullptr);
  }
  b.m_Targets[1] = &a;
  a.m_BackRefs.push_back({&b, 1});
  a.m_dX = 123;
  {
    cChara probe;
    probe.m_bNoUnlink = 1;
    probe.Copy(a);
    EXPECT_EQ(probe.m_bNoUnlink, 1);
    EXPECT_EQ(probe.m_dX, 123);
    EXPECT_EQ(probe.m_BackRefs.size(), a.m_BackRefs.size());
  }
  EXPECT_EQ(b.m_Targets[1], &a);
  EXPECT_TRUE(HasRef(hero, &a, 0));
  // Without the flag, the copy's destruction would have cleared what it copied.
  {
    cChara copy;
    copy.Copy(a);
  }
  EXPECT_EQ(b.m_Targets[1], nullptr);
}

TEST_F(CharaBaseTest, EraseCharaNodeTakesTheCharacterOutOfEveryList) {
  cPlayScene scene;
  cScopedValue<cPlayScene*> current(g_pPlayScene, &scene);
  cHero& hero = m_Heroes.Add();
  hero.Reset(nullptr, 0, 0, 0);
  g_CharaList.clear();
  for (int i = 0; i < 3; ++i) {
    cChara& ch = g_CharaList.emplace_back();
    ch.Reset(nullptr, 0, 0, 0);
    ch.m_Def.m_nGroup = 2;
    ch.m_nNumber = i;
    ch.InitTargets(nullptr);
    scene.m_CharaGroup[2].push_back(&ch);
  }
  auto next = EraseCharaNode(std::next(g_CharaList.begin()));
  EXPECT_EQ(next->m_nNumber, 2);
  EXPECT_EQ(g_CharaList.size(), 2u);
  EXPECT_EQ(scene.m_CharaGroup[2].size(), 2u);
  EXPECT_EQ(hero.m_BackRefs.size(), 2u);
  for (cCharaBase* ch : scene.m_CharaGroup[2]) EXPECT_NE(ch->m_nNumber, 1);
  g_CharaList.clear();
  scene.m_CharaGroup[2].clear();
}

// The attack hits read the two hit boxes of every character after the passes: in a node of
// the character list each lies on a cache line of its own, as does each flow run.
TEST_F(CharaBaseTest, InAListNodeEachHitBoxAndFlowRunStartsACacheLine) {
  g_CharaList.clear();
  cChara& ch = g_CharaList.emplace_back();
  ch.m_bNoUnlink = 1;
  ch.m_FlowRuns.resize(3);
  auto line = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p) % 64; };
  EXPECT_EQ(line(&ch.m_HitBoxA), 0u);
  EXPECT_EQ(line(&ch.m_HitBoxB), 0u);
  for (const cFlowRun& run : ch.m_FlowRuns) EXPECT_EQ(line(&run), 0u);
  g_CharaList.clear();
}

TEST_F(CharaBaseTest, BlockPlacementAtScaleTwoKeepsCentreAndCellBottom) {
  for (int compat : {0, 1}) {
    g_SystemData.m_bCompatScaleY = compat;
    cChara ch;
    ch.m_Def.m_nScale = 2;
    ch.SetUpBase(1, 1, 0, 1, 0, nullptr, 0, 8, 8, 16, 20, 32, 32, 0, 0, 0);
    ch.Scale(2, 1);
    ch.SetBlockPos(3, 4);
    // Scale 1 would place x at 13 x 32 + 8.5 = 424.5 (centre 432.5) and the cell's bottom at 479.
    EXPECT_EQ(ch.m_dX + ch.m_nWidth / 2, 432.5) << compat;
    if (compat)
      EXPECT_EQ(ch.m_dY, 14 * 32 + 8 - 20);  // the collision box's bottom stays
    else
      EXPECT_EQ(ch.m_dY - ch.m_Rect.m_nOffsetY + ch.m_Rect.m_nHeight - 1, 479);
  }
  cChara zero;  // a scale of 0 is taken, and repaired, as 1
  zero.m_Def.m_nScale = 0;
  zero.SetUpBase(1, 1, 0, 1, 0, nullptr, 0, 8, 8, 16, 20, 32, 32, 0, 0, 0);
  zero.SetBlockPos(0, 0);
  EXPECT_EQ(zero.m_Def.m_nScale, 1);
  EXPECT_EQ(zero.m_dX, 328.5);
  EXPECT_EQ(zero.m_dY, 328);
}

cDbAnimeSet MakeSet(std::initializer_list<std::initializer_list<int>> runs) {
  cDbAnimeSet set;
  set.m_Anime.clear();
  for (auto cells : runs) {
    cDbAnime anime;
    anime.m_Frames.clear();
    for (int cell : cells) {
      cDbAnimeFrame f;
      f.m_nCell = cell;
      f.m_nTime = 2;
      anime.m_Frames.push_back(f);
    }
    set.m_Anime.push_back(anime);
  }
  return set;
}

TEST_F(CharaBaseTest, AnimationSetsBuildLockedLoopingRuns) {
  g_DataBase.m_AnimeSet = {MakeSet({{0, 1}, {2}}), MakeSet({{5, 6, 7}})};
  cChara ch;
  ch.SetAnimeSet(1, 1);
  const AnimeRuns& runs = ch.m_Anime.Runs();
  ASSERT_EQ(runs.size(), 1u);
  ASSERT_EQ(runs[0].size(), 4u);
  EXPECT_EQ(runs[0][1].nFrame, 6);
  EXPECT_EQ(runs[0][1].nDuration, 12);
  EXPECT_EQ(runs[0][1].bLock, 1);
  EXPECT_EQ(runs[0][3].nFrame, kAnimeLoop);
  EXPECT_EQ(runs[0][3].bLock, 1);
  for (int i = 0; i < 13; ++i) ch.m_Anime.Update();
  const int entry = ch.m_Anime.GetEntry();
  ch.SetAnimeSet(1, 0);  // the same set without force keeps running
  EXPECT_EQ(ch.m_Anime.GetEntry(), entry);
  ch.SetAnimeSet(1, 1);
  EXPECT_EQ(ch.m_Anime.GetEntry(), 0);
  EXPECT_EQ(ch.m_Anime.GetTick(), 0);
  // A set beyond the table is logged and set 0 is used; play goes on.
  const int closes = platform::CloseRequestCount();
  ch.SetAnimeSet(9, 1);
  ASSERT_EQ(ch.m_Anime.Runs().size(), 2u);
  EXPECT_EQ(ch.m_Anime.Runs()[1][0].nFrame, 2);
  EXPECT_EQ(platform::CloseRequestCount(), closes);
}

TEST_F(CharaBaseTest, ResetFromADefinition) {
  g_DataBase.m_AnimeSet = {MakeSet({{0}})};
  g_Stage.SetSpeedLevel(2);
  cEdChara def;
  def.m_nMaxHP = 30;
  def.m_nMaxSP = 4;
  def.m_nViewRange = 0xFD;  // -3 half-blocks
  def.m_sStopEase = 50;
  def.m_bScrollSync = 1;
  cChara ch;
  ch.m_Targets.clear();
  ch.Reset(&def, 100, 200, 3);
  EXPECT_EQ(ch.m_HP.m_nValue, 30);
  EXPECT_EQ(ch.m_SP.m_nValue, 4);
  EXPECT_EQ(ch.m_nSightRange, -48);
  EXPECT_EQ(ch.m_dDecel, 50 * 0.01 / 4);
  EXPECT_EQ(ch.m_bScreenBound, 1);
  EXPECT_EQ(ch.m_Targets.size(), 4u);
  EXPECT_EQ(ch.m_Vars.size(), 9u);
  EXPECT_EQ(ch.m_RunningGroups.size(), 27u);
  EXPECT_EQ(ch.m_bAirLock, 1);
  EXPECT_EQ(ch.m_nBlockSide, -1);
  EXPECT_EQ(ch.m_sCopyIndex, 3);
  EXPECT_EQ(ch.m_dSpawnX, 100);
}

TEST_F(CharaBaseTest, OneShotAnimationsByKey) {
  cChara ch;
  auto add = [&](int key, int left, int hold) {
    cOneShotAnime a;
    a.m_nKey = key;
    a.m_nFramesLeft = left;
    a.m_nHoldFrames = hold;
    ch.m_OneShotAnime.push_back(a);
  };
  add(1, 5, 0);
  add(1, 0, 0);  // nothing left to show: stopping removes it
  add(2, 3, 0);
  ch.StopOneShotAnime(1);
  ASSERT_EQ(ch.m_OneShotAnime.size(), 2u);
  EXPECT_EQ(ch.m_OneShotAnime.front().m_bPaused, 1);
  EXPECT_EQ(ch.m_OneShotAnime.back().m_bPaused, 0);
  ch.ResumeOneShotAnime(1);
  EXPECT_EQ(ch.m_OneShotAnime.front().m_bPaused, 0);
  ch.RemoveOneShotAnime(1);
  ASSERT_EQ(ch.m_OneShotAnime.size(), 1u);
  EXPECT_EQ(ch.m_OneShotAnime.front().m_nKey, 2);
}

class GraphicSourceTest : public CharaBaseTest {
 protected:
  void SetUp() override {
    CharaBaseTest::SetUp();
    for (int i = 0; i < kSystemSurfaceCount; ++i) {
      g_SystemSurface[i].nWidth = 640;
      g_SystemSurface[i].nHeight = 480;
    }
    g_CharaExcSurfaces.resize(8);
    cDbBmpCharaExc plain, large, zero;
    large.m_bLargeCell = 1;
    large.m_nCellBlocks = 2;
    zero.m_bLargeCell = 1;
    zero.m_nCellBlocks = 0;
    g_DataBase.m_BmpCharaExc = {cDbBmpCharaExc(), large, zero};
  }
  void TearDown() override {
    for (int i = 0; i < kSystemSurfaceCount; ++i) g_SystemSurface[i].nWidth = g_SystemSurface[i].nHeight = 0;
    g_CharaExcSurfaces.clear();
  }
  cScopedValue<cVector<cDbBmpCharaExc>> m_Bmp{g_DataBase.m_BmpCharaExc};
};

TEST_F(GraphicSourceTest, SourcesPerKindAndMode) {
  auto sys = [](int i) { return &g_SystemSurface[i]; };
  auto ded = [](int i) { return &g_CharaExcSurfaces[i]; };
  cObject right;
  right.m_nFacing = 1;
  struct Case {
    int mode, kind, number, frame, offset;
    DDSURFACEDATA *a, *b, *aOther, *bOther;
    int sx, sy;
    int own, blocks;
  } cases[] = {
      {0, GRAPHIC_BLOCK, 17, 0, 0, sys(2), sys(3), sys(2), sys(3), 32, 64, 0, 1},
      {1, GRAPHIC_CHARA, 16, 2, 3, sys(7), sys(25), sys(6), sys(24), 160, 32, 0, 1},
      {0, GRAPHIC_CHARA, 0, 22, 3, sys(5), sys(23), nullptr, nullptr, 64, 0, 0, 1},
      {0, GRAPHIC_CHARA, 120, 0, 0, sys(4), sys(22), nullptr, nullptr, 0, 0, 0, 1},  // sheet 9
      {0, GRAPHIC_CHARA, 3, 19, 0, sys(4), sys(22), nullptr, nullptr, 608, 96, 0, 1},  // fits
      {0, GRAPHIC_CHARA, 3, 20, 0, sys(5), sys(23), nullptr, nullptr, 0, 96, 0, 1},  // mirrored
      {2, GRAPHIC_ITEM, 16, 0, 1, sys(40), sys(41), sys(40), sys(41), 96, 32, 0, 1},
      {0, GRAPHIC_ITEM, 16, 0, 1, sys(40), sys(41), sys(40), sys(41), 64, 32, 0, 1},
      {1, GRAPHIC_SHOT, 31, 0, 0, sys(64), sys(64), sys(63), sys(63), 64, 32, 0, 1},
      {0, GRAPHIC_DEDICATED, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 1},
      {0, GRAPHIC_DEDICATED, 3, 0, 0, nullptr, nullptr, nullptr, nullptr, 0, 0, 0, 1},
      {1, GRAPHIC_DEDICATED, 1, 9, 0, ded(1), ded(3), ded(0), ded(2), 64, 64, 1, 2},
      {0, GRAPHIC_DEDICATED, 2, 17, 0, ded(4), ded(6), nullptr, nullptr, 32, 32, 1, 1},
      // A kind beyond the five draws the first cell of the first character sheet.
      {1, 5, 16, 2, 3, sys(4), sys(22), sys(4), sys(22), 0, 0, 0, 1},
      {0, 255, 3, 1, 0, sys(4), sys(22), nullptr, nullptr, 0, 0, 0, 1},
      {2, -1, 3, 1, 1, sys(4), sys(22), nullptr, nullptr, 0, 0, 0, 1},
  };
  for (const Case& c : cases) {
    sGraphicSrc src;
    SetGraphicSource(src, c.mode, c.kind, c.number, c.frame, &right, c.offset);
    SCOPED_TRACE(testing::Message() << "kind " << c.kind << " number " << c.number << " frame " << c.frame);
    EXPECT_EQ(src.pA, c.a);
    EXPECT_EQ(src.pB, c.b);
    EXPECT_EQ(src.pAOther, c.aOther);
    EXPECT_EQ(src.pBOther, c.bOther);
    EXPECT_EQ(src.pDraw, c.b);
    EXPECT_EQ(src.nSrcX, c.sx);
    EXPECT_EQ(src.nSrcY, c.sy);
    EXPECT_EQ(src.bOwnCellSize, c.own);
    EXPECT_EQ(src.nCellBlocks, c.blocks);
  }
  // A cell beyond a smaller sheet falls back to the first cell of the first sheet.
  g_SystemSurface[4].nWidth = 320;
  sGraphicSrc src;
  SetGraphicSource(src, 0, GRAPHIC_CHARA, 0, 12, nullptr, 0);
  EXPECT_EQ(src.pA, sys(4));
  EXPECT_EQ(src.nSrcX, 0);
}

}  // namespace
