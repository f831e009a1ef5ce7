#pragma once
// The large stage of the stage benchmarks: 1,000 x 100 map cells each holding a placed block,
// 500 placed characters with flows (the first one the hero) and 200 placed items.
#include <cstdint>

#include "project/stage.h"

inline void BuildLargeStage() {
  g_Stage.SetDefault();
  g_Stage.m_nWidth = 1000;
  g_Stage.m_nHeight = 100;
  g_Stage.m_PalBlocks.resize(20);
  g_Stage.m_PalCharas.resize(20);
  g_Stage.m_PalItems.resize(10);
  g_Stage.m_PlacedBlocks.resize(1000 * 100);
  for (int i = 0; i < 1000 * 100; ++i) {
    cEdBlock& block = g_Stage.m_PlacedBlocks[i];
    block.m_sPosX = static_cast<std::int16_t>(i % 1000);
    block.m_sPosY = static_cast<std::int16_t>(i / 1000);
    block.m_sGraphic = static_cast<std::int16_t>(1 + i % 40);
  }
  g_Stage.m_PlacedCharas.resize(500);
  for (int i = 0; i < 500; ++i) {
    cEdChara& chara = g_Stage.m_PlacedCharas[i];
    chara.m_sGraphic = 1;
    chara.m_nControl = i == 0 ? 0 : 1;
    chara.m_nBasePalette = 2;
    chara.m_sBaseIndex = static_cast<std::int16_t>(1 + i % 19);
    chara.m_Inherit[23] = 1;
    chara.m_Conds.resize(1);
    chara.m_Flows.resize(3);
    for (cEdFlow& flow : chara.m_Flows) {
      flow.m_nTrigger = 3;
      flow.m_Conds.resize(2);
      flow.m_Cmds.resize(4);
    }
  }
  g_Stage.m_PlacedItems.resize(200);
  for (cEdItem& item : g_Stage.m_PlacedItems) {
    item.m_sGraphic = 3;
    item.m_Cmds.resize(2);
  }
  g_Stage.m_VarNames.resize(1000);
}
