#pragma once
// The grid of map cells of a running stage: W x H cells inside a margin of 10 empty cells on
// every side, rows laid out with a power-of-two stride, so that the cell of a map pixel
// (px, py) is (px >> 5) + ((py >> 5) << shift), shift being the x axis's.
//
// Beside the grid lies a table of what the collision probes need of each cell (its hit mode,
// its pass group, whether it has appearance conditions), four bytes a cell instead of the
// whole cell. Whatever changes a cell's block, hit mode, pass group or conditions refreshes
// its entry (SetMapCellBlock, MakeEmptyCell and ResetMapCells do; a direct write to a cell
// is followed by RefreshMapCellHit or RefreshMapCellHits).
#include <cstdint>

#include "content/block.h"
#include "foundation/containers.h"
#include "play/scroll_axis.h"

extern cVector<cMapCell> g_MapCells;

// One cell's entry of the probes' table.
struct sCellHit {
  std::uint8_t nHitMode = BLOCK_HIT_NONE;
  std::uint8_t nPassGroup = kNoPassGroup;
  std::uint8_t bConds = 0;  // the cell has appearance conditions: the cell itself answers
  std::uint8_t nPad = 0;
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
// The flat index of the cell holding map pixel (px, py) (integer parts, shifted right by 5).
inline std::int64_t MapCellIndex(std::int32_t px, std::int32_t py) {
  return static_cast<std::int64_t>(px >> 5) +
         (static_cast<std::int64_t>(py >> 5) << ScrollAxisX().m_nShift);
}
// The cell of map column and row (margin excluded), or null outside the map: writes use it.
cMapCell* MapCellAtBlock(int column, int row);

// The entry a cell's state gives.
inline sCellHit CellHitOf(const cMapCell& cell) {
  sCellHit hit;
  hit.nHitMode = cell.m_nHitMode;
  hit.nPassGroup = cell.m_nPassGroup;
  hit.bConds = cell.m_Conds.empty() ? 0 : 1;
  return hit;
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
  const sCellHit hit = g_MapCellHits.data()[index];
  if (hit.bConds) return MapCellAt(index).GetHitMode(group);
  if (static_cast<std::int8_t>(hit.nPassGroup) == group) return BLOCK_HIT_NONE;
  return hit.nHitMode;
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
