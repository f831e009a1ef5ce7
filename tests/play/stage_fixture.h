#pragma once
// A small stage set up for real (20 x 15 cells, no objects but the hero unless a test adds
// placements), with every global the set-up and the frame touch restored afterwards.
#include "content/block.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "play/input.h"
#include "play/map_cells.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/scene_manager.h"
#include "play/stage_setup.h"
#include "play_fixture.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"

class cStageFixture : public cPlayDevice {
 protected:
  void SetUp() override {
    Init(0, 32);
    InitInputs(1);
    g_pPlayScene = &scene;
    g_SceneManager.m_nGameKind = GAME_FREEPLAY;
    g_Stage.SetDefault();
    g_Stage.m_nWidth = 20;
    g_Stage.m_nHeight = 15;
    g_Stage.m_nScrollExtraX = 20 * 32;
    g_Stage.m_nScrollExtraY = 15 * 32;
    g_Stage.m_bTimeLimit = 0;
    g_Stage.m_PlacedCharas = CharaVector{};
    platform::ResetCloseRequest();
  }
  void TearDown() override {
    g_pPlayScene = nullptr;
    for (auto& group : scene.m_CharaGroup) group.clear();
    scene.m_ShotList.clear();
    g_CharaList.clear();
    g_ItemList.clear();
    g_Heroes.clear();
    cPlayDevice::TearDown();
  }
  // Sets the stage up at a speed level (N sub-steps a frame for levels 1 to 10).
  void SetUpStage(int speedLevel) {
    g_Stage.m_nSpeedLevel = speedLevel;
    g_StageCopy.TakePlayData(g_Stage);
    SetStage(0, 1);
  }
  static void Put(int column, int row, int hitMode, int effect = 0, int value = 0) {
    cEdBlock block;
    block.m_sGraphic = 1;
    block.m_nHitMode = static_cast<std::uint8_t>(hitMode);
    block.m_nEffect = static_cast<std::uint8_t>(effect);
    block.m_nEffectValue = value;
    SetMapCellBlock(*MapCellAtBlock(column, row), block);
  }
  static cEdChara Chara(int control, int column, int row) {
    cEdChara c;
    c.m_nControl = static_cast<std::uint8_t>(control);
    c.m_sGraphic = 1;
    c.m_sPosX = static_cast<std::int16_t>(column);
    c.m_sPosY = static_cast<std::int16_t>(row);
    c.m_nDropItem = -1;
    c.m_nGroup = static_cast<std::uint8_t>(control == 0 ? 0 : 1);
    return c;
  }

  cRestore<cStage> stage{g_Stage};
  cRestore<cStage> copy{g_StageCopy};
  cRestore<cSystemData> system{g_SystemData};
  cRestore<cPlayData> play{g_PlayData};
  cRestore<cPlayData> atStart{g_PlayDataAtStart};
  cRestore<cPlayData> prevAtStart{g_PrevPlayDataAtStart};
  cRestore<cReplayKeyLog> log{g_ReplayLog};
  cRestore<cReplayKeyLog> prevLog{g_PrevReplayLog};
  cRestore<cSceneManager> manager{g_SceneManager};
  cRestore<cVector<cInputState>> inputs{g_Inputs};
  cRestore<cVector<cMapCell>> cells{g_MapCells};
  cRestore<cVector<sCellHit>> hits{g_MapCellHits};
  cPlayScene scene;
};
