#pragma once
// The heavy stage of the frame benchmarks: 200 x 30 cells with a floor, 500 characters walking,
// flying or solid (50), about 100 of them on screen, and the hero (placement 0) at column 2.
#include <cstdint>

#include "project/stage.h"

inline void BuildHeavyStage() {
  g_Stage.SetDefault();
  g_Stage.m_nWidth = 200;
  g_Stage.m_nHeight = 30;
  g_Stage.m_nScrollExtraX = 200 * 32;
  g_Stage.m_nScrollExtraY = 30 * 32;
  g_Stage.m_nSpeedLevel = 10;
  g_Stage.m_bTimeLimit = 0;
  g_Stage.m_PlacedBlocks.resize(200);
  for (int i = 0; i < 200; ++i) {
    cEdBlock& block = g_Stage.m_PlacedBlocks[i];
    block.m_sPosX = static_cast<std::int16_t>(i);
    block.m_sPosY = 29;
    block.m_sGraphic = 1;
  }
  g_Stage.m_PlacedCharas.resize(501);
  for (int i = 0; i < 501; ++i) {
    cEdChara& chara = g_Stage.m_PlacedCharas[i];
    chara.m_sGraphic = 1;
    chara.m_nControl = i == 0 ? 0 : 1;
    chara.m_nGroup = static_cast<std::uint8_t>(i == 0 ? 0 : 1 + i % 3);
    chara.m_sPosX = static_cast<std::int16_t>(i == 0 ? 2 : (i * 7) % 200);
    chara.m_sPosY = static_cast<std::int16_t>(5 + i % 20);
    chara.m_nFlyMode = static_cast<std::uint8_t>(i != 0 && i % 3 == 0 ? 2 : 0);
    chara.m_bNoHitBox = static_cast<std::uint8_t>(i != 0 && i % 10 == 0 ? 1 : 0);
    chara.m_nDropItem = -1;
  }
}
