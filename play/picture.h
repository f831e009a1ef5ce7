#pragma once
// Pictures: bitmaps of the Picture table shown at a screen, map or object position, behind the
// map blocks or in front of the objects, until their timer runs out or a command closes them.
// The play scene's picture list and the per-stage picture surface list (with its descriptions)
// are kept in step: element i of each belongs to picture i.
#include <cstdint>

#include "media/surface.h"

enum ePictureAnchor : std::int32_t {
  PICTURE_SCREEN_CENTRE = 0,
  PICTURE_ON_CHARA = 1,  // the executing character
  PICTURE_ON_HERO = 2,
  PICTURE_SCREEN_POS = 3,
  PICTURE_MAP_POS = 4,
};

class cPicture {
 public:
  // The drawn size is width x height at 100 percent, else each scaled and rounded half away
  // from zero.
  void Init(int picture, int anchor, int blockX, int blockY, int dotX, int dotY, int width,
            int height, int fixed, int layer, int sizePercent, int timerMode, int count,
            int countWhileStopped, int objNo, int hasId, int id);
  // One frame: counts, places and draws surface onto target; 1 when the picture has ended.
  int Step(DDSURFACEDATA* target, DDSURFACEDATA* surface, int stopped);

  std::int16_t m_nPicture = 0;
  std::int32_t m_nAnchor = 0;  // ePictureAnchor
  std::int32_t m_nBlockX = 0, m_nBlockY = 0;
  std::int32_t m_nDotX = 0, m_nDotY = 0;
  std::int32_t m_nWidth = 0, m_nHeight = 0;
  std::int32_t m_bScaled = 0;
  std::int32_t m_nLayer = 0;  // 0 behind the map blocks, 1 in front of the objects
  std::int32_t m_nTimerMode = 0;  // 2: counts m_nCount down
  std::int32_t m_nObjNo = 0;
  std::int32_t m_nCount = 0;
  std::int32_t m_bCountWhileStopped = 0;
  std::int32_t m_bFixed = 0;
  std::int32_t m_bPlaced = 0;
  std::int32_t m_nPlacedX = 0, m_nPlacedY = 0;
  std::int32_t m_bHasId = 0, m_nId = 0;
  double m_dObjX = 0, m_dObjY = 0;  // the followed object's last known centre
};

// Steps and draws the pictures of one layer in list order; a picture that ends is removed with
// its surface and description.
void DrawPictures(DDSURFACEDATA* dst, int layer, int bStopped);
