// Placing and summoning characters and items, and changing map blocks while the stage runs.
#include "play/spawn.h"

#include <algorithm>
#include <climits>

#include "content/chara.h"
#include "content/item.h"
#include "content/palette.h"
#include "content/shot.h"
#include "foundation/report.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_units.h"
#include "play/block_collision.h"
#include "play/map_cells.h"
#include "play/play_scene.h"
#include "project/system_data.h"

namespace {

// The run-time meanings of the summon parameters' stored fields.
int SummonLifeOn(const cEdShot& p) { return p.m_bRange; }
int SummonLifeTenths(const cEdShot& p) { return p.m_sRange; }
int RefusesOverHero(const cEdShot& p) { return p.m_byReserved56; }
int RefusesOverChara(const cEdShot& p) { return p.m_byReserved57; }
int NoScore(const cEdShot& p) { return p.m_byReserved62; }
int OwnerNotify(const cEdShot& p) { return p.m_byReserved63; }
std::uint8_t OwnerNotifySlot(const cEdShot& p) { return static_cast<std::uint8_t>(p.m_byReserved64); }

// The sub-steps of a summon's life time given in tenths of a second.
std::int32_t LifeSubSteps(const cEdShot& p) {
  const std::int64_t steps = std::int64_t{SummonLifeTenths(p)} * g_nHitLevel6;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(steps, INT_MIN, INT_MAX - 1));
}

void Shift(cObject& o, double dx, double dy) {
  o.m_dX += dx;
  o.m_dRight += dx;
  o.m_dY += dy;
  o.m_dBottom += dy;
}

// The copy offsets of copy i, added to the box and, unless the project predates it, to the
// start point.
void ShiftCopy(cChara& chara, const cEdChara& def, int i) {
  const double dx = def.GetPlaceOffsetX(i, def.m_nFacing);
  const double dy = def.GetPlaceOffsetY(i, def.m_nFacing);
  Shift(chara, dx, dy);
  if (!g_SystemData.bCompatSpawn) {
    chara.m_dSpawnX += dx;
    chara.m_dSpawnY += dy;
  }
}

void PositionChanged(cCharaBase& chara) {
  chara.OnPosChangedX();
  chara.OnPosChangedY();
}

// The box placed so that the graphic cell's corner lies at (x, y).
void PlaceCellCorner(cObject& o, double x, double y) {
  o.m_dX = x + o.m_Rect.m_nOffsetX;
  o.m_dY = y + o.m_Rect.m_nOffsetY;
  o.m_dRight = o.m_dX + o.m_nWidth - 1;
  o.m_dBottom = o.m_dY + o.m_nHeight - 1;
}

int ExtraCopies(const cEdChara& def) { return static_cast<std::int8_t>(def.m_nCopies); }

}  // namespace

namespace {
bool s_bListFullReported = false;
}  // namespace

bool RunTimeListFull(std::size_t size) {
  if (size < kMaxRunTimeObjects) return false;
  if (!s_bListFullReported) {
    s_bListFullReported = true;
    Report("Too many objects: an object made during play was refused");
  }
  return true;
}

void ResetRunTimeListReport() { s_bListFullReported = false; }

void PlaceCharacter(cCharaList& list, int column, int row, std::int32_t& counter,
                    cEdChara& def, cItem* item) {
  cEdChara copy = def;
  const int n = ExtraCopies(copy) + 1;
  for (int i = 0; i < n; ++i) {
    cChara chara;
    chara.InitFromDef(counter, copy, item, (column + 10) * 32.0 + 16, (row + 10) * 32.0 + 16, i,
                      nullptr);
    chara.SetBlockPos(column, row);
    ShiftCopy(chara, copy, i);
    if (!chara.IsInStage(1)) continue;
    PositionChanged(chara);
    cChara& added = list.emplace_back(chara);
    added.UpdateScreenRect();
    ++counter;
  }
}

void PlaceItem(cList<cItem>& list, int column, int row, std::int32_t& counter, cEdItem& def) {
  cEdItem copy = def;
  cItem item;
  item.SetUpFromDef(counter, copy, 0);
  item.SetBlockPos(column, row);
  Shift(item, copy.m_sOffsetX, copy.m_sOffsetY);
  if (!item.IsInStage(1)) return;
  item.ClampX(CLAMP_MAP);
  item.ClampY(CLAMP_MAP);
  cItem& added = list.emplace_back(item);
  added.UpdateScreenRect();
  ++counter;
}

void SpawnCharacter(cCharaList& list, double x, double y, int group, int facing,
                    const cEdShot& params, const cEdChara& def, std::int32_t& counter,
                    cCharaBase* summoner) {
  cEdChara copy = def;
  copy.m_nFacing = static_cast<std::uint8_t>(facing);
  copy.m_nGroup = static_cast<std::uint8_t>(group);
  if (NoScore(params)) copy.m_nScore = 0;
  const int n = ExtraCopies(copy) + 1;
  for (int i = 0; i < n; ++i) {
    if (RunTimeListFull(list.size())) return;
    cChara chara;
    chara.InitFromDef(counter, copy, nullptr, x + 16, y + 16, i, summoner);
    PlaceCellCorner(chara, x, y);
    ShiftCopy(chara, copy, i);
    if (!chara.IsInStage(1)) continue;
    PositionChanged(chara);
    auto node = list.emplace(list.end(), chara);
    node->UpdateScreenRect();
    if (IsPlaceBlocked(*node)) {
      // Taken away in full: nothing links to it yet.
      list.erase(node);
      continue;
    }
    node->InitTargets(summoner);
    if (SummonLifeOn(params)) node->m_nLife = LifeSubSteps(params);
    node->m_bOwnerNotify = OwnerNotify(params);
    node->m_nOwnerNotifySlot = OwnerNotifySlot(params);
    if (g_pPlayScene) g_pPlayScene->m_CharaGroup[node->m_nGroup].push_back(&*node);
    ++counter;
  }
}

void SpawnItem(cList<cItem>& list, double x, double y, const cEdShot& params,
               const cEdItem& def, std::int32_t& counter) {
  if (RunTimeListFull(list.size())) return;
  cEdItem copy = def;
  cItem item;
  item.SetUpFromDef(counter, copy, 0);
  PlaceCellCorner(item, x, y);
  Shift(item, copy.m_sOffsetX, copy.m_sOffsetY);
  if (!item.IsInStage(1)) return;
  item.ClampX(CLAMP_MAP);
  item.ClampY(CLAMP_MAP);
  if (SummonLifeOn(params)) item.m_nLife = LifeSubSteps(params);
  list.emplace_back(item);
  ++counter;
}

int HoldCaughtObjects(std::int64_t cellIndex, int column, int row, const cEdShot& params) {
  cMapCell& cell = MapCellAt(cellIndex);
  const double left = column * 32.0, top = row * 32.0;
  const double right = (column + 1) * 32.0 - 0.1, bottom = (row + 1) * 32.0 - 0.1;
  const auto caught = [&](cCharaBase& o) {
    return static_cast<std::int8_t>(cell.GetHitMode(o.m_nGroup)) != 0 && o.m_dX <= right &&
           o.m_dRight >= left && o.m_dY <= bottom && o.m_dBottom >= top;
  };
  for (cHero& hero : g_Heroes) {
    if (hero.m_bFinished || !caught(hero)) continue;
    hero.m_nFlyChangeTimer = 2;
    if (RefusesOverHero(params)) return 1;
  }
  for (cChara& chara : g_CharaList) {
    if (chara.m_bFinished || !chara.m_bActivated || !caught(chara)) continue;
    chara.m_nFlyChangeTimer = 2;
    if (RefusesOverChara(params)) return 1;
  }
  return 0;
}

namespace {

bool BlockPresent(cMapCell& cell) { return cell.m_sGraphic != 0 && cell.Appears(); }

// Places the block; false when a refuse switch undid it.
bool SummonBlock(cMapCell& cell, std::int64_t index, int column, int row, const cEdShot& params,
                 const cEdBlock& block) {
  if (!RefusesOverHero(params) && !RefusesOverChara(params)) {
    SetMapCellBlock(cell, block);
    HoldCaughtObjects(index, column, row, params);
    return true;
  }
  const cMapCell kept = cell;
  SetMapCellBlock(cell, block);
  if (HoldCaughtObjects(index, column, row, params) == 1) {
    cell = kept;
    RefreshMapCellHit(cell);
    return false;
  }
  return true;
}

void EraseBlock(cMapCell& cell) {
  // Entry 0 of the common palette is the fixed empty definition.
  if (!g_CommonPalette.m_Blocks.empty())
    SetMapCellBlock(cell, g_CommonPalette.m_Blocks.front());
  else
    MakeEmptyCell(cell);
}

}  // namespace

void ChangeBlock(double x, double y, const cEdShot& params, const cEdBlock& block) {
  if (!g_pPlayScene || g_MapCells.empty()) return;
  const int column = static_cast<int>(x + 16.5) >> 5;
  const int row = static_cast<int>(y + 16.5) >> 5;
  // A column outside the row would wrap into the next or the previous row.
  if (column < 0 || column >= g_pPlayScene->m_ScrollX.m_nStride) return;
  const std::int64_t index = std::int64_t{column} + (std::int64_t{row} << g_pPlayScene->m_ScrollX.m_nShift);
  if (index < 0 || index >= static_cast<std::int64_t>(g_MapCells.size())) return;
  cMapCell& cell = MapCellAt(index);
  if (cell.m_bNoChange) {
    if (g_SystemData.bCompatBlockChange) return;
    if (BlockPresent(cell)) return;
  }
  switch (params.m_nBlockSummonMode) {
    case BLOCKCHANGE_SUMMON:
      SummonBlock(cell, index, column, row, params, block);
      break;
    case BLOCKCHANGE_ERASE:
      EraseBlock(cell);
      break;
    case BLOCKCHANGE_TOGGLE: {
      cVector<std::int32_t>& toggled = g_pPlayScene->m_ToggledCells;
      const auto value = static_cast<std::int32_t>(index);
      if (std::find(toggled.begin(), toggled.end(), value) != toggled.end()) return;
      if (BlockPresent(cell)) {
        EraseBlock(cell);
        toggled.push_back(value);
      } else if (SummonBlock(cell, index, column, row, params, block)) {
        toggled.push_back(value);
      }
      break;
    }
    default:
      break;
  }
}
