#include "flows/stage_cmds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "content/command.h"
#include "content/move.h"
#include "content/palette.h"
#include "foundation/message_box.h"
#include "foundation/path_utils.h"
#include "foundation/play_math.h"
#include "foundation/report.h"
#include "foundation/thread.h"
#include "media/sound.h"
#include "objects/aim.h"
#include "objects/chara.h"
#include "objects/chara_base.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "objects/shot.h"
#include "play/block_collision.h"
#include "play/message.h"
#include "play/play_scene.h"
#include "play/scroll_axis.h"
#include "play/sub_loops.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "project/world_map.h"

namespace {

const double kDiagonal = 1.0 / std::sqrt(2.0);

int Param(const cEdCmd& cmd, int n) {
  return n < static_cast<int>(cmd.m_Params.size()) ? cmd.m_Params.data()[n] : 0;
}

cHero* Hero() { return g_Heroes.empty() ? nullptr : &g_Heroes.front(); }

cCharaBase* TargetSlot(const cCharaBase& chara, int slot) {
  if (slot < 0 || slot >= static_cast<int>(chara.m_Targets.size())) return nullptr;
  return chara.m_Targets.data()[slot];
}

cList<cCharaBase*>* CharaGroup(cPlayScene& scene, int group) {
  if (group < 0 || group >= static_cast<int>(scene.m_CharaGroup.size())) return nullptr;
  return &scene.m_CharaGroup[group];
}

cList<cShot*>* ShotGroup(cPlayScene& scene, int group) {
  if (group < 0 || group >= static_cast<int>(scene.m_ShotGroup.size())) return nullptr;
  return &scene.m_ShotGroup[group];
}

// A character runs (present, and let by its switches); the hero and shots while present.
bool IsActive(const cCharaBase& c) {
  if (const auto* chara = dynamic_cast<const cChara*>(&c)) return chara->m_bActivated != 0;
  return c.m_bPresent != 0;
}

// A computer character is asked to go, the player's loses its HP; another object than the
// executing one is defeated in the same frame.
void TakeOutOfPlay(cCharaBase& object, const cCharaBase* executing) {
  if (object.m_nControl == 1)
    object.m_bRemoveReq = 1;
  else if (object.m_nControl == 0)
    object.m_HP.m_nValue = 0;
  if (&object != executing && g_pPlayScene) g_pPlayScene->m_bCheckDefeats = 1;
}

// Once the attack hits of the frame were tested a shot only gets its removal request; before,
// it goes at once.
void RemoveShot(cShot& shot) {
  cPlayScene* scene = g_pPlayScene;
  if (!scene) return;
  if (scene->m_bHitsDone) {
    MarkShotForRemoval(shot);
    return;
  }
  EraseShotAt(scene->m_ShotList, shot);
}

// A character moved along a direction code by d pixels (the diagonals by d / sqrt 2 each way).
void MoveByCode(cCharaBase& c, int code, double d) {
  const double k = d * kDiagonal;
  auto moveX = [&c](double dx) {
    c.m_dX += dx;
    c.OnPosChangedX();
  };
  auto moveY = [&c](double dy) {
    c.m_dY += dy;
    c.OnPosChangedY();
  };
  switch (code) {
    case 2: moveX(-d); break;
    case 3: moveX(d); break;
    case 6: moveY(-d); break;
    case 7: moveY(d); break;
    case 8: moveX(-k), moveY(-k); break;
    case 9: moveX(-k), moveY(k); break;
    case 10: moveX(k), moveY(-k); break;
    case 11: moveX(k), moveY(k); break;
    default: break;
  }
}

int s_nItemDepth = 0;
bool s_bItemDepthReported = false;

}  // namespace

int ExecStageClear(cCharaBase* /*chara*/, cEdCmd& cmd) {
  cPlayScene* scene = g_pPlayScene;
  cPlayData& play = g_PlayData;
  if (scene) {
    switch (Param(cmd, 0)) {
      case 0:
        scene->m_nNextPart = AddWrap32(play.m_nPartNo, 1);
        scene->m_strNextStage.clear();
        break;
      case 1:
        scene->m_nNextPart = Param(cmd, 1);
        scene->m_strNextStage.clear();
        break;
      case 2:
        scene->m_nNextPart = play.m_nPartNo;
        scene->m_strNextStage.clear();
        if (cmd.m_strText.empty()) {
          ErrBoxF("ステージファイル %s が不正です。\nステージファイルとして認識できません。", "");
        } else {
          std::string name = cmd.m_strText;
          StripExtStr(name);
          scene->m_strNextStage = name + ".";
        }
        break;
      case 3:
        scene->m_nNextPart = 0;
        scene->m_strNextStage.clear();
        break;
      default:
        break;
    }
  }
  if (Param(cmd, 2)) {
    play.m_nMapX = std::min(Param(cmd, 3), g_WorldMap.m_nWidth - 1);
    play.m_nMapY = std::min(Param(cmd, 4), g_WorldMap.m_nHeight - 1);
    play.m_nMapDir = 0;
  }
  if (Param(cmd, 5)) {
    play.m_bStartPos = 1;
    play.m_nStartX = Param(cmd, 6);
    play.m_nStartY = Param(cmd, 7);
    const int facing = Param(cmd, 8);
    const cHero* hero = Hero();
    play.m_nStartDir = facing == 2 ? (hero ? hero->m_nFacing : 0) : facing;
  } else {
    play.m_bStartPos = 0;
  }
  return 1;
}

void ExecGameWait(cCharaBase* /*chara*/, cEdCmd& cmd) {
  cPlayScene* scene = g_pPlayScene;
  if (!scene) return;
  const int frames = MulWrap32(Param(cmd, 0), 6);
  const cMessage* wait = &scene->m_MessageList.emplace_back(
      MESSAGE_WAIT, "", 0, 0, 0, MSGPOS_SCREEN_CENTRE, 0, 0, 0, 0, 0, 1, 2, frames, 1, 0, 0, 0, 0,
      0, 0, 0, 0);
  scene->m_MsgWait.Set(0, 0, frames, 0);
  RunSubLoop(thPause, MessageLoopThread);
  if (!scene->m_MessageList.empty() && &scene->m_MessageList.back() == wait)
    scene->m_MessageList.pop_back();
}

void ExecMessage(cCharaBase* chara, cEdCmd& cmd, int continued) {
  cPlayScene* scene = g_pPlayScene;
  if (!scene || scene->m_bQuit.load()) return;
  cList<cMessage>& list = scene->m_MessageList;
  const int hasId = Param(cmd, 12), id = Param(cmd, 13), close = Param(cmd, 15);
  cMessage* reuse = nullptr;
  auto insertAt = list.end();
  if (hasId) {
    auto found = std::find_if(list.begin(), list.end(),
                              [id](const cMessage& m) { return m.m_bHasId && m.m_nId == id; });
    if (found != list.end()) {
      if (close) {
        found->RemoveSurface();
        list.erase(found);
        return;
      }
      std::string text = cmd.m_strText;
      if (Param(cmd, 9)) ExpandMessageCodes(text);
      int w = 0, h = 0;
      MeasureMessageText(text, w, h);
      if (w == found->m_nWidth && h == found->m_nHeight && found->m_pSurface) {
        reuse = &*found;
      } else {
        found->RemoveSurface();
        insertAt = list.erase(found);
      }
    } else if (close) {
      return;
    }
  } else if (close) {
    return;
  }

  const int mode = Param(cmd, 0);
  const int count = Param(cmd, 17) ? 1 : MulWrap32(Param(cmd, 7), 6);
  int objNo = 0;
  if (mode >= MSGPOS_ABOVE_CHARA && mode <= MSGPOS_ON_CHARA && chara)
    objNo = chara->m_nNumber;
  else if (mode >= MSGPOS_ABOVE_HERO && mode <= MSGPOS_ON_HERO && Hero())
    objNo = Hero()->m_nNumber;
  const int stop = Param(cmd, 8), timerMode = Param(cmd, 6);
  const char* text = cmd.m_strText.c_str();
  cMessage* message;
  if (reuse) {
    reuse->Init(MESSAGE_TEXT, text, 0, 0, 0, mode, Param(cmd, 1), Param(cmd, 2), Param(cmd, 3),
                Param(cmd, 4), Param(cmd, 5), Param(cmd, 10), timerMode, count, stop, objNo,
                continued, Param(cmd, 9), Param(cmd, 11), Param(cmd, 16), Param(cmd, 14), hasId, id,
                1);
    message = reuse;
  } else {
    message = &*list.emplace(insertAt, MESSAGE_TEXT, text, 0, 0, 0, mode, Param(cmd, 1),
                             Param(cmd, 2), Param(cmd, 3), Param(cmd, 4), Param(cmd, 5),
                             Param(cmd, 10), timerMode, count, stop, objNo, continued, Param(cmd, 9),
                             Param(cmd, 11), Param(cmd, 16), Param(cmd, 14), hasId, id);
  }
  if (!stop) return;

  if (timerMode == 0) {
    scene->m_MsgWait.Set(1, 1, 0, continued);
    if (!continued) PlaySystemSound(11);
  } else if (timerMode == 2) {
    scene->m_MsgWait.Set(1, 0, count, continued);
  }
  // (Timer mode 1 sets no wait: the loop serves the wait as the last one left it.)
  RunSubLoop(thPause, MessageLoopThread);
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (&*it != message) continue;
    it->RemoveSurface();
    list.erase(it);
    break;
  }
}

void ExecWarp(cCharaBase* chara, cEdCmd& cmd) {
  if (!chara || !cmd.m_pMove) return;
  cCharaBase& c = *chara;
  const cEdMove& move = *cmd.m_pMove;
  const double savedX = c.m_dX, savedY = c.m_dY, savedRight = c.m_dRight, savedBottom = c.m_dBottom;
  c.m_bAnchorX = 0;
  c.m_bAnchorY = 0;
  const bool compat = g_SystemData.bCompatWarp != 0;
  const double d =
      (static_cast<double>(move.m_sDistance) + static_cast<double>(move.m_sDistanceClone) * c.m_sCopyIndex) * 16;
  const int base = move.m_nMode;
  if (base == 0) {
    MoveByCode(c, c.ResolveMoveDir(move.m_nDirection, 1, compat ? c.m_bNoGravity : 1), d);
  } else if (base >= 1 && base <= 4) {
    cCharaBase* target = TargetSlot(c, base - 1);
    if (!target) return;
    const int code = target->ResolveMoveDir(move.m_nDirection, 1, compat ? target->m_bNoGravity : 1);
    c.m_dX = target->m_dX - target->m_Rect.m_nOffsetX + (target->m_Rect.m_nWidth >> 1) +
             c.m_Rect.m_nOffsetX - (c.m_Rect.m_nWidth >> 1);
    c.OnPosChangedX();
    c.m_dY = target->m_dY - target->m_Rect.m_nOffsetY + (target->m_Rect.m_nHeight >> 1) +
             c.m_Rect.m_nOffsetY - (c.m_Rect.m_nHeight >> 1);
    c.OnPosChangedY();
    MoveByCode(c, code, d);
  } else if (base == 5) {
    const int dotX = move.m_sTargetDotX, dotY = move.m_sTargetDotY;
    double dx = move.m_sTargetBlockX * 32.0 + dotX, dy = move.m_sTargetBlockY * 32.0 + dotY;
    if (c.m_nFacing == 1) {
      if (move.m_bMirrorTargetX) dx = -dx;
      if (move.m_bMirrorTargetY) dy = -dy;
    }
    switch (move.m_nCoordOrigin) {
      case 0:
        c.m_dX += dx;
        c.OnPosChangedX();
        c.m_dY += dy;
        c.OnPosChangedY();
        break;
      case 1:
        c.SetBlockPosX(move.m_sTargetBlockX);
        c.SetBlockPosY(move.m_sTargetBlockY);
        c.m_dX += dotX;
        c.OnPosChangedX();
        c.m_dY += dotY;
        c.OnPosChangedY();
        break;
      case 2:
        c.m_dX = ScrollAxisX().m_dPos + c.m_Rect.m_nOffsetX + dx;
        c.OnPosChangedX();
        c.m_dY = ScrollAxisY().m_dPos + c.m_Rect.m_nOffsetY + dy;
        c.OnPosChangedY();
        break;
      default:
        break;
    }
  }
  c.cObject::UpdateScreenRect();
  if (c.IsInStage(0) && !IsPlaceBlocked(c)) {
    if (!c.m_bNoGravity) c.m_dVY = 0;
  } else {
    c.m_dX = savedX;
    c.m_dY = savedY;
    c.m_dRight = savedRight;
    c.m_dBottom = savedBottom;
    c.OnPosChangedY();
    c.OnPosChangedX();
    c.cObject::UpdateScreenRect();
  }
  if (base == 5 && move.m_nCoordOrigin == 2) {
    c.m_bAnchorX = 1;
    c.m_bAnchorY = 1;
    c.m_nAnchorLeft = c.m_Rect.m_nLeft;
    c.m_nAnchorTop = c.m_Rect.m_nTop;
  }
}

void ExecSetTarget(cCharaBase* chara, cEdCmd& cmd) {
  cPlayScene* scene = g_pPlayScene;
  if (!chara || !scene) return;
  const int slot = Param(cmd, 0), what = Param(cmd, 1), group = Param(cmd, 2);
  const int allGroups = Param(cmd, 3), nearMode = Param(cmd, 4);
  const int skipSelf = Param(cmd, 5), skip1 = Param(cmd, 6), skip2 = Param(cmd, 7);
  const int skipBlock = Param(cmd, 8), idTest = Param(cmd, 9);
  const auto id = static_cast<std::int8_t>(Param(cmd, 10));
  const int varTest = Param(cmd, 11);
  const auto var = static_cast<std::int16_t>(Param(cmd, 12));
  const int value = Param(cmd, 13), compare = Param(cmd, 14), keep = Param(cmd, 15);
  // A slot outside the four would make a link that reads as ownership.
  if (slot < 0 || slot >= kTargetSlots) return;
  const int own = chara->m_nNumber;
  cCharaBase* object = nullptr;
  switch (what) {
    case 0:
      object = Hero();
      break;
    case 1:
      object = chara;
      break;
    case 2: {
      const std::int32_t x = CellCentreX(*chara), y = CellCentreY(*chara);
      auto nearest = [&](const cList<cCharaBase*>& list) {
        return FindNearestChara(x, y, list, nearMode, idTest, id, varTest, var, value, compare,
                                skipSelf, skip1, skip2, skipBlock, own);
      };
      if (!allGroups) {
        if (const auto* list = CharaGroup(*scene, group)) object = nearest(*list);
        break;
      }
      std::int64_t best = INT64_MAX;
      for (int g = 0; g < kGroupCount; ++g) {
        const auto* list = CharaGroup(*scene, g);
        if (!list || list->empty()) continue;
        cCharaBase* found = nearest(*list);
        if (!found) continue;
        const std::int64_t distance =
            std::abs(static_cast<std::int64_t>(CellCentreY(*found)) - y) +
            std::abs(static_cast<std::int64_t>(CellCentreX(*found)) - x);
        if (distance < best) {
          best = distance;
          object = found;
        }
      }
      break;
    }
    case 3: {
      auto first = [&](const cList<cCharaBase*>& list) {
        return FindCharaByStatus(list, idTest, id, varTest, var, value, compare, skipSelf, skip1,
                                 skip2, skipBlock, own);
      };
      if (!allGroups) {
        if (const auto* list = CharaGroup(*scene, group)) object = first(*list);
        break;
      }
      for (int g = 0; g < kGroupCount && !object; ++g)
        if (const auto* list = CharaGroup(*scene, g)) object = first(*list);
      break;
    }
    case 4:
      object = chara->m_pOwner;
      break;
    case 5:
      for (auto it = chara->m_BackRefs.rbegin(); it != chara->m_BackRefs.rend(); ++it) {
        if (it->nSlot != kOwnerSlot) continue;
        object = it->pObject;
        break;
      }
      break;
    case 6:
      object = FindLinkedCharaByStatus(chara->m_BackRefs, kOwnerSlot, group, allGroups, idTest, id,
                                       varTest, var, value, compare, skipSelf, skip1, skip2,
                                       skipBlock, own);
      break;
    case 7:
    case 8:
    case 9:
    case 10:
      object = TargetSlot(*chara, what - 7);
      break;
    default:
      break;
  }
  if (keep == 0 || keep == 1) SetTarget(*chara, slot, object, keep == 0);
}

void ExecStatusOperation2(cCharaBase* chara, cEdCmd& cmd) {
  const int which = Param(cmd, 0), state = Param(cmd, 1), v = Param(cmd, 2);
  if (which == 5) {
    cPlayScene* scene = g_pPlayScene;
    if (state == 0) {
      g_Stage.m_bAutoScrollX = v;
      if (scene) scene->m_ScrollX.SetSpeed(v, g_Stage.m_nAutoScrollSpeedX);
    } else if (state == 1) {
      g_Stage.m_bAutoScrollY = v;
      if (scene) scene->m_ScrollY.SetSpeed(v, g_Stage.m_nAutoScrollSpeedY);
    }
    return;
  }
  if (!chara) return;
  cCharaBase* object = which == 0 ? chara : (which >= 1 && which <= 4 ? TargetSlot(*chara, which - 1) : nullptr);
  if (!object) return;
  const bool player = object->m_nControl == 0;
  switch (state) {
    case 0:
      TakeOutOfPlay(*object, chara);
      break;
    case 1:
      object->m_Def.m_bTransparent = static_cast<std::uint8_t>(v);
      break;
    case 2:
      object->m_Def.m_bFixedFacing = static_cast<std::uint8_t>(v);
      break;
    case 3:
      if (cHero* hero = Hero(); player && hero) hero->SetFlyMode(v, 1, Param(cmd, 3), Param(cmd, 4));
      break;
    case 4:
      object->m_Def.m_nInvincible = static_cast<std::uint8_t>(v);
      break;
    case 5:
      object->Scale(v, object->m_Def.m_nScale);
      object->m_Def.m_nScale = static_cast<std::uint8_t>(v);
      if (cHero* hero = dynamic_cast<cHero*>(object); player && hero) hero->BuildHitRects();
      break;
    case 6:
      object->m_Def.m_bScrollSync = static_cast<std::uint8_t>(v);
      object->m_bScreenBound = static_cast<std::uint8_t>(v);
      break;
    default:
      break;
  }
}

void RemoveOwnShots(cCharaBase& c) {
  auto& links = c.m_ShotLinks;
  for (std::size_t i = 0; i < links.size();) {
    const sShotLink link = links.data()[i];
    if (link.nKind != kOwnerSlot || !link.pShot || !link.pShot->m_bPresent) {
      ++i;
      continue;
    }
    const std::size_t before = links.size();
    RemoveShot(*link.pShot);
    // A shot that went took its entry with it: the walk starts again.
    if (links.size() != before)
      i = 0;
    else
      ++i;
  }
}

void VanishDescendants(cCharaBase& c, int depth, int withShots) {
  if (depth > 1000) return;
  for (std::size_t i = 0; i < c.m_BackRefs.size(); ++i) {
    const sTargetRef ref = c.m_BackRefs.data()[i];
    if (ref.nSlot != kOwnerSlot || !ref.pObject || !IsActive(*ref.pObject)) continue;
    if (withShots) RemoveOwnShots(*ref.pObject);
    VanishDescendants(*ref.pObject, depth + 1, withShots);
    TakeOutOfPlay(*ref.pObject, &c);
  }
}

void ExecVanish(cCharaBase* chara, cEdCmd& cmd) {
  cPlayScene* scene = g_pPlayScene;
  if (!scene) return;
  const int what = Param(cmd, 0), group = Param(cmd, 1), offScreen = Param(cmd, 2);
  switch (what) {
    case 0:
      if (auto* list = CharaGroup(*scene, group))
        for (cCharaBase* c : *list)
          if (c && (offScreen || c->m_bOnScreen) && IsActive(*c)) TakeOutOfPlay(*c, chara);
      break;
    case 1:
      if (auto* list = ShotGroup(*scene, group)) {
        const std::vector<cShot*> shots(list->begin(), list->end());
        for (cShot* shot : shots)
          if (shot && (offScreen || shot->m_bOnScreen) && shot->m_bPresent) RemoveShot(*shot);
      }
      break;
    case 2:
      if (chara) VanishDescendants(*chara, 0, 0);
      break;
    case 3:
      if (chara) RemoveOwnShots(*chara);
      break;
    case 4:
      if (chara) {
        RemoveOwnShots(*chara);
        VanishDescendants(*chara, 0, 1);
      }
      break;
    case 5:
      if (chara) VanishDescendants(*chara, 0, 1);
      break;
    default:
      break;
  }
}

void ExecGetItem(cCharaBase* /*chara*/, cEdCmd& cmd) {
  const int palette = Param(cmd, 0), index = Param(cmd, 1);
  if (palette != 0 && palette != 1) return;
  if (index != static_cast<std::int16_t>(index)) return;
  cEdItem* item = GetEdItem(palette + 1, static_cast<std::int16_t>(index));
  cHero* hero = Hero();
  if (!item || !hero) return;
  if (s_nItemDepth >= kMaxItemDepth) {
    if (!s_bItemDepthReported) {
      s_bItemDepthReported = true;
      Report("item acquisition nested deeper than %d: the item was not run", kMaxItemDepth);
    }
    return;
  }
  ++s_nItemDepth;
  const int result = hero->RunItemCmds(item->m_Cmds);
  --s_nItemDepth;
  // Only an end is kept: a 0 must not cancel an end asked for earlier in the same sub-step.
  if (result != 0 && g_pPlayScene) g_pPlayScene->m_nStageEndReq = result;
}

void ResetItemDepthReport() { s_bItemDepthReported = false; }
