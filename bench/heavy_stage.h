#pragma once
// The heavy stage of the frame benchmarks: 200 x 30 cells with a floor, 500 characters walking,
// flying or solid (50), all of them kept active wherever they are and about 100 of them on
// screen, each with a walking flow, a shooting flow and a flow that runs a line of code every
// frame, and the hero (placement 0) at column 2. Another count of characters keeps the
// density: the stage grows with the count (2 1/2 characters a column), a fifth of them (100
// at most) start in the view.
#include <cstdint>
#include <initializer_list>

#include "content/command.h"
#include "content/flow.h"
#include "content/move.h"
#include "content/shot.h"
#include "project/stage.h"

inline cEdCmd Command(int kind, int tenths) {
  cEdCmd cmd;
  cmd.m_nKind = static_cast<std::int8_t>(kind);
  cmd.m_sTime = static_cast<std::int16_t>(tenths);
  cmd.m_Params.assign(static_cast<std::size_t>(CmdParamCount(CMDSET_CHARA, kind)), 0);
  return cmd;
}

inline cEdFlow AlwaysFlow(std::initializer_list<cEdCmd> cmds) {
  cEdFlow flow;
  flow.m_nTrigger = TRIGGER_ALWAYS;
  for (const cEdCmd& cmd : cmds) flow.m_Cmds.push_back(cmd);
  return flow;
}

// Walking (along the ground, or straight ahead for a flyer), shooting now and then, and a
// line of code on every frame.
inline FlowVector HeavyFlows(bool flying) {
  cEdCmd walk = Command(flying ? CMD_MOVE_LINE : CMD_MOVE_GROUND, 10);
  NewMove(walk.m_pMove);
  walk.m_pMove->m_sSpeed = 8;
  cEdCmd shoot = Command(CMD_SHOT, 1);
  NewShot(shoot.m_pShot);
  shoot.m_pShot->m_nCount = 1;
  shoot.m_pShot->m_sSpeed = 30;
  shoot.m_pShot->m_sGraphic = 1;
  shoot.m_pShot->m_bLifetime = 1;
  shoot.m_pShot->m_sLifetime = 20;
  cEdCmd code = Command(CMD_CODE, 0);
  code.m_strText = "my.v1 = (my.v1 + tg.v1 * 3 + rand(0, 5)) % 1000";
  FlowVector flows;
  flows.push_back(AlwaysFlow({walk}));
  flows.push_back(AlwaysFlow({Command(CMD_WAIT, 30), shoot}));
  flows.push_back(AlwaysFlow({code}));
  return flows;
}

inline int HeavyStageWidth(int count) { return count < 100 ? 40 : count * 2 / 5; }

inline void BuildHeavyStage(int count = 500) {
  const int width = HeavyStageWidth(count);
  const int inView = count / 5 < 100 ? count / 5 : 100;
  g_Stage.SetDefault();
  g_Stage.m_nWidth = width;
  g_Stage.m_nHeight = 30;
  g_Stage.m_nScrollExtraX = width * 32;
  g_Stage.m_nScrollExtraY = 30 * 32;
  g_Stage.m_nSpeedLevel = 10;
  g_Stage.m_bTimeLimit = 0;
  g_Stage.m_PlacedBlocks.resize(static_cast<std::size_t>(width));
  for (int i = 0; i < width; ++i) {
    cEdBlock& block = g_Stage.m_PlacedBlocks[i];
    block.m_sPosX = static_cast<std::int16_t>(i);
    block.m_sPosY = 29;
    block.m_sGraphic = 1;
  }
  g_Stage.m_PlacedCharas.resize(static_cast<std::size_t>(count) + 1);
  for (int i = 0; i <= count; ++i) {
    cEdChara& chara = g_Stage.m_PlacedCharas[i];
    chara.m_sGraphic = 1;
    chara.m_nControl = i == 0 ? 0 : 1;
    chara.m_nGroup = static_cast<std::uint8_t>(i == 0 ? 0 : 1 + i % 3);
    // The first ones start in the view's 20 columns, the others anywhere along the stage.
    chara.m_sPosX =
        static_cast<std::int16_t>(i == 0 ? 2 : i <= inView ? (i * 7) % 20 : (i * 7) % width);
    chara.m_sPosY = static_cast<std::int16_t>(5 + i % 20);
    chara.m_nFlyMode = static_cast<std::uint8_t>(i != 0 && i % 3 == 0 ? 2 : 0);
    chara.m_bNoHitBox = static_cast<std::uint8_t>(i != 0 && i % 10 == 0 ? 1 : 0);
    chara.m_nDropItem = -1;
    // Active wherever they are: the whole stage is their activity area.
    if (i != 0) chara.m_nActiveRange = 3;
    if (i != 0) chara.m_Flows = HeavyFlows(chara.m_nFlyMode != 0);
  }
}
