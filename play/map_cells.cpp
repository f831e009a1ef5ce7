#include "play/map_cells.h"

#include <algorithm>
#include <cassert>
#include <functional>

cVector<cMapCell> g_MapCells;
cVector<sCellHit> g_MapCellHits;

void MakeEmptyCell(cMapCell& cell) {
  cell.m_sGraphic = 0;
  cell.m_nHitMode = BLOCK_HIT_NONE;
  cell.m_bAppeared = 0;
  RefreshMapCellHit(cell);
}

void SetMapCellBlock(cMapCell& cell, const cEdBlock& block) {
  cell.SetBlock(block);
  RefreshMapCellHit(cell);
}

cMapCell& OutsideMapCell() {
  // Its state is made empty again at each read, so that nothing a reader did to it can show
  // through.
  static cMapCell cell = [] {
    cMapCell c;
    MakeEmptyCell(c);
    return c;
  }();
  if (!cell.m_Conds.empty()) cell.m_Conds.clear();
  MakeEmptyCell(cell);
  return cell;
}

cMapCell* MapCellAtBlock(int column, int row) {
  const cScrollAxis& x = ScrollAxisX();
  const cScrollAxis& y = ScrollAxisY();
  if (column < 0 || row < 0 || column >= x.m_nCells - 2 * kMapMargin ||
      row >= y.m_nCells - 2 * kMapMargin)
    return nullptr;
  const std::int64_t index = static_cast<std::int64_t>(row + kMapMargin) * x.m_nStride +
                             (column + kMapMargin);
  if (index >= static_cast<std::int64_t>(g_MapCells.size())) return nullptr;
  return &g_MapCells.data()[index];
}

void CheckMapCellHit([[maybe_unused]] std::int64_t index) {
  assert(g_MapCellHits.size() == g_MapCells.size() && "the probes' table follows the grid");
  assert((index < 0 || index >= static_cast<std::int64_t>(g_MapCells.size()) ||
          g_MapCellHits[static_cast<std::size_t>(index)] ==
              CellHitOf(g_MapCells[static_cast<std::size_t>(index)])) &&
         "a cell was changed without refreshing its entry");
}

void RefreshMapCellHit(const cMapCell& cell) {
  const std::less<const cMapCell*> before;
  if (before(&cell, g_MapCells.data()) || !before(&cell, g_MapCells.data() + g_MapCells.size()))
    return;
  const auto index = static_cast<std::size_t>(&cell - g_MapCells.data());
  if (index < g_MapCellHits.size()) g_MapCellHits[index] = CellHitOf(cell);
}

void RefreshMapCellHits() {
  g_MapCellHits.resize(g_MapCells.size());
  for (std::size_t i = 0; i < g_MapCells.size(); ++i) g_MapCellHits[i] = CellHitOf(g_MapCells[i]);
}

bool ResetMapCells(int width, int height) {
  g_MapCells.clear();
  g_MapCellHits.clear();
  width = std::max(width, 0);
  height = std::max(height, 0);
  const std::int64_t cells = (static_cast<std::int64_t>(height) + 2 * kMapMargin)
                             << MapRowShift(width);
  if (cells > kMaxMapCells) return false;
  cMapCell empty;
  MakeEmptyCell(empty);
  g_MapCells.assign(static_cast<std::size_t>(cells), empty);
  g_MapCellHits.assign(static_cast<std::size_t>(cells), CellHitOf(empty));
  return true;
}
