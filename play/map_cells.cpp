#include "play/map_cells.h"

#include <algorithm>

#include "play/scroll_axis.h"

cVector<cMapCell> g_MapCells;

void MakeEmptyCell(cMapCell& cell) {
  cell.m_sGraphic = 0;
  cell.m_nHitMode = BLOCK_HIT_NONE;
  cell.m_bAppeared = 0;
}

namespace {

// What every index outside the grid reads. Its state is made empty again at each read, so
// that nothing a reader did to it can show through.
cMapCell& OutsideCell() {
  static cMapCell cell = [] {
    cMapCell c;
    MakeEmptyCell(c);
    return c;
  }();
  if (!cell.m_Conds.empty()) cell.m_Conds.clear();
  MakeEmptyCell(cell);
  return cell;
}

}  // namespace

cMapCell& MapCellAt(std::int64_t index) {
  if (index < 0 || index >= static_cast<std::int64_t>(g_MapCells.size())) return OutsideCell();
  return g_MapCells.data()[index];
}

std::int64_t MapCellIndex(std::int32_t px, std::int32_t py) {
  return static_cast<std::int64_t>(px >> 5) +
         (static_cast<std::int64_t>(py >> 5) << ScrollAxisX().m_nShift);
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

bool ResetMapCells(int width, int height) {
  g_MapCells.clear();
  width = std::max(width, 0);
  height = std::max(height, 0);
  const std::int64_t cells = (static_cast<std::int64_t>(height) + 2 * kMapMargin)
                             << MapRowShift(width);
  if (cells > kMaxMapCells) return false;
  cMapCell empty;
  MakeEmptyCell(empty);
  g_MapCells.assign(static_cast<std::size_t>(cells), empty);
  return true;
}
