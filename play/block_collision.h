#pragma once
// The contact of the hero and the characters with the map's blocks, per axis and sub-step,
// the holds at the screen's edges, and the blocks' effects on the hero. Results: 0 play goes
// on (or the object was stopped), 2 the block kills the object; GiveBlockItem also 1, the
// stage ends. Hit modes compare as signed bytes: the higher mode wins a probe.
#include <cstdint>

class cCharaBase;
class cHero;

// The cell on one edge of a box (x1 = x2 a vertical edge, y1 = y2 a horizontal one; anything
// else, or a size below 0, gives cell 0), sampled by the object's size; mode receives the
// winning cell's hit mode. Each sample probes its cell once.
std::int64_t FindCellOnEdge(const cCharaBase& object, int x1, int y1, int x2, int y2, int& mode);
// The cell under the hero's feet, the one nearest the middle among the highest modes; a size
// below 1 gives cell 0.
std::int64_t FindFloorCell(const cCharaBase& object);
// The corner cell of the highest hit mode (the first on ties), its mode in mode.
std::int64_t FindCornerCell(const cCharaBase& object, int left, int top, int right, int bottom,
                            int& mode);

int HitBlockLeft(cCharaBase& object);
int HitBlockRight(cCharaBase& object);
int HitBlockTop(cCharaBase& object);
int HitBlockBottom(cCharaBase& object);
int HitBlockSides(cCharaBase& object);
int HitBlockTopBottom(cCharaBase& object);
int HitBlockSidesAgain(cCharaBase& object);
int HitBlockTopBottomAgain(cCharaBase& object);
// The holds of the hero at the screen's edges while the axis scrolls by itself or the hero
// flies; KeepInScreenY gives 2 when the screen pushed a walking hero out at the bottom.
int KeepInScreenX(cCharaBase& object);
int KeepInScreenY(cCharaBase& object);
void ApplyBlockEffect(cHero& hero);
int GiveBlockItem(cHero& hero);
// Settles an object on the ground after a block effect.
void StickToGround(cCharaBase& object);
// 1 when the object's corner cells stop it or it overlaps a solid character.
int IsPlaceBlocked(cCharaBase& object);
