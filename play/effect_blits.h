#pragma once
// The drawing calls through which the character and screen effects reach the media library.
// They are gathered in one table so that the effects' own arithmetic (the rectangles, strips,
// radii and depths they hand over) can be watched by a recording table; play always uses the
// media library's functions.
#include <cstdint>

#include "media/blit.h"
#include "media/palette.h"
#include "media/surface.h"

struct sEffectBlits {
  int (*Blt)(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
             int flags);
  int (*BltStretch)(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                    int sy, int sw, int sh, int flags);
  void (*BltBlend)(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                   int sy, int flags, const int* blend);
  void (*BltStretchBlend)(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src,
                          int sx, int sy, int sw, int sh, int flags, const int* blend);
  void (*BoxFill)(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t palNum);
  void (*SetAlphaOp)(std::uint32_t op);
  void (*ResetAlphaOp)();
  void (*SetColor)(std::uint32_t argb);
  void (*ResetColor)();
  void (*SetColorOp)(std::uint32_t op);
  void (*ResetColorOp)();
  void (*QuadSplit)(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                    int sy, int spread, int flags);
  void (*Stripe)(DDSURFACEDATA* dst, int x, int y, int w, int h, int stripSize, int offset,
                 DDSURFACEDATA* src, int sx, int sy, int flags, int column);
  void (*Wave)(DDSURFACEDATA* dst, int x, int y, int w, int h, int waves, double amplitude,
               double phase, int stripSize, DDSURFACEDATA* src, int sx, int sy, int flags,
               int column);
  void (*Flip)(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src1, int sx1,
               int sy1, DDSURFACEDATA* src2, int sx2, int sy2, int sw, int sh, int flags, int step,
               int axis);
  bool (*Rotate)(DDSURFACEDATA* dst, int cx, int cy, int w, int h, int px, int py, int angle,
                 DDSURFACEDATA* src, int sx, int sy, int flags);
  void (*Circle)(DDSURFACEDATA* dst, int cx, int cy, int hw, int hh, int r, int strip,
                 DDSURFACEDATA* src, int scx, int scy, int flags);
  bool (*Lens)(DDSURFACEDATA* dst, int cx, int cy, int r, int d, DDSURFACEDATA* src, int scx,
               int scy, int flags, int clearMode);
  bool (*Tint)(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
               int flags, const PALETTEENTRY* palette, const std::uint8_t* table,
               std::uint32_t colour, int level);
  bool (*Trans)(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                int flags, const std::uint8_t* table);
  bool (*Mosaic)(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx,
                 int sy, int flags);
  bool (*Blur)(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src,
               int sx, int sy, int flags);
};

// The media library's functions.
sEffectBlits MediaEffectBlits();
extern sEffectBlits g_EffectBlits;

// The screen-sized copy of the back buffer that an effect works from, taken without key.
void CopyScreenTo(DDSURFACEDATA* work);
// The back buffer filled with the colour shown where a moved picture leaves it empty.
void FillScreen();
// Direct3D's alpha operation set to 1 for the blits of a scope.
class cAlphaOpScope {
 public:
  cAlphaOpScope() { g_EffectBlits.SetAlphaOp(1); }
  ~cAlphaOpScope() { g_EffectBlits.ResetAlphaOp(); }
  cAlphaOpScope(const cAlphaOpScope&) = delete;
  cAlphaOpScope& operator=(const cAlphaOpScope&) = delete;
};
