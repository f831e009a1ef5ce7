#pragma once
// The grid of map cells of a running stage: W x H cells inside a margin of 10 empty cells on
// every side, rows laid out with a power-of-two stride, so that the cell of a map pixel
// (px, py) is (px >> 5) + ((py >> 5) << shift), shift being the x axis's.
#include <cstdint>

#include "content/block.h"
#include "foundation/containers.h"

extern cVector<cMapCell> g_MapCells;

// Grids larger than this are refused as lack of memory (a 32-bit program could not hold them).
inline constexpr std::int64_t kMaxMapCells = std::int64_t{1} << 23;

// The cell at a flat index. An index outside the grid (an object above or below the map)
// reads as an empty cell; an index inside reads the cell it names.
cMapCell& MapCellAt(std::int64_t index);
// The flat index of the cell holding map pixel (px, py) (integer parts, shifted right by 5).
std::int64_t MapCellIndex(std::int32_t px, std::int32_t py);
// The cell of map column and row (margin excluded), or null outside the map: writes use it.
cMapCell* MapCellAtBlock(int column, int row);

// Empties the grid and makes (height + 20) x stride empty cells for a map of width x height
// cells (below 0 taken as 0). false, with the grid left empty, when the grid would exceed
// kMaxMapCells.
bool ResetMapCells(int width, int height);
// Makes a cell empty: no picture, no hit, latch cleared.
void MakeEmptyCell(cMapCell& cell);
