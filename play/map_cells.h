#pragma once
// The grid of map cells of a running stage: W x H cells inside a margin of 10 empty cells on
// every side, rows laid out with a power-of-two stride, so that the cell of a map pixel
// (px, py) is (px >> 5) + ((py >> 5) << shift), shift being the x axis's.
//
// Beside the grid lies a table of what the collision probes need of each cell (its hit mode,
// its pass group, whether it has appearance conditions), one byte a cell instead of the
// whole cell. Whatever changes a cell's block, hit mode, pass group or conditions refreshes
// its entry (SetMapCellBlock, MakeEmptyCell and ResetMapCells do; a direct write to a cell
// is followed by RefreshMapCellHit or RefreshMapCellHits).
#include <cstdint>

#include "content/block.h"
#include "foundation/containers.h"
#include "play/scroll_axis.h"

extern cVector<cMapCell> g_MapCells;

// One cell's entry of the probes' table: the hit mode in bits 0-1 and the pass group in bits
// 2-5, or kNoPass for none; kAskCell when the cell has appearance conditions or values the
// byte cannot hold, and the cell itself answers.
struct sCellHit {
  static constexpr std::uint8_t kNoPass = 0x80;
  static constexpr std::uint8_t kAskCell = 0xFF;
  std::uint8_t nCode = kNoPass | BLOCK_HIT_NONE;
  bool operator==(const sCellHit&) const = default;
};
extern cVector<sCellHit> g_MapCellHits;

// Grids larger than this are refused as lack of memory (a 32-bit program could not hold them).
inline constexpr std::int64_t kMaxMapCells = std::int64_t{1} << 23;

// What every index outside the grid reads: an empty cell, made empty again at each read.
cMapCell& OutsideMapCell();

// The cell at a flat index. An index outside the grid (an object above or below the map)
// reads as an empty cell; an index inside reads the cell it names.
inline cMapCell& MapCellAt(std::int64_t index) {
  if (index < 0 || index >= static_cast<std::int64_t>(g_MapCells.size())) return OutsideMapCell();
  return g_MapCells.data()[index];
}
// The flat index of the cell holding map pixel (px, py) (integer parts, shifted right by 5),
// on a grid of row shift shift, or on the x axis's.
inline std::int64_t MapCellIndex(std::int32_t px, std::int32_t py, int shift) {
  return static_cast<std::int64_t>(px >> 5) + (static_cast<std::int64_t>(py >> 5) << shift);
}
inline std::int64_t MapCellIndex(std::int32_t px, std::int32_t py) {
  return MapCellIndex(px, py, ScrollAxisX().m_nShift);
}
// The cell of map column and row (margin excluded), or null outside the map: writes use it.
cMapCell* MapCellAtBlock(int column, int row);

// The entry a cell's state gives.
inline sCellHit CellHitOf(const cMapCell& cell) {
  const unsigned mode = cell.m_nHitMode, pass = cell.m_nPassGroup;
  if (!cell.m_Conds.empty() || mode > 3) return {sCellHit::kAskCell};
  if (pass == kNoPassGroup) return {static_cast<std::uint8_t>(sCellHit::kNoPass | mode)};
  if (pass > 15) return {sCellHit::kAskCell};
  return {static_cast<std::uint8_t>(pass << 2 | mode)};
}

// Debug builds: stops when the entry of index no longer matches its cell.
void CheckMapCellHit(std::int64_t index);

// MapCellAt(index).GetHitMode(group), answered from the table when the cell has no
// conditions (it is there then, and nothing latches); a cell with conditions is asked itself.
inline std::uint8_t MapCellHitMode(std::int64_t index, int group) {
#ifndef NDEBUG
  CheckMapCellHit(index);
#endif
  if (index < 0 || index >= static_cast<std::int64_t>(g_MapCellHits.size())) return BLOCK_HIT_NONE;
  const std::uint8_t code = g_MapCellHits.data()[index].nCode;
  if (code == sCellHit::kAskCell) return MapCellAt(index).GetHitMode(group);
  // The pass group compares as a signed byte: no pass group reads as -1.
  const int pass = (code & sCellHit::kNoPass) ? -1 : code >> 2;
  if (pass == group) return BLOCK_HIT_NONE;
  return code & 3;
}

// Refreshes the entry of a cell of the grid (a cell elsewhere is ignored), or of them all.
void RefreshMapCellHit(const cMapCell& cell);
void RefreshMapCellHits();

// Empties the grid and makes (height + 20) x stride empty cells for a map of width x height
// cells (below 0 taken as 0). false, with the grid left empty, when the grid would exceed
// kMaxMapCells.
bool ResetMapCells(int width, int height);
// Makes a cell empty: no picture, no hit, latch cleared.
void MakeEmptyCell(cMapCell& cell);
// The cell receives another block (its latch starts again).
void SetMapCellBlock(cMapCell& cell, const cEdBlock& block);
