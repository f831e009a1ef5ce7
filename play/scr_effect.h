#pragma once
// The whole-screen effect of a running stage: an entry of the ScrEffect table applied to the
// finished picture of the stage once per frame, before the status display is drawn. It steps
// like a character effect, from instances prepared at start-up, except that it compares the
// value truncated to an integer with its end.
#include <cstdint>

#include "foundation/containers.h"

class cDbCharaEffect;
class cPlayScene;

class cScrEffect {
 public:
  // Builds a prepared instance of entry n of the ScrEffect table, or of its working copy
  // (reversed 1, whose values it swaps in place).
  void Init(int n, int reversed);
  // Starts entry n (0 stops): mode 0 forward, 1 reversed, 2 there and back.
  void Start(int n, int mode, int repeat);
  void Restart();
  // One frame with the given bounds; 1 when the effect is over.
  int Step(int start, int end, double step);
  // No effect runs any more.
  void Clear() { *this = cScrEffect(); }

  // ---- fields, in order ----
  std::int16_t m_nEntry = 0;
  const cDbCharaEffect* m_pEntry = nullptr;  // the entry in the table or its reversed copy
  std::int32_t m_nPlayMode = 0;
  std::int32_t m_bRepeat = 0;
  std::int32_t m_bReversed = 0;
  std::int32_t m_nCount = 0;
  double m_dValue = 0;
  double m_dShake = 0;  // the shake's offset
  double m_dStep = 0;
  std::int32_t m_nX = 0, m_nY = 0;  // the move's offset, the shake's direction, the wave's
                                    // angle, the blink's frame counter and shown toggle
  std::int32_t m_bTimeOnly = 0;
  double m_dTime = 0;
  std::int32_t m_nTime = 0;

  // Takes over the stepping fields of a prepared instance (all but the four control fields).
  void CopyInstance(const cScrEffect& from);
};

// The prepared instances, one per ScrEffect entry.
extern cVector<cScrEffect> g_ScrEffects;
extern cVector<cScrEffect> g_ScrEffectsRev;
// Builds both sets from the loaded table, with a fresh working copy for the reversed set.
void PrepareScrEffects();

// The running effect applied to the frame; when it ends the entry goes to 0 and the virtual
// back buffer is switched off. frozen: the frame is drawn with the game standing still.
void RunScreenEffect(cPlayScene* scene, int frozen);

// The handlers by kind: each takes (play scene, frozen) and returns 1 when the effect is over.
using ScrEffectFunc = int (*)(cPlayScene* scene, int frozen);
inline constexpr int kScrEffectKinds = 14;
extern const ScrEffectFunc g_ScrEffectFunc[kScrEffectKinds];

// The virtual back buffer off, when the Direct3D behaviour has it on.
void StopVirBackBuffer();
