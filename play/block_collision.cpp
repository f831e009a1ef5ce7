// Block collision: the cell probes, the push-outs of the four edges, the screen-edge holds
// and the effects of the block under the hero's feet.
#include "play/block_collision.h"

#include <cstdlib>

#include "content/item.h"
#include "foundation/play_math.h"
#include "media/sound.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_units.h"
#include "play/hits.h"
#include "play/map_cells.h"
#include "play/play_scene.h"
#include "play/solid_collision.h"
#include "project/system_data.h"

namespace {

constexpr int kSoundJumpBlock = 10;

int Trunc(double v) { return TruncToInt32(v); }

bool Flying(const cCharaBase& o) { return o.m_bNoGravity != 0; }
bool PassesAll(const cCharaBase& o) { return Flying(o) && o.m_nBlockPass == BLOCKPASS_THROUGH; }
bool DiesOnBlocks(const cCharaBase& o) { return Flying(o) && o.m_nBlockPass == BLOCKPASS_DIE; }
bool IsComputer(const cCharaBase& o) { return o.m_nControl == 1; }
int Size(const cCharaBase& o) { return static_cast<std::int8_t>(o.m_Def.m_nScale); }

cHero* PlayerHero(cCharaBase& o) { return o.m_nControl == 0 ? dynamic_cast<cHero*>(&o) : nullptr; }

// The hit mode of a cell for the object's group, as a signed byte (one probe of the cell).
int HitMode(std::int64_t cell, const cCharaBase& o) {
  return static_cast<std::int8_t>(MapCellHitMode(cell, o.m_nGroup));
}

}  // namespace

std::int64_t FindCellOnEdge(const cCharaBase& o, int x1, int y1, int x2, int y2, int& mode) {
  mode = 0;
  const int samples = Size(o) + 1;
  if (samples < 1 || (x1 != x2 && y1 != y2)) return 0;
  std::int64_t best = 0;
  int bestMode = -129;
  const int shift = ScrollAxisX().m_nShift;
  if (x1 == x2) {
    for (int k = 0; k < samples; ++k) {
      const int y = static_cast<int>(y1 + std::int64_t{k} * (o.m_nBaseHeight - 1));
      const std::int64_t cell = MapCellIndex(x1, y, shift);
      const int m = HitMode(cell, o);
      if (m > bestMode) {
        best = cell;
        bestMode = m;
      }
    }
  } else {
    const int middle = static_cast<int>((std::int64_t{x1} + x2) >> 1);
    std::int64_t bestDist = 0;
    for (int k = 0; k < samples; ++k) {
      const int x = static_cast<int>(x1 + std::int64_t{k} * (o.m_nBaseWidth - 1));
      const std::int64_t cell = MapCellIndex(x, y1, shift);
      const int m = HitMode(cell, o);
      const std::int64_t dist = std::llabs(std::int64_t{x} - middle);
      if (m > bestMode || (m == bestMode && dist < bestDist)) {
        best = cell;
        bestMode = m;
        bestDist = dist;
      }
    }
  }
  mode = bestMode;
  return best;
}

std::int64_t FindFloorCell(const cCharaBase& o) {
  const int size = Size(o);
  if (size < 1) return 0;
  const int count = (size & 1) ? size + 2 : size + 1;
  const int step = o.m_nWidth / (count - 1);
  const int left = Trunc(o.m_dX), right = Trunc(o.m_dRight), row = Trunc(o.m_dBottom);
  const int middle = static_cast<int>((std::int64_t{left} + right) >> 1);
  const int shift = ScrollAxisX().m_nShift;
  std::int64_t best = 0, bestDist = 0;
  int bestMode = -129;
  for (int k = 0; k < count; ++k) {
    const int x = k == count - 1 ? right : static_cast<int>(left + std::int64_t{k} * step);
    const std::int64_t cell = MapCellIndex(x, row, shift);
    const int m = HitMode(cell, o);
    const std::int64_t dist = std::llabs(std::int64_t{x} - middle);
    if (m > bestMode || (m == bestMode && dist < bestDist)) {
      best = cell;
      bestMode = m;
      bestDist = dist;
    }
  }
  return best;
}

std::int64_t FindCornerCell(const cCharaBase& o, int left, int top, int right, int bottom,
                            int& mode) {
  const int shift = g_pPlayScene ? g_pPlayScene->m_ScrollX.m_nShift : 0;
  const auto index = [shift](int column, int row) {
    return std::int64_t{column} + (std::int64_t{row} << shift);
  };
  const std::int64_t cells[4] = {index(left, top), index(right, top), index(left, bottom),
                                 index(right, bottom)};
  std::int64_t best = cells[0];
  mode = -129;
  for (std::int64_t cell : cells) {
    const int m = HitMode(cell, o);
    if (m > mode) {
      mode = m;
      best = cell;
    }
  }
  return best;
}

namespace {

// The push-out of the left (side 0) or the right (side 1) edge.
int HitBlockSide(cCharaBase& o, int side) {
  if (PassesAll(o)) return 0;
  const int x = side == 0 ? Trunc(o.m_dX) : Trunc(o.m_dRight);
  int mode = 0;
  FindCellOnEdge(o, x, Trunc(o.m_dY), x, Trunc(o.m_dBottom), mode);
  if (mode == BLOCK_HIT_NONE) return 0;
  if (mode == BLOCK_HIT_DEADLY && !IsComputer(o)) return 2;
  if (mode != BLOCK_HIT_SOLID && mode != BLOCK_HIT_DEADLY) return 0;
  if (DiesOnBlocks(o)) return 2;
  o.m_dInertiaX = 0;
  if (side == 0) {
    o.m_bContactLeft = 1;
    o.m_dX += 32 - (Trunc(o.m_dX) & 31);
  } else {
    o.m_bContactRight = 1;
    o.m_dX -= (Trunc(o.m_dRight) & 31) + 1;
  }
  o.OnPosChangedX();
  o.m_nBlockSide = side;
  o.FireTrigger(9);
  o.FireTrigger(10);
  o.FireTrigger(side == 0 ? 11 : 12);
  return 0;
}

// The ceiling of a probe's mode: 2 the object dies, 0 otherwise (it bumped its head).
int MeetCeiling(cCharaBase& o, int mode) {
  if (mode == BLOCK_HIT_DEADLY && !IsComputer(o)) return 2;
  if (mode != BLOCK_HIT_SOLID && mode != BLOCK_HIT_DEADLY) return 0;
  if (DiesOnBlocks(o)) return 2;
  o.OnHitCeiling();
  return 0;
}

void ProbeTop(cCharaBase& o, int& mode) {
  FindCellOnEdge(o, Trunc(o.m_dX), Trunc(o.m_dY), Trunc(o.m_dRight), Trunc(o.m_dY), mode);
}

std::int64_t ProbeBottom(cCharaBase& o, int& mode) {
  const int y = Trunc(o.m_dBottom);
  return FindCellOnEdge(o, Trunc(o.m_dX), y, Trunc(o.m_dRight), y, mode);
}

// Rising objects do not land from the version that stopped it.
bool StillRising(const cCharaBase& o) {
  return !g_SystemData.bCompatBlockPushOut && !Flying(o) && o.m_dVY < 0;
}

void Land(cCharaBase& o, std::int64_t cell, bool floorProbe) {
  const std::int64_t ground = floorProbe && PlayerHero(o) ? FindFloorCell(o) : cell;
  o.m_pGroundBlock = &MapCellAt(ground);
  o.m_pFloorKey = o.m_pGroundBlock;
  o.OnLand();
}

}  // namespace

int HitBlockLeft(cCharaBase& o) { return HitBlockSide(o, 0); }
int HitBlockRight(cCharaBase& o) { return HitBlockSide(o, 1); }

int HitBlockTop(cCharaBase& o) {
  if (PassesAll(o)) return 0;
  int mode = 0;
  ProbeTop(o, mode);
  return MeetCeiling(o, mode);
}

int HitBlockBottom(cCharaBase& o) {
  if (PassesAll(o)) return 0;
  int mode = 0;
  const std::int64_t cell = ProbeBottom(o, mode);
  o.m_pGroundBlock = &MapCellAt(cell);
  if (mode == BLOCK_HIT_NONE) {
    o.m_pGroundBlock = nullptr;
    ++o.m_nAirTimer;
    if (o.m_nAirTimer == g_nHitLevel8) {
      if (o.m_nControl == 0) {
        if (!o.m_bRiding) {
          o.m_bAirLock = 1;
          if (cHero* hero = PlayerHero(o)) hero->m_bJumpHoldOk = 1;
        }
      } else {
        o.m_bAirLock = 1;
      }
    }
    return 0;
  }
  if (mode == BLOCK_HIT_DEADLY) {
    o.m_pFloorKey = &MapCellAt(cell);
    if (!IsComputer(o)) return 2;
    if (DiesOnBlocks(o)) return 2;
    if (StillRising(o)) return 0;
    Land(o, cell, false);
    return 0;
  }
  if (mode != BLOCK_HIT_SOLID) return 0;
  if (DiesOnBlocks(o)) return 2;
  if (StillRising(o)) return 0;
  Land(o, cell, true);
  return 0;
}

int HitBlockSides(cCharaBase& o) {
  if (PassesAll(o)) return 0;
  const bool rightFirst = (Flying(o) && o.m_nBlockPass == BLOCKPASS_COLLIDE) || o.m_dVX > 0;
  const int first = rightFirst ? HitBlockRight(o) : HitBlockLeft(o);
  if (first == 2) return 2;
  return rightFirst ? HitBlockLeft(o) : HitBlockRight(o);
}

int HitBlockSidesAgain(cCharaBase& o) {
  if (HitBlockRight(o) == 2) return 2;
  return HitBlockLeft(o) == 2 ? 2 : 0;
}

int HitBlockTopBottom(cCharaBase& o) {
  if (PassesAll(o)) return 0;
  o.m_pGroundBlock = nullptr;
  const bool bottomFirst = (Flying(o) && o.m_nBlockPass == BLOCKPASS_COLLIDE) || o.m_dVY > 0;
  const int first = bottomFirst ? HitBlockBottom(o) : HitBlockTop(o);
  if (first == 2) return 2;
  return bottomFirst ? HitBlockTop(o) : HitBlockBottom(o);
}

int HitBlockTopBottomAgain(cCharaBase& o) {
  if (PassesAll(o)) return 0;
  int mode = 0;
  const std::int64_t cell = ProbeBottom(o, mode);
  if (mode == BLOCK_HIT_SOLID || mode == BLOCK_HIT_DEADLY) {
    if (mode == BLOCK_HIT_DEADLY) {
      const std::int64_t ground = PlayerHero(o) ? FindFloorCell(o) : cell;
      o.m_pGroundBlock = o.m_pFloorKey = &MapCellAt(ground);
      if (!IsComputer(o)) return 2;
    }
    if (DiesOnBlocks(o)) return 2;
    if (StillRising(o)) return 0;
    Land(o, cell, true);
  }
  ProbeTop(o, mode);
  return MeetCeiling(o, mode);
}

int KeepInScreenX(cCharaBase& o) {
  cHero* hero = dynamic_cast<cHero*>(&o);
  if (!hero || !g_pPlayScene) return 0;
  const cScrollAxis& axis = g_pPlayScene->m_ScrollX;
  if (!axis.m_bAuto && !Flying(o)) return 0;
  hero->UpdateScreenRect();
  if (hero->m_Rect.m_nLeft + hero->m_Rect.m_nOffsetX < 0) {
    hero->m_bContactLeft = 1;
    hero->m_dX = axis.m_dPos;
    hero->OnPosChangedX();
  } else if (hero->m_Rect.m_nRight - hero->m_Rect.m_nOffsetX + 1 >= 640) {
    hero->m_bContactRight = 1;
    hero->m_dX = axis.m_dPos + 640 - hero->m_nWidth - 1;
    hero->OnPosChangedX();
  }
  return 0;
}

int KeepInScreenY(cCharaBase& o) {
  cHero* hero = dynamic_cast<cHero*>(&o);
  if (!hero || !g_pPlayScene) return 0;
  const cScrollAxis& axis = g_pPlayScene->m_ScrollY;
  if (!axis.m_bAuto && !Flying(o)) return 0;
  hero->UpdateScreenRect();
  if (hero->m_Rect.m_nTop + hero->m_Rect.m_nOffsetY < 0) {
    hero->m_bContactTop = 1;
    hero->m_dY = axis.m_dPos;
    hero->OnPosChangedY();
    return 0;
  }
  if (hero->m_Rect.m_nBottom - hero->m_Rect.m_nOffsetY + 1 >= 480) {
    hero->m_bContactBottom = 1;
    hero->m_dY = axis.m_dPos + 480 - hero->m_nHeight - 1;
    hero->OnPosChangedY();
    return Flying(o) ? 0 : 2;
  }
  return 0;
}

void StickToGround(cCharaBase& o) {
  if (g_SystemData.bCompatBlockHit) {
    if (o.m_dVY >= 0) o.m_dVY += 1;
    return;
  }
  if (o.m_dVY < 0 || o.m_dVY > 1 / g_dHitLevel || o.m_bRiding || o.m_bAirLock) return;
  const int y = Trunc(o.m_dBottom) + 4;
  int mode = 0;
  FindCellOnEdge(o, Trunc(o.m_dX + o.m_dVX), y, Trunc(o.m_dRight + o.m_dVX), y, mode);
  if (mode != BLOCK_HIT_NONE) o.m_dVY = 7 / g_dHitLevel;
}

int IsPlaceBlocked(cCharaBase& o) {
  if (PassesAll(o)) return 0;
  int mode = 0;
  FindCornerCell(o, o.m_nLeftCell, o.m_nTopCell, o.m_nRightCell, o.m_nBottomCell, mode);
  if (mode != BLOCK_HIT_NONE) return 1;
  return OverlapsSolidCharacter(o, g_CharaList);
}

void ApplyBlockEffect(cHero& hero) {
  if (Flying(hero)) return;
  if (hero.m_pGroundBlock && hero.m_nBlockEffectTime == 0 &&
      static_cast<std::int8_t>(hero.m_pGroundBlock->GetHitMode(hero.m_nGroup)) != 0) {
    const cMapCell& block = *hero.m_pGroundBlock;
    const std::int32_t value = block.m_nEffectValue;
    switch (block.m_nEffect) {
      case BLOCK_EFFECT_JUMP: {
        PlaySystemSound(kSoundJumpBlock);
        const double v = hero.JumpSpeedFromHalfBlocks(static_cast<std::int8_t>(value & 0xFF));
        hero.m_dVY = v;
        hero.m_bJumping = hero.m_bRiseEnded = 1;
        hero.m_bJumpHoldOk = 0;
        hero.m_nJumpHold = SubStepsToTop(v);
        break;
      }
      case BLOCK_EFFECT_NO_JUMP:
        hero.m_bNoJump = 1;
        break;
      case BLOCK_EFFECT_SPEED:
        hero.m_nBlockEffect = BLOCK_EFFECT_SPEED;
        hero.m_dBlockEffectValue = value * 0.01;
        hero.m_nBlockEffectTime = g_nHitLevel;
        break;
      case BLOCK_EFFECT_MOVE_LEFT:
      case BLOCK_EFFECT_MOVE_RIGHT:
        hero.m_nBlockEffect = block.m_nEffect;
        hero.m_dBlockEffectValue = value * 0.1 / g_dHitLevel;
        hero.m_nBlockEffectTime = g_nHitLevel;
        break;
      default:
        break;
    }
    if (block.m_nEffect != BLOCK_EFFECT_NO_JUMP) hero.m_bNoJump = 0;
  }
  if (hero.m_nBlockEffectTime == 0) return;
  switch (hero.m_nBlockEffect) {
    case BLOCK_EFFECT_SPEED:
      hero.m_dVX *= hero.m_dBlockEffectValue;
      break;
    case BLOCK_EFFECT_MOVE_LEFT:
      hero.m_dVX -= hero.m_dBlockEffectValue;
      if (hero.m_dInertiaX > 0) hero.m_dInertiaX = 0;
      break;
    case BLOCK_EFFECT_MOVE_RIGHT:
      hero.m_dVX += hero.m_dBlockEffectValue;
      if (hero.m_dInertiaX < 0) hero.m_dInertiaX = 0;
      break;
    default:
      break;
  }
  if (--hero.m_nBlockEffectTime == 0) StickToGround(hero);
}

int GiveBlockItem(cHero& hero) {
  if (Flying(hero)) return 0;
  bool gave = false;
  if (hero.m_pGroundBlock && hero.m_nItemBlockWait == 0 &&
      static_cast<std::int8_t>(hero.m_pGroundBlock->GetHitMode(hero.m_nGroup)) != 0 &&
      hero.m_pGroundBlock->m_nItemPalette != 0) {
    const cMapCell& block = *hero.m_pGroundBlock;
    if (cEdItem* def = GetEdItem(block.m_nItemPalette, block.m_sItemIndex)) {
      const int answer = ApplyItemDefEffect(*def, hero);
      if (answer != 0) return answer;
      hero.m_nItemBlockWait = g_nHitLevel * 60;
      gave = true;
    }
  }
  if (hero.m_nItemBlockWait != 0) {
    if (hero.m_bAirLock) {
      hero.m_nItemBlockWait = 0;
    } else {
      if (hero.m_nItemBlockWait > 0) --hero.m_nItemBlockWait;
      if (hero.m_pGroundBlock && hero.m_pFloorKey != hero.m_pPrevFloorKey && !gave) {
        hero.m_nItemBlockWait = 0;
        StickToGround(hero);
      }
    }
  }
  return 0;
}
