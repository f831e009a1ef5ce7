// Defeats, pick-ups and item effects.
#include "play/hits.h"

#include "content/item.h"
#include "media/sound.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/objects_later.h"
#include "play/play_frame.h"
#include "play/play_later.h"
#include "play/play_scene.h"
#include "play/setup_later.h"
#include "project/system_data.h"

namespace {

constexpr int kSoundDefeat = 9;

void EndStageNow() {
  EndStage();
  if (g_pPlayScene) g_pPlayScene->m_nPhase = PLAYPHASE_STAGEEND;
}

void HeroDefeat() {
  if (g_pPlayScene) DefeatHero(*g_pPlayScene);
}

bool Overlaps(const sDRect& a, const cObject& b) {
  return a.m_dLeft <= b.m_dRight && b.m_dX <= a.m_dRight && a.m_dTop <= b.m_dBottom &&
         b.m_dY <= a.m_dBottom;
}

cChara* g_pPassChara = nullptr;
bool g_bPassCharaRemoved = false;

// Removes a character from the list, or, when it is the one the pass works on, everything but
// the freeing; the next node.
cList<cChara>::iterator RemoveChara(cList<cChara>& list, cList<cChara>::iterator it) {
  if (&*it != g_pPassChara) return EraseCharaNode(it);
  cChara& chara = *it;
  chara.UnlinkReferences();
  if (g_pPlayScene) {
    auto& groups = g_pPlayScene->m_CharaGroup;
    for (auto& group : groups) group.remove(static_cast<cCharaBase*>(&chara));
  }
  chara.m_bFinished = 1;
  g_bPassCharaRemoved = true;
  return std::next(it);
}

}  // namespace

sPassCharaGuard::sPassCharaGuard(cChara* chara) {
  g_pPassChara = chara;
  g_bPassCharaRemoved = false;
}
sPassCharaGuard::~sPassCharaGuard() { g_pPassChara = nullptr; }
bool PassCharaRemoved() { return g_bPassCharaRemoved; }

int KeepDefeatedCharacters() { return g_SystemData.m_bClearEndsFrame; }

int DeathCheck(cCharaBase& object) {
  if (object.m_nControl == 0) return 2;
  if (object.m_bFinished) return 0;
  return object.OnDead() == 1 ? 1 : 0;
}

int DefeatObject(cCharaBase* object, cList<cChara>*) {
  if (!object) return 0;
  const int r = DeathCheck(*object);
  if (r == 1) EndStageNow();
  if (r == 2) HeroDefeat();
  return r;
}

int CheckDefeats(cList<cChara>& list) {
  if (!g_Heroes.empty() && g_Heroes.front().m_HP.m_nValue <= 0) {
    HeroDefeat();
    return 1;
  }
  for (auto it = list.begin(); it != list.end();) {
    cChara& chara = *it;
    if (g_bPassCharaRemoved && &chara == g_pPassChara) {
      ++it;  // already removed in all but its node
      continue;
    }
    if (chara.m_bRemoveReq) {
      it = RemoveChara(list, it);
      continue;
    }
    if (chara.m_HP.m_nValue > 0) {
      ++it;
      continue;
    }
    const int a = DefeatObject(&chara, &list);
    if (KeepDefeatedCharacters()) {
      if (a == 1) {
        RemoveChara(list, it);
        return 1;
      }
      PlaySystemSound(kSoundDefeat);
      if (a != 0) return 1;
      ++it;
    } else {
      it = RemoveChara(list, it);
      if (a != 0) return 1;
    }
  }
  return 0;
}

int PickUpItems(cHero& hero) {
  for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
    cItem& item = *it;
    const int mode = item.m_Def.m_nTakeMode;
    if (!item.m_bPresent || item.m_bCarried || mode == TAKE_NEVER) {
      ++it;
      continue;
    }
    if (!Overlaps(hero.m_PickupBox.m_Rect, item)) {
      if (mode == TAKE_ALWAYS) hero.RemovePicked(item.m_nNumber);
      ++it;
      continue;
    }
    hero.FireTrigger(8);
    if (mode == TAKE_ALWAYS) {
      if (!hero.HasNotPicked(item.m_nNumber)) {
        ++it;
        continue;
      }
      hero.m_PickedItems.push_back(item.m_nNumber);
    }
    const int r = ApplyItemEffect(item, g_Heroes.empty() ? hero : g_Heroes.front());
    if (mode == TAKE_ONCE)
      it = g_ItemList.erase(it);
    else
      ++it;
    if (r != 0) return r;
  }
  return 0;
}

int ApplyItemEffect(cItem& item, cCharaBase& hero) {
  if (item.m_Def.m_sGraphic == 0 || item.m_Def.m_nTakeMode == TAKE_NEVER || !item.m_bPresent)
    return 0;
  cHero* player = dynamic_cast<cHero*>(&hero);
  if (player && item.m_Def.m_bShowOnTake)
    player->AddTextObject(item.m_Def.m_nGraphicKind, item.m_Def.m_sGraphic, item.m_Def.m_sGraphicFrame);
  PlayDatabaseSound(item.m_Def.m_sSound);
  if (!player) return 0;
  return player->RunItemCmds(item.m_Def.m_Cmds);
}
