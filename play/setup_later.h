#pragma once
// STAND-INS. What stage set-up calls of the hero, the items, the placement of characters and
// items, the appearance update, the defeat of a character and the replay files, declared
// under the names their own work gives them (members become members there). The bodies in
// setup_later.cpp do the least a stage needs to be set up and played; each goes when its own
// work is built.
#include <cstdint>
#include <string>

#include "foundation/containers.h"

class cChara;
class cCharaBase;
class cEdChara;
class cEdItem;
class cHero;
class cItem;
class cPlayScene;
class cPlayData;
class cReplayKeyLog;
class cStage;

// cHero::SetUpFromDef: the hero built from its definition at map pixel (x, y).
void SetUpHeroFromDef(cHero& hero, int number, cEdChara& def, double x, double y, int extra);
// 1 while the hero flies (its idle animation is then the flying one).
int HeroFlies(const cHero& hero);
// cItem::SetUpFromDef.
void SetUpItemFromDef(cItem& item, int number, cEdItem& def, int carried);
