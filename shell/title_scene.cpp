#include "shell/title_scene.h"

#include <algorithm>

#include "foundation/shell_services.h"
#include "foundation/text_utils.h"
#include "media/blit.h"
#include "media/cursor.h"
#include "media/draw_routines.h"
#include "media/font.h"
#include "media/sound.h"
#include "play/requests.h"
#include "project/story_save.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/world_map.h"

namespace {

int RankingOn(int playMode) {
  const auto& sets = g_SystemData.m_RankingSets;
  if (playMode < 0 || playMode >= static_cast<int>(sets.size())) return 0;
  return sets[playMode].m_bRanking;
}

}  // namespace

void StartNewStory() {
  cPlayData& play = g_PlayData;
  play.Reset();
  play.m_nMapX = g_WorldMap.m_nStartX;
  play.m_nMapY = g_WorldMap.m_nStartY;
  play.m_nLap = 0;
  const auto& unlimited = g_SystemData.m_bUnlimitedLives;
  const auto& start = g_SystemData.m_nStartLives;
  if (!unlimited.empty() && unlimited[PLAY_MODE_STORY]) {
    play.m_nEntryLives = kUnlimitedLives;
    play.m_nLives = kUnlimitedLives;
  } else {
    play.m_nEntryLives = start.empty() ? 0 : start[PLAY_MODE_STORY];
    play.m_nLives = play.m_nEntryLives - 1;
  }
}

cTitleScene::cTitleScene() {
  SetPhases<cTitleScene>({&cTitleScene::FadeIn, &cTitleScene::Menu, &cTitleScene::NewStory,
                          &cTitleScene::ContinueStory, &cTitleScene::FadeOut});
}

cTitleScene::~cTitleScene() {
  ReleaseSystemSurfaces({kSurfTitle, kSurfGameMode, kSurfAccessory, kSurfWindow});
  ReleaseMenuSurfaces();
}

void cTitleScene::SetupEntries() {
  const std::vector<int> entries = EnabledEntries(g_SystemData.m_TitleMenu, 7);
  m_nCount = static_cast<int>(entries.size());
  std::fill(std::begin(m_Entries), std::end(m_Entries), 0);
  std::copy(entries.begin(), entries.end(), m_Entries);
  const int kind = g_SceneManager.m_nGameKind;
  int row = kind;
  const auto found = std::find(entries.begin(), entries.end(), kind);
  if (found != entries.end())
    row = static_cast<int>(found - entries.begin());
  else if (row < 0 || row >= m_nCount)
    row = 0;  // a hidden kind beyond the window: the first row
  g_Cursor.m_pCur->row = row;
  g_Cursor.m_pCur->y = kTitleWindowY + 32 * row;
}

void cTitleScene::Init() {
  RequestSlotBgm(SCENE_BGM_TITLE);
  LoadSystemSurfaces({kSurfTitle, kSurfGameMode, kSurfAccessory, kSurfWindow});
  g_Cursor.Reset();
  SetupEntries();
  m_nWindowX = kTitleWindowX;
  if (g_SystemData.m_bTitleMenuPictures)
    m_nWindowX = 288 - g_SystemSurface[kSurfGameMode].nWidth / 2;
  g_Cursor.m_pCur->x = m_nWindowX;
  BuildWindow();
  m_nStep = 0;
}

void cTitleScene::BuildWindow() {
  int width = 0;
  if (g_SystemData.m_bTitleMenuPictures) {
    width = g_SystemSurface[kSurfGameMode].nWidth + 32;
  } else {
    const std::vector<int> entries(m_Entries, m_Entries + m_nCount);
    width = 34 + 32 * WidestCaption(g_SystemData.m_TitleMenu, entries);
  }
  if (!MakeMenuSurface(width, 32 * m_nCount + 2, kMenuSurfaceKeyed)) return;
  DrawWindow();
}

void cTitleScene::DrawWindow() {
  DDSURFACEDATA* window = MenuSurface();
  if (!window) return;
  if (g_SystemData.m_bTitleMenuPictures) {
    DDSURFACEDATA* pictures = &g_SystemSurface[kSurfGameMode];
    DDClear(window, 0);
    for (int i = 0; i < m_nCount; ++i)
      DDBlt(window, 32, 32 * i, pictures->nWidth, 32, pictures, 0, 32 * m_Entries[i], DDBLT_NOKEY);
  } else {
    DrawFramedBlt(window, 1, 1, window->nWidth - 2, window->nHeight - 2,
                  &g_SystemSurface[kSurfWindow], 1, 240);
    for (int i = 0; i < m_nCount; ++i)
      g_Font[2].Draw(window, 32, 32 * i, MenuCaption(g_SystemData.m_TitleMenu, m_Entries[i]));
  }
}

void cTitleScene::DrawTitle() {
  DDBlt(&BackBuffer, 0, 0, 640, 480, &g_SystemSurface[kSurfTitle], 0, 0, DDBLT_NOKEY);
  DDSURFACEDATA* window = MenuSurface();
  if (window) {
    if (window->bLost) {
      DrawWindow();
      window->bLost = 0;
    }
    DDBlt(&BackBuffer, m_nWindowX, kTitleWindowY, window->nWidth, window->nHeight, window, 0, 0,
          DDBLT_KEY);
  }
  AnimateMenuColours();
}

void cTitleScene::FadeIn() {
  if (g_nBpp == 8) DrawWindow();
  DrawTitle();
  if (StepFadeIn()) m_nPhase = TITLE_MENU;
}

void cTitleScene::Menu() {
  cInputState& input = MenuInput();
  g_Cursor.MoveGrid(input.m_wDirection, m_nWindowX, kTitleWindowY, 0, 32, 1, m_nCount);
  PlayCursorSound(input.m_wDirection, 2, 0);
  if (MenuButton(1)) {
    PlaySystemSound(1);
    const int row = std::clamp(g_Cursor.m_pCur->row, 0, m_nCount - 1);
    const int kind = m_Entries[row];
    g_SceneManager.m_nGameKind = static_cast<eGameKind>(kind);
    switch (kind) {
      case GAME_NEWSTORY:
      case GAME_CONTINUE:
        g_SceneManager.m_nPlayMode = PLAYMODE_STORY;
        g_SceneManager.m_bRanking = RankingOn(PLAY_MODE_STORY);
        g_Cursor.Push(0);
        m_nStep = 0;
        m_nPhase = kind == GAME_NEWSTORY ? TITLE_NEWSTORY : TITLE_CONTINUE;
        break;
      case GAME_CHALLENGE:
        g_SceneManager.m_nPlayMode = PLAYMODE_CHALLENGE;
        g_SceneManager.m_bRanking = RankingOn(PLAY_MODE_CHALLENGE);
        if (!g_PlayData.LoadChallenge()) {
          g_PlayData.Reset();
          g_PlayData.m_ChallengeClear.assign(std::max(0, g_SystemData.m_nChallengeCount),
                                             cStageClear());
        }
        m_nNextScene = SCENE_CHALLENGE;
        m_nPhase = TITLE_FADEOUT;
        break;
      case GAME_FREEPLAY:
        g_SceneManager.m_nPlayMode = PLAYMODE_FREE;
        g_SceneManager.m_bRanking = RankingOn(PLAY_MODE_FREE);
        if (RequestStageDialog() == 1) {
          m_nNextScene = SCENE_PLAY;
          m_nPhase = TITLE_FADEOUT;
        }
        break;
      case GAME_REPLAY:
        g_SceneManager.m_nPlayMode = PLAYMODE_REPLAY;
        g_SceneManager.m_bRanking = RankingOn(PLAY_MODE_REPLAY);
        if (RequestLoadReplay() == 1) {
          m_nNextScene = SCENE_PLAY;
          m_nPhase = TITLE_FADEOUT;
        }
        break;
      case GAME_OPTION:
        m_nNextScene = SCENE_OPTION;
        m_nPhase = TITLE_FADEOUT;
        break;
      default:
        PostCloseToMainWindow();
        break;
    }
    return;
  }
  DrawTitle();
  DrawCursorBig();
}

void cTitleScene::SlotList(bool newStory) {
  if (m_nStep == 0) {
    if (newStory && !g_SystemData.m_bNewStorySlot) {
      StartNewStory();
      m_nNextScene = SCENE_WORLDMAP;
      m_nPhase = TITLE_FADEOUT;
      return;
    }
    *g_Cursor.m_pCur = sCursorLevel();
    m_nListTop = 0;
    LoadSlotHeaders(g_SlotInfo);
    m_nStep = 1;
  }
  const int total = static_cast<int>(g_SlotInfo.size());
  m_nListRows = std::min(total, 10);
  cInputState& input = MenuInput();
  g_Cursor.MoveList(input.m_wDirection, 1, &m_nListTop, kTitleSlotListY, 16, kTitleSlotListX,
                    m_nListRows, total, 1);
  PlayCursorSound(input.m_wDirection, 3, 0);
  const int slot = g_Cursor.m_pCur->row;
  if (MenuButton(1)) {
    const int state = slot >= 0 && slot < total ? g_SlotInfo[slot].m_nState : SLOT_UNREADABLE;
    // A new story needs an empty slot; continuing needs one that reads.
    const bool usable = newStory ? state == SLOT_EMPTY : state == SLOT_SAVED;
    if (!usable) {
      PlaySystemSound(3);
      return;
    }
    if (newStory) {
      PlaySystemSound(1);
      StartNewStory();
      g_PlayData.m_bAutoSave = 1;
      g_PlayData.m_nSaveSlot = slot;
    } else {
      if (!g_PlayData.LoadSlot(slot)) {
        PlaySystemSound(3);
        LoadSlotHeaders(g_SlotInfo);
        return;
      }
      PlaySystemSound(1);
    }
    m_nNextScene = SCENE_WORLDMAP;
    m_nPhase = TITLE_FADEOUT;
    return;
  }
  if (MenuButton(2)) {
    PlaySystemSound(2);
    g_Cursor.Pop(1);
    m_nPhase = TITLE_MENU;
    m_nStep = 0;
    return;
  }
  DDBlt(&BackBuffer, 0, 0, 640, 480, &g_SystemSurface[kSurfTitle], 0, 0, DDBLT_NOKEY);
  AnimateMenuColours();
  DrawSlotList(&BackBuffer, kTitleSlotListX, kTitleSlotListY, g_SlotInfo, m_nListTop, m_nListRows);
  DrawCursorSmall();
}

void cTitleScene::NewStory() { SlotList(true); }

void cTitleScene::ContinueStory() { SlotList(false); }

void cTitleScene::FadeOut() {
  if (!StepFadeOut()) return;
  LeaveTo(SCENE_TITLE, static_cast<eSceneId>(m_nNextScene));
}
