#pragma once
// STAND-INS. What the character base calls of the flow triggers, shots, effect animations,
// character effects and item effects, declared here under the names those parts will give
// them. Their bodies in objects_later.cpp are minimal and are replaced, one by one, when
// each part is built; this file then empties.
#include <cstdint>

#include "objects/object.h"

class cCharaBase;
class cEdCond;
class cItem;
class cShot;
struct sShotLink;

// Gives an item's effect to a character; 1 when the item asked for the stage to end.
int ApplyItemEffect(cItem& item, cCharaBase& hero);

