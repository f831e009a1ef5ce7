#pragma once
// Solid characters: the ones others stand on and are pushed by.
#include "foundation/containers.h"

class cChara;
class cCharaBase;

// Pushes the object out of the solid characters it overlaps; 2 when it is crushed.
int PushOutOfSolidCharacters(cCharaBase& object);
// The object rides a character and moves with it.
void RideAlong(cCharaBase& object);
// 1 when the object overlaps a solid character of the list (other than itself).
int OverlapsSolidCharacter(cCharaBase& object, cList<cChara>& list);
