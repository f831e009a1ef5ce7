// STAND-INS: the least stage set-up needs of the operations declared in setup_later.h. Each
// goes when its own work is built.
#include "play/setup_later.h"

#include "content/chara.h"
#include "content/item.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "project/stage.h"

void SetUpHeroFromDef(cHero& hero, int number, cEdChara& def, double x, double y, int extra) {
  hero.SetUpFromDef(number, def, x, y, extra);
}

int HeroFlies(const cHero& hero) { return hero.m_bNoGravity; }

void SetUpItemFromDef(cItem& item, int number, cEdItem& def, int carried) {
  item.SetUpFromDef(number, def, carried);
}

