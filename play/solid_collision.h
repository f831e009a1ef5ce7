#pragma once
// Solid characters: the ones others stand on, ride and are pushed by. A solid character, for
// every operation here, is a character of g_CharaList whose definition makes it a block, that
// is present and not finished, and whose object number differs from the tested object's.
#include "foundation/containers.h"
#include "objects/object_lists.h"

class cChara;
class cCharaBase;
struct sDRect;

// The nodes of the characters of g_CharaList whose definition makes them blocks, in list
// order, valid while g_nCharaChangeCount stays as it was when this was asked for.
const std::vector<cCharaList::iterator>& SolidCharaNodes();

// While a window is open, the solid characters are searched by place. It is opened where no
// solid character moves but through its own commands or by being made, set up or destroyed:
// the hero's step and the pass of the other characters.
class cSolidIndexWindow {
 public:
  cSolidIndexWindow();
  ~cSolidIndexWindow();
  cSolidIndexWindow(const cSolidIndexWindow&) = delete;
  cSolidIndexWindow& operator=(const cSolidIndexWindow&) = delete;
};
// Whether windows search by place (on at start); off, every search walks all solid characters.
void UseSolidIndex(bool on);

// How far two boxes reach into each other, per axis (both 0 when they do not overlap; an
// overlap gives at least 1 on each axis).
struct sPenetration {
  double dX = 0, dY = 0;
};
sPenetration Penetration(const sDRect& a, const sDRect& b);

// Pushes the object out of the solid characters it overlaps, lands it on them and keeps its
// ride; 2 when it is crushed, or, flying with block pass 2, killed by the touch.
int PushOutOfSolidCharacters(cCharaBase& object);
// After a push of one axis was refused: the other axis (vertical set, or not) against every
// solid character the object overlaps now, without triggers.
void ReprobeSolidAxis(cCharaBase& object, int vertical);
// 1 when each of the four corners of the object's box, now or at start, lies in a solid
// character.
int IsSqueezedBySolids(cCharaBase& object, const sDRect& start);
// The object rides a character and moves with it.
void RideAlong(cCharaBase& object);
// 1 when the object overlaps a solid character of the list (other than itself).
int OverlapsSolidCharacter(cCharaBase& object, cCharaList& list);
// The same over g_CharaList, also skipping the character numbered number.
int OverlapsOtherSolidCharacter(cCharaBase& object, int number);
// 1 when the solid character the object rides lies within 5 pixels below it (or touches it).
int IsOnRiddenCharacter(cCharaBase& object);
// That character, or null.
const cChara* RiddenBelow(const cCharaBase& object);
// The first solid character within 5 pixels below the object (or touching it), or null.
cChara* FindCharacterBelow(cCharaBase& object);
