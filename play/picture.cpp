#include "play/picture.h"

#include <cmath>
#include <cstdint>
#include <iterator>

#include "foundation/play_math.h"
#include "media/blit.h"
#include "media/surface_create.h"
#include "objects/chara.h"
#include "play/anchor.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"

namespace {

int RoundHalfAway(double value) { return TruncToInt32(std::round(value)); }

}  // namespace

void cPicture::Init(int picture, int anchor, int blockX, int blockY, int dotX, int dotY, int width,
                    int height, int fixed, int layer, int sizePercent, int timerMode, int count,
                    int countWhileStopped, int objNo, int hasId, int id) {
  m_nPicture = static_cast<std::int16_t>(picture);
  m_nAnchor = anchor;
  m_nBlockX = blockX;
  m_nBlockY = blockY;
  m_nDotX = dotX;
  m_nDotY = dotY;
  m_bFixed = fixed;
  m_nLayer = layer;
  m_nTimerMode = timerMode;
  m_nCount = count;
  m_bCountWhileStopped = countWhileStopped;
  m_nObjNo = objNo;
  m_bHasId = hasId;
  m_nId = id;
  m_bPlaced = 0;
  if (sizePercent == 100) {
    m_bScaled = 0;
    m_nWidth = width;
    m_nHeight = height;
  } else {
    m_bScaled = 1;
    m_nWidth = RoundHalfAway(width * static_cast<double>(sizePercent) * 0.01);
    m_nHeight = RoundHalfAway(height * static_cast<double>(sizePercent) * 0.01);
  }
}

int cPicture::Step(DDSURFACEDATA* target, DDSURFACEDATA* surface, int stopped) {
  if (m_nTimerMode == 2 && (!stopped || m_bCountWhileStopped)) {
    m_nCount = SubWrap32(m_nCount, 1);
    if (m_nCount < 0) return 1;
  }
  const sScroll scroll = CurrentScroll();
  const std::int64_t halfW = m_nWidth >> 1, halfH = m_nHeight >> 1;
  // An anchor outside the table places the picture like anchor 0.
  const int anchor = m_nAnchor >= PICTURE_SCREEN_CENTRE && m_nAnchor <= PICTURE_MAP_POS
                         ? m_nAnchor
                         : PICTURE_SCREEN_CENTRE;
  int x = 0, y = 0;
  switch (anchor) {
    case PICTURE_ON_CHARA:
    case PICTURE_ON_HERO: {
      if (const cCharaBase* object = FindCharaByNumber(m_nObjNo)) {
        m_dObjX = object->m_dX + (object->m_nWidth >> 1);
        m_dObjY = object->m_dY + (object->m_nHeight >> 1);
      }
      const double sx = TruncToInt32(scroll.x), sy = TruncToInt32(scroll.y);
      x = Wrap32(TruncToInt32((m_dObjX - halfW) - sx) + static_cast<std::int64_t>(m_nDotX));
      y = Wrap32(TruncToInt32((m_dObjY - halfH) - sy) + static_cast<std::int64_t>(m_nDotY));
      break;
    }
    case PICTURE_SCREEN_POS:
      x = Wrap32(static_cast<std::int64_t>(m_nBlockX) * 32 + m_nDotX);
      y = Wrap32(static_cast<std::int64_t>(m_nBlockY) * 32 + m_nDotY);
      break;
    case PICTURE_MAP_POS:
      x = TruncToInt32((static_cast<std::int64_t>(m_nBlockX) + 10) * 32.0 + m_nDotX - scroll.x);
      y = TruncToInt32((static_cast<std::int64_t>(m_nBlockY) + 10) * 32.0 + m_nDotY - scroll.y);
      break;
    default:
      x = Wrap32(320 - halfW + m_nDotX);
      y = Wrap32(240 - halfH + m_nDotY);
      break;
  }
  sAnchor place{m_bPlaced, m_nPlacedX, m_nPlacedY};
  if (anchor == PICTURE_SCREEN_CENTRE || anchor == PICTURE_SCREEN_POS) {
    if (!m_bFixed) place.PinToMap(x, y, scroll);
  } else if (m_bFixed) {
    place.KeepFirst(x, y);
  }
  if (target && surface) {
    if (m_bScaled)
      DDBltStretch(target, x, y, m_nWidth, m_nHeight, surface, 0, 0, surface->nWidth,
                   surface->nHeight, DDBLT_KEY);
    else
      DDBlt(target, x, y, m_nWidth, m_nHeight, surface, 0, 0, DDBLT_KEY);
  }
  return 0;
}

void DrawPictures(DDSURFACEDATA* dst, int layer, int bStopped) {
  cPlayScene* scene = g_pPlayScene;
  if (!scene) return;
  auto& pictures = scene->m_PictureList;
  auto surface = g_PictureSurfaces.begin();
  auto info = g_PictureBmpInfo.begin();
  for (auto it = pictures.begin(); it != pictures.end() && surface != g_PictureSurfaces.end();) {
    if (it->m_nLayer != layer || !it->Step(dst, &*surface, bStopped)) {
      ++it;
      ++surface;
      if (info != g_PictureBmpInfo.end()) ++info;
      continue;
    }
    DDReleaseSurface(&*surface);
    surface = g_PictureSurfaces.erase(surface);
    if (info != g_PictureBmpInfo.end()) info = g_PictureBmpInfo.erase(info);
    it = pictures.erase(it);
  }
}
