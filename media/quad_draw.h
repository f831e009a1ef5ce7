#pragma once
// The Direct3D drawing steps the blits share with the sprite and box batches and the screen
// effects: the surfaces a drawing reaches, and one quad or box drawn at once. The batches
// queue blits and replay them through these, with the settings each blit was queued with.
#include <cstdint>

#include "media/surface.h"

// The surfaces a drawing reaches: mirrored views resolved, BackBuffer redirected while the
// VirBackBuffer mode is on, the fixed pair while the collected picture is copied. src may be
// null.
void DDResolveTargets(DDSURFACEDATA** dst, DDSURFACEDATA** src);
// The key Clear of a flags-0 blit from a keyed source: the rectangle made transparent.
void DDKeyClear(DDSURFACEDATA* dst, int x, int y, int w, int h);
// One textured quad, the key Clear not included.
void DDDrawQuad(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                int sw, int sh, std::uint32_t colour, std::uint32_t colourOp,
                std::uint32_t alphaOp);
// One box of an ARGB colour drawn as an untextured quad.
void DDDrawBox(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t argb);
