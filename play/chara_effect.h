#pragma once
// The character effect a character runs: an entry of the CharaEffect table whose value is
// stepped from a start to an end value over the entry's time, forward, reversed or there and
// back, once or repeating. Starting an effect copies one of the instances prepared at start-up
// (one forward and one reversed per entry), so nothing is computed while a stage runs.
#include <cstdint>

#include "foundation/containers.h"

class cDbCharaEffect;

class cCharaEffect {
 public:
  // Builds a prepared instance of entry n of the CharaEffect table, or of its working copy
  // (reversed 1, whose start and end values it swaps in place).
  void Init(int n, int reversed);
  // Starts entry n: mode 0 forward, 1 reversed, 2 there and back; repeat starts it again
  // whenever it is done.
  void Start(int n, int mode, int repeat);
  // Starts the same entry again (turning round in mode 2).
  void Restart();
  // One frame; 1 when the effect is over.
  int Step();
  // No effect.
  void Clear() { *this = cCharaEffect(); }

  // ---- fields, in order ----
  std::int16_t m_nEntry = 0;  // 0: none runs
  const cDbCharaEffect* m_pEntry = nullptr;
  std::int32_t m_nPlayMode = 0;
  std::int32_t m_bRepeat = 0;
  std::int32_t m_bReversed = 0;
  std::int32_t m_nCount = 0;
  std::int32_t m_nStart = 0, m_nEnd = 0;
  double m_dValue = 0;
  double m_dStep = 0;
  double m_dTime = 0;         // counted when start and end are equal
  std::int32_t m_nTime = 0;   // tenths of a second
  std::int32_t m_nPhase = 0;  // wave angle (0 to 359), or the blink's frame counter
  std::int32_t m_bShown = 0;  // the blink's visible toggle

  // Takes over the stepping fields of a prepared instance (all but the four control fields).
  void CopyInstance(const cCharaEffect& from);
};

// The prepared instances, one per CharaEffect entry.
extern cVector<cCharaEffect> g_CharaEffects;
extern cVector<cCharaEffect> g_CharaEffectsRev;

// Builds both sets from the loaded table, with a fresh working copy for the reversed set.
void PrepareCharaEffects();

// A time in tenths that can be divided by and that ends: below 1 counts as 1.
inline int EffectTime(int p0) { return p0 < 1 ? 1 : p0; }
// The change per frame of a value from start to end over time tenths (6 frames a tenth).
double EffectStep(int start, int end, int time);

// The start and restart shared by the character and screen effects: a copy of the prepared
// instance n, forward or reversed (nothing to copy for entry 0, which may come before the
// instances exist), then the control fields.
template <class Effect>
void StartEffect(Effect& e, const cVector<Effect>& forward, const cVector<Effect>& reversed, int n,
                 int mode, int repeat) {
  e.CopyInstance(n == 0 ? Effect() : mode == 1 ? reversed[n] : forward[n]);
  e.m_bReversed = mode == 1;
  e.m_nEntry = static_cast<std::int16_t>(n);
  e.m_nPlayMode = mode;
  e.m_nCount = 0;
  e.m_bRepeat = repeat;
}
// In mode 2 the direction turns at every restart.
template <class Effect>
void RestartEffect(Effect& e, const cVector<Effect>& forward, const cVector<Effect>& reversed) {
  if (e.m_nPlayMode == 2) e.m_bReversed = !e.m_bReversed;
  if (e.m_nEntry != 0) e.CopyInstance(e.m_bReversed ? reversed[e.m_nEntry] : forward[e.m_nEntry]);
  e.m_nCount = 0;
}
