#pragma once
// STAND-INS. The executors of the command kinds, the arrange application, the flows' start
// conditions and the hero's queue of deferred flow changes, declared under the names their
// own work gives them. The bodies in flows_later.cpp do the least the flows need (nothing,
// or the stage clear's answer 1); each goes when its work is built, and this file then
// empties.
#include "foundation/containers.h"

class cCharaBase;
class cCmdRun;
class cEdCmd;
class cFlowRun;

// Kinds 2 to 16: executors that keep their state in the command instance.
void ExecCmd_MoveCharge(cCharaBase* chara, cCmdRun& run);
void ExecCmd_MoveHoming(cCharaBase* chara, cCmdRun& run);
void ExecCmd_Shot(cCharaBase* chara, cCmdRun& run);
void ExecCmd_Sword(cCharaBase* chara, cCmdRun& run);
void ExecCmd_SummonBlock(cCharaBase* chara, cCmdRun& run);
void ExecCmd_SummonChara(cCharaBase* chara, cCmdRun& run);
void ExecCmd_SummonItem(cCharaBase* chara, cCmdRun& run);
void ExecCmd_FlowOp(cCharaBase* chara, cCmdRun& run);

// Kinds 17 to 38: bodies shared with the item commands.
void ExecChangeGraphic(cCharaBase* chara, cEdCmd& cmd);
void ExecChangeAnimeSet(cCharaBase* chara, cEdCmd& cmd);
void ExecPlayAnime(cCharaBase* chara, cEdCmd& cmd);
void ExecEffect(cCharaBase* chara, cEdCmd& cmd);
void ExecCharaEffect(cCharaBase* chara, cEdCmd& cmd);
void ExecScreenEffect(cCharaBase* chara, cEdCmd& cmd);
void ExecShowPicture(cCharaBase* chara, cEdCmd& cmd);
void ExecScreenColor(cCharaBase* chara, cEdCmd& cmd);
void ExecBackground(cCharaBase* chara, cEdCmd& cmd);
void ExecSound(cCharaBase* chara, cEdCmd& cmd);
void ExecBgm(cCharaBase* chara, cEdCmd& cmd);

// The hero's queue of flow changes taken while its own flows run: appended to during the
// hero's flow pass, replayed (deferred) and emptied after it.
void QueueHeroItemCmd(cCharaBase& hero, const cEdCmd& cmd);
void ReplayHeroItemCmds(cCharaBase& hero);
