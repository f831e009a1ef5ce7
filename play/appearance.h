#pragma once
// Whether the blocks, characters and items of a stage are there, and whether a flow may
// start, by their condition lists: a thing whose conditions fail counts as absent. A list
// with the check-once switch is tested until it first passes and passes from then on.
class cCharaBase;
class cChara;
class cFlowRun;
class cItem;
class cMapCell;

// A map cell's block, tested for the player's hero; ChangeBlock clears its latch.
int CheckBlockAppearance(cMapCell& cell);
// A character, tested for itself.
int CheckCharaAppearance(cChara& chara);
// An item, tested for the player's hero.
int CheckItemAppearance(cItem& item);
// A flow's start conditions, tested for the character that owns it.
int CheckFlowConditions(cCharaBase& chara, cFlowRun& flow);
