#pragma once
// Area effects from a source rectangle to a destination rectangle of the same size: a box
// blur and square mosaic blocks. Both return false only when a lock fails.
#include "media/surface.h"

// rx, ry: half sizes of the averaging window, which covers 2rx x 2ry pixels reaching one pixel
// further up and left than down and right, clipped to the rectangle. Radii below 1 draw
// nothing. flags 1 leaves transparent pixels out of the averages and keeps the destination
// where the source pixel itself is transparent.
bool DDBlur(DDSURFACEDATA* dst, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* src,
            int sx, int sy, int flags);
// n: the block size in pixels; below 1 nothing is drawn. The Direct3D mode paints each block
// with its top-left source pixel, the DirectDraw mode at 16 and 32 bits with its average.
bool DDMosaic(DDSURFACEDATA* dst, int x, int y, int w, int h, int n, DDSURFACEDATA* src, int sx,
              int sy, int flags);
