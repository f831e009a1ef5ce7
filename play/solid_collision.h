#pragma once
// Solid characters: the ones others stand on and are pushed by.
class cCharaBase;

// Pushes the object out of the solid characters it overlaps; 2 when it is crushed.
int PushOutOfSolidCharacters(cCharaBase& object);
// The object rides a character and moves with it.
void RideAlong(cCharaBase& object);
