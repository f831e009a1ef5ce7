// The play scene's part that draws the stage's objects and turns a finished hero into the
// next attempt, the retry menu or the end of the game.
#include "media/sprite_batch.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "play/play_scene.h"
#include "play/stage_draw.h"
#include "play/stage_end.h"
#include "play/stage_setup.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

cList<cHero> g_Heroes;
cCharaList g_CharaList;
cList<cItem> g_ItemList;

namespace {
constexpr int kItemSheet = 40;  // and 41 for the other facing
}  // namespace

void cPlayScene::RestartHeroAnime() {
  if (g_Heroes.empty()) return;
  cHero& hero = g_Heroes.front();
  // Every entry of a base run is locked, so the restart is forced.
  hero.m_Anime.Set(hero.m_bNoGravity ? 2 : 0, 1);
}

void cPlayScene::DrawHero(int bStopped) {
  if (g_Heroes.empty()) return;
  cHero& hero = g_Heroes.front();
  hero.UpdateScreenRect();
  if (!hero.m_bFinished) {
    hero.Draw(&BackBuffer, bStopped);
    hero.DrawHPGauge(&BackBuffer);
    hero.DrawSPGauge(&BackBuffer);
    return;
  }
  if (!hero.RunEndEffect(&BackBuffer, bStopped)) return;
  // The hero's end effect is over. Set-up below replaces the hero: nothing of it is used
  // afterwards.
  if (g_SceneManager.m_nGameKind == GAME_REPLAY) {
    g_PlayData.RestoreStageStart(1);
    SetStage(1, 1);
    m_nPhase = PLAYPHASE_START;
  } else if (!UseLife(g_PlayData)) {
    m_nPhase = PLAYPHASE_GAMEOVER;
  } else {
    if (g_Stage.m_bCarryIn) g_PlayData.ResetInheritFlags();
    g_PlayData.RestoreStageStart(0);
    if (g_SceneManager.m_nPlayMode == PLAYMODE_STORY && g_SystemData.m_bStoryRetryMenu) {
      m_nStep = 0;
      m_nPhase = PLAYPHASE_RETRY;
    } else {
      SetStage(1, 0);
      m_nPhase = PLAYPHASE_START;
    }
  }
}

int cPlayScene::DrawChara(cChara* chara, int bStopped) {
  if (chara->m_bFinished) {
    chara->UpdateScreenRect();
    return chara->RunEndEffect(&BackBuffer, bStopped);
  }
  if (chara->m_bOnScreen) {
    chara->UpdateScreenRect();
    if (chara->m_Def.m_bTransparent) {
      chara->UpdateAnimes(0);
      chara->RunCharaEffect(0);
    } else {
      chara->Draw(&BackBuffer, bStopped);
    }
    chara->DrawHPGauge(&BackBuffer);
    chara->DrawSPGauge(&BackBuffer);
    if (!chara->m_Def.m_bTransparent) chara->DrawMarkIcon(&BackBuffer);
    return 0;
  }
  if (chara->m_bActivated) {
    chara->UpdateScreenRect();
    chara->UpdateAnimes(0);
    chara->RunCharaEffect(0);
  }
  return 0;
}

void cPlayScene::DrawObjects(int layer, int layers, int bStopped) {
  // With drawing layers on, an object is drawn in the pass of its definition's layer.
  auto inPass = [&](int z) { return layers == 1 || z == layer; };
  DDSURFACEDATA* back = &BackBuffer;
  if (!g_Heroes.empty() && inPass(g_Heroes.front().m_Def.m_nZ)) DrawHero(bStopped);

  DDSpriteBatchBegin(1);
  DDSpriteBatchKey(&g_SystemSurface[kItemSheet]);
  DDSpriteBatchKey(&g_SystemSurface[kItemSheet + 1]);
  for (cItem& item : g_ItemList) {
    if (!item.m_bOnScreen || IsItemCarried(item) || !inPass(ItemDrawLayer(item.m_Def))) continue;
    item.UpdateScreenRect();
    DrawItem(item, back, bStopped);
  }
  DDSpriteBatchFlush();

  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    // A character whose end is over goes with every link to it cleared.
    if (inPass(it->m_Def.m_nZ) && DrawChara(&*it, bStopped))
      it = EraseCharaNode(it);
    else
      ++it;
  }

  DDSpriteBatchBegin(0);
  for (cShot& shot : m_ShotList) {
    if (!inPass(shot.m_Def.m_nZ) || !shot.IsOnScreen()) continue;
    shot.UpdateScreenRect();
    shot.Draw(back, bStopped);
  }
  DDSpriteBatchFlush();
}

void cPlayScene::DrawHeroLight(DDSURFACEDATA* target) {
  if (!g_Heroes.empty()) ::DrawHeroLight(g_Heroes.front(), target);
}
