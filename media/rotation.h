#pragma once
// A rectangle drawn rotated about a point.
#include "media/surface.h"

// The w x h rectangle of src at (sx, sy), turned by angle degrees (clockwise on the screen)
// about its point (px, py) and drawn with that point on (cx, cy). The Direct3D mode draws a
// render target from a texture as one rotated quad with the colour and operations of
// DDSetColor, DDSetColorOp and DDSetAlphaOp; every other pair is mapped pixel by pixel, flags 1
// leaving out the transparent colour. False only when a lock fails.
bool DDBltRotate(DDSURFACEDATA* dst, int cx, int cy, int w, int h, int px, int py, int angle,
                 DDSURFACEDATA* src, int sx, int sy, int flags);
