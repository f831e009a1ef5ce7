#include "shell/menu_scene.h"

#include <algorithm>

#include "foundation/shell_services.h"
#include "foundation/text_utils.h"
#include "media/blit.h"
#include "media/cursor.h"
#include "media/fade.h"
#include "media/palette.h"
#include "media/sound.h"
#include "media/surface_create.h"
#include "media/surface_list.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "shell/challenge_scene.h"
#include "shell/map_menu_scene.h"
#include "shell/option_scene.h"
#include "shell/title_scene.h"
#include "shell/world_map_scene.h"

namespace {
cVector<cBmpInfo> g_MenuSurfaceInfo;
}  // namespace

bool cMenuScene::LoadSystemSurfaces(std::initializer_list<int> indices) {
  const std::vector<int> list(indices);
  if (DDLoadSurfaces(g_SystemSurface, list.data(), static_cast<int>(list.size()))) return true;
  PostCloseToMainWindow();
  return false;
}

void cMenuScene::ReleaseSystemSurfaces(std::initializer_list<int> indices) {
  for (int i : indices) DDReleaseSurface(&g_SystemSurface[i]);
}

bool cMenuScene::StepFadeIn() {
  return FadeScreenIn(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeStep, g_Palette, 0);
}

bool cMenuScene::StepFadeOut() {
  return FadeScreenOut(g_WorkPalette, 0, 255, 0, 0, 0, g_SceneManager.m_nFadeStep, g_Palette, 0);
}

void cMenuScene::LeaveTo(eSceneId self, eSceneId next) {
  DDClear(&BackBuffer, 16);
  g_Cursor.Reset();
  g_SceneManager.m_nPrevScene = self;
  g_SceneManager.m_nScene = next;
  m_nPhase = -1;
  m_nStep = 0;
}

cInputState& MenuInput() { return GetInput(0); }

bool MenuButton(int n) { return n >= 1 && n <= 8 && (MenuInput().m_wButton & (1 << (n - 1))) != 0; }

void RequestSlotBgm(eSceneBgmSlot slot) {
  const cSystemData& sys = g_SystemData;
  const int bgm = slot < static_cast<int>(sys.m_nSceneBgm.size()) ? sys.m_nSceneBgm[slot] : 0;
  const int loop = slot < static_cast<int>(sys.m_bSceneBgmLoop.size()) ? sys.m_bSceneBgmLoop[slot] : 0;
  g_SceneManager.RequestSceneBgm(bgm, loop, static_cast<eBgmSlot>(slot));
}

std::vector<int> EnabledEntries(const cVector<cCmd>& list, int limit) {
  std::vector<int> entries;
  for (int i = 0; i < static_cast<int>(list.size()) && i < limit; ++i)
    if (list[i].m_bEnabled) entries.push_back(i);
  if (entries.empty()) entries.push_back(0);
  return entries;
}

const char* MenuCaption(const cVector<cCmd>& list, int index) {
  if (index < 0 || index >= static_cast<int>(list.size())) return "";
  return list[index].m_strCaption.c_str();
}

int WidestCaption(const cVector<cCmd>& list, const std::vector<int>& entries) {
  int widest = 0;
  for (int e : entries) widest = std::max(widest, StrCountChars(MenuCaption(list, e)));
  return widest;
}

bool MakeMenuSurface(int width, int height, eMenuSurfaceKind kind) {
  ReleaseMenuSurfaces();
  if (DDAddSurface(g_MenuSurfaces, g_MenuSurfaceInfo, width, height, kind, 0, 0, 0)) return true;
  PostCloseToMainWindow();
  return false;
}

void ReleaseMenuSurfaces() {
  DDReleaseSurfaces(g_MenuSurfaces);
  g_MenuSurfaces.clear();
  g_MenuSurfaceInfo.clear();
}

DDSURFACEDATA* MenuSurface() { return g_MenuSurfaces.empty() ? nullptr : &g_MenuSurfaces[0]; }

void DrawAccessory(int x, int y, int w, int h, int sx, int sy) {
  DDBlt(&BackBuffer, x, y, w, h, &g_SystemSurface[kSurfAccessory], sx, sy, DDBLT_KEY);
}

void DrawCursorBig() { DrawAccessory(g_Cursor.m_pCur->x, g_Cursor.m_pCur->y, 32, 32, 0, 0); }

void DrawCursorSmall() { DrawAccessory(g_Cursor.m_pCur->x, g_Cursor.m_pCur->y, 16, 16, 64, 0); }

void RegisterMenuScenes() {
  SetSceneCreator(SCENE_TITLE, []() -> cScene* { return new cTitleScene; });
  SetSceneCreator(SCENE_WORLDMAP, []() -> cScene* { return new cWorldMapScene; });
  SetSceneCreator(SCENE_MAPMENU, []() -> cScene* { return new cMapMenuScene; });
  SetSceneCreator(SCENE_CHALLENGE, []() -> cScene* { return new cChallengeScene; });
  SetSceneCreator(SCENE_OPTION, []() -> cScene* { return new cOptionScene; });
}
