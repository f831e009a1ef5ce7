// The behaviour of the sample's characters and items: the hero's flows that answer the
// player's keys, the slime's and the bird's flows, and the item commands of the coin, the
// heart and the goal.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "content/chara.h"
#include "content/command.h"
#include "content/flow.h"
#include "content/item.h"
#include "tools/sample_parts.h"

namespace sample {
namespace {

// The input tests of a key condition: directions from 0, buttons from 10.
constexpr int kKeyLeft = 1, kKeyRight = 2, kKeyButton1 = 11, kKeyButton2 = 12;
// Direction choices of a move.
constexpr int kDirForward = 0, kDirLeft = 2, kDirRight = 3;
constexpr int kDirUpLeft = 8, kDirDownLeft = 9, kDirUpRight = 10, kDirDownRight = 11;
// Status operation and condition vocabulary.
constexpr int kStatusHp = 1, kAssignAdd = 1, kScopeCommon = 0, kSysScore = 3;
constexpr int kCompareAtLeast = 2;
// Flow IDs.
constexpr int kWalkFlowId = 1;

cEdCmd Cmd(int kind, int tenths, bool parallel = false) {
  cEdCmd cmd;
  cmd.m_nCmdSet = CMDSET_CHARA;
  cmd.m_nKind = static_cast<std::int8_t>(kind);
  cmd.m_sTime = static_cast<std::int16_t>(tenths);
  cmd.m_bParallel = parallel ? 1 : 0;
  cmd.m_Params.assign(static_cast<std::size_t>(CmdParamCount(CMDSET_CHARA, kind)), 0);
  return cmd;
}

// An item command of a kind that stands for a character command.
cEdCmd ItemCmd(int charaKind) {
  cEdCmd cmd = Cmd(charaKind, 0);
  cmd.m_nCmdSet = CMDSET_ITEM;
  cmd.m_nKind = static_cast<std::int8_t>(charaKind - kItemCmdKindOffset);
  return cmd;
}

// A straight-line move by direction; speed in tenths of a pixel per frame.
cEdCmd Move(int direction, int speed, int tenths, bool parallel = false) {
  cEdCmd cmd = Cmd(CMD_MOVE_LINE, tenths, parallel);
  NewMove(cmd.m_pMove);
  cmd.m_pMove->m_nDirection = static_cast<std::int8_t>(direction);
  cmd.m_pMove->m_sSpeed = static_cast<std::int16_t>(speed);
  return cmd;
}

cEdKeyCond Keys(std::initializer_list<int> tests, eKeyState state, int mode = KEYCOND_ALL) {
  cEdKeyCond keys;
  for (int test : tests) keys.m_Keys[static_cast<std::size_t>(test)] = state;
  keys.m_bAnyDuration = 1;
  keys.m_nMode = static_cast<std::int8_t>(mode);
  return keys;
}

cEdFlow Flow(int trigger, std::initializer_list<cEdCmd> cmds) {
  cEdFlow flow;
  flow.m_nTrigger = static_cast<std::int8_t>(trigger);
  for (const cEdCmd& cmd : cmds) flow.m_Cmds.push_back(cmd);
  return flow;
}

cEdFlow KeyFlow(const cEdKeyCond& keys, bool whileHeld, std::initializer_list<cEdCmd> cmds) {
  cEdFlow flow = Flow(TRIGGER_ALWAYS, cmds);
  flow.m_KeyConds.push_back(keys);
  flow.m_bKeyRepeat = whileHeld ? 1 : 0;
  return flow;
}

// A message of the hero's: fixed on the screen at a block position, for a time in tenths
// (0: until the stage ends), its codes expanded and, when asked, kept up to date.
cEdCmd Message(const std::string& text, int blockX, int blockY, int tenths, bool refresh) {
  cEdCmd cmd = Cmd(CMD_MESSAGE, 0, true);
  cmd.m_strText = text;
  cmd.m_Params[0] = 7;  // at a screen position
  cmd.m_Params[1] = blockX;
  cmd.m_Params[2] = blockY;
  cmd.m_Params[6] = tenths > 0 ? 2 : 1;  // for a time, or until closed
  cmd.m_Params[7] = tenths;
  cmd.m_Params[9] = 1;  // expand the codes
  cmd.m_Params[10] = 1;
  cmd.m_Params[11] = refresh ? 1 : 0;
  cmd.m_Params[16] = refresh ? 6 : 0;
  return cmd;
}

// A status operation that adds a constant to a variable or to a status of the subject.
cEdCmd AddToVariable(cEdCmd cmd, int index, int amount) {
  cmd.m_Params[0] = 1;
  cmd.m_Params[1] = kScopeCommon;
  cmd.m_Params[2] = index;
  cmd.m_Params[5] = kAssignAdd;
  cmd.m_Params[7] = amount;
  return cmd;
}
cEdCmd AddToStatus(cEdCmd cmd, int object, int status, int amount) {
  cmd.m_Params[3] = object;
  cmd.m_Params[4] = status;
  cmd.m_Params[5] = kAssignAdd;
  cmd.m_Params[7] = amount;
  return cmd;
}

cEdShot& NewShotRecord(cEdCmd& cmd, int graphic, int speed, int lifetimeTenths) {
  NewShot(cmd.m_pShot);
  cEdShot& shot = *cmd.m_pShot;
  shot.m_nCount = 1;
  shot.m_nFormation = FORMATION_STRAIGHT_A;
  shot.m_nDirection = kDirForward;
  shot.m_sGraphic = static_cast<std::int16_t>(graphic);
  shot.m_sSpeed = static_cast<std::int16_t>(speed);
  shot.m_bLifetime = 1;
  shot.m_sLifetime = static_cast<std::int16_t>(lifetimeTenths);
  shot.m_nPower = 1;
  return shot;
}

}  // namespace

FlowVector HeroFlows() {
  FlowVector flows;
  // Walking: each flow runs a tenth of a second at a time while its key is held; letting go
  // of both keys stops them at once.
  cEdFlow left = KeyFlow(Keys({kKeyLeft}, KEY_PRESSED), true, {Move(kDirLeft, kHeroSpeed, 1)});
  left.m_nID = kWalkFlowId;
  flows.push_back(left);
  cEdFlow right = KeyFlow(Keys({kKeyRight}, KEY_PRESSED), true, {Move(kDirRight, kHeroSpeed, 1)});
  right.m_nID = kWalkFlowId;
  flows.push_back(right);
  cEdCmd stop = Cmd(CMD_FLOW_OP, 0);
  stop.m_Params = {FLOWOP_STOP, FLOWSEL_BY_ID, kWalkFlowId, 0};
  flows.push_back(KeyFlow(Keys({kKeyLeft, kKeyRight}, KEY_RELEASED), false, {stop}));

  // Jumping on button 1: the longer it is held, up to the full height, the higher the jump.
  cEdCmd jump = Cmd(CMD_JUMP, 0);
  jump.m_Params = {1, 0, kHeroJumpHalfBlocks, 0, 0};
  jump.m_sSound = SOUND_JUMP;
  flows.push_back(KeyFlow(Keys({kKeyButton1}, KEY_PRESSED), false, {jump}));

  // Shooting on button 2: one shot ahead, then a short rest.
  cEdCmd shot = Cmd(CMD_SHOT, 1);
  shot.m_sSound = SOUND_SHOT;
  NewShotRecord(shot, kShotGraphicHero, 80, 8);
  flows.push_back(KeyFlow(Keys({kKeyButton2}, KEY_PRESSED), false, {shot, Cmd(CMD_WAIT, 2)}));

  // Before the stage starts: the sign that names the keys, and the coin counter.
  flows.push_back(Flow(TRIGGER_BEFORE_STAGE_START,
                       {Message("←→ walk   Z jump   X shoot", 4, 6, 40, false),
                        Message("Coins #C1_3", 0, 14, 0, true)}));
  return flows;
}

FlowVector SlimeFlows() {
  FlowVector flows;
  // Walks along the ground, turning back at ledges...
  cEdCmd walk = Cmd(CMD_MOVE_GROUND, 10);
  NewMove(walk.m_pMove);
  walk.m_pMove->m_sSpeed = 8;
  flows.push_back(Flow(TRIGGER_ALWAYS, {walk}));
  // ...and at walls.
  cEdCmd turn = Cmd(CMD_TURN, 0);
  turn.m_Params[0] = 11;  // away from the block it ran into
  flows.push_back(Flow(TRIGGER_BLOCK_SIDE, {turn}));
  return flows;
}

FlowVector BirdFlows() {
  FlowVector flows;
  // Flies in a zigzag wave, three waves one way and three back.
  cEdCmd waveLeft = Cmd(CMD_LOOP, 0);
  waveLeft.m_Params = {3, 2};
  cEdCmd waveRight = waveLeft;
  flows.push_back(
      Flow(TRIGGER_ALWAYS, {waveLeft, Move(kDirUpLeft, 15, 5), Move(kDirDownLeft, 15, 5), waveRight,
                            Move(kDirUpRight, 15, 5), Move(kDirDownRight, 15, 5)}));
  // Now and then fires at the hero.
  cEdCmd fire = Cmd(CMD_SHOT, 1);
  cEdShot& shot = NewShotRecord(fire, kShotGraphicEnemy, 30, 40);
  shot.m_nGuide = GUIDE_AIM_HERO;
  flows.push_back(Flow(TRIGGER_ALWAYS, {Cmd(CMD_WAIT, 25), fire}));
  return flows;
}

CmdVector CoinCmds() {
  CmdVector cmds;
  cmds.push_back(AddToVariable(ItemCmd(CMD_STATUS_OP), kCoinVariable, 1));
  cmds.push_back(AddToStatus(ItemCmd(CMD_STATUS_OP), STATUS_OBJ_SYSTEM, kSysScore, 10));
  return cmds;
}

CmdVector HeartCmds() {
  CmdVector cmds;
  cmds.push_back(AddToStatus(ItemCmd(CMD_STATUS_OP), STATUS_OBJ_SELF, kStatusHp, 1));
  return cmds;
}

cEdCond CoinsAtLeast(int count) {
  cEdCond cond;
  cond.m_nKind = COND_COMMON_VAR;
  cond.m_nIndex = static_cast<std::int16_t>(kCoinVariable);
  cond.m_nOperator = kCompareAtLeast;
  cond.m_nConst = count;
  return cond;
}

}  // namespace sample
