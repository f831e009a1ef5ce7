#pragma once
// The contact of the hero and the characters with the map's blocks, per axis and sub-step,
// the holds at the screen's edges, and the blocks' effects on the hero. Results: 0 play goes
// on, 2 the object is crushed or killed; GiveBlockItem also 1, the stage ends.
class cCharaBase;
class cHero;

int HitBlockSides(cCharaBase& object);
int HitBlockTopBottom(cCharaBase& object);
int HitBlockSidesAgain(cCharaBase& object);
int HitBlockTopBottomAgain(cCharaBase& object);
int KeepInScreenX(cCharaBase& object);
int KeepInScreenY(cCharaBase& object);
void ApplyBlockEffect(cHero& hero);
int GiveBlockItem(cHero& hero);
