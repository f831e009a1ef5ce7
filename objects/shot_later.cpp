// STAND-INS: the aiming of shots at a character and the search for the nearest character of a
// group, which come with the aiming and search services. Until then an aiming shot keeps its
// course.
#include "objects/shot.h"

void cShot::AimOnce(cObject&) {}
void cShot::AimAt(cObject&) {}
cCharaBase* NearestCharaForShot(const cShot&, int) { return nullptr; }
