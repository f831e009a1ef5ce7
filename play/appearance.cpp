#include "play/appearance.h"

#include "content/block.h"
#include "content/flow.h"
#include "flows/flow_run.h"
#include "objects/chara.h"
#include "objects/item.h"

int CheckBlockAppearance(cMapCell& cell) { return cell.Appears() ? 1 : 0; }

int CheckCharaAppearance(cChara& chara) {
  if (!chara.PassDef().bConds) return 1;  // as the list's test answers, without reading it
  cEdChara& def = chara.m_Def;
  return CheckLatchedConditions(def.m_Conds, def.m_nCondMode, def.m_bCondOnce, chara.m_bAppeared,
                                &chara);
}

int CheckItemAppearance(cItem& item) {
  cEdItem& def = item.m_Def;
  return CheckLatchedConditions(def.m_Conds, def.m_nCondMode, def.m_bCondOnce, item.m_bAppeared,
                                FirstHero());
}

int CheckFlowConditions(cCharaBase& chara, cFlowRun& flow) {
  if (!flow.m_pFlow) return 1;
  cEdFlow& def = *flow.m_pFlow;
  return CheckLatchedConditions(def.m_Conds, def.m_nCondMode, def.m_bCondOnce, flow.m_bCondPassed,
                                &chara);
}
