// STAND-INS: the least the flows need of the executors and services declared in
// flows_later.h. Each goes when its own work is built.
#include "flows/flows_later.h"

#include "content/command.h"
#include "content/flow.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"

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
