#pragma once
// The presentation records the play scene keeps in its own lists: messages, effect
// animations, pictures, the running screen effect and the screen colour change (the flash).
// The scene steps and draws them; their own behaviour is completed where they are made.
#include <cstdint>
#include <string>

#include "media/anime.h"
#include "media/surface.h"
#include "play/scr_effect.h"

// A message on screen (text, icon or wait) and its timer.
class cMessage {
 public:
  std::int32_t m_nKind = 0;       // 0 wait, 1 text, 2 icon, 3 extra-life icon
  std::string m_strText;
  std::int32_t m_nTimerMode = 0;  // 2: counts m_nCount down
  std::int32_t m_nCount = 0;
  std::int32_t m_bCountWhileStopped = 0;
  std::int32_t m_nObjNo = 0;      // object followed, 0 none

  // One frame: draws the message onto target; 1 when it has ended and must be removed.
  int Update(DDSURFACEDATA* target, int stopped);
};

// An effect animation played once at a map position.
class cEffectAnim {
 public:
  std::int32_t m_nEffect = 0;  // Effect entry number (read as int16)
  double m_dX = 0, m_dY = 0;   // top-left corner in map pixels
  std::int32_t m_nWidth = 0, m_nHeight = 0;
  std::int32_t m_bScaled = 0;
  cAnime m_Anime;
  std::int32_t m_bRunWhileStopped = 0;

  // One frame: advances and draws onto target; 1 when the animation has ended.
  int Step(DDSURFACEDATA* target, int stopped);
};

// A picture of the Picture table shown at a screen, map or object position.
class cPicture {
 public:
  std::int16_t m_nPicture = 0;
  std::int32_t m_nAnchor = 0;
  std::int32_t m_nBlockX = 0, m_nBlockY = 0;
  std::int32_t m_nDotX = 0, m_nDotY = 0;
  std::int32_t m_nWidth = 0, m_nHeight = 0;
  std::int32_t m_bScaled = 0;
  std::int32_t m_nLayer = 0;  // 0 behind the map blocks, 1 in front of the objects
  std::int32_t m_nTimerMode = 0;
  std::int32_t m_nObjNo = 0;
  std::int32_t m_nCount = 0;
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
