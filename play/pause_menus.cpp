// The pause, retry and game-over phases of the play scene.
#include "play/pause_menus.h"

#include <string>

#include "foundation/shell_services.h"
#include "media/blit.h"
#include "media/cursor.h"
#include "media/sound.h"
#include "media/surface.h"
#include "play/input.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/stage_draw.h"
#include "play/stage_end.h"
#include "play/stage_setup.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

namespace {

constexpr int kFirstPauseText = 19;
constexpr int kFirstRetryText = 23;
constexpr int kMenuY = 272;
constexpr int kRowPitch = 16;
constexpr int kCursorSheet = 49;
constexpr int kCaptionSheet = 51;

const std::string& SystemText(int number) {
  static const std::string none;
  const auto& texts = g_SystemData.m_Texts;
  return number >= 0 && number < static_cast<int>(texts.size()) ? texts[number] : none;
}

// The stage has been cleared before: its story flag, or its challenge record.
bool StoryStageCleared() {
  const cPlayData& play = g_PlayData;
  return play.m_nStageNo >= 0 && play.m_nStageNo < static_cast<int>(play.m_StageClear.size()) &&
         play.m_StageClear[play.m_nStageNo] != 0;
}

bool ChallengeStageCleared() {
  const cPlayData& play = g_PlayData;
  const int index = play.m_nStageNo - 1;
  return index >= 0 && index < static_cast<int>(play.m_ChallengeClear.size()) &&
         play.m_ChallengeClear[index].m_bCleared != 0;
}

// A vertical menu's cursor: one column of rows 16 pixels apart, its sound on up and down.
void MoveMenuCursor(const cInputState& input, int x, int rows) {
  g_Cursor.MoveGrid(input.m_wDirection, x, kMenuY, 0, kRowPitch, 1, rows);
  PlayCursorSound(input.m_wDirection, 2, 0);
}

// The menus read each press once, and a held direction repeats.
cInputState& MenuInput() {
  cInputState& input = GetInput(0);
  LatchButtons(input, 0);
  ApplyKeyRepeat(input);
  return input;
}

}  // namespace

void BuildPauseMenu(cVector<cCmd>& menu) {
  menu.clear();
  for (int i = 0; i < PAUSE_ENTRY_COUNT; ++i) menu.emplace_back(1, SystemText(kFirstPauseText + i));
  switch (g_SceneManager.m_nPlayMode) {
    case PLAYMODE_STORY: {
      const bool cleared = StoryStageCleared();
      menu[PAUSE_RETRY].m_bEnabled = g_SystemData.m_bStoryPauseRetry && cleared;
      menu[PAUSE_TO_MAP].m_bEnabled = g_SystemData.m_bStoryPauseMap && cleared;
      break;
    }
    case PLAYMODE_CHALLENGE:
      menu[PAUSE_RETRY].m_bEnabled = g_SystemData.m_bChallengePauseRetry && ChallengeStageCleared();
      menu[PAUSE_TO_MAP].m_bEnabled = 0;
      break;
    default:
      menu[PAUSE_TO_MAP].m_bEnabled = 0;
      break;
  }
}

void DrawMenuCursor() {
  const sCursorLevel& c = *g_Cursor.m_pCur;
  DDBlt(&BackBuffer, c.x, c.y, 16, 16, &g_SystemSurface[kCursorSheet], 64, 0, DDBLT_KEY);
}

void cPlayScene::PhasePause() {
  if (CheckPlayHotKeys()) return;
  BuildPauseMenu(m_PauseMenu);
  if (m_nStep == 0) {
    // Entries 0 and 1 are always enabled, so the second row is always "continue".
    g_Cursor.m_pCur->row = 1;
    m_nStep = 1;
  } else if (m_nStep != 1) {
    return;
  }
  cInputState& input = MenuInput();
  g_MenuPos[0].x = cCmd::GetCmdWindowX(320, m_PauseMenu);
  g_MenuPos[0].y = kMenuY;
  MoveMenuCursor(input, g_MenuPos[0].x, cCmd::CountEnabled(m_PauseMenu));
  if (input.m_wButton & KEY_BUTTON1) {
    switch (cCmd::GetCmdNum(g_Cursor.m_pCur->row, m_PauseMenu)) {
      case PAUSE_QUIT:
        PlaySystemSound(1);
        m_nPhase = PLAYPHASE_FADEOUT;
        if (g_bTestPlay) {
          PostCloseToMainWindow();
        } else {
          g_SceneManager.m_nNextScene = SCENE_TITLE;
          // The title menu opens on the kind of game that was played.
          g_Cursor.m_pCur->row = g_SceneManager.m_nGameKind;
          m_nStep = 0;
        }
        break;
      case PAUSE_CONTINUE:
        PlaySystemSound(1);
        m_bWaitRelease = 1;
        m_nPhase = m_nPausedPhase;
        m_nStep = m_nPausedStep;
        break;
      case PAUSE_RETRY:
        PlaySystemSound(1);
        m_bWaitRelease = 1;
        g_PlayData.RestoreStageStart(1);
        SetStage(1, 0);
        m_nPhase = PLAYPHASE_START;
        m_nStep = 0;
        break;
      case PAUSE_TO_MAP:
        PlaySystemSound(1);
        m_bWaitRelease = 1;
        g_PlayData.RestoreStageStart(0);
        g_PlayData.m_bFromStage = 1;
        g_SceneManager.m_nNextScene = SCENE_WORLDMAP;
        m_nStep = 0;
        m_nPhase = PLAYPHASE_FADEOUT;
        break;
      default:
        break;
    }
  } else if (input.m_wButton & KEY_BUTTON2) {
    PlaySystemSound(2);
    m_bWaitRelease = 1;
    m_nPhase = m_nPausedPhase;
    m_nStep = m_nPausedStep;
  } else {
    DrawFrame(0, 1, 0, 1);
    cCmd::DrawCmdWindow(&BackBuffer, g_MenuPos[0].x, g_MenuPos[0].y, m_PauseMenu);
    DrawMenuCursor();
  }
}

void cPlayScene::PhaseRetry() {
  if (CheckPlayHotKeys()) return;
  if (m_nStep == 0) {
    g_Cursor.m_pCur->row = 0;
    m_nStep = 1;
  } else if (m_nStep != 1) {
    return;
  }
  cInputState& input = MenuInput();
  g_MenuPos[1].x = GetSysTextBlockX(320, kFirstRetryText, 2, 1);
  g_MenuPos[1].y = kMenuY;
  MoveMenuCursor(input, g_MenuPos[1].x, 2);
  if (input.m_wButton & KEY_BUTTON1) {
    PlaySystemSound(1);
    if (g_Cursor.m_pCur->row == 0) {
      // The stage-start values were restored when the hero was lost.
      SetStage(1, 0);
      m_nPhase = PLAYPHASE_START;
    } else {
      g_PlayData.m_bFromStage = 1;
      g_SceneManager.m_nNextScene = SCENE_WORLDMAP;
      m_nStep = 0;
      m_nPhase = PLAYPHASE_FADEOUT;
    }
    return;
  }
  DrawFrame(0, 1, 0, 1);
  DrawSysTextBlock(g_MenuPos[1].x, g_MenuPos[1].y, kFirstRetryText, 2, 1);
  DrawMenuCursor();
}

void cPlayScene::PhaseGameOver() {
  if (CheckPauseKey()) {
    m_nStep = 0;
    m_nPhase = PLAYPHASE_PAUSE;
    return;
  }
  if (CheckPlayHotKeys()) return;
  // The button word as polled: a button still held from play confirms at once.
  if (GetInput(0).m_wButton & KEY_BUTTON1) {
    PlaySystemSound(1);
    m_nPhase = PLAYPHASE_FADEOUT;
    g_SceneManager.m_nNextScene = SCENE_TITLE;
    return;
  }
  DrawFrame(0, 1, 0, 1);
  if (g_Stage.m_bGameOverCaption)
    DDBlt(&BackBuffer, 248, 224, 144, 32, &g_SystemSurface[kCaptionSheet], 0, 96, DDBLT_KEY);
}
