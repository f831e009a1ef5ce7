// Character effect instances: their preparation at start-up and their stepping.
#include "play/chara_effect.h"

#include <cmath>
#include <utility>

#include "foundation/play_math.h"
#include "project/database.h"
#include "project/effect_records.h"

cVector<cCharaEffect> g_CharaEffects;
cVector<cCharaEffect> g_CharaEffectsRev;

double EffectStep(int start, int end, int time) {
  const double span = std::fabs(static_cast<double>(end) - static_cast<double>(start));
  return span / MulWrap32(EffectTime(time), 6);
}

void cCharaEffect::Init(int n, int reversed) {
  m_nEntry = static_cast<std::int16_t>(n);
  cDbCharaEffect& entry = reversed ? g_DataBase.m_CharaEffectWork[n] : g_DataBase.m_CharaEffect[n];
  m_pEntry = &entry;
  int* p = entry.m_nParam;
  switch (entry.m_nKind) {
    case CHARA_EFFECT_BURST:
    case CHARA_EFFECT_SPLIT_H:
    case CHARA_EFFECT_SPLIT_V:
    case CHARA_EFFECT_WAVE_H:
    case CHARA_EFFECT_WAVE_V:
    case CHARA_EFFECT_ROTATE_A:
    case CHARA_EFFECT_ROTATE_B:
    case CHARA_EFFECT_ROTATE_DEPTH:
    case CHARA_EFFECT_CIRCLE:
    case CHARA_EFFECT_ZOOM:
    case CHARA_EFFECT_LENS:
    case CHARA_EFFECT_COLOUR:
    case CHARA_EFFECT_MOSAIC:
    case CHARA_EFFECT_BLUR:
      m_nTime = EffectTime(p[0]);
      if (reversed) std::swap(p[1], p[2]);
      m_nStart = p[1];
      m_nEnd = p[2];
      m_dValue = p[1];
      m_dStep = EffectStep(p[1], p[2], p[0]);
      if (entry.m_nKind == CHARA_EFFECT_WAVE_H || entry.m_nKind == CHARA_EFFECT_WAVE_V)
        m_nPhase = 0;
      break;
    case CHARA_EFFECT_BLINK:
    case CHARA_EFFECT_TRANSLUCENT:
      m_nStart = 0;
      m_nEnd = EffectTime(p[0]);
      m_nTime = EffectTime(p[0]);
      m_dValue = 0;
      m_dStep = 1.0 / 6;
      m_nPhase = 0;
      m_bShown = 0;
      break;
    default:
      return;  // no effect, or a kind without a handler
  }
  if (m_nStart == m_nEnd) {
    m_dStep = 1.0 / 6;
    m_dTime = 0;
  }
}

void cCharaEffect::CopyInstance(const cCharaEffect& from) {
  m_pEntry = from.m_pEntry;
  m_nStart = from.m_nStart;
  m_nEnd = from.m_nEnd;
  m_dValue = from.m_dValue;
  m_dStep = from.m_dStep;
  m_dTime = from.m_dTime;
  m_nTime = from.m_nTime;
  m_nPhase = from.m_nPhase;
  m_bShown = from.m_bShown;
}

void cCharaEffect::Start(int n, int mode, int repeat) {
  StartEffect(*this, g_CharaEffects, g_CharaEffectsRev, n, mode, repeat);
}

void cCharaEffect::Restart() { RestartEffect(*this, g_CharaEffects, g_CharaEffectsRev); }

int cCharaEffect::Step() {
  bool goesOn;
  if (m_nStart == m_nEnd) {
    m_dTime += m_dStep;
    goesOn = m_dTime <= m_nTime;
  } else if (m_nEnd < m_nStart) {
    m_dValue -= m_dStep;
    goesOn = m_dValue >= m_nEnd;
  } else {
    m_dValue += m_dStep;
    goesOn = m_dValue <= m_nEnd;
  }
  if (goesOn) return 0;
  if (m_bRepeat || (m_nPlayMode == 2 && !m_bReversed)) {
    Restart();
    return 0;
  }
  return 1;
}

void PrepareCharaEffects() {
  // A fresh copy each time, so that a second preparation does not swap the values back.
  g_DataBase.m_CharaEffectWork = g_DataBase.m_CharaEffect;
  const int count = static_cast<int>(g_DataBase.m_CharaEffect.size());
  g_CharaEffects.assign(count, cCharaEffect());
  g_CharaEffectsRev.assign(count, cCharaEffect());
  for (int i = 0; i < count; ++i) {
    g_CharaEffects[i].Init(i, 0);
    g_CharaEffectsRev[i].Init(i, 1);
  }
}
