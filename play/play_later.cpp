// Stand-ins of the stage-play operations that later work completes (see play_later.h). Each
// notes its call and does the least the play scene needs to run a stage's phases.
#include "play/play_later.h"

#include "media/surface.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "play/play_records.h"
#include "play/play_scene.h"
#include "platform/input.h"

std::vector<std::string> g_PlayLaterCalls;

namespace {
void Note(const char* name) { g_PlayLaterCalls.emplace_back(name); }
}  // namespace

void EndStage() { Note("EndStage"); }
void EnterRanking() { Note("EnterRanking"); }
eSceneId DecideNextStage() {
  Note("DecideNextStage");
  return SCENE_TITLE;
}
int CheckPlayHotKeys() {
  Note("CheckPlayHotKeys");
  return 0;
}
void ClearReplayLogs() { Note("ClearReplayLogs"); }
void ScrollBackLayers() { Note("ScrollBackLayers"); }
void DrawBackLayers(DDSURFACEDATA*, int group) { Note(group ? "BackLayers1" : "BackLayers0"); }
void DrawMapBlocks(DDSURFACEDATA*, int group) { Note(group ? "MapBlocks1" : "MapBlocks0"); }
void DrawPictures(DDSURFACEDATA*, int layer, int) { Note(layer ? "Pictures1" : "Pictures0"); }
void DrawStatusBar(DDSURFACEDATA*) { Note("StatusBar"); }
void DrawTimeLeft(DDSURFACEDATA*, int) { Note("TimeLeft"); }
void DrawFlash(int) { Note("Flash"); }
void RunScreenEffect(cPlayScene*, int) { Note("ScreenEffect"); }

int RunEndEffect(cCharaBase&) {
  Note("EndEffect");
  return 1;
}
void DrawCharaBody(cCharaBase& chara, DDSURFACEDATA*, int) {
  Note(dynamic_cast<cHero*>(&chara) ? "Hero" : "Chara");
}
void DrawGauges(cCharaBase&) {}
void UpdateAnimes(cCharaBase&, int) {}
void RunCharaEffect(cCharaBase&, int) {}
void DrawCharaIcon(cChara&) {}
void DrawHeroLight(cHero&, DDSURFACEDATA*) { Note("HeroLight"); }
int IsCharaActive(const cChara&) { return 0; }
int IsItemCarried(const cItem&) { return 0; }
int ItemLayer(const cItem&) { return 0; }
void DrawItem(cItem&, DDSURFACEDATA*, int) { Note("Item"); }

int cMessage::Update(DDSURFACEDATA*, int) {
  Note("Message");
  return 0;
}

int cEffectAnim::Step(DDSURFACEDATA*, int) {
  Note("Effect");
  // An animation of no entry has nothing to show.
  return m_nEffect == 0;
}

void cPlayScene::PhasePlay() {
  Note("PhasePlay");
  if (CheckPauseKey()) {
    m_nStep = 0;
    m_nPhase = PLAYPHASE_PAUSE;
    return;
  }
  DrawFrame(1, 0, 1, 1);
}

void cPlayScene::PhasePause() {
  Note("PhasePause");
  DrawFrame(0, 1, 0, 1);
  if (!platform::IsKeyDown(platform::VK_SPACE)) {
    m_nPhase = m_nPausedPhase;
    m_nStep = m_nPausedStep;
  }
}

void cPlayScene::PhaseRetry() {
  Note("PhaseRetry");
  DrawFrame(0, 1, 0, 1);
}

void cPlayScene::PhaseGameOver() {
  Note("PhaseGameOver");
  DrawFrame(0, 1, 0, 1);
}
