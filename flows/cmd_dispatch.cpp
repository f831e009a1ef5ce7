#include "flows/cmd_dispatch.h"

#include "content/command.h"
#include "flows/cmd_params.h"
#include "flows/flow_run.h"
#include "flows/move_cmds.h"
#include "flows/present_cmds.h"
#include "flows/run_code.h"
#include "flows/shot_cmds.h"
#include "flows/stage_cmds.h"
#include "flows/status_ops.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"

namespace {

void DoNothing(cCharaBase*, cCmdRun&) {}

// ---- kinds 17 to 38: wrappers passing the command definition to the shared bodies ----

void CmdStageClear(cCharaBase* chara, cCmdRun& run) {
  const int end = ExecStageClear(chara, *run.m_pCmd);
  if (g_pPlayScene) g_pPlayScene->m_nStageEndReq = end;
}
void CmdGameWait(cCharaBase* chara, cCmdRun& run) { ExecGameWait(chara, *run.m_pCmd); }
void CmdMessage(cCharaBase* chara, cCmdRun& run) {
  cFlowRun* flow = CurFlow();
  ExecMessage(chara, *run.m_pCmd, flow ? flow->m_bKeyWaitMsg : 0);
}
void CmdWarp(cCharaBase* chara, cCmdRun& run) { ExecWarp(chara, *run.m_pCmd); }
void CmdSetTarget(cCharaBase* chara, cCmdRun& run) { ExecSetTarget(chara, *run.m_pCmd); }
void CmdStatusOp(cCharaBase* chara, cCmdRun& run) { ExecStatusOperation(chara, *run.m_pCmd); }
void CmdStatusOp2(cCharaBase* chara, cCmdRun& run) { ExecStatusOperation2(chara, *run.m_pCmd); }
void CmdVanish(cCharaBase* chara, cCmdRun& run) { ExecVanish(chara, *run.m_pCmd); }
void CmdGetItem(cCharaBase* chara, cCmdRun& run) { ExecGetItem(chara, *run.m_pCmd); }
void CmdChangeGraphic(cCharaBase* chara, cCmdRun& run) { ExecChangeGraphic(chara, *run.m_pCmd); }
void CmdChangeAnimeSet(cCharaBase* chara, cCmdRun& run) { ExecChangeAnimeSet(chara, *run.m_pCmd); }
void CmdPlayAnime(cCharaBase* chara, cCmdRun& run) {
  const cFlowRun* flow = CurFlow();
  ExecPlayAnime(chara, *run.m_pCmd, flow ? flow->m_nSerial : -1);
}
void CmdEffect(cCharaBase* chara, cCmdRun& run) { ExecEffect(chara, *run.m_pCmd); }
void CmdCharaEffect(cCharaBase* chara, cCmdRun& run) { ExecCharaEffect(chara, *run.m_pCmd); }
void CmdScreenEffect(cCharaBase* chara, cCmdRun& run) { ExecScreenEffect(chara, *run.m_pCmd); }
void CmdShowPicture(cCharaBase* chara, cCmdRun& run) { ExecShowPicture(chara, *run.m_pCmd); }
void CmdScreenColor(cCharaBase* chara, cCmdRun& run) { ExecScreenColor(chara, *run.m_pCmd); }
void CmdBackground(cCharaBase* chara, cCmdRun& run) { ExecBackground(chara, *run.m_pCmd); }
void CmdSound(cCharaBase* chara, cCmdRun& run) { ExecSound(chara, *run.m_pCmd); }
void CmdBgm(cCharaBase* chara, cCmdRun& run) { ExecBgm(chara, *run.m_pCmd); }
void CmdRunCode(cCharaBase* chara, cCmdRun& run) { ExecRunCode(chara, *run.m_pCmd); }
void CmdArrange(cCharaBase* chara, cCmdRun& run) { ExecArrange(chara, *run.m_pCmd); }

// ---- item kinds ----

int ItemNothing(cCharaBase*, cEdCmd&) { return 0; }
int ItemFlowChange(cCharaBase* chara, cEdCmd& cmd) {
  ItemCmd_FlowOperation(chara, cmd, 0);
  return 0;
}
int ItemStageClear(cCharaBase* chara, cEdCmd& cmd) { return ExecStageClear(chara, cmd); }
int ItemMessage(cCharaBase* chara, cEdCmd& cmd) {
  ExecMessage(chara, cmd, g_pPlayScene ? g_pPlayScene->m_bItemMsg : 0);
  if (g_pPlayScene) g_pPlayScene->m_bItemMsg = 1;
  return 0;
}
int ItemPlayAnime(cCharaBase* chara, cEdCmd& cmd) {
  ExecPlayAnime(chara, cmd, -1);
  return 0;
}
template <void (*Body)(cCharaBase*, cEdCmd&)>
int ItemBody(cCharaBase* chara, cEdCmd& cmd) {
  Body(chara, cmd);
  return 0;
}

}  // namespace

CmdExecutor CmdExecFunc[CMD_KIND_COUNT] = {
    DoNothing,                   // 0 none
    DoNothing,                   // 1 wait: the command only takes its time
    ExecCmd_MoveLine,            // 2
    ExecCmd_MoveGround,          // 3
    ExecCmd_MoveCircle,          // 4
    ExecCmd_MoveCharge,          // 5
    ExecCmd_MoveHoming,          // 6
    ExecCmd_MoveAvoidOffscreen,  // 7
    ExecCmd_MoveDisable,         // 8
    ExecCmd_Turn,                // 9
    ExecCmd_Jump,                // 10
    ExecCmd_Shot,                // 11
    ExecCmd_Sword,               // 12
    ExecCmd_SummonBlock,         // 13
    ExecCmd_SummonChara,         // 14
    ExecCmd_SummonItem,          // 15
    ExecCmd_FlowOp,              // 16
    CmdStageClear,               // 17
    CmdGameWait,                 // 18
    CmdMessage,                  // 19
    CmdWarp,                     // 20
    CmdSetTarget,                // 21
    CmdStatusOp,                 // 22
    CmdStatusOp2,                // 23
    CmdVanish,                   // 24
    CmdGetItem,                  // 25
    CmdChangeGraphic,            // 26
    CmdChangeAnimeSet,           // 27
    CmdPlayAnime,                // 28
    CmdEffect,                   // 29
    CmdCharaEffect,              // 30
    CmdScreenEffect,             // 31
    CmdShowPicture,              // 32
    CmdScreenColor,              // 33
    CmdBackground,               // 34
    CmdSound,                    // 35
    CmdBgm,                      // 36
    CmdRunCode,                  // 37
    CmdArrange,                  // 38
    DoNothing,                   // 39 loop: expanded when the flows are set up
};

ItemCmdHandler ItemCmdFunc[ITEMCMD_KIND_COUNT] = {
    ItemNothing,                     // 0 none
    ItemFlowChange,                  // 1 flow change
    ItemStageClear,                  // 2 stage clear: ends the list
    ItemBody<ExecGameWait>,          // 3
    ItemMessage,                     // 4
    ItemBody<ExecWarp>,              // 5
    ItemBody<ExecSetTarget>,         // 6
    ItemBody<ExecStatusOperation>,   // 7
    ItemBody<ExecStatusOperation2>,  // 8
    ItemBody<ExecVanish>,            // 9
    ItemBody<ExecGetItem>,           // 10
    ItemBody<ExecChangeGraphic>,     // 11
    ItemBody<ExecChangeAnimeSet>,    // 12
    ItemPlayAnime,                   // 13
    ItemBody<ExecEffect>,            // 14
    ItemBody<ExecCharaEffect>,       // 15
    ItemBody<ExecScreenEffect>,      // 16
    ItemBody<ExecShowPicture>,       // 17
    ItemBody<ExecScreenColor>,       // 18
    ItemBody<ExecBackground>,        // 19
    ItemBody<ExecSound>,             // 20
    ItemBody<ExecBgm>,               // 21
    ItemBody<ExecRunCode>,           // 22
    ItemBody<ExecArrange>,           // 23 (queued on the hero)
    ItemNothing,                     // 24 loop
};

std::uint64_t g_nCmdRunCount = 0;
std::uint64_t g_nSolidCmdRunCount = 0;
const cCharaBase* g_CmdRunners[kCmdRunnerLog] = {};

namespace {

void CountCmdRun(const cCharaBase* chara) {
  g_CmdRunners[g_nCmdRunCount % kCmdRunnerLog] = chara;
  ++g_nCmdRunCount;
  if (chara && chara->PassDef().bSolid) ++g_nSolidCmdRunCount;
}

}  // namespace

void ExecCmd(cCharaBase* chara, cCmdRun& run) {
  CountCmdRun(chara);
  if (!run.m_pCmd) return;
  run.KeepTraits();
  const int kind = run.m_nCmdKind;
  if (kind < 0 || kind >= CMD_KIND_COUNT) return;  // a kind this program does not know
  CmdExecFunc[kind](chara, run);
}

int ExecItemCmd(cCharaBase* chara, cEdCmd& cmd) {
  CountCmdRun(chara);
  const int kind = cmd.m_nKind;
  if (kind < 0 || kind >= ITEMCMD_KIND_COUNT) return 0;
  return ItemCmdFunc[kind](chara, cmd);
}

void ItemCmd_FlowOperation(cCharaBase* chara, cEdCmd& cmd, int bDeferred) {
  cCharaBase* current = CurChara();
  if (!bDeferred && current && !g_Heroes.empty() && current == &g_Heroes.front()) {
    // The hero is walking its own flows: the change waits until the walk is over.
    g_Heroes.front().QueueItemCmd(cmd);
    return;
  }
  if (!chara) return;
  switch (CmdParam(cmd, 0)) {
    case 0:  // add
      SetupFlows(*chara, cmd.m_Flows, 1, -1);
      break;
    case 1: {  // change: the new flows stand where the first removed one stood
      const int at = RemoveFlowsById(*chara, static_cast<std::int8_t>(CmdParam(cmd, 1)));
      SetupFlows(*chara, cmd.m_Flows, 1, at);
      break;
    }
    case 2:  // delete
      RemoveFlowsById(*chara, static_cast<std::int8_t>(CmdParam(cmd, 1)));
      break;
    default:
      break;
  }
}
