#include "project/effect_records.h"

#include "project/db_extra.h"
#include "project/effect_params.h"

namespace {
// Older editors stored the strip size of some effects in a different unit: such files take
// the parameter's default instead.
constexpr int kStripSizeUpgradeBefore = 511;

struct sParamUpgrade {
  int nKind;
  int nParam;  // 1 to 5
};

void ApplyParamDefaults(cDbCharaEffect& effect, const cVector<sParamLabel>& table,
                        std::initializer_list<sParamUpgrade> upgrades) {
  for (const sParamUpgrade& upgrade : upgrades) {
    if (effect.m_nKind == upgrade.nKind)
      effect.m_nParam[upgrade.nParam - 1] =
          EffectParam(table, upgrade.nKind, upgrade.nParam).nDefault;
  }
}
}  // namespace

// ---- cDbEffectFrame ------------------------------------------------------------------

cDbEffectFrame::cDbEffectFrame() { SetupItems(g_nDataVersion); }

void cDbEffectFrame::SetupItems(int) {
  ClearItems();
  AddInt(&m_nCell);
  AddInt(&m_nTime);
}

// ---- cDbEffect -----------------------------------------------------------------------

cDbEffect::cDbEffect() { SetDefault(); }

void cDbEffect::SetupItems(int version) {
  ClearItems();
  AddString(&m_strName);
  if (version >= 151) AddInt(&m_nExtra);
  AddString(&m_strFile);
  AddInt(&m_nCellWidth);
  AddInt(&m_nCellHeight);
  AddInt(&m_bScalable);
}

void cDbEffect::SetDefault() {
  Clear();
  m_nCellWidth = 32;
  m_nCellHeight = 32;
  m_Frames.assign(1, cDbEffectFrame());
}

void cDbEffect::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  if (!ReadRecordList(file, m_Frames, "effect frames")) return;
  ClearStaleExtra(version, m_nExtra);
}

void cDbEffect::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteRecordList(file, m_Frames);
}

// ---- cDbCharaEffect and cDbScrEffect -------------------------------------------------

cDbCharaEffect::cDbCharaEffect() {
  SetupItems(g_nDataVersion);
  Clear();
  m_nKind = 1;
}

void cDbCharaEffect::SetupItems(int) {
  ClearItems();
  AddString(&m_strName);
  AddInt(&m_nKind);
  AddInt(m_nParam, 5);
}

void cDbCharaEffect::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  if (version < kStripSizeUpgradeBefore) UpgradeParams(version);
  // The effect handlers are picked by kind from a fixed table: a kind it has no handler
  // for is kept away from it and plays as no effect.
  if (m_nKind < 0 || m_nKind >= KindCount()) m_nKind = CHARA_EFFECT_NONE;
}

int cDbCharaEffect::KindCount() const { return kCharaEffectKinds; }

void cDbCharaEffect::UpgradeParams(int) {
  ApplyParamDefaults(
      *this, g_CharaEffectParams,
      {{CHARA_EFFECT_WAVE_H, 5}, {CHARA_EFFECT_WAVE_V, 5}, {CHARA_EFFECT_CIRCLE, 4}});
}

int cDbScrEffect::KindCount() const { return kScrEffectKinds; }

void cDbScrEffect::UpgradeParams(int) {
  ApplyParamDefaults(*this, g_ScrEffectParams,
                     {{SCR_EFFECT_WAVE_H, 5}, {SCR_EFFECT_WAVE_V, 5}, {SCR_EFFECT_CIRCLE, 4}});
}
