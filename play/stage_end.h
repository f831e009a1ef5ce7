#pragma once
// The end of a cleared stage: the tally of its results into the progress record with the
// extra lives it earns, the ranking registration, and the choice of what follows (the next
// part of a stage made of several files, the world map, the challenge list, the title or the
// same stage again). EndStage, EnterRanking and DecideNextStage act on the play scene in
// g_pPlayScene and do nothing without one.
#include <string>

#include "play/scene_manager.h"

class cPlayScene;

// Once, in the frame in which the stage is cleared: the tally, then the ranking positions
// the result reaches.
void EndStage();
// Adds the stage's five results to the totals and gives the extra lives they earn, each shown
// by its sign for 30 still frames.
void TallyScore(cPlayScene& scene);
// Registers the result once per stage end when it reaches a table, then shows the ranking.
void EnterRanking();
// The scene that follows a confirmed stage end; loads the next part when there is one.
eSceneId DecideNextStage();
// The file of part part of the stage (or of the file the stage command named): 1 and its
// newest numbered variant in out; 0 and an empty out when there is none.
int MakeNextStageName(const cPlayScene& scene, std::string& out, int part);
