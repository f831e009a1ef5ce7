// STAND-INS: the least the flows need of the executors and services declared in
// flows_later.h. Each goes when its own work is built.
#include "flows/flows_later.h"

#include "content/command.h"
#include "content/flow.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"

void ExecCmd_MoveCharge(cCharaBase*, cCmdRun&) {}
void ExecCmd_MoveHoming(cCharaBase*, cCmdRun&) {}
void ExecCmd_Shot(cCharaBase*, cCmdRun&) {}
void ExecCmd_Sword(cCharaBase*, cCmdRun&) {}
void ExecCmd_SummonBlock(cCharaBase*, cCmdRun&) {}
void ExecCmd_SummonChara(cCharaBase*, cCmdRun&) {}
void ExecCmd_SummonItem(cCharaBase*, cCmdRun&) {}
void ExecCmd_FlowOp(cCharaBase*, cCmdRun&) {}

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
