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
class cCharaBase;
class cChara;
class cHero;
class cItem;

// Stage set-up.
void SetStage(int bLoadStage, int bFresh);
// Stage end and the next stage.
void EndStage();
void EnterRanking();
eSceneId DecideNextStage();
// The running screen effect applied to the frame.
void RunScreenEffect(cPlayScene* scene, int frozen);

// Drawing of the play objects. Completed as the members cCharaBase::RunEndEffect (1 when the
// end effect is over), cCharaBase::Draw and cHero::Draw, cCharaBase::DrawHPGauge and
// DrawSPGauge, cCharaBase::UpdateAnimes, cCharaBase::RunCharaEffect, the character's icon,
// cHero::DrawLight, the item's carried flag, drawing layer and cItem::Draw, and the activity
// of a character off screen.
int RunEndEffect(cCharaBase& chara);
void DrawCharaBody(cCharaBase& chara, DDSURFACEDATA* dst, int bStopped);
void DrawGauges(cCharaBase& chara);
void UpdateAnimes(cCharaBase& chara, int advance);
void RunCharaEffect(cCharaBase& chara, int draw);
void DrawCharaIcon(cChara& chara);
int IsCharaActive(const cChara& chara);
int ItemLayer(const cItem& item);

extern std::vector<std::string> g_PlayLaterCalls;
