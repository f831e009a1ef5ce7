#include "content/condition.h"

#include "foundation/compare.h"

namespace {
sConditionServices g_ConditionServices;
}  // namespace

// ---- cEdCond -------------------------------------------------------------------------

cEdCond::cEdCond() {
  SetupItems(g_nDataVersion);
  Clear();
}

void cEdCond::SetupItems(int version) {
  ClearItems();
  AddByte(&m_nKind);
  AddInt(&m_nConst);
  if (version >= 110) {
    AddInt(&m_nRandLow);
    AddInt(&m_nRandHigh);
    AddByte(&m_nObject);
    AddByte(&m_nItem);
    AddByte(&m_nLeftSide);
    AddByte(&m_nLeftScope);
    AddShort(&m_nIndex);
    AddByte(&m_nSource);
    AddByte(&m_nOperandObject);
    AddByte(&m_nOperandItem);
    AddByte(&m_nOperandScope);
    AddShort(&m_nOperandIndex);
  } else {
    // Two values of the first editors that nothing reads any more.
    AddShort(&g_wDummy);
    AddShort(&g_wDummy);
  }
  AddByte(&m_nOperator);
  if (version >= 43) AddByte(&m_bPercent);
  AddByte(&m_nAxis);
}

void cEdCond::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  if (version < kDataVersion) Upgrade(version);
}

void cEdCond::Upgrade(int v) {
  // Object 2 was the system object before target slots 2 to 4 were inserted.
  constexpr int kOldSystem = 2;
  if (v < 160 && m_nKind >= COND_STATUS2) m_nKind = static_cast<std::int8_t>(m_nKind + 2);
  if (v < 161 && m_nKind == COND_STATUS3 && m_nItem == STATE_ON_BLOCK) m_nOperator ^= 1;
  // Statuses were inserted twice into the list of character statuses.
  for (int threshold : {v < 168 ? 10 : 0, v < 203 ? 5 : 0}) {
    if (threshold == 0 || m_nKind != COND_STATUS) continue;
    if (m_nLeftSide == 0 && m_nObject != kOldSystem && m_nItem >= threshold) ++m_nItem;
    if (m_nSource == VALUE_STATUS && m_nOperandObject != kOldSystem && m_nOperandItem >= threshold)
      ++m_nOperandItem;
  }
  if (v < 210 && m_nKind == COND_STATUS2 && m_nObject != kOldSystem && m_nItem >= 6) ++m_nItem;
  if (v < 657 && m_nKind == COND_DISTANCE) m_nObject = 0;
  if (v < 745 && m_nKind == COND_DISTANCE) m_nLeftSide = 0;
  if (v < 746 && m_nKind == COND_DISTANCE) {
    m_nSource = 1;
    m_nOperandObject = 1;
  }
  if (v < 767 && (m_nKind == COND_STATUS || m_nKind == COND_STATUS2)) {
    if (m_nObject >= 2) m_nObject = static_cast<std::int8_t>(m_nObject + 3);
    if (m_nOperandObject >= 2) m_nOperandObject = static_cast<std::int8_t>(m_nOperandObject + 3);
  }
}

bool ReadCondList(CondVector& list, cDataFile& file) {
  return ReadRecordList(file, list, "condition list");
}

void WriteCondList(CondVector& list, cDataFile& file) { WriteRecordList(file, list); }

// ---- cCondList -----------------------------------------------------------------------

cCondList::cCondList() {
  SetupItems(g_nDataVersion);
  Clear();
}

void cCondList::SetupItems(int) {
  ClearItems();
  AddByte(&m_bEnabled);
  AddByte(&m_nMode);
}

void cCondList::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  if (version >= 766)
    ReadCondList(m_Conds, file);
  else
    m_Conds.clear();  // lists of older editors carried no conditions
}

void cCondList::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteCondList(m_Conds, file);
}

void NewCondList(std::shared_ptr<cCondList>& list) { list = std::make_shared<cCondList>(); }

// ---- evaluation ----------------------------------------------------------------------

void SetConditionServices(const sConditionServices& services) { g_ConditionServices = services; }

const sConditionServices& ConditionServices() { return g_ConditionServices; }

int CheckCondition(cEdCond& cond, cCharaBase* subject) {
  switch (cond.m_nKind) {
    case COND_COMMON_VAR:
    case COND_STAGE_VAR:
    case COND_CHARA_VAR: {
      if (!g_ConditionServices.pReadVariable) return 0;
      const std::int32_t value =
          g_ConditionServices.pReadVariable(cond.m_nKind, cond.m_nIndex, subject);
      return CompareByOp(value, cond.m_nConst, static_cast<eCompareOp>(cond.m_nOperator));
    }
    case COND_STATUS:
    case COND_STATUS2:
    case COND_STATUS3:
    case COND_DISTANCE:
      if (!g_ConditionServices.pTestObject) return 0;
      return g_ConditionServices.pTestObject(cond, subject) ? 1 : 0;
    default:
      return 0;
  }
}

int CheckConditions(CondVector& conds, int mode, cCharaBase* subject) {
  if (mode == COND_MODE_ALL) {
    for (cEdCond& cond : conds)
      if (!CheckCondition(cond, subject)) return 0;
    return 1;
  }
  if (mode == COND_MODE_ANY) {
    for (cEdCond& cond : conds)
      if (CheckCondition(cond, subject)) return 1;
    return 0;
  }
  return 0;
}

int CheckCondList(cCondList* list, cCharaBase* subject) {
  if (!list || !list->m_bEnabled || list->m_Conds.empty()) return 1;
  return CheckConditions(list->m_Conds, list->m_nMode, subject);
}
