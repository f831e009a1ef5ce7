#pragma once
// What happens when objects meet: attack hits, pick-ups and the defeats that commands caused.
// Results: 0 play goes on, 1 the stage ends, 2 the hero is defeated.
#include "foundation/containers.h"
#include "objects/object_lists.h"

class cChara;
class cCharaBase;
class cEdItem;
class cHero;
class cItem;

// 2 for the player's object (its caller defeats the hero), 0 for one already finished, else
// 1 when its defeat ends the stage.
int DeathCheck(cCharaBase& object);
// The defeat of an object with the scene's reactions: 0 play goes on, 1 the stage ends, 2 the
// hero is defeated.
int DefeatObject(cCharaBase* object, cCharaList* list);

// The character a pass of the frame works on: while the guard lives, CheckDefeats does not
// free it but unlinks it, takes it out of its group list and marks it finished, and
// PassCharaRemoved says so; the pass frees it when it moves on.
struct sPassCharaGuard {
  explicit sPassCharaGuard(cChara* chara);
  ~sPassCharaGuard();
  sPassCharaGuard(const sPassCharaGuard&) = delete;
  sPassCharaGuard& operator=(const sPassCharaGuard&) = delete;
};
bool PassCharaRemoved();
// The characters whose HP commands took, and the removal requests; non-zero ends the frame.
int CheckDefeats(cCharaList& list);
// The attack hits of one sub-step: shots against characters, finished shots, characters
// against characters, shots against shots.
int AttackHits(cCharaList& list);
// Whether the hits search the groups by place (on at start); off, every scan walks all of a
// group's members.
void UseHitIndex(bool on);
// The effect of an item definition given to the hero by something other than an item of the
// stage (a block, a shot): a passing item object of number 0.
int ApplyItemDefEffect(cEdItem& def, cCharaBase& hero);
int PickUpItems(cHero& hero);
// Gives an item's effect to a character; 1 when the item asked for the stage to end.
int ApplyItemEffect(cItem& item, cCharaBase& hero);

// The system record's keep-defeated switch: a defeated character stays in its lists while its
// defeat effect plays.
int KeepDefeatedCharacters();
