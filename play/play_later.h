#pragma once
// Operations of stage play that the play scene calls and that later work completes: stage
// set-up, the stage end, the replays, the stage drawing, pictures, the screen effect and the
// play, pause, retry and game-over phases. Each has a stand-in body in play_later.cpp that
// does the least the scene needs; the work that completes one moves it to its own file and
// removes the stand-in.
//
// The stand-ins note every call in g_PlayLaterCalls, so that the order in which the scene
// calls them can be checked.
#include <string>
#include <vector>

#include "media/surface.h"
#include "play/scene_manager.h"
#include "play/stage_draw.h"

class cPlayScene;

// Stage set-up.
void SetStage(int bLoadStage, int bFresh);
// Stage end and the next stage.
void EndStage();
void EnterRanking();
eSceneId DecideNextStage();

extern std::vector<std::string> g_PlayLaterCalls;
