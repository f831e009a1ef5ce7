#include "shell/option_scene.h"

#include <algorithm>

#include "foundation/report.h"
#include "foundation/text_utils.h"
#include "media/bgm.h"
#include "media/blit.h"
#include "media/cursor.h"
#include "media/font.h"
#include "media/sound.h"
#include "platform/thread_messages.h"
#include "play/requests.h"
#include "project/option_data.h"
#include "project/paths.h"
#include "project/player_file.h"
#include "project/system_data.h"

namespace {

constexpr int kItemY = 96;
constexpr int kItemPitch = 16;
constexpr int kCaptionX = 64;
constexpr int kValueX = 208;
constexpr int kCursorX = 48;

}  // namespace

void ApplyMusicOption() {
  const bool on = g_OptionData.m_bBgm != 0;
  bool changed = false;
  platform::RunOnMainThread([&] {
    if (g_Bgm.IsInit() && !on) {
      g_Bgm.Release();
      changed = true;
    } else if (!g_Bgm.IsInit() && on) {
      g_Bgm.Release();
      g_Bgm.Init(1, g_BgmOggTable, g_BgmMidTable, 5);
      changed = true;
    }
  });
  if (changed) g_SceneManager.m_nBgm = 0;
}

void ApplySoundVolume(int level) {
  const int volume = g_nSoundVolumeTable[std::clamp(level, 0, kOptionVolumeLevels - 1)];
  platform::RunOnMainThread([volume] {
    for (DSSOUNDDATA& sound : g_SoundList)
      for (int b = 0; b < static_cast<int>(sound.lpBuffers.size()); ++b)
        DS_SetVolume(sound, b, volume, 0);
  });
}

void SaveOptionFile() {
  const std::string path = g_PathTable[PATH_OPTION];
  // A file kept unread is refused with the usual box; any other failure is only logged.
  if (IsKeptPlayerFile(path)) {
    g_OptionData.Save();
    return;
  }
  if (!g_OptionData.SaveFile(path)) ReportErr("%s の保存に失敗しました！", path.c_str());
}

cOptionScene::cOptionScene() {
  SetPhases<cOptionScene>({&cOptionScene::FadeIn, &cOptionScene::Main, &cOptionScene::FadeOut});
}

cOptionScene::~cOptionScene() {
  ReleaseSystemSurfaces({kSurfAccessory, kSurfWindow});
  ReleaseMenuSurfaces();
}

void cOptionScene::Init() {
  RequestSlotBgm(SCENE_BGM_OPTION);
  LoadSystemSurfaces({kSurfAccessory, kSurfWindow});
  g_Cursor.Reset();
  const std::vector<int> entries = EnabledEntries(g_SystemData.m_OptionMenu, 6);
  m_nCount = static_cast<int>(entries.size());
  std::fill(std::begin(m_Entries), std::end(m_Entries), 0);
  std::copy(entries.begin(), entries.end(), m_Entries);
  if (MakeMenuSurface(640, 480)) DrawScreen(MenuSurface());
  m_nStep = 0;
}

void cOptionScene::DrawScreen(DDSURFACEDATA* surface) {
  if (!surface) return;
  const cSystemData& sys = g_SystemData;
  const cOptionData& opt = g_OptionData;
  g_Font[2].DrawBox(surface, 1, 1, 638, 478);
  const char* heading = MenuCaption(sys.m_TitleMenu, GAME_OPTION);
  g_Font[2].DrawF(surface, 320 - 16 * StrCountChars(heading), 32, "%s", heading);
  for (int i = 0; i < m_nCount; ++i) {
    const int y = kItemY + kItemPitch * i;
    const int item = m_Entries[i];
    g_Font[1].Draw(surface, kCaptionX, y, MenuCaption(sys.m_OptionMenu, item));
    switch (item) {
      case OPTION_PALETTE: g_Font[1].DrawF(surface, kValueX, y, "%d", opt.m_nPalette); break;
      case OPTION_MUSIC: g_Font[1].Draw(surface, kValueX, y, opt.m_bBgm ? "ON" : "OFF"); break;
      case OPTION_VOLUME: g_Font[1].DrawF(surface, kValueX, y, "%d", opt.m_nSeVolume); break;
      case OPTION_RANKMODE: {
        const auto& names = sys.m_RankingModeNames;
        const int mode = opt.m_nRankMode;
        if (mode >= 0 && mode < static_cast<int>(names.size()) && !names[mode].empty())
          g_Font[1].Draw(surface, kValueX, y, names[mode].c_str());
        break;
      }
      case OPTION_RANKNAME: g_Font[1].Draw(surface, kValueX, y, opt.m_strRankName.c_str()); break;
      default: break;
    }
  }
  surface->bLost = 0;
}

void cOptionScene::Draw() {
  DDSURFACEDATA* screen = MenuSurface();
  if (!screen) return;
  if (screen->bLost) DrawScreen(screen);
  DDBlt(&BackBuffer, 0, 0, 640, 480, screen, 0, 0, DDBLT_NOKEY);
  AnimateMenuColours();
}

void cOptionScene::FadeIn() {
  if (g_nBpp == 8) DrawScreen(MenuSurface());
  Draw();
  if (StepFadeIn()) m_nPhase = OPTION_MAIN;
}

void cOptionScene::ApplyChange() {
  if (m_nItem == OPTION_PALETTE)
    LoadHbtPalette(g_OptionData.m_nPalette);
  else if (m_nItem == OPTION_VOLUME)
    ApplySoundVolume(g_OptionData.m_nSeVolume);
}

void cOptionScene::Main() {
  cInputState& input = MenuInput();
  cOptionData& opt = g_OptionData;
  if (m_nStep == 0) {
    *g_Cursor.m_pCur = sCursorLevel();
    m_nStep = 1;
  }
  if (m_nStep == 1) {
    g_Cursor.MoveGrid(input.m_wDirection, kCursorX, kItemY, 0, kItemPitch, 1, m_nCount);
    PlayCursorSound(input.m_wDirection, 2, 0);
    if (MenuButton(1)) {
      PlaySystemSound(1);
      m_nItem = m_Entries[std::clamp(g_Cursor.m_pCur->row, 0, m_nCount - 1)];
      switch (m_nItem) {
        case OPTION_PALETTE: m_pValue = &opt.m_nPalette, m_nMax = kOptionPaletteCount - 1; break;
        case OPTION_MUSIC: m_pValue = &opt.m_bBgm, m_nMax = 1; break;
        case OPTION_VOLUME: m_pValue = &opt.m_nSeVolume, m_nMax = kOptionVolumeLevels - 1; break;
        case OPTION_RANKMODE: m_pValue = &opt.m_nRankMode, m_nMax = kOptionRankModeCount - 1; break;
        case OPTION_RANKNAME:
          RequestNameEntry();
          DrawScreen(MenuSurface());
          break;
        default:
          m_nNextScene = SCENE_TITLE;
          m_nStep = 0;
          m_nPhase = OPTION_FADEOUT;
          return;
      }
      if (m_nItem <= OPTION_RANKMODE) {
        m_nMin = 0;
        m_nSaved = *m_pValue;
        g_Cursor.Push(0);
        m_nStep = 2;
        return;
      }
    } else if (MenuButton(2)) {
      PlaySystemSound(2);
      m_nNextScene = SCENE_TITLE;
      m_nStep = 0;
      m_nPhase = OPTION_FADEOUT;
      return;
    }
    Draw();
    DrawCursorSmall();
    return;
  }
  // Step 2: changing the value of m_nItem.
  const int row = g_Cursor.m_pPrev ? g_Cursor.m_pPrev->row : 0;
  const int rowY = kItemY + kItemPitch * row;
  int change = 0;
  if (input.m_wDirection & KEY_UP) change = 1;
  else if (input.m_wDirection & KEY_DOWN) change = -1;
  if (change && m_pValue) {
    int value = *m_pValue + change;
    if (value < m_nMin) value = m_nMax;
    if (value > m_nMax) value = m_nMin;
    *m_pValue = value;
    ApplyChange();
    DrawScreen(MenuSurface());
  }
  PlayCursorSound(input.m_wDirection, 2, 0);
  if (MenuButton(1)) {
    PlaySystemSound(1);
    g_Cursor.Pop(1);
    m_nStep = 1;
    return;
  }
  if (MenuButton(2)) {
    PlaySystemSound(2);
    if (m_pValue) *m_pValue = m_nSaved;
    ApplyChange();
    g_Cursor.Pop(1);
    m_nStep = 1;
    DrawScreen(MenuSurface());
    return;
  }
  Draw();
  DrawAccessory(kCursorX, rowY, 16, 16, 80, 0);
  DrawAccessory(192, rowY, 16, 16, 64, 0);
}

void cOptionScene::FadeOut() {
  if (!StepFadeOut()) return;
  DDClear(&BackBuffer, 16);
  ApplyMusicOption();
  SaveOptionFile();
  LeaveTo(SCENE_OPTION, static_cast<eSceneId>(m_nNextScene));
}
