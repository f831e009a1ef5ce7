#pragma once
// What the menu-scene tests share: a 640x480 DirectDraw device over a fresh current folder
// holding the system pictures the menus load, the working folders of the player's files,
// input record 0, the system sounds heard, and guards that put back every global a test
// changes.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../media/bmp_fixture.h"
#include "../support/temp_folder.h"
#include "media/cursor.h"
#include "media/device.h"
#include "media/sound.h"
#include "media/surface_create.h"
#include "media/surface_list.h"
#include "platform/close_request.h"
#include "platform/thread_messages.h"
#include "play/input.h"
#include "play/scene_manager.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/world_map.h"

template <class T>
class cRestore {
 public:
  explicit cRestore(T& value) : m_ref(value), m_saved(value) {}
  ~cRestore() { m_ref = std::move(m_saved); }
  cRestore(const cRestore&) = delete;
  cRestore& operator=(const cRestore&) = delete;

 private:
  T& m_ref;
  T m_saved;
};

// The system sounds played while it lives.
class cSoundLog {
 public:
  cSoundLog() {
    s_pHeard = &m_Heard;
    SetPlaySoundSender([](int n) { s_pHeard->push_back(n); });
  }
  ~cSoundLog() {
    SetPlaySoundSender(nullptr);
    s_pHeard = nullptr;
  }
  cSoundLog(const cSoundLog&) = delete;
  cSoundLog& operator=(const cSoundLog&) = delete;
  std::vector<int> Take() { return std::exchange(m_Heard, {}); }

 private:
  std::vector<int> m_Heard;
  static inline std::vector<int>* s_pHeard = nullptr;
};

class cMenuSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* dir : {"bmp", "bmp/plt"})
      ASSERT_EQ(system(("mkdir -p " + std::string(dir)).c_str()), 0);
    const auto picture = MakeBmp(160, 128, 24, std::vector<std::uint32_t>(160 * 128, 0x808080));
    for (const char* file : {"bmp/Window.bmp", "bmp/Title.bmp", "bmp/GameMode.bmp",
                             "bmp/Accessory.bmp", "bmp/Symbol.bmp", "bmp/WorldMapChip.bmp",
                             "bmp/WorldEvent.bmp"})
      WriteBytes(file, picture);
    CreateWorkFolders();
    ASSERT_TRUE(DDInit(0, nullptr, 640, 480, 32, 0, 1, 1, 60, 0, g_SystemSurface, g_SystemBmpInfo,
                       kSystemSurfaceCount));
    platform::BecomeMainThread();
    InitInputs(1);
    g_Cursor.Reset();
    g_SceneManager.m_nFadeStep = 0;  // every fade ends in its first frame
    g_PlayData.Reset();
  }
  void TearDown() override {
    g_Cursor.Reset();
    for (DDSURFACEDATA& s : g_SystemSurface) DDReleaseSurface(&s);
    DDReleaseSurfaces(g_MenuSurfaces);
    g_MenuSurfaces.clear();
    DDRelease();
    platform::LeaveMainThread();
    platform::ResetCloseRequest();
  }
  // One frame's input of record 0, as the menus see it after the latch.
  static void Press(int buttons, int directions = 0) {
    GetInput(0).m_wButton = static_cast<std::int16_t>(buttons);
    GetInput(0).m_wDirection = static_cast<std::int16_t>(directions);
  }
  static void SetMenu(cVector<cCmd>& menu, std::vector<int> enabled, int size) {
    menu.assign(size, cCmd(0, "x"));
    for (int i : enabled) menu[i].m_bEnabled = 1;
  }

  cTempFolder folder;
  cSoundLog sounds;
  cRestore<cSystemData> systemGuard{g_SystemData};
  cRestore<cPlayData> playGuard{g_PlayData};
  cRestore<cSceneManager> managerGuard{g_SceneManager};
  cRestore<cWorldMapData> mapGuard{g_WorldMap};
  cRestore<cVector<cInputState>> inputGuard{g_Inputs};
  cRestore<std::string> backNameGuard{g_SystemBmpInfo[54].szFile};
};
