// STAND-INS: the least stage set-up needs of the operations declared in setup_later.h. Each
// goes when its own work is built.
#include "play/setup_later.h"

#include "content/chara.h"
#include "content/item.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "project/stage.h"

namespace {

// A character made from its definition with its flows ready, at a map cell.
void SetUpChara(cCharaBase& chara, int number, cEdChara& def, int column, int row) {
  chara.Reset(&def, 0, 0, 0);
  chara.m_nNumber = number;
  chara.m_nControl = def.m_nControl;
  chara.m_nGroup = def.m_nGroup;
  chara.m_nFacing = def.m_nFacing;
  chara.SetBlockPos(column, row);
  chara.m_bPresent = 1;
  SetupFlows(chara, chara.m_Def.m_Flows, 0, 0);
}

}  // namespace

void SetUpHeroFromDef(cHero& hero, int number, cEdChara& def, double x, double y, int) {
  SetUpChara(hero, number, def, 0, 0);
  hero.m_dX = x;
  hero.m_dY = y;
}

int HeroFlies(const cHero& hero) { return hero.m_bNoGravity; }

void SetUpItemFromDef(cItem& item, int number, cEdItem&, int) { item.m_nNumber = number; }

int LoadReplayFile(cReplayKeyLog&, const std::string&, cStage&, cStage&, cPlayData&) { return 0; }
