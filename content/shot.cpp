#include "content/shot.h"

#include "content/content_refs.h"

int g_nPlaybackReplayVersion = 0;

cEdShot::cEdShot() {
  SetupItems(g_nDataVersion);
  Clear();
}

void cEdShot::SetupItems(int version) {
  ClearItems();
  AddByte(&m_nCount);
  AddByte(&m_nFormation);
  AddShort(m_sFormationValue, 3);
  if (version >= 671) AddByte(&m_byReserved4);
  AddByte(&m_nDirection);
  AddByte(&m_byReserved6);
  if (version >= 767) AddByte(&m_nTargetSlot);
  AddShort(&m_sAngleDev);
  AddShort(&m_sAngleDevClone);
  if (version >= 158) AddByte(&m_bMirrorAngle);
  AddShort(&m_sSpreadAngle);
  AddByte(&m_byReserved12);
  AddByte(&m_nClonesPerShot);
  AddShort(&m_sOffsetX);
  AddShort(&m_sOffsetXClone);
  AddShort(&m_sOffsetY);
  AddShort(&m_sOffsetYClone);
  AddByte(&m_bMirrorX);
  AddByte(&m_bMirrorY);
  AddShort(&m_sGraphic);
  AddByte(&m_nZ);
  AddByte(&m_bInvisible);
  AddByte(&m_bGroupFromFirer);
  AddByte(&m_nGroup);
  AddByte(&m_byReserved25);
  AddByte(&m_nSizeFactor);
  AddByte(&m_byReserved27);
  AddByte(&m_nGuide);
  AddShort(m_sGuideValue, 3);
  if (version >= 767) AddByte(&m_nTargetSlot2);
  if (version >= 211) AddByte(&m_bHoming);
  AddShort(&m_sSpeed);
  AddShort(&m_sSpeedClone);
  if (version >= 213) {
    AddByte(&m_bAccel);
    AddShort(&m_sAccel);
    AddShort(&m_sAccelClone);
  }
  AddShort(&m_sRange);
  AddByte(&m_bRange);
  AddShort(&m_sRangeClone);
  AddByte(&m_bStopAtRangeEnd);
  AddByte(&m_bLifetime);
  AddShort(&m_sLifetime);
  AddShort(&m_sLifetimeClone);
  AddByte(&m_nBlockMode);
  AddByte(&m_byReserved45);
  if (version >= 636) AddByte(&m_byReserved46);
  AddByte(&m_byReserved47);
  AddByte(&m_nVanishValue);
  AddInt(&m_nPower);
  AddShort(&m_sReserved50);
  AddByte(&m_nImpact);
  AddShort(&m_sHitEffect);
  AddByte(&m_nItemPalette);
  AddShort(&m_sItemIndex);
  AddByte(&m_nBlockSummonMode);
  AddByte(&m_byReserved56);
  if (version >= 197) AddByte(&m_byReserved57);
  AddByte(&m_nSummonPalette);
  AddShort(&m_sSummonIndex);
  AddByte(&m_byReserved60);
  AddByte(&m_byReserved61);
  AddByte(&m_byReserved62);
  if (version >= 762) {
    AddByte(&m_byReserved63);
    AddByte(&m_byReserved64);
  }
}

void cEdShot::SetDefaults() {
  m_bMirrorAngle = 1;
  m_bMirrorX = 1;
  m_bGroupFromFirer = 1;
  m_nSizeFactor = 1;
}

void cEdShot::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  const int version = file.Version();
  if (version < 158) m_bMirrorAngle = 0;
  if (version < 197) m_byReserved57 = m_byReserved56;
  if (version < 212)
    m_bHoming = (m_nGuide >= GUIDE_HOME_HERO && m_nGuide <= GUIDE_HOME_NEAREST_RETARGET);
  if (version < 213) {
    m_bAccel = 0;
    m_sAccel = 0;
    m_sAccelClone = 0;
  }
  if (version < 636) m_byReserved46 = m_byReserved45;
  if (version < 671) m_byReserved4 = 0;
  Validate();
}

void cEdShot::Write(cDataFile& file) {
  Validate();
  cFileData::Write(file);
}

void cEdShot::Validate() {
  if (m_nSizeFactor < 1) m_nSizeFactor = 1;
  if (!IndexInTable(m_sHitEffect, ContentRefs().TableSize(REF_EFFECT))) m_sHitEffect = 0;
}

double cEdShot::GetOffsetX(int n, int facing) const {
  const double offset = static_cast<double>(n) * m_sOffsetXClone + m_sOffsetX;
  return (facing == 1 && m_bMirrorX) ? -offset : offset;
}

double cEdShot::GetOffsetY(int n, int facing) const {
  const double offset = static_cast<double>(n) * m_sOffsetYClone + m_sOffsetY;
  return (facing == 1 && m_bMirrorY) ? -offset : offset;
}

void NewShot(ShotPtr& shot) {
  ShotPtr fresh(new cEdShot);
  fresh->SetDefaults();
  shot = fresh;
}

namespace {
const int g_DirCodeTable[10] = {0, 2, 3, 6, 7, 8, 9, 10, 11, 0};
}  // namespace

int MapDirection(int choice, int keepNone, int facing) {
  if (g_nPlaybackReplayVersion > 0) {
    // Replays keep the rule of the version that recorded them, so that they replay the same.
    if (g_nPlaybackReplayVersion <= 777)
      keepNone = 1;
    else if (g_nPlaybackReplayVersion <= 779)
      keepNone = 0;
  }
  const int facingCode = facing == 0 ? 2 : 3;
  if (choice == 0) return facingCode;
  if (choice == 9) return keepNone ? 0 : facingCode;
  if (choice < 0 || choice > 9) return 0;
  return g_DirCodeTable[choice];
}

const sParamLabel g_FormationParamTable[FORMATION_COUNT * 3] = {
    {"間隔(hbl)", 0, 40, 0}, {"", 0, 0, 0},        {"", 0, 0, 0},
    {"間隔(hbl)", 0, 40, 0}, {"", 0, 0, 0},        {"", 0, 0, 0},
    {"角度", 0, 180, 30},    {"", 0, 0, 0},        {"", 0, 0, 0},
    {"間隔(hbl)", 0, 40, 0}, {"列の数", 1, 50, 1}, {"列の間隔(hbl)", 0, 40, 0},
    {"", 0, 0, 0},           {"", 0, 0, 0},        {"", 0, 0, 0},
    {"距離(hbl)", 0, 40, 6}, {"", 0, 0, 0},        {"", 0, 0, 0},
};

const sParamLabel g_GuideParamTable[GUIDE_COUNT * 3] = {
    {"", 0, 0, 0},
    {"", 0, 0, 0},
    {"", 0, 0, 0},
    {"軌道変更(hbl)", 0, 40, 0},
    {"", 0, 0, 0},
    {"", 0, 0, 0},
    {"軌道変更(hbl)", 0, 40, 0},
    {"対象勢力", 0, 7, 0},
    {"", 0, 0, 0},
    {"軌道変更(hbl)", 0, 40, 0},
    {"", 0, 0, 0},
    {"", 0, 0, 0},
    {"誘導開始(hbl)", 0, 40, 0},
    {"誘導終了(hbl)", 0, 999, 999},
    {"", 0, 0, 0},
    {"誘導開始(hbl)", 0, 40, 0},
    {"誘導終了(hbl)", 0, 999, 999},
    {"対象勢力", 0, 7, 0},
    {"誘導開始(hbl)", 0, 40, 0},
    {"誘導終了(hbl)", 0, 999, 999},
    {"", 0, 0, 0},
    {"誘導開始(hbl)", 0, 40, 0},
    {"誘導終了(hbl)", 0, 999, 999},
    {"対象勢力", 0, 7, 0},
    {"波の最大(hbl)", 0, 100, 4},
    {"波の速度", 0, 100, 4},
    {"開始角度", 0, 359, 0},
    {"軌道変更(hbl)", 0, 40, 0},
    {"", 0, 0, 0},
    {"", 0, 0, 0},
};
