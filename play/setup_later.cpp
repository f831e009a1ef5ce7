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

void SetUpHeroFromDef(cHero& hero, int number, cEdChara& def, double x, double y, int extra) {
  hero.SetUpFromDef(number, def, x, y, extra);
}

int HeroFlies(const cHero& hero) { return hero.m_bNoGravity; }

void SetUpItemFromDef(cItem& item, int number, cEdItem& def, int carried) {
  item.SetUpFromDef(number, def, carried);
}

void PlaceCharacter(cList<cChara>& list, int column, int row, std::int32_t& counter,
                    cEdChara& def, cItem*) {
  cChara& chara = list.emplace_back();
  SetUpChara(chara, counter++, def, column, row);
}

void PlaceItem(cList<cItem>& list, int column, int row, std::int32_t& counter, cEdItem& def) {
  cItem& item = list.emplace_back();
  SetUpItemFromDef(item, counter++, def, 0);
  item.m_dX = (column + 10) * 32;
  item.m_dY = (row + 10) * 32;
}

void UpdateAppearance(cPlayScene&) {}

int DefeatObject(cCharaBase*, cList<cChara>*) { return 0; }

int LoadReplayFile(cReplayKeyLog&, const std::string&, cStage&, cStage&, cPlayData&) { return 0; }
