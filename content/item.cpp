#include "content/item.h"

#include "content/block.h"
#include "content/content_refs.h"

// The member initialisers hold the defaults; bindings are made when first used.
cEdItem::cEdItem() { m_Inherit.assign(kItemInheritGroups, 0); }

void cEdItem::SetupItems(int) {
  ClearItems();
  AddByte(&m_nBasePalette);
  AddShort(&m_sBaseIndex);
  AddByte(&m_nCondMode);
  AddByte(&m_bCondOnce);
  AddShort(&m_sOffsetX);
  AddShort(&m_sOffsetY);
  AddShort(&m_sGraphic);
  AddByte(&m_nGraphicKind);
  AddShort(&m_sGraphicFrame);
  AddByte(&m_nExtra5);
  AddByte(&m_bHidden);
  AddByte(&m_nMarkShow);
  AddShort(&m_sMark);
  // The files have always stored these two the other way round from their declaration.
  AddByte(&m_bShowOnTake);
  AddByte(&m_nTakeMode);
  AddByte(&m_nScale);
  AddShort(&m_sSound);
  AddString(&m_strName);
}

void cEdItem::Clear() {
  cFileData::Clear();
  m_Inherit.assign(kItemInheritGroups, 0);
  m_nGraphicKind = GRAPHIC_ITEM;
  m_sGraphic = 0;
  m_bShowOnTake = 1;
  m_nScale = 1;
  m_nExtra5 = 6;
}

void cEdItem::Read(cDataFile& file) {
  const int version = file.Version();
  if (!ReadDefinitionHead(*this, file) || !LoadCmdList(m_Cmds, file)) return;
  UpgradeShotGraphic(m_sGraphic, m_nGraphicKind, version);
  ApplyInheritance();
  Validate();
  ReleaseItems();
}

void cEdItem::Write(cDataFile& file) {
  WriteDefinitionHead(*this, file);
  WriteRecordList(file, m_Cmds);
}

void cEdItem::Validate() {
  ValidateBaseRef(*this, PLIST_ITEM);
  if (static_cast<std::int8_t>(m_nScale) <= 0) m_nScale = 1;
  if (!IndexInTable(m_sSound, ContentRefs().TableSize(REF_SOUND))) m_sSound = 0;
  for (cEdCmd& cmd : m_Cmds) cmd.Validate();
}

void cEdItem::ClampIndexes() {
  for (cEdCmd& cmd : m_Cmds) cmd.ClampIndexes();
}
