#pragma once
// The drawing interface of the whole program: blits (plain, stretched, blended), fills,
// pixels, circles and bitmap-font text, in both drawing modes.
//
// Direct3D mode: a blit between a render-target destination and a source that is not in
// system memory draws a textured quad (vertex colour, stage 0 operations, alpha blending);
// any other pair is a pixel copy through locks. DirectDraw mode: raw copies with an exact
// colour key (g_dwTransmit), nearest stretching, colour fills.
// While VirBackBuffer mode is on, everything aimed at BackBuffer lands in VirBackBuffer.
#include <cstdint>

#include "media/surface.h"

// The last argument of every blit: 0 copies every pixel, 1 leaves out the transparent colour.
enum DDBLTFLAG : int { DDBLT_NOKEY = 0, DDBLT_KEY = 1 };

int DDBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
          int flags);
// sw and sh may be negative: the source is drawn mirrored.
int DDBltStretch(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                 int sw, int sh, int flags);
// A blend pair: {ARGB vertex colour, colour operation}. Ignored in the DirectDraw mode.
void DDBltBlend(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                int flags, const int* blend);
void DDBltStretchBlend(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                       int sy, int sw, int sh, int flags, const int* blend);

// Settings of every following quad until reset; nothing in the DirectDraw mode.
void DDSetColor(std::uint32_t argb);
void DDResetColor();
void DDSetColorOp(std::uint32_t op);
void DDResetColorOp();
void DDSetAlphaOp(std::uint32_t op);
void DDResetAlphaOp();

// Fills with a palette number (0 is the transparent colour) or a colour (ARGB in the
// Direct3D mode, a pixel value in the DirectDraw mode).
void DDBoxFill(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t palNum);
void DDClear(DDSURFACEDATA* dst, std::uint32_t palNum);
void DDBoxFillColor(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t colour);
void DDClearColor(DDSURFACEDATA* dst, std::uint32_t colour);
void DDPutPixel(DDSURFACEDATA* dst, int x, int y, std::uint32_t palNum);
// Outline of a circle (midpoint rule); a radius below 1 draws nothing.
void DDCircle(DDSURFACEDATA* dst, int cx, int cy, int radius, std::uint32_t palNum);

// Text from a bitmap font of 16 columns of cells (cellW x cellH); half-width katakana sit in
// rows 0, 1, 8 and 9. "\n" and the right edge of the screen start a new line.
void DDTextOut(DDSURFACEDATA* dst, int x, int y, int cellW, int cellH, DDSURFACEDATA* font,
               const char* text);
void DDTextOutF(DDSURFACEDATA* dst, int x, int y, int cellW, int cellH, DDSURFACEDATA* font,
                const char* format, ...) __attribute__((format(printf, 7, 8)));

// Cuts a blit to its surfaces (see the rules in blit.cpp); 1 when something is left to draw.
int DDClipRect(DDSURFACEDATA* dst, int* x, int* y, int* w, int* h, DDSURFACEDATA* src, int* sx,
               int* sy, int* sw, int* sh);
