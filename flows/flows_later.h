#pragma once
// STAND-INS. The executors of the command kinds 17 to 38, the arrange application and the
// flows' start conditions, declared under the names their own work gives them. The bodies
// in flows_later.cpp do the least the flows need (nothing, or the stage clear's answer 1);
// each goes when its work is built, and this file then empties.
#include "foundation/containers.h"

class cCharaBase;
class cCmdRun;
class cEdCmd;
class cFlowRun;

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
