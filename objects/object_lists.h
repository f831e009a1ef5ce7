#pragma once
// The type of the stage's character list, for headers that only name it. Its nodes come from a
// pool, so that the characters a stage sets up in one go lie in memory in the list's order.
#include "foundation/containers.h"
#include "foundation/node_pool.h"

class cChara;
using cCharaList = cList<cChara, cNodePool<cChara>>;
