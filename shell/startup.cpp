#include "shell/startup.h"

#include "media/device.h"
#include "media/surface.h"
#include "play/scene_manager.h"
#include "shell/main_window.h"

bool InitGame(int, char**) {
  g_MainWnd.Init();
  // The desktop's depth is its bytes per pixel: 32 on today's displays.
  if (!DDInit(1, g_hWnd.load(), 640, 480, 32, 0, 1, 1, 0, 0, nullptr, nullptr, 0)) return false;
  g_SceneManager.m_nFps = 60;
  g_SceneManager.m_nFadeStep = 10;
  return true;
}

void ExitGame() {
  g_SceneManager.DeleteAll();
  DDEnd();
}
