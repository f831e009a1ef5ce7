#pragma once
// The drawing engine of the Direct3D mode: axis-aligned quads rasterised in CPU memory with
// point sampling, the texture-stage combiner of stage 0 and SRCALPHA / INVSRCALPHA blending on
// all four channels, and Clear. Texels and target pixels of 16-bit formats are widened to
// 8 bits a channel by bit replication; results are cut back to the target format by truncation.
#include <cstdint>
#include <initializer_list>

#include "media/surface.h"

// Texture-stage operation codes the program uses.
enum : std::uint32_t {
  D3DTOP_DISABLE = 1,
  D3DTOP_SELECTARG1 = 2,
  D3DTOP_SELECTARG2 = 3,
  D3DTOP_MODULATE = 4,
  D3DTOP_ADD = 7,
  D3DTOP_SUBTRACT = 10,
  D3DTOP_BLENDFACTORALPHA = 14,
};

// Stage 0 as a quad is drawn with it. The first argument is always the texel; the second is
// the vertex colour, or the texture factor when bArg2Factor is set.
struct sQuadStage {
  std::uint32_t dwColor = 0xFFFFFFFF;
  std::uint32_t dwColorOp = D3DTOP_MODULATE;
  std::uint32_t dwAlphaOp = D3DTOP_SELECTARG1;
  std::uint32_t dwFactor = 0;
  bool bArg2Factor = false;
};

// Coordinates and sizes beyond 2^28 in magnitude draw nothing: no sum of a few of them can
// overflow, and no loop runs over a rectangle that could never be on a surface.
constexpr int kCoordLimit = 1 << 28;
inline bool SaneCoords(std::initializer_list<int> values) {
  for (int v : values)
    if (v > kCoordLimit || v < -kCoordLimit) return false;
  return true;
}

// 0xAARRGGBB of a pixel of a format (formats without alpha give 0xFF).
std::uint32_t PixelToArgb(std::uint32_t pixel, D3DFORMAT format);
// Whether the stage gives every texel back as it is (white modulation or the texel alone,
// alpha from the texel).
bool PlainStage(const sQuadStage& stage);
// PixelToArgb over n pixels in place, and ArgbToFormat.
void PixelsToArgb(std::uint32_t* px, int n, D3DFORMAT format);
void ArgbsToFormat(std::uint32_t* px, int n, D3DFORMAT format);
// The colour stage 0 gives for a texel.
std::uint32_t CombineStage(std::uint32_t texel, const sQuadStage& stage);
// CombineStage over n texels in place.
void CombineTexels(std::uint32_t* px, int n, const sQuadStage& stage);
// src over dst with src's alpha, on all four channels.
std::uint32_t BlendOver(std::uint32_t src, std::uint32_t dst);
// BlendOver over n colours in place, each over the colour at the same place of under.
void BlendOverRow(std::uint32_t* px, const std::uint32_t* under, int n);

// Draws the w x h quad at (x, y) textured with the rectangle (sx, sy, sw, sh) of tex (negative
// sizes mirror). Destination pixel (x + k, y + j) takes texel
// floor(sx + (k + 0.5) * sw / w), floor(sy + (j + 0.5) * sh / h), wrapped into the texture,
// which is the point-sampled result of a quad whose corners sit half a pixel up and left.
// Pixels outside dst are not drawn.
void RasterTexturedQuad(cPixelSurface& dst, int x, int y, int w, int h, const cPixelSurface& tex,
                        int sx, int sy, int sw, int sh, const sQuadStage& stage);
// A quad of one colour, blended with its alpha.
void RasterColourQuad(cPixelSurface& dst, int x, int y, int w, int h, std::uint32_t argb);
// Clear: the rectangle's pixels replaced by the colour in the target's format, no blending.
void RasterClear(cPixelSurface& dst, int x, int y, int w, int h, std::uint32_t argb);
