#include "content/block.h"

#include "content/content_refs.h"
#include "content/shot.h"

namespace {
cCharaBase* (*g_pAppearanceSubject)() = nullptr;
sTileDrawer g_TileDrawer;
}  // namespace

void SetAppearanceSubject(cCharaBase* (*subject)()) { g_pAppearanceSubject = subject; }
cCharaBase* AppearanceSubject() { return g_pAppearanceSubject ? g_pAppearanceSubject() : nullptr; }
void SetTileDrawer(const sTileDrawer& drawer) { g_TileDrawer = drawer; }

void UpgradeShotGraphic(std::int16_t& graphic, std::uint8_t kind, int version) {
  if (version >= 219 || kind != GRAPHIC_SHOT) return;
  const int raised = graphic + 1;
  graphic = static_cast<std::int16_t>(raised > kMaxShotGraphic ? kMaxShotGraphic : raised);
}

bool ReadInheritFlags(cVector<std::uint8_t>& flags, cDataFile& file) {
  std::int32_t count = 0;
  if (!file.ReadCount(count, 1, "inherit flags")) return false;
  // Read in place: the flags of a fresh definition already have room.
  flags.resize(static_cast<std::size_t>(count), 0);
  return count == 0 || file.ReadBytes(flags.data(), flags.size());
}

void WriteInheritFlags(const cVector<std::uint8_t>& flags, cDataFile& file) {
  WriteValueList(file, flags);
}

// The member initialisers hold the defaults; bindings are made when first used.
cEdBlock::cEdBlock() { m_Inherit.assign(kBlockInheritGroups, 0); }

void cEdBlock::SetupItems(int) {
  ClearItems();
  AddByte(&m_nBasePalette);
  AddShort(&m_sBaseIndex);
  AddByte(&m_nCondMode);
  AddByte(&m_bCondOnce);
  AddShort(&m_sGraphic);
  AddByte(&m_nGraphicKind);
  AddShort(&m_sGraphicFrame);
  AddByte(&m_nLayer);
  AddByte(&m_bHidden);
  AddByte(&m_nMarkShow);
  AddShort(&m_sMark);
  AddByte(&m_nHitMode);
  AddByte(&m_nPassGroup);
  AddByte(&m_nEffect);
  AddInt(&m_nEffectValue);
  AddByte(&m_nItemPalette);
  AddShort(&m_sItemIndex);
  AddByte(&m_bNoChange);
  AddString(&m_strName);
}

void cEdBlock::Clear() {
  cFileData::Clear();
  m_nHitMode = BLOCK_HIT_SOLID;
  m_Inherit.assign(kBlockInheritGroups, 0);
  m_nPassGroup = kNoPassGroup;
  m_sGraphic = 0;
}

void cEdBlock::Read(cDataFile& file) {
  const int version = file.Version();
  if (!ReadDefinitionHead(*this, file)) return;
  UpgradeShotGraphic(m_sGraphic, m_nGraphicKind, version);
  ApplyInheritance();
  Validate();
  ReleaseItems();
}

void cEdBlock::Write(cDataFile& file) { WriteDefinitionHead(*this, file); }

void cEdBlock::Validate() {
  ValidateBaseRef(*this, PLIST_BLOCK);
  if (m_sGraphic == 0) {
    m_nHitMode = BLOCK_HIT_NONE;
    m_bNoChange = 0;
  }
}

void cEdBlock::ValidateItemRef() {
  if (m_nItemPalette != PALETTE_COMMON && m_nItemPalette != PALETTE_STAGE) return;
  if (IndexInTable(static_cast<std::uint16_t>(m_sItemIndex),
                   ContentRefs().PaletteListSize(m_nItemPalette == PALETTE_STAGE, PLIST_ITEM)))
    return;
  m_nItemPalette = 0;
  m_sItemIndex = 0;
}

void cEdBlock::DrawTile(DDSURFACEDATA* target, int x, int y) const {
  if (g_TileDrawer.pDrawGraphic)
    g_TileDrawer.pDrawGraphic(target, m_nGraphicKind, m_sGraphic, m_sGraphicFrame, x, y);
  // The mark sheet numbers its cells down columns of 15, like the block sheet.
  if (m_nMarkShow == 1 && g_TileDrawer.pDrawMark)
    g_TileDrawer.pDrawMark(target, m_sMark / 15 * 32, m_sMark % 15 * 32, x, y);
}

void cMapCell::SetBlock(const cEdBlock& block) {
  cEdBlock::operator=(block);
  m_bAppeared = 0;
}

bool cMapCell::AppearsByConditions() {
  return CheckLatchedConditions(m_Conds, m_nCondMode, m_bCondOnce, m_bAppeared,
                                AppearanceSubject()) != 0;
}

std::uint8_t cMapCell::GetHitMode(int group) {
  if (!Appears()) return BLOCK_HIT_NONE;
  if (static_cast<std::int8_t>(m_nPassGroup) == group) return BLOCK_HIT_NONE;
  return m_nHitMode;
}
