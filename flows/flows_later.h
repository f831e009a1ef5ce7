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

