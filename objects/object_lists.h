#pragma once
// The types of the stage's character and shot lists, for headers that only name them. Their
// nodes come from pools, so that the objects a stage sets up in one go lie in memory in the
// list's order.
#include "foundation/containers.h"
#include "foundation/node_pool.h"

class cChara;
class cShot;
using cCharaList = cList<cChara, cNodePool<cChara>>;
using cShotList = cList<cShot, cNodePool<cShot>>;
