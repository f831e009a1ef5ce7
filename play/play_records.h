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
#include "play/scr_effect.h"

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
