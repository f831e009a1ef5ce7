#include "shell/map_menu_scene.h"

#include <algorithm>

#include "foundation/text_utils.h"
#include "media/blit.h"
#include "media/cursor.h"
#include "media/draw_routines.h"
#include "media/font.h"
#include "media/sound.h"
#include "project/number_format.h"
#include "project/story_save.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

namespace {

const char* SysText(int n) {
  const auto& texts = g_SystemData.m_Texts;
  return n >= 0 && n < static_cast<int>(texts.size()) ? texts[n].c_str() : "";
}

void FillScreen() { DDBoxFill(&BackBuffer, 0, 0, 640, 480, 16); }

}  // namespace

cMapMenuScene::cMapMenuScene() {
  SetPhases<cMapMenuScene>({&cMapMenuScene::FadeIn, &cMapMenuScene::Menu,
                            &cMapMenuScene::SaveSlotSelect, &cMapMenuScene::AutoSaveSelect,
                            &cMapMenuScene::Back, &cMapMenuScene::ToTitle,
                            &cMapMenuScene::FadeOut});
}

cMapMenuScene::~cMapMenuScene() { ReleaseSystemSurfaces({kSurfWindow, kSurfSymbol, kSurfAccessory}); }

void cMapMenuScene::Init() {
  RequestSlotBgm(SCENE_BGM_WORLDMAP);
  LoadSystemSurfaces({kSurfWindow, kSurfSymbol, kSurfAccessory});
  // Only the four commands the menu knows are shown.
  const std::vector<int> entries = EnabledEntries(g_SystemData.m_MapMenu, 4);
  m_nCount = static_cast<int>(entries.size());
  std::fill(std::begin(m_Entries), std::end(m_Entries), 0);
  std::copy(entries.begin(), entries.end(), m_Entries);
  g_Cursor.Reset();
  g_Cursor.m_pCur->x = kMapMenuX;
  g_Cursor.m_pCur->y = kMapMenuY;
}

void cMapMenuScene::DrawMenuScreen() {
  const cSystemData& sys = g_SystemData;
  FillScreen();
  const std::vector<int> entries(m_Entries, m_Entries + m_nCount);
  const int w = 16 * (WidestCaption(sys.m_MapMenu, entries) + 1);
  DrawFramedBlt(&BackBuffer, kMapMenuX, kMapMenuY, w, 16 * m_nCount, &g_SystemSurface[kSurfWindow],
                1, 240);
  for (int i = 0; i < m_nCount; ++i)
    g_Font[1].Draw(&BackBuffer, kMapMenuX + 16, kMapMenuY + 16 * i,
                   MenuCaption(sys.m_MapMenu, m_Entries[i]));
  const int total = g_PlayData.m_nResultTotal;
  if (sys.m_bSlotShowTotal && total > 0) {
    const int tw = 16 * (StrCountChars(SysText(4)) + GetDigitCount(total));
    const int x = 320 - tw / 2;
    g_Font[1].DrawBox(&BackBuffer, x, 260, tw, 16);
    g_Font[1].DrawF(&BackBuffer, x, 260, "%s%d", SysText(4), total);
  }
  AnimateMenuColours();
}

void cMapMenuScene::FadeIn() {
  DrawMenuScreen();
  DrawAccessory(kMapMenuX, kMapMenuY, 16, 16, 64, 0);
  if (StepFadeIn()) m_nPhase = MAPMENU_MENU;
}

void cMapMenuScene::Menu() {
  cInputState& input = MenuInput();
  g_Cursor.MoveGrid(input.m_wDirection, kMapMenuX, kMapMenuY, 0, 16, 1, m_nCount);
  PlayCursorSound(input.m_wDirection, 2, 0);
  if (MenuButton(1)) {
    PlaySystemSound(1);
    m_nPhase = m_Entries[std::clamp(g_Cursor.m_pCur->row, 0, m_nCount - 1)] + MAPMENU_SAVE;
    g_Cursor.Push(0);
    return;
  }
  if (MenuButton(2)) {
    PlaySystemSound(2);
    m_nPhase = MAPMENU_BACK;
    return;
  }
  DrawMenuScreen();
  DrawCursorSmall();
}

void cMapMenuScene::BackToMenu() {
  g_Cursor.Pop(1);
  m_nStep = 0;
  m_nPhase = MAPMENU_MENU;
}

void cMapMenuScene::DrawSlotScreen() {
  FillScreen();
  DrawSlotList(&BackBuffer, kMapMenuSlotX, kMapMenuSlotY, g_SlotInfo, m_nListTop, m_nListRows);
}

void cMapMenuScene::SaveSlotSelect() {
  cInputState& input = MenuInput();
  if (m_nStep == 0) {
    *g_Cursor.m_pCur = sCursorLevel();
    // A story never saved opens the list at its first slot.
    g_Cursor.m_pCur->row = std::max(0, g_PlayData.m_nSaveSlot);
    m_nStep = 1;
    LoadSlotHeaders(g_SlotInfo);
    m_nListRows = std::min(static_cast<int>(g_SlotInfo.size()), 10);
    m_nListTop = g_Cursor.m_pCur->row;
  }
  const int total = static_cast<int>(g_SlotInfo.size());
  if (m_nStep == 1) {
    g_Cursor.MoveList(input.m_wDirection, 1, &m_nListTop, kMapMenuSlotY, 16, kMapMenuSlotX,
                      m_nListRows, total, 1);
    PlayCursorSound(input.m_wDirection, 3, 0);
    if (MenuButton(1)) {
      PlaySystemSound(1);
      g_Cursor.Push(0);
      g_Cursor.m_pCur->row = 1;
      m_nStep = 2;
      return;
    }
    if (MenuButton(2)) {
      PlaySystemSound(2);
      BackToMenu();
      return;
    }
    DrawSlotScreen();
    DrawCursorSmall();
    return;
  }
  const int x = GetSysTextBlockX(320, 12, 2, 1);
  g_Cursor.MoveGrid(input.m_wDirection, x, 400, 0, 16, 1, 2);
  PlayCursorSound(input.m_wDirection, 2, 0);
  const bool decide = MenuButton(1);
  const bool cancel = !decide && MenuButton(2);
  if (decide || cancel) {
    if (decide && g_Cursor.m_pCur->row == 0) {
      PlaySystemSound(5);
      g_PlayData.m_nSaveSlot = g_Cursor.m_pPrev->row;
      g_PlayData.SaveSlot(g_PlayData.m_nSaveSlot);
      LoadSlotHeaders(g_SlotInfo);
    } else {
      PlaySystemSound(decide ? 1 : 2);
    }
    g_Cursor.Pop(1);
    m_nStep = 1;
    return;
  }
  DrawSlotScreen();
  DrawSysTextBlock(x, 400, 12, 2, 1);
  DrawAccessory(g_Cursor.m_pPrev->x, g_Cursor.m_pPrev->y, 16, 16, 80, 0);
  DrawCursorSmall();
}

void cMapMenuScene::AutoSaveSelect() {
  cInputState& input = MenuInput();
  if (m_nStep == 0) {
    *g_Cursor.m_pCur = sCursorLevel();
    g_Cursor.m_pCur->row = g_PlayData.m_bAutoSave ? 0 : 1;
    m_nStep = g_PlayData.m_nSaveSlot == -1 ? 2 : 1;
    return;
  }
  if (m_nStep == 1) {
    const int x = GetSysTextBlockX(320, 14, 2, 1);
    g_Cursor.MoveGrid(input.m_wDirection, x, 224, 0, 16, 1, 2);
    PlayCursorSound(input.m_wDirection, 2, 0);
    if (MenuButton(1)) {
      PlaySystemSound(1);
      if (g_Cursor.m_pCur->row == 0) {
        g_PlayData.SaveSlot(g_PlayData.m_nSaveSlot);
        g_PlayData.m_bAutoSave = 1;
      } else {
        g_PlayData.m_bAutoSave = 0;
      }
      BackToMenu();
      return;
    }
    if (MenuButton(2)) {
      PlaySystemSound(2);
      BackToMenu();
      return;
    }
    FillScreen();
    DrawSysTextBlock(x, 224, 14, 2, 1);
    DrawCursorSmall();
    return;
  }
  // No slot known yet.
  if (MenuButton(1) || MenuButton(2)) {
    PlaySystemSound(MenuButton(1) ? 1 : 2);
    BackToMenu();
    return;
  }
  FillScreen();
  DrawSysTextBlock(GetSysTextBlockX(320, 16, 1, 0), 232, 16, 1, 0);
}

void cMapMenuScene::Back() {
  m_nStep = 0;
  m_nNextScene = SCENE_WORLDMAP;
  m_nPhase = MAPMENU_FADEOUT;
}

void cMapMenuScene::ToTitle() {
  cInputState& input = MenuInput();
  if (m_nStep == 0) {
    *g_Cursor.m_pCur = sCursorLevel();
    g_Cursor.m_pCur->row = 1;
    m_nStep = 1;
  }
  const int x = GetSysTextBlockX(320, 17, 2, 1);
  g_Cursor.MoveGrid(input.m_wDirection, x, 224, 0, 16, 1, 2);
  PlayCursorSound(input.m_wDirection, 2, 0);
  if (MenuButton(1)) {
    PlaySystemSound(1);
    if (g_Cursor.m_pCur->row == 0) {
      m_nNextScene = SCENE_TITLE;
      m_nPhase = MAPMENU_FADEOUT;
    } else {
      BackToMenu();
    }
    return;
  }
  if (MenuButton(2)) {
    PlaySystemSound(2);
    BackToMenu();
    return;
  }
  FillScreen();
  DrawSysTextBlock(x, 224, 17, 2, 1);
  DrawCursorSmall();
}

void cMapMenuScene::FadeOut() {
  if (!StepFadeOut()) return;
  LeaveTo(SCENE_MAPMENU, static_cast<eSceneId>(m_nNextScene));
}
