#pragma once
// The heavy stage of the frame benchmarks: 200 x 30 cells with a floor, 500 characters walking,
// flying or solid (50), about 100 of them on screen, each moving to and fro by its flows, and
// the hero (placement 0) at column 2.
#include <cstdint>

#include "content/command.h"
#include "content/flow.h"
#include "content/move.h"
#include "flows/move_cmds.h"
#include "project/stage.h"

// A straight-line move by direction for a second, at a pixel a frame.
inline cEdCmd MoveLine(int direction) {
  cEdCmd cmd;
  cmd.m_nKind = CMD_MOVE_LINE;
  cmd.m_sTime = 10;
  cmd.m_Params.assign(static_cast<std::size_t>(CmdParamCount(CMDSET_CHARA, CMD_MOVE_LINE)), 0);
  NewMove(cmd.m_pMove);
  cmd.m_pMove->m_nDirection = static_cast<std::int8_t>(direction);
  cmd.m_pMove->m_sSpeed = 10;
  return cmd;
}

// Left for a second, then right for a second, over and over.
inline cEdFlow ToAndFro() {
  cEdFlow flow;
  flow.m_Cmds.push_back(MoveLine(MOVEDIR_LEFT));
  flow.m_Cmds.push_back(MoveLine(MOVEDIR_RIGHT));
  return flow;
}

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
    if (i != 0) chara.m_Flows.assign(1, ToAndFro());
  }
}
