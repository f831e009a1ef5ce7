#include "content/flow.h"

#include <utility>

#include "content/content_refs.h"
#include "foundation/shell_services.h"

cEdFlow::cEdFlow() {
  SetupItems(g_nDataVersion);
  Clear();
}

cEdFlow::cEdFlow(const cEdFlow&) = default;
cEdFlow::cEdFlow(cEdFlow&&) noexcept = default;
cEdFlow& cEdFlow::operator=(cEdFlow&&) noexcept = default;

cEdFlow& cEdFlow::operator=(const cEdFlow& source) {
  if (this == &source) return *this;
  // The source may lie inside this flow's own commands: copy it out before replacing them.
  cEdFlow copy(source);
  m_strName.swap(copy.m_strName);
  m_nID = copy.m_nID;
  m_nGroup = copy.m_nGroup;
  m_bTestPlayOnly = copy.m_bTestPlayOnly;
  m_nCondMode = copy.m_nCondMode;
  m_bCondOnce = copy.m_bCondOnce;
  m_nTrigger = copy.m_nTrigger;
  m_bPartnerAsTarget = copy.m_bPartnerAsTarget;
  m_nTargetSlot = copy.m_nTargetSlot;
  m_nKeyTolerance = copy.m_nKeyTolerance;
  m_bKeyRepeat = copy.m_bKeyRepeat;
  m_Conds.swap(copy.m_Conds);
  m_KeyConds.swap(copy.m_KeyConds);
  m_Cmds.swap(copy.m_Cmds);
  return *this;
}

void cEdFlow::SetupItems(int version) {
  ClearItems();
  if (version >= 676) AddString(&m_strName);
  AddByte(&m_nID);
  AddByte(&m_nGroup);
  AddByte(&m_bTestPlayOnly);
  AddByte(&m_nCondMode);
  AddByte(&m_bCondOnce);
  AddByte(&m_nTrigger);
  if (version >= 762) AddByte(&m_bPartnerAsTarget);
  if (version >= 767) AddByte(&m_nTargetSlot);
  AddByte(&m_nKeyTolerance);
  AddByte(&m_bKeyRepeat);
}

void cEdFlow::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed() || !ReadCondList(m_Conds, file) || !LoadKeyCondList(m_KeyConds, file) ||
      !LoadCmdList(m_Cmds, file))
    return;
  // Triggers were inserted into the numbering over the versions; each step sees the last.
  if (version <= 131 && m_nTrigger >= 11) m_nTrigger += 1;
  if (version < 163 && m_nTrigger != TRIGGER_ALWAYS) m_nGroup = 0;
  if (version < 164 && m_nTrigger >= 5) m_nTrigger += 2;
  if (version < 762 && m_nTrigger >= 18) m_nTrigger += 3;
  m_strName.clear();
  Validate();
}

void cEdFlow::Write(cDataFile& file) {
  Validate();
  cFileData::Write(file);
  WriteCondList(m_Conds, file);
  WriteRecordList(file, m_KeyConds);
  WriteRecordList(file, m_Cmds);
}

void cEdFlow::Validate() {
  for (cEdCmd& cmd : m_Cmds) cmd.Validate();
}

void cEdFlow::ClampIndexes() {
  for (cEdCmd& cmd : m_Cmds) cmd.ClampIndexes();
}

bool LoadFlowList(FlowVector& list, cDataFile& file) { return ReadRecordList(file, list, "flows"); }

void WriteFlowList(FlowVector& list, cDataFile& file) { WriteRecordList(file, list); }

void RemoveTestPlayOnlyFlows(FlowVector& list) {
  std::erase_if(list, [](const cEdFlow& flow) { return flow.m_bTestPlayOnly != 0; });
}

bool KeepTestPlayOnlyFlows() { return g_bEditorLaunch || ContentRefs().KeepTestPlayFlows(); }
