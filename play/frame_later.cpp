// STAND-INS: the least one frame of play needs of the operations declared in frame_later.h
// and of the block, solid-character and hit checks still to be built. Each goes when its own
// work is built.
#include "play/frame_later.h"

#include "objects/chara.h"
#include "objects/hero.h"
#include "play/hits.h"
#include "play/solid_collision.h"



int PushOutOfSolidCharacters(cCharaBase&) { return 0; }
int OverlapsSolidCharacter(cCharaBase&, cList<cChara>&) { return 0; }
void RideAlong(cCharaBase&) {}

int AttackHits(cList<cChara>&) { return 0; }
