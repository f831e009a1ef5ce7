#pragma once
// Stage set-up: builds the running stage of the play scene from the loaded stage record, every
// time the stage is entered, retried or started again.
#include <cstdint>

#include "foundation/containers.h"

class cStage;

// bLoadStage 1: the stage's play data is first restored from its kept copy (a retry or a
// restart; in a replay the replay file is read again). bFresh 1: a fresh entry, which asks
// for the stage's music unless the stage keeps music that already plays; 0: a retry, which
// keeps the stage's music when it plays already.
void SetStage(int bLoadStage, int bFresh);

// The sub-steps of a frame (N of them) in which attacks are tested, for m tests per frame:
// 1 where a test runs. m of 0 or less tests every sub-step.
cVector<std::int32_t> BuildAttackHitSteps(int n, int m);

// The music to ask for at set-up, or -1 for none: current is the music playing, stage the
// stage's own, keep its keep-music setting.
int StageMusicRequest(int bFresh, int keep, int current, int stage);

// The stage record's play data (settings, layers, names, erase areas, result switches)
// taken from the kept copy; the definition lists stay.
void RestoreStagePlayData(cStage& stage, const cStage& copy);
