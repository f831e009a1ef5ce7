#pragma once
// STAND-INS. What stage set-up calls of the hero, the items, the placement of characters and
// items, the appearance update, the defeat of a character and the replay files, declared
// under the names their own work gives them (members become members there). The bodies in
// setup_later.cpp do the least a stage needs to be set up and played; each goes when its own
// work is built.
#include <cstdint>
#include <string>

#include "foundation/containers.h"

class cChara;
class cCharaBase;
class cEdChara;
class cEdItem;
class cHero;
class cItem;
class cPlayScene;
class cPlayData;
class cReplayKeyLog;
class cStage;

// Reads a replay file: the stage into stage and second, the key log and the progress; 1 or 0.
int LoadReplayFile(cReplayKeyLog& log, const std::string& path, cStage& stage, cStage& second,
                   cPlayData& progress);
