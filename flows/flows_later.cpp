// STAND-INS: the least the flows need of the executors and services declared in
// flows_later.h. Each goes when its own work is built.
#include "flows/flows_later.h"

#include "content/command.h"
#include "content/flow.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"

void ExecCmd_MoveLine(cCharaBase*, cCmdRun&) {}
void ExecCmd_MoveGround(cCharaBase*, cCmdRun&) {}
void ExecCmd_MoveCircle(cCharaBase*, cCmdRun&) {}
void ExecCmd_MoveCharge(cCharaBase*, cCmdRun&) {}
void ExecCmd_MoveHoming(cCharaBase*, cCmdRun&) {}
void ExecCmd_MoveAvoidOffscreen(cCharaBase*, cCmdRun&) {}
void ExecCmd_MoveDisable(cCharaBase*, cCmdRun&) {}
void ExecCmd_Turn(cCharaBase*, cCmdRun&) {}
void ExecCmd_Jump(cCharaBase*, cCmdRun&) {}
void ExecCmd_Shot(cCharaBase*, cCmdRun&) {}
void ExecCmd_Sword(cCharaBase*, cCmdRun&) {}
void ExecCmd_SummonBlock(cCharaBase*, cCmdRun&) {}
void ExecCmd_SummonChara(cCharaBase*, cCmdRun&) {}
void ExecCmd_SummonItem(cCharaBase*, cCmdRun&) {}
void ExecCmd_FlowOp(cCharaBase*, cCmdRun&) {}

// The stage ends, so that a stage can be played to its goal before the next-stage choice
// is built.
int ExecStageClear(cCharaBase*, cEdCmd&) { return 1; }
void ExecGameWait(cCharaBase*, cEdCmd&) {}
void ExecMessage(cCharaBase*, cEdCmd&, int) {}
void ExecWarp(cCharaBase*, cEdCmd&) {}
void ExecSetTarget(cCharaBase*, cEdCmd&) {}
void ExecStatusOperation2(cCharaBase*, cEdCmd&) {}
void ExecVanish(cCharaBase*, cEdCmd&) {}
void ExecGetItem(cCharaBase*, cEdCmd&) {}
void ExecChangeGraphic(cCharaBase*, cEdCmd&) {}
void ExecChangeAnimeSet(cCharaBase*, cEdCmd&) {}
void ExecPlayAnime(cCharaBase*, cEdCmd&) {}
void ExecEffect(cCharaBase*, cEdCmd&) {}
void ExecCharaEffect(cCharaBase*, cEdCmd&) {}
void ExecScreenEffect(cCharaBase*, cEdCmd&) {}
void ExecShowPicture(cCharaBase*, cEdCmd&) {}
void ExecScreenColor(cCharaBase*, cEdCmd&) {}
void ExecBackground(cCharaBase*, cEdCmd&) {}
void ExecSound(cCharaBase*, cEdCmd&) {}
void ExecBgm(cCharaBase*, cEdCmd&) {}

namespace {
cVector<cEdCmd> s_PendingItemCmds;
}

void QueueHeroItemCmd(cCharaBase&, const cEdCmd& cmd) { s_PendingItemCmds.push_back(cmd); }

void ReplayHeroItemCmds(cCharaBase& hero) {
  cVector<cEdCmd> queue;
  queue.swap(s_PendingItemCmds);
  for (cEdCmd& cmd : queue) ItemCmd_FlowOperation(&hero, cmd, 1);
}
