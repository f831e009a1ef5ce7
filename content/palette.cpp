#include "content/palette.h"

namespace {
sPaletteLists g_StagePaletteLists;

template <class Def>
bool ReadDefs(cVector<Def>& list, cDataFile& file, bool placed, std::size_t minBytes,
              const char* what) {
  std::int32_t count = 0;
  if (!file.ReadCount(count, minBytes + (placed ? 4 : 0), what, sizeof(Def))) return false;
  // Filled first and read in place: a definition whose base is an earlier entry of this
  // list inherits that entry's resolved values, one whose base is later the defaults.
  list.clear();
  list.resize(static_cast<std::size_t>(count));
  for (Def& def : list) {
    std::uint32_t dropped = 0;
    if (placed && !file.ReadValue(dropped)) return false;
    def.Read(file);
    if (file.Failed()) return false;
  }
  return true;
}

template <class Def>
void PadToTwo(cVector<Def>* list) {
  if (list && list->size() < 2) list->resize(2);
}

// The fewest bytes a stored definition takes: the generic part, position, flag count and
// condition count, and the flow or command count of characters and items.
constexpr std::size_t kMinBlockBytes = 8 + 4 + 4 + 4;
constexpr std::size_t kMinCharaBytes = kMinBlockBytes + 4 + 4;
constexpr std::size_t kMinItemBytes = kMinBlockBytes + 4;
}  // namespace

cPalette g_CommonPalette;

cPalette::cPalette() {
  m_Blocks.resize(1);
  m_Charas.resize(1);
  m_Items.resize(1);
}

bool cPalette::ReadBlocks(BlockVector& list, cDataFile& file, bool placed) {
  return ReadDefs(list, file, placed, kMinBlockBytes, "blocks");
}
bool cPalette::ReadCharas(CharaVector& list, cDataFile& file, bool placed) {
  return ReadDefs(list, file, placed, kMinCharaBytes, "characters");
}
bool cPalette::ReadItems(ItemVector& list, cDataFile& file, bool placed) {
  return ReadDefs(list, file, placed, kMinItemBytes, "items");
}

void cPalette::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed() || !ReadBlocks(m_Blocks, file) || !ReadCharas(m_Charas, file) ||
      !ReadItems(m_Items, file))
    return;
  ResetNoneEntries(Lists());
  // The common palette keeps the resolved values; nothing inherits again after loading.
  for (cEdBlock& block : m_Blocks) block.m_Inherit.assign(block.m_Inherit.size(), 0);
  for (cEdChara& chara : m_Charas) chara.m_Inherit.assign(chara.m_Inherit.size(), 0);
  for (cEdItem& item : m_Items) item.m_Inherit.assign(item.m_Inherit.size(), 0);
  Validate();
}

void cPalette::Write(cDataFile& file) {
  Validate();
  cFileData::Write(file);
  WritePaletteLists(Lists(), file);
}

void cPalette::Validate() { ValidatePaletteLists(Lists()); }

void SetStagePaletteLists(const sPaletteLists& lists) { g_StagePaletteLists = lists; }
const sPaletteLists& StagePaletteLists() { return g_StagePaletteLists; }

sPaletteLists PaletteLists(int palette) {
  if (palette == 1) return g_CommonPalette.Lists();
  if (palette == 2) return g_StagePaletteLists;
  return {};
}

std::int32_t PaletteListSize(int palette, ePaletteList list) {
  const sPaletteLists lists = PaletteLists(palette);
  std::size_t size = 0;
  if (list == PLIST_BLOCK && lists.pBlocks) size = lists.pBlocks->size();
  if (list == PLIST_CHARA && lists.pCharas) size = lists.pCharas->size();
  if (list == PLIST_ITEM && lists.pItems) size = lists.pItems->size();
  return static_cast<std::int32_t>(size);
}

void ResetNoneEntries(const sPaletteLists& lists) {
  if (lists.pBlocks && !lists.pBlocks->empty()) (*lists.pBlocks)[0].Clear();
  if (lists.pCharas && !lists.pCharas->empty()) (*lists.pCharas)[0].Clear();
  if (lists.pItems && !lists.pItems->empty()) (*lists.pItems)[0].Clear();
}

void ValidatePaletteLists(const sPaletteLists& lists) {
  PadToTwo(lists.pBlocks);
  PadToTwo(lists.pCharas);
  PadToTwo(lists.pItems);
  if (lists.pBlocks)
    for (cEdBlock& block : *lists.pBlocks) {
      block.Validate();
      block.ValidateItemRef();
    }
  if (lists.pCharas)
    for (cEdChara& chara : *lists.pCharas) {
      chara.Validate();
      chara.ClampIndexes();
    }
  if (lists.pItems)
    for (cEdItem& item : *lists.pItems) {
      item.Validate();
      item.ClampIndexes();
    }
}

void WritePaletteLists(const sPaletteLists& lists, cDataFile& file) {
  WriteRecordList(file, *lists.pBlocks);
  WriteRecordList(file, *lists.pCharas);
  WriteRecordList(file, *lists.pItems);
}

cEdItem* GetEdItem(int palette, std::int16_t index) {
  ItemVector* list = PaletteLists(palette).pItems;
  if (!list || static_cast<std::uint16_t>(index) >= list->size()) return nullptr;
  return &(*list)[static_cast<std::uint16_t>(index)];
}
