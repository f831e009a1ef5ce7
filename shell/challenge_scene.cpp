#include "shell/challenge_scene.h"

#include <algorithm>

#include "foundation/message_box.h"
#include "foundation/strings.h"
#include "foundation/text_utils.h"
#include "media/blit.h"
#include "media/cursor.h"
#include "media/font.h"
#include "media/sound.h"
#include "project/number_format.h"
#include "project/paths.h"
#include "project/ranking.h"
#include "project/stage.h"
#include "project/stage_loader.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

namespace {

constexpr int kListY = 160;
constexpr int kListPitch = 32;
constexpr int kCursorX = 32;

bool ChallengeRankingOn() {
  const auto& sets = g_SystemData.m_RankingSets;
  return static_cast<int>(sets.size()) > PLAY_MODE_CHALLENGE &&
         sets[PLAY_MODE_CHALLENGE].m_bRanking != 0;
}

const char* SysText(int n) {
  const auto& texts = g_SystemData.m_Texts;
  return n >= 0 && n < static_cast<int>(texts.size()) ? texts[n].c_str() : "";
}

}  // namespace

std::string ChallengeStageFile(int n) {
  char name[300];
  std::snprintf(name, sizeof name, "%s%02d-1.%s", g_PathTable[PATH_CHALLENGE_STAGE_PREFIX], n,
                g_ExtTable[EXT_STAGE]);
  return name;
}

void MakeChallengeStageName(int n) {
  cPlayData& play = g_PlayData;
  play.SetStageName(ChallengeStageFile(n).c_str(), 0, 0, 0);
  if (g_SceneManager.m_bRanking)
    LoadRanking(g_Ranking, g_SceneManager.m_nPlayMode, play.m_strStageName, play.m_bVariant,
                play.m_nVariantVar, play.m_nVariantValue);
}

cChallengeScene::cChallengeScene() {
  SetPhases<cChallengeScene>(
      {&cChallengeScene::FadeIn, &cChallengeScene::Main, &cChallengeScene::FadeOut});
}

cChallengeScene::~cChallengeScene() {
  ReleaseSystemSurfaces({kSurfAccessory, kSurfWindow});
  ReleaseMenuSurfaces();
}

void cChallengeScene::Recount() {
  m_nTotal = g_SystemData.m_bChallengeAllOpen ? g_SystemData.m_nChallengeCount
                                              : g_PlayData.m_nChallengeOpen;
  m_nTotal = std::max(0, m_nTotal);
  m_nRows = std::max(0, std::min(10, m_nTotal - m_nTop));
}

void cChallengeScene::Init() {
  RequestSlotBgm(SCENE_BGM_CHALLENGE);
  LoadSystemSurfaces({kSurfAccessory, kSurfWindow});
  g_Cursor.Reset();
  g_Cursor.m_pCur->row = g_SceneManager.m_nChallengeCursor;
  g_Cursor.m_pCur->x = kCursorX;
  g_Cursor.m_pCur->y = kListY + kListPitch * (g_SceneManager.m_nChallengeCursor -
                                              g_SceneManager.m_nChallengeScroll);
  m_nTop = g_SceneManager.m_nChallengeScroll;
  MakeChallengeStageName(g_Cursor.m_pCur->row + 1);
  if (MakeMenuSurface(640, 480)) DrawScreen(MenuSurface());
  m_nStep = 0;
}

void cChallengeScene::DrawScreen(DDSURFACEDATA* surface) {
  if (!surface) return;
  const cSystemData& sys = g_SystemData;
  const cPlayData& play = g_PlayData;
  g_Font[2].DrawBox(surface, 1, 1, 638, 478);
  const char* heading = MenuCaption(sys.m_TitleMenu, GAME_CHALLENGE);
  g_Font[2].Draw(surface, 320 - 16 * StrCountChars(heading), 32, heading);
  if (sys.m_bChallengeShowTotal && play.m_nResultTotal > 0) {
    const char* label = SysText(4);
    const int w = 16 * (StrCountChars(label) + GetDigitCount(play.m_nResultTotal));
    g_Font[1].DrawF(surface, 320 - w / 2, 88, "%s%d", label, play.m_nResultTotal);
  }
  const bool rankingShown = ChallengeRankingOn() && play.m_bShowRanking;
  if (!rankingShown && sys.m_bChallengeShowHiScore)
    g_Font[2].DrawF(surface, 32, 128, "         %s", SysText(3));
  Recount();
  const int c = StrCountChars(SysText(0));
  for (int i = 0; i < m_nRows; ++i) {
    const int k = m_nTop + i;
    const int y = kListY + kListPitch * i;
    g_Font[2].DrawF(surface, 64, y, "%s%d", SysText(0), k + 1);
    const bool known = k >= 0 && k < static_cast<int>(play.m_ChallengeClear.size());
    if (known && play.m_ChallengeClear[k].m_bCleared)
      DDBlt(surface, (c + 4) * 32, y, 32, 32, &g_SystemSurface[kSurfAccessory], 96, 0, DDBLT_KEY);
    if (sys.m_bChallengeShowHiScore)
      g_Font[2].DrawF(surface, 32 * c + 192, y, "%d", known ? play.m_ChallengeClear[k].m_nBest : 0);
  }
  if (rankingShown) g_Ranking.DrawTable(surface, 292, 108, play.m_nRankGenre, -1);
  surface->bLost = 0;
}

void cChallengeScene::Draw() {
  DDSURFACEDATA* screen = MenuSurface();
  if (!screen) return;
  if (screen->bLost) DrawScreen(screen);
  DDBlt(&BackBuffer, 0, 0, 640, 480, screen, 0, 0, DDBLT_NOKEY);
  AnimateMenuColours();
}

void cChallengeScene::FadeIn() {
  if (g_nBpp == 8) DrawScreen(MenuSurface());
  Draw();
  if (StepFadeIn()) m_nPhase = CHALLENGE_MAIN;
}

void cChallengeScene::Main() {
  cInputState& input = MenuInput();
  cPlayData& play = g_PlayData;
  Recount();
  g_Cursor.MoveList(input.m_wDirection, 1, &m_nTop, kListY, kListPitch, kCursorX, m_nRows,
                    m_nTotal, 1);
  PlayCursorSound(input.m_wDirection, 3, 0);
  const int position = g_Cursor.m_pCur->row;
  if (input.m_wDirection & KEY_DIRECTIONS) {
    MakeChallengeStageName(position + 1);
    DrawScreen(MenuSurface());
  }
  if (MenuButton(1)) {
    const std::string name = ChallengeStageFile(position + 1);
    if (LoadStageFile(name, 1, &g_StageCopy)) {
      PlaySystemSound(1);
      play.SetStageName(g_Stage.m_strPath.c_str(), 0, 0, 0);
      play.m_nPartNo = 1;
      play.m_nStageNo = position + 1;
      const auto& unlimited = g_SystemData.m_bUnlimitedLives;
      if (static_cast<int>(unlimited.size()) > PLAY_MODE_CHALLENGE &&
          unlimited[PLAY_MODE_CHALLENGE]) {
        play.m_nEntryLives = kUnlimitedLives;
        play.m_nLives = kUnlimitedLives;
      } else {
        const auto& start = g_SystemData.m_nStartLives;
        play.m_nEntryLives =
            static_cast<int>(start.size()) > PLAY_MODE_CHALLENGE ? start[PLAY_MODE_CHALLENGE] : 0;
        play.m_nLives = play.m_nEntryLives - 1;
      }
      play.m_bMultiPart = 1;
      g_SceneManager.m_nChallengeCursor = position;
      g_SceneManager.m_nChallengeScroll = m_nTop;
      m_nNextScene = SCENE_PLAY;
      g_SceneManager.m_nPrevScene = SCENE_CHALLENGE;
      m_nPhase = CHALLENGE_FADEOUT;
      return;
    }
    PlaySystemSound(3);
    ErrBoxF("ステージファイル %s が読み込めません！", name.c_str());
  }
  if (MenuButton(2)) {
    PlaySystemSound(2);
    m_nNextScene = SCENE_TITLE;
    g_SceneManager.m_nPrevScene = SCENE_CHALLENGE;
    m_nPhase = CHALLENGE_FADEOUT;
    return;
  }
  if (MenuButton(3)) {
    if (ChallengeRankingOn()) {
      PlaySystemSound(6);
      play.m_bShowRanking = !play.m_bShowRanking;
      DrawScreen(MenuSurface());
    } else {
      play.m_bShowRanking = 0;
    }
  }
  if (MenuButton(4) && ChallengeRankingOn()) {
    if (CountRankingGenres(g_SystemData, g_SceneManager.m_nPlayMode) >= 2) {
      PlaySystemSound(6);
      play.CycleRankingGenre(g_SceneManager.m_nPlayMode, 1);
    }
    DrawScreen(MenuSurface());
  }
  Draw();
  DrawCursorBig();
}

void cChallengeScene::FadeOut() {
  if (!StepFadeOut()) return;
  LeaveTo(SCENE_CHALLENGE, static_cast<eSceneId>(m_nNextScene));
}
