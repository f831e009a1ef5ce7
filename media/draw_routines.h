#pragma once
// Composite drawing built on the blits and fills: frames and framed pictures, numbers from a
// digit strip, the wave, stripe, card-flip and quadrant blits of the screen and character
// effects, and palette blends and rotations. Everything draws at once; the routines that
// issue many blits record them in an unsorted sprite batch.
#include <cstdint>

#include "media/surface.h"

// An outline t pixels thick inside the rectangle, in a palette colour.
void DrawRectFrame(DDSURFACEDATA* dst, int x, int y, int w, int h, int t, std::uint32_t palNum);
// The source's (0, 0, w, h) at (x, y) with an outline t pixels thick around it.
void DrawFramedBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int t,
                   std::uint32_t palNum);
// A decimal number from a strip of digit cells (digit d at sx + d * digitW, sy). Fewer digits
// than minDigits start further right (half as far when centred). A negative value shows 0.
void DrawNumber(DDSURFACEDATA* dst, int x, int y, int digitW, int digitH, DDSURFACEDATA* strip,
                int sx, int sy, int flags, int value, int minDigits, int centre);
// Strips of stripSize columns (column set) or rows displaced along a sine.
void DrawWaveBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int waves, double amplitude,
                 double phase, int stripSize, DDSURFACEDATA* src, int sx, int sy, int flags,
                 int column);
// Alternate strips shifted opposite ways by offset; a remainder narrower than a strip is not
// drawn. A strip size of 0 or below is a plain blit.
void DrawStripeBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int stripSize, int offset,
                   DDSURFACEDATA* src, int sx, int sy, int flags, int column);
// One frame of a card turning between two pictures (axis 0 squeezes the width, 1 the
// height). A side below 2 pixels, a negative step or another axis draws nothing.
void DrawFlipBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src1, int sx1,
                 int sy1, DDSURFACEDATA* src2, int sx2, int sy2, int sw, int sh, int flags,
                 int step, int axis);
// The picture cut into four quarters moved spread pixels apart.
void DrawQuadSplitBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                      int sy, int spread, int flags);

// Entries first..last of source blended toward a colour into out: level 256 keeps the
// source, 0 gives the colour.
void BlendPalette(PALETTEENTRY* out, int first, int last, int level, int red, int green, int blue,
                  const PALETTEENTRY* source);
// All 256 entries copied to out, then first..last rotated by shift: direction 0 upward (the
// top entries wrap to the bottom), 1 downward. Only at 8, 16 and 32 bits.
void RotatePalette(PALETTEENTRY* out, int first, int last, int shift, int direction,
                   const PALETTEENTRY* source);
