#pragma once
// A disc copied in horizontal strips, and a disc copied through a magnifying lens.
#include "media/surface.h"

// Copies the disc of radius r around (scx, scy) of src to (cx, cy) of dst in strips of strip
// rows, each an ordinary blit with flags, cut to the box of half sizes hw x hh around the
// centre. A radius or strip below 1 draws nothing.
void DDBltCircle(DDSURFACEDATA* dst, int cx, int cy, int hw, int hh, int r, int strip,
                 DDSURFACEDATA* src, int scx, int scy, int flags);
// Each destination pixel of the disc of radius r around (cx, cy) reads a source pixel nearer
// to (scx, scy); the depth d weakens the magnification as it grows. flags is used by the
// Direct3D 16-bit path; clearMode non-zero makes the Direct3D 32-bit path set every pixel it
// cannot fill to 0. False for a negative radius or depth, a radius too small for the depth,
// or a failed lock.
bool DDBltLens(DDSURFACEDATA* dst, int cx, int cy, int r, int d, DDSURFACEDATA* src, int scx,
               int scy, int flags, int clearMode);
