#pragma once
// A running stage for the tests of scripts, status commands and arranges: the play scene
// with its stage variables, the common variables, a character of HP 95 of 100 with an empty
// first target slot and a second character in slot 2, the boxes the code shows (kept, not
// shown) and the report log in a fresh folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "objects/chara.h"
#include "play/play_scene.h"
#include "platform/close_request.h"
#include "tests/objects/play_world.h"
#include "tests/support/temp_folder.h"

class cScriptWorld : public cPlayWorld {
 protected:
  void SetUp() override {
    MakeMap(20, 15);
    ASSERT_EQ(ReportOpen("Report_Game.txt"), 1);
    s_Boxes.clear();
    SetDeviceBoxHook(&KeepBox);
    g_PlayData.m_CommonVar.assign(1001, 0);
    g_PlayData.m_nLives = 3;
    me.Reset(nullptr, 0, 0, 0);
    me.m_Def.m_nMaxHP = 100;
    me.m_HP.m_nValue = 95;
    other.Reset(nullptr, 0, 0, 0);
    other.m_Def.m_nMaxHP = 50;
    other.m_HP.m_nValue = 50;
    me.m_Targets[1] = &other;
  }
  void TearDown() override {
    me.m_Targets[1] = nullptr;
    SetDeviceBoxHook(nullptr);
    ErrLogSetup(0, "EC_Game.txt");
    platform::ResetCloseRequest();
  }
  // Shows the boxes that appear only while the error log is on.
  static void ErrorLogOn() { ErrLogSetup(1, "EC_Game.txt"); }
  static std::string Report() { return ReadText("Report_Game.txt"); }

  static int KeepBox(const char* text, const char*, int) {
    s_Boxes.emplace_back(text);
    return IDOK;
  }
  static inline std::vector<std::string> s_Boxes;

  cTempFolder m_Folder;
  cPlayScene m_Scene;
  cScopedValue<cPlayScene*> m_Current{g_pPlayScene, &m_Scene};
  cScopedHeroes m_Heroes;
  cChara me, other;
};
