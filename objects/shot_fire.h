#pragma once
// Firing a whole pattern of shots, and summoning characters, items or blocks in the same
// patterns: a firing lays one formation out in a volley record per copy and puts one object
// at each of its points.
#include <cstdint>

#include "content/shot.h"
#include "foundation/containers.h"
#include "objects/shot.h"

class cCharaBase;
class cCmdRun;
class cObject;

// Degrees to radians as firing and the movement commands' angles convert them (the program's
// own factor, a little below the exact pi / 180).
inline constexpr double kAngleDegToRad = 0.017453292519943278;

// The angle of each direction code 0 to 11 (0 left, 90 up, 180 right, 270 down; codes 0, 1,
// 4 and 5 have 0), in degrees, as doubles and as integers.
extern const double g_DirAngle[12];
extern const std::int32_t g_DirAngleInt[12];

// One formation: lays the record out and puts an object at each point (list: the shot list,
// or none for the summons).
using FormationHandler = void (*)(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def,
                                  sVolley& volley);
extern const FormationHandler g_FormationFunc[FORMATION_COUNT];

void FireStraightA(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def,
                   sVolley& volley);
void FireStraightB(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def,
                   sVolley& volley);
void FireSpread(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def, sVolley& volley);
void FireThunder(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def,
                 sVolley& volley);
void FireExplosion(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def,
                   sVolley& volley);
void FireSurround(cShotList* list, cCharaBase& owner, cCmdRun& run, cEdShot& def,
                  sVolley& volley);

// Fires the definition's formation once per copy into the shot list.
void FireShot(cShotList& list, cCharaBase& owner, cCmdRun& run, cEdShot& def);
// One copy of the formation of palette entries; nothing for an index outside the palette's
// list (or, for characters, a player-controlled definition).
void SummonCharaFromPalette(cCharaBase& owner, cCmdRun& run, cEdShot& params);
void SummonItemFromPalette(cCharaBase& owner, cCmdRun& run, cEdShot& params);
void SummonBlockFromPalette(cCharaBase& owner, cCmdRun& run, cEdShot& params);

// Creates the object of the run's command kind at the record's spawn point: a shot (11), a
// block change (13), a character (14) or an item (15).
void SpawnAt(cShotList* list, sVolley& volley, cCharaBase& owner, cCmdRun& run, cEdShot& def);
// Whole degrees from the map point (x, y) toward the owner's aim target; with a target that
// moves with the scrolling screen, the lead angle, and the record's speed becomes the speed
// the lead needs.
int AimAngle(double x, double y, cCharaBase& owner, cEdShot& def, sVolley& volley);
// The direction code of a definition's direction choice for an object's facing.
int ShotDirCode(int choice, int facing);

// The layouts: base point, steps and velocity of a formation, launch offsets added.
void LayoutStraightA(sVolley& v, const cEdShot& def, const cObject& owner);
void LayoutStraightAAngled(sVolley& v, cEdShot& def, cCharaBase& owner);
void LayoutStraightB(sVolley& v, const cEdShot& def, const cObject& owner);
void LayoutStraightBAngled(sVolley& v, cEdShot& def, cCharaBase& owner);
void LayoutSpread(sVolley& v, const cEdShot& def, const cObject& owner);
void LayoutSpreadAngled(sVolley& v, cEdShot& def, cCharaBase& owner);
void LayoutThunder(sVolley& v, const cEdShot& def, const cObject& owner, const cObject& ref);
void LayoutThunderAngled(sVolley& v, const cEdShot& def, const cObject& owner, const cObject& ref);
void LayoutAtOwnerCentre(sVolley& v, const cEdShot& def, const cObject& owner);
// The base point beside the owner in the direction theta (degrees).
void PlaceRotatedFromOwner(sVolley& v, const cObject& owner, double theta);
