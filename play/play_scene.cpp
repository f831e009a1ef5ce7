#include "play/play_scene.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>

#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/text_utils.h"
#include "foundation/timer.h"
#include "media/blit.h"
#include "media/cursor.h"
#include "media/draw_routines.h"
#include "media/fade.h"
#include "media/font.h"
#include "media/palette.h"
#include "media/present.h"
#include "media/sound.h"
#include "media/sprite_batch.h"
#include "media/surface_create.h"
#include "media/surface_list.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "platform/input.h"
#include "play/input.h"
#include "play/play_graphics.h"
#include "play/replay_log.h"
#include "play/requests.h"
#include "play/stage_draw.h"
#include "play/stage_end.h"
#include "play/stage_setup.h"
#include "play/stage_start.h"
#include "project/option_data.h"
#include "project/play_data.h"
#include "project/ranking.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

sMenuPos g_MenuPos[3] = {{320, 272}, {320, 272}, {184, 64}};

namespace {

// The system images of the play scene: 2 to 47, 49 to 51 and 55 to 70.
constexpr int kSceneImageCount = 65;
constexpr auto kSceneImages = [] {
  std::array<int, kSceneImageCount> list{};
  int n = 0;
  for (int i = 2; i <= 47; ++i) list[n++] = i;
  for (int i = 49; i <= 51; ++i) list[n++] = i;
  for (int i = 55; i <= 70; ++i) list[n++] = i;
  return list;
}();
// The background-layer images, all that a stage following a stage loads again.
constexpr int kLayerImages[] = {55, 56, 57, 58, 59, 60, 61, 62};
constexpr int kFirstLayerImage = 55;
constexpr int kLayerSlots = 8;

// The captions' sheet and where each caption lies on it and on the screen.
constexpr int kCaptionSheet = 51;
constexpr int kCaptionFrames = 80;  // a caption shows while its counter is below this
constexpr int kClearWipeEnd = 100;
constexpr int kConfirmCount = 200;

// Texts of the project's list the scene shows.
constexpr int kTextEditorPlay = 26;
constexpr int kTextTestPlay = 27;
constexpr int kTextRankHint = 28;

// A project text centred on the screen at y 456 in half-width cells of 16 pixels.
void DrawCentredText(int number) {
  const std::string& text = g_SystemData.m_Texts[number];
  g_Font[1].Draw(&BackBuffer, 320 - 8 * StrCountChars(text.c_str()), 456, text.c_str());
}

DDSURFACEDATA* CaptionSheet() { return &g_SystemSurface[kCaptionSheet]; }

}  // namespace

void sMessageWait::Set(int mode, int waitKey, int frames, int immediate) {
  m_nMode = mode;
  m_bWaitKey = waitKey;
  m_nFrames = frames;
  m_nCounter = 0;
  m_nDelay = waitKey && mode == 1 && !immediate ? 10 : 0;
}

cPlayScene::cPlayScene() {
  SetPhases<cPlayScene>({&cPlayScene::FadeIn, &cPlayScene::PhaseStageStart, &cPlayScene::PhasePlay,
                         &cPlayScene::PhasePause, &cPlayScene::PhaseStageEnd,
                         &cPlayScene::PhaseRetry, &cPlayScene::PhaseGameOver,
                         &cPlayScene::FadeOut});
  m_CharaGroup.resize(kGroupCount);
  m_ShotGroup.resize(kGroupCount);
  m_StageVar.resize(kStageVarCount);
  m_ActiveSwitch.resize(kActiveSwitchCount);
  // Each start of the game draws other random events, until a replay or a test sets the seed.
  m_nSeed = static_cast<std::int32_t>(TimeGetTime());
  // The first stage always asks for its music.
  g_PlayData.m_nStageBgm = 0;
  m_nPhase = PLAYPHASE_INIT;
}

cPlayScene::~cPlayScene() {
  for (int image : kSceneImages) DDReleaseSurface(&g_SystemSurface[image]);
  ReleasePictures();
  ReleaseMessageBitmaps();
  DDReleaseSurfaces(g_CharaExcSurfaces);
  // The group lists only point into the lists below; empty them before the owners go.
  for (auto& group : m_CharaGroup) group.clear();
  for (auto& group : m_ShotGroup) group.clear();
  // The characters outlive the scene, its shots do not: a character must not keep a record
  // of a shot that it would clear when it goes itself.
  for (cHero& hero : g_Heroes) hero.m_ShotLinks.clear();
  for (cChara& chara : g_CharaList) chara.m_ShotLinks.clear();
}

void cPlayScene::Run() {
  if (m_nPhase == PLAYPHASE_INIT) {
    try {
      Init();
    } catch (const char* text) {
      ErrLogFatal("%s", text);
    } catch (const std::string& text) {
      ErrLogFatal("%s", text.c_str());
    }
    m_nPhase = PLAYPHASE_FADEIN;
  }
  // A stage that set-up refused (no hero, no map) is neither stepped nor drawn: the program
  // is closing.
  if (g_Heroes.empty() && m_nPhase != PLAYPHASE_FADEOUT) return;
  RunPhase(m_nPhase);
}

void cPlayScene::Init() {
  m_RankPos.resize(kRankingGenreCount, -1);
  m_RankValue.resize(kRankingGenreCount, 0);
  SelectCharaSurfaces();
  for (int i = 0; i < kLayerSlots; ++i) {
    cBmpInfo& slot = g_SystemBmpInfo[kFirstLayerImage + i];
    if (i < static_cast<int>(g_Stage.m_BackLayers.size()) && !g_Stage.m_BackLayers[i].m_bFill) {
      slot.szFile = g_Stage.m_BackLayers[i].m_strImage;
      int tooBig = 0;
      DDCheckBitmapSize(&tooBig, slot.szFile.c_str(), 640, 480);
    } else {
      slot.szFile.clear();
    }
  }
  const bool followsItself = g_SceneManager.m_nPrevScene == SCENE_PLAY;
  if (!followsItself) {
    if (!DDLoadSurfaces(g_SystemSurface, kSceneImages.data(), kSceneImageCount)) {
      PostCloseToMainWindow();
      return;
    }
    PrepareWorkSurfaces();
    LoadCharaExcBitmaps();
    LoadSwordImages();
    LoadEffectImages();
    BeginPlay();
    UseLife(g_PlayData);  // the first life is taken here
  } else if (!DDLoadSurfaces(g_SystemSurface, kLayerImages, kLayerSlots)) {
    PostCloseToMainWindow();
    return;
  }
  SetStage(followsItself, 1);
  g_Cursor.Reset();
  m_nStep = 0;
}

void cPlayScene::BeginPlay() {
  const bool replay = g_SceneManager.m_nGameKind == GAME_REPLAY;
  cPlayData& play = g_PlayData;
  if (!replay && play.m_bVariant) play.m_CommonVar[play.m_nVariantVar] = play.m_nVariantValue;
  play.m_nScore = 0;
  play.m_nLives = play.m_nEntryLives;
  play.m_nTotalScore = 0;
  play.m_nTimeTotal = 0;
  play.m_nPlayTime = 0;
  play.m_nHpTotal = 0;
  play.m_nSpTotal = 0;
  play.m_bStartPos = 0;
  m_ScrollX.m_dPos = 0;
  m_ScrollY.m_dPos = 0;
  m_nStep = 0;
  m_nCaptionCount = 0;
  m_nCaptionCount2 = 0;
  m_bWaitRelease = 0;
  m_nTime = 0;
  m_bRanked = 0;
  m_MessageList.clear();
  if (!replay) ClearReplayLogs();
  if (g_bTestPlay) play.m_nPartNo = 1;
  if (g_SceneManager.m_bRanking)
    LoadRanking(g_Ranking, g_SceneManager.m_nPlayMode, play.m_strStageName, play.m_bVariant,
                play.m_nVariantVar, play.m_nVariantValue);
}

int cPlayScene::UseLife(cPlayData& progress) {
  if (g_bTestPlay) return 1;
  if (progress.m_nLives == kUnlimitedLives) return 1;
  if (progress.m_nLives >= 1) {
    --progress.m_nLives;
    return 1;
  }
  return 0;
}

void cPlayScene::FadeIn() {
  DrawFrame(0, 1, 0, 1);
  if (FadeScreenIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeStep, g_Palette, 0))
    m_nPhase = PLAYPHASE_START;
}

void cPlayScene::PhaseStageStart() {
  DrawFrame(0, 1, 0, 1);
  // A test play the editor started goes straight to play.
  if (!(g_bEditorLaunch && g_bTestPlay)) {
    if (g_SceneManager.m_nGameKind == GAME_REPLAY) {
      if (++m_nCaptionCount < kCaptionFrames) {
        DDBlt(&BackBuffer, 256, 224, 128, 32, CaptionSheet(), 0, 32, DDBLT_KEY);
        return;
      }
    } else {
      if (g_Stage.m_bStartCaption1 && ++m_nCaptionCount < kCaptionFrames) {
        DDBlt(&BackBuffer, 256, 224, 128, 32, CaptionSheet(), 0, 0, DDBLT_KEY);
        DrawNumber(&BackBuffer, 384, 224, 32, 32, CaptionSheet(), 0, 128, DDBLT_KEY,
                   g_PlayData.m_nPartNo, 1, 0);
        return;
      }
      if (g_Stage.m_bStartCaption2 && ++m_nCaptionCount2 < kCaptionFrames) {
        DDBlt(&BackBuffer, 280, 224, 80, 32, CaptionSheet(), 160, 0, DDBLT_KEY);
        return;
      }
    }
  }
  RestartHeroAnime();
  m_nCaptionCount = 0;
  m_nPhase = PLAYPHASE_PLAY;
}

void cPlayScene::PhaseStageEnd() {
  const bool autoEnd = g_Stage.m_bAutoEnd != 0;
  const int rankMode = g_OptionData.m_nRankMode;
  if (!autoEnd) {
    if (CheckPauseKey()) {
      m_nStep = 0;
      m_nPhase = PLAYPHASE_PAUSE;
      return;
    }
    // A replay was saved: its dialog took the time of this frame.
    if (CheckPlayHotKeys()) return;
    if (rankMode <= 1 && platform::IsKeyDown(platform::VK_F3)) EnterRanking();
  }
  if (m_nStep == 0) {
    m_nCaptionCount = 0;
    m_nStep = 1;
  } else if (m_nStep != 1) {
    return;
  }
  cInputState& input = GetInput(0);
  LatchButtons(input, 0);
  ApplyKeyRepeat(input);
  bool decide = false;
  if (autoEnd) {
    decide = m_nCaptionCount >= kConfirmCount;
  } else if ((input.m_wButton & KEY_BUTTON1) && m_nCaptionCount >= kConfirmCount) {
    if (m_bRankIn && (rankMode == 2 || rankMode == 3))
      EnterRanking();
    else
      PlaySystemSound(1);
    decide = true;
  }
  if (decide) {
    g_SceneManager.m_nNextScene = DecideNextStage();
    m_nCaptionCount = 0;
    m_nStep = 0;
    m_nPhase = PLAYPHASE_FADEOUT;
    return;
  }
  const bool ranked =
      std::any_of(m_RankPos.begin(), m_RankPos.end(), [](int p) { return p != -1; });
  if (!autoEnd && !m_bRanked && ranked && rankMode <= 1) {
    DrawFrame(0, 1, 0, 0);
    DrawCentredText(kTextRankHint);
  } else {
    DrawFrame(0, 1, 0, 1);
  }
  if (g_Stage.m_bClearCaption) {
    m_nCaptionCount += 4;
    if (m_nCaptionCount < kClearWipeEnd)
      DrawStripeBlt(&BackBuffer, 256, 192, 128, 32, 4, kClearWipeEnd - m_nCaptionCount,
                    CaptionSheet(), 0, 64, DDBLT_KEY, 0);
    else
      DDBlt(&BackBuffer, 256, 192, 128, 32, CaptionSheet(), 0, 64, DDBLT_KEY);
  } else {
    m_nCaptionCount = kConfirmCount;
  }
  if (m_nCaptionCount >= kConfirmCount && g_SceneManager.m_bRanking && !autoEnd)
    DrawResultPanel(&BackBuffer, 336, 224, m_RankPos);
}

void cPlayScene::FadeOut() {
  if (!FadeScreenOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeStep, g_Palette, 0))
    return;
  DDClear(&BackBuffer, 16);
  if ((g_SceneManager.m_nGameKind == GAME_FREEPLAY && !g_PlayData.m_bMultiPart) || g_bTestPlay) {
    g_PlayData.m_bMultiPart = 0;
    // The file restarts the way it was loaded: a chosen file as itself, a direct start with
    // its newest variant.
    if (!StartStageFile(g_Stage.m_strPath, g_Stage.m_bFindNewest)) PostCloseToMainWindow();
  }
  g_SceneManager.m_nFps = 60;
  g_SceneManager.m_nScene = g_SceneManager.m_nNextScene;
  g_SceneManager.m_nPrevScene = SCENE_PLAY;
  m_nPhase = PLAYPHASE_INIT;
}

int cPlayScene::CheckPauseKey() {
  if (!platform::IsKeyDown(platform::VK_SPACE)) return 0;
  PlaySystemSound(4);
  m_nPausedPhase = m_nPhase;
  m_nPausedStep = m_nStep;
  return 1;
}

void cPlayScene::DrawFrame(int bFromPlay, int bStopped, int bSoundOn, int bCaption) {
  DDSURFACEDATA* back = &BackBuffer;
  DDSURFACEDATA& shots = g_SystemSurface[kShotWorkSheet];
  DDSURFACEDATA& shotsMirrored = g_SystemSurface[kShotWorkSheet + 1];
  if (shots.bLost || shotsMirrored.bLost) {
    PrepareWorkSurfaces();
    shots.bLost = 0;
    shotsMirrored.bLost = 0;
  }
  if (m_ScrEffect.m_nEntry != 0) DDSetVirBackBuffer(1);
  ScrollBackLayers();
  DrawBackLayers(back, 0);
  if (!bFromPlay && m_nPhase == PLAYPHASE_PAUSE && g_SystemData.m_bPauseHidesStage) {
    DrawBackLayers(back, 1);
    DrawFlash(bStopped);
    return;
  }
  DrawPictures(back, 0, bStopped);
  DrawMapBlocks(back, 0);
  const int layers = g_Stage.m_bZOrder ? kGroupCount : 1;
  for (int layer = 0; layer < layers; ++layer) DrawObjects(layer, layers, bStopped);
  DrawMapBlocks(back, 1);
  DrawBackLayers(back, 1);
  DrawDistanceAreas(back);
  DrawHeroLight(back);
  DrawPictures(back, 1, bStopped);
  DDSpriteBatchBegin(0);
  for (auto it = m_EffectList.begin(); it != m_EffectList.end();)
    it = it->Step(back, bStopped) ? m_EffectList.erase(it) : std::next(it);
  DDSpriteBatchFlush();
  for (auto it = m_MessageList.begin(); it != m_MessageList.end();)
    it = it->Update(back, bStopped) ? m_MessageList.erase(it) : std::next(it);
  RunScreenEffect(this, bStopped);
  DrawStatusBar(back);
  DrawTimeLeft(back, bSoundOn);
  if (bCaption) {
    if (g_bTestPlay)
      DrawCentredText(kTextTestPlay);
    else if (g_bEditorLaunch)
      DrawCentredText(kTextEditorPlay);
  }
  AnimateMenuColours();
  DrawFlash(bStopped);
}

void RequestBgm(int number, int extra) {
  g_PlayData.m_nStageBgmLoop = extra;
  RequestBgm(BGM_STAGE, static_cast<std::intptr_t>(number));
}

cScene* CreatePlayScene() {
  auto* scene = new cPlayScene;
  g_pPlayScene = scene;
  return scene;
}

void RegisterPlayScene() {
  SetSceneCreator(SCENE_PLAY, CreatePlayScene);
  SetPlaySurfaceRestorer(RestorePlaySurfaces);
}
