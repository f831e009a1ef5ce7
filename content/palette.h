#pragma once
// Palettes: three lists of definitions (blocks, characters, items) whose entry 0 is the
// fixed "none" definition. The project's common palette is one global record; every stage
// carries lists of the same kinds, which definitions name as palette 2.
#include <cstdint>

#include "content/block.h"
#include "content/chara.h"
#include "content/content_refs.h"
#include "content/item.h"
#include "foundation/containers.h"
#include "foundation/file_data.h"

using BlockVector = cVector<cEdBlock>;
using CharaVector = cVector<cEdChara>;
using ItemVector = cVector<cEdItem>;

// The three lists of one palette.
struct sPaletteLists {
  BlockVector* pBlocks = nullptr;
  CharaVector* pCharas = nullptr;
  ItemVector* pItems = nullptr;
};

class cPalette : public cFileData {
 public:
  cPalette();

  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  void Validate();

  // Reads a list: a 32-bit count, the list refilled with that many fresh definitions, then
  // each read in order, so that a definition whose base stands earlier in the same list
  // takes that entry's resolved values. With placed set every entry is preceded by a 32-bit
  // value that is dropped.
  static bool ReadBlocks(BlockVector& list, cDataFile& file, bool placed = false);
  static bool ReadCharas(CharaVector& list, cDataFile& file, bool placed = false);
  static bool ReadItems(ItemVector& list, cDataFile& file, bool placed = false);

  sPaletteLists Lists() { return {&m_Blocks, &m_Charas, &m_Items}; }

  BlockVector m_Blocks;
  CharaVector m_Charas;
  ItemVector m_Items;
};

extern cPalette g_CommonPalette;

// The palette of the loaded stage, which the stage record installs; empty lists before.
void SetStagePaletteLists(const sPaletteLists& lists);
const sPaletteLists& StagePaletteLists();
// The lists of palette 1 (common) or 2 (stage); no lists for another value.
sPaletteLists PaletteLists(int palette);
// The size of one list of palette 1 or 2; 0 for another palette or a missing list.
std::int32_t PaletteListSize(int palette, ePaletteList list);
// The item definition at index of palette 1 or 2; null for another palette or an index
// outside the list.
cEdItem* GetEdItem(int palette, std::int16_t index);

// Entry 0 of each non-empty list back to the defaults of its kind.
void ResetNoneEntries(const sPaletteLists& lists);
// Pads each list to two entries, then validates every entry and its references.
void ValidatePaletteLists(const sPaletteLists& lists);
// Writes the three lists, each a count and its records.
void WritePaletteLists(const sPaletteLists& lists, cDataFile& file);
