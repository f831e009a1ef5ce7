#pragma once
// The presentation records the play scene keeps in its own lists: messages, effect
// animations, pictures, the running screen effect and the screen colour change (the flash).
// The scene steps and draws them; their own behaviour is completed where they are made.
#include <cstdint>
#include <string>

#include "media/anime.h"
#include "media/surface.h"
#include "play/effect_anim.h"
#include "play/message.h"
#include "play/picture.h"

// The running whole-screen effect; entry 0 is none.
class cScrEffect {
 public:
  std::int16_t m_nEntry = 0;
  const void* m_pEntry = nullptr;  // the entry in the ScrEffect table or its reversed copy
  std::int32_t m_nPlayMode = 0;
  std::int32_t m_bRepeat = 0;
  std::int32_t m_bReversed = 0;
  std::int32_t m_nCount = 0;
  double m_dValue = 0;
  double m_dShake = 0;
  double m_dStep = 0;
  std::int32_t m_nX = 0, m_nY = 0;
  std::int32_t m_bTimeOnly = 0;
  double m_dTime = 0;
  std::int32_t m_nTime = 0;

  // No effect runs any more.
  void Clear() { *this = cScrEffect(); }
};

// The screen colour change. Level 255 shows no colour, 0 the full colour.
struct sFlash {
  std::int32_t m_bTinted = 0;
  std::uint8_t m_nRed = 0, m_nGreen = 0, m_nBlue = 0;
  std::int32_t m_nStrength = 0;  // percent
  std::int32_t m_bBackToNormal = 0;
  std::int32_t m_nDuration = 0;  // frames
  std::int32_t m_bBlink = 0;
  std::int32_t m_nBlinkCount = 0;
  std::int32_t m_bActive = 0;
  std::int32_t m_nFrame = 0;
  std::int32_t m_nBlinkCounter = 0;
  std::int32_t m_nLevel = 255;
  // The previous change, for a return to normal.
  std::uint8_t m_nSavedRed = 0, m_nSavedGreen = 0, m_nSavedBlue = 0;
  std::int32_t m_nSavedStrength = 0;
  std::int32_t m_nSavedLevel = 255;

  // Every field cleared, the level back to 255.
  void Clear() { *this = sFlash(); }
};
