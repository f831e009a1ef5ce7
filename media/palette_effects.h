#pragma once
// Colour operations that work without an 8-bit palette object: the DirectDraw fade of a whole
// screen copy toward a colour, and the Direct3D colour laid over a whole surface.
#include <cstdint>

#include "media/surface.h"

// DirectDraw at 16 and 32 bits: every pixel of dst becomes the mix of the same pixel of src
// with the colour; level 0 gives the colour, 256 the source. Only the area both surfaces
// cover is drawn. False when a lock fails; the Direct3D mode only writes a line.
bool DDFade_UnPal(DDSURFACEDATA* dst, int level, int red, int green, int blue, DDSURFACEDATA* src);
// Direct3D: a colour laid over the whole of dst at opacity (255 - nAlpha) / 255. A texture is
// multiplied by the colour; the screen itself, which has no texture to multiply, takes the
// plain colour (so a white flash shows white). x, y, nWidth and nHeight are not used. The
// DirectDraw mode only writes a line. Always true.
bool DDChangeColor(DDSURFACEDATA* lpDstSD, int x, int y, int nWidth, int nHeight, int nAlpha,
                   std::uint8_t bRed, std::uint8_t bGreen, std::uint8_t bBlue);
bool DDChangeColorSrc(DDSURFACEDATA* dst, int x, int y, int nWidth, int nHeight, DDSURFACEDATA* src,
                      int nAlpha, std::uint8_t bRed, std::uint8_t bGreen, std::uint8_t bBlue);
