#include "play/scene_manager.h"

#include <new>
#include <string>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/thread.h"
#include "foundation/timer.h"
#include "foundation/window_messages.h"
#include "media/device.h"
#include "media/draw_routines.h"
#include "media/font.h"
#include "media/palette.h"
#include "media/present.h"
#include "media/raster.h"
#include "media/translucency.h"
#include "platform/clock.h"
#include "play/input.h"
#include "play/requests.h"
#include "project/number_format.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/system_ini.h"

cSceneManager g_SceneManager;
cPlayScene* g_pPlayScene = nullptr;
std::int32_t g_nFrameCount = 0;
sFlashColour g_FlashColours[10] = {};
cVector<DDSURFACEDATA> g_MenuSurfaces;
sFpsRing g_FpsRing;
std::int32_t g_nMeasuredFps = 0;

namespace {

SceneCreator g_Creators[6] = {};

bool (*g_PlaySurfaceRestorer)() = nullptr;

// The flash-colour oscillators: nine levels with their directions, the four-colour phase and
// the counter of the 8-bit palette rotation.
struct sMenuColours {
  int nLevel[9] = {};
  bool bFalling[9] = {};
  int nPhase = 0;
  int nPaletteCount = 0;
};
sMenuColours g_MenuColours;

// Runs a step that may throw a text; the text goes to the error log and the program closes.
template <class F>
void GuardText(F&& step) {
  try {
    step();
  } catch (const char* text) {
    ErrLogFatal("%s", text ? text : "");
  } catch (const std::string& text) {
    ErrLogFatal("%s", text.c_str());
  }
}

// One level's step; true when a falling level turned at the bottom.
bool StepLevel(int& level, bool& falling, int step) {
  if (!falling) {
    if (level + step >= 255)
      falling = true;
    else
      level += step;
    return false;
  }
  if (level - step <= 0) {
    falling = false;
    return true;
  }
  level -= step;
  return false;
}

std::uint32_t Argb(int r, int g, int b) {
  return 0xFF000000u | (static_cast<std::uint32_t>(r & 0xFF) << 16) |
         (static_cast<std::uint32_t>(g & 0xFF) << 8) | static_cast<std::uint32_t>(b & 0xFF);
}

// Restores one surface after a loss; false when its picture cannot be brought back.
bool RestoreOne(DDSURFACEDATA& surface, cFont* digitsOf) {
  cPixelSurface* pixels = surface.Pixels();
  if (!pixels || !pixels->m_bLost) return true;
  pixels->m_bLost = false;
  if (surface.nDDMemory != 0) return true;  // system memory keeps its pixels
  if (digitsOf) {
    RenderFontDigits(&surface, *digitsOf);
    return true;
  }
  surface.bLost = 1;
  return DDReloadSurface(&surface, g_nBpp);
}

}  // namespace

int sFpsRing::Add(int workMs) {
  if (nIndex < 0 || nIndex >= kFpsRingSize) nIndex = 0;
  nTimes[nIndex] = workMs;
  if (++nIndex >= kFpsRingSize) {
    nIndex = 0;
    std::int64_t sum = 0;
    for (int t : nTimes) sum += t;
    nAverage = static_cast<std::int32_t>(sum / kFpsRingSize);
  }
  return nAverage;
}

void SetSceneCreator(eSceneId id, SceneCreator creator) {
  if (id >= 0 && id < 6) g_Creators[id] = creator;
}

void SetPlaySurfaceRestorer(bool (*restorer)()) { g_PlaySurfaceRestorer = restorer; }

void cScene::Run() {
  // Menus: key repeat and one frame per button press, on input record 0.
  ApplyKeyRepeat(g_Inputs[0]);
  LatchButtons(g_Inputs[0], 3);
  if (m_nPhase == -1) {
    GuardText([this] { Init(); });
    m_nPhase = 0;
  }
  RunPhase(m_nPhase);
}

void cScene::RunPhase(int phase) {
  PhaseHandler handler = m_Phase[phase];
  if (handler) (this->*handler)();
}

cScene* cSceneManager::Scene(eSceneId id) const {
  switch (id) {
    case SCENE_TITLE: return m_pTitle;
    case SCENE_WORLDMAP: return m_pWorldMap;
    case SCENE_MAPMENU: return m_pMapMenu;
    case SCENE_CHALLENGE: return m_pChallenge;
    case SCENE_PLAY: return m_pPlay;
    case SCENE_OPTION: return m_pOption;
  }
  return nullptr;
}

int cSceneManager::Frame() {
  WaitFrame();
  g_nFrameCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(g_nFrameCount) + 1u);
  TimerRestart();
  if (!g_bD3D && !RestoreSurfaces()) return 0;
  UpdateInput(g_Inputs);
  GuardText([this] { Switch(m_nScene); });
  if (cScene* scene = Scene(m_nScene)) scene->Run();

  const int fps = static_cast<int>(CountFps(1));
  const int workMs = static_cast<int>(TimerElapsedCached(1));
  // The play scene shows the rate itself; it reads it here while it exists.
  g_nMeasuredFps = fps;
  if (g_SystemIni.ShowFps != 0) {
    const int average = g_FpsRing.Add(workMs);
    if (g_SystemIni.ShowFps == 2)
      g_Font[0].DrawF(&BackBuffer, 549, 469, "FPS%2d(%2d)", fps, average);
    else
      g_Font[1].DrawBoxF(&BackBuffer, 495, 463, 0, 0, "FPS%2d(%2d)", fps, average);
  }
  Present();
  return 1;
}

void cSceneManager::Switch(eSceneId id) {
  cScene** slots[6] = {&m_pTitle, &m_pWorldMap, &m_pMapMenu, &m_pChallenge, &m_pPlay, &m_pOption};
  for (int i = 0; i < 6; ++i) {
    if (i == id || !*slots[i]) continue;
    cScene* old = *slots[i];
    *slots[i] = nullptr;
    if (i == SCENE_PLAY) g_pPlayScene = nullptr;
    delete old;
  }
  if (id < 0 || id >= 6 || *slots[id] || !g_Creators[id]) return;
  try {
    *slots[id] = g_Creators[id]();
  } catch (const std::bad_alloc&) {
    if (id == SCENE_PLAY) g_pPlayScene = nullptr;
    OutOfMemory();
  } catch (...) {
    // The creator may have stored a play scene it could not finish.
    if (id == SCENE_PLAY) g_pPlayScene = nullptr;
    throw;
  }
}

void cSceneManager::DeleteAll() {
  for (cScene** slot : {&m_pTitle, &m_pWorldMap, &m_pMapMenu, &m_pChallenge, &m_pOption, &m_pPlay}) {
    cScene* old = *slot;
    *slot = nullptr;
    if (slot == &m_pPlay) g_pPlayScene = nullptr;
    delete old;
  }
}

void cSceneManager::RequestSceneBgm(int bgm, int loop, eBgmSlot slot) {
  const int loopByte = loop & 0xFF;
  if (bgm != 0 && loopByte != 0 && bgm == m_nBgm && m_bBgmLoop != 0) return;
  m_nBgm = bgm;
  m_bBgmLoop = loopByte;
  RequestBgm(slot, 0);
}

void cSceneManager::UpdateInput(cVector<cInputState>& inputs) { PollFrameInput(inputs); }

bool cSceneManager::RestoreSurfaces() {
  if (g_bD3D) return true;
  cPixelSurface* primary = g_Primary.Pixels();
  if (!primary || !primary->m_bLost) return true;
  DDRestore();
  if (g_PlaySurfaceRestorer && !g_PlaySurfaceRestorer()) return false;
  for (DDSURFACEDATA& s : g_MenuSurfaces)
    if (!RestoreOne(s, nullptr)) return false;
  for (int i = 0; i < 3; ++i)
    if (!RestoreOne(g_FontDigits[i], &g_Font[i])) return false;
  return true;
}

void cSceneManager::Present() {
  if (g_bD3D) {
    if (!DDPresent(static_cast<unsigned>(m_nFps > 0 ? m_nFps : 0), 0, nullptr) &&
        g_nWindowMode != 0)
      RequestRestoreDevice();
    return;
  }
  // DirectDraw: the vertical blank and the flip are the host's; the frame limiter paced it.
  DDHandOverFrame();
}

void WaitFrame() {
  if (g_bD3D) return;
  const unsigned fps = static_cast<unsigned>(g_SceneManager.m_nFps > 0 ? g_SceneManager.m_nFps : 0);
  while (!WaitRate(fps)) platform::SleepMs(WaitRateDueIn());
}

std::uint32_t GameLoop(void*) {
  for (;;) {
    platform::sThreadMessage message;
    if (platform::PeekThreadMessage(message, true)) {
      if (message.message == WM_QUIT) {
        ErrLog("GameLoop WM_QUIT!");
        return 1;
      }
      continue;
    }
    if (!g_bActive.load()) {
      platform::SleepMs(1);
      continue;
    }
    if (!g_SceneManager.Frame()) {
      PostCloseToMainWindow();
      return 1;
    }
  }
}

void SuspendGameThreads() {
  for (cThread* thread : {&thGame, &thPause, &g_RankingThread, &g_StageLoadThread})
    if (thread->HasThread()) thread->Suspend();
}

void ResumeGameThreads() {
  for (cThread* thread : {&thGame, &thPause, &g_RankingThread, &g_StageLoadThread})
    if (thread->HasThread()) thread->Resume();
}

int LoadHbtPalette(int number) {
  if (g_bD3D || g_nBpp != 8) return 1;
  std::string digits;
  FormatNumber(digits, number, 2, 1, 0);
  const std::string path = "bmp\\hbt\\hbt" + digits + ".dat";
  if (!DDLoadBlendTable(g_BlendTable, path.c_str())) {
    ErrBoxF("%s の読み込みに失敗！", path.c_str());
    return 0;
  }
  if (!DDLoadPaletteFromFile(g_Palette, g_SystemBmpInfo[0].szFile.c_str())) {
    ErrLog("DDLoadPaletteFromFile失敗");
    return 0;
  }
  if (number >= 0 && number <= 11) {
    RotatePalette(g_Palette, 16, 207, number * 16, 1, g_Palette);
  } else if (number >= 12) {
    // One colour band for the whole range: the band of entry (number - 11) x 16, twelve times.
    const int from = (number - 11) * 16;
    PALETTEENTRY band[16];
    for (int i = 0; i < 16; ++i) band[i] = from + i < 256 ? g_Palette[from + i] : PALETTEENTRY{};
    for (int block = 0; block < 12; ++block)
      for (int i = 0; i < 16; ++i) g_Palette[16 + block * 16 + i] = band[i];
  }
  for (int i = 0; i < 256; ++i) g_WorkPalette[i] = g_Palette[i];
  if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 255, g_Palette);
  return 1;
}

void AnimateMenuColours() {
  sMenuColours& c = g_MenuColours;
  if (g_bD3D) {
    // A negative step would drive the levels out of 0..255: it counts as 0.
    const int step = g_SystemData.m_nMenuColourStep > 0 ? g_SystemData.m_nMenuColourStep : 0;
    int v[9];
    for (int i = 0; i < 9; ++i) v[i] = c.nLevel[i];
    g_FlashColours[1] = {Argb(v[0], v[0], v[0]), D3DTOP_ADD};
    g_FlashColours[2] = {Argb(v[1], v[1], v[1]), D3DTOP_SUBTRACT};
    g_FlashColours[3] = {Argb(v[2], 0, 0), D3DTOP_ADD};
    g_FlashColours[4] = {Argb(0, v[3], 0), D3DTOP_ADD};
    g_FlashColours[5] = {Argb(0, 0, v[4]), D3DTOP_ADD};
    g_FlashColours[6] = {Argb(v[5], v[5], 0), D3DTOP_ADD};
    g_FlashColours[7] = {Argb(v[6], 0, v[6] / 4), D3DTOP_ADD};
    g_FlashColours[8] = {Argb(v[7] / 4, 0, v[7]), D3DTOP_ADD};
    static const int kPhaseRgb[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
    const int* m = kPhaseRgb[c.nPhase & 3];
    g_FlashColours[9] = {Argb(v[8] * m[0], v[8] * m[1], v[8] * m[2]), D3DTOP_ADD};
    for (int i = 0; i < 9; ++i) {
      const bool turned = StepLevel(c.nLevel[i], c.bFalling[i], step);
      if (i == 8 && turned) c.nPhase = (c.nPhase + 1) & 3;
    }
    return;
  }
  if (!g_SystemData.m_bPaletteCycle || g_nBpp != 8) return;
  if (++c.nPaletteCount < 6) return;
  c.nPaletteCount = 0;
  for (int group = 0; group < 8; ++group) {
    const int first = 208 + group * 4;
    RotatePalette(g_WorkPalette, first, first + 3, 1, 1, g_WorkPalette);
  }
  if (g_lpDDPalette) g_lpDDPalette->SetEntries(208, 32, g_WorkPalette + 208);
}

void ResetMenuColours() {
  g_MenuColours = sMenuColours{};
  for (sFlashColour& f : g_FlashColours) f = {0, 0};
}
