#pragma once
// Where a drawing landed: the box around every pixel of one colour on a surface.
#include <algorithm>
#include <cstdint>
#include <ostream>

#include "media/surface.h"

struct sInkBox {
  int x = -1, y = -1, w = 0, h = 0;
  bool operator==(const sInkBox&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const sInkBox& b) {
  return os << "(" << b.x << ", " << b.y << ", " << b.w << " x " << b.h << ")";
}

// The box around the pixels of surface (w x h from its corner) whose value is ink; empty when
// there are none.
inline sInkBox InkBox(DDSURFACEDATA& surface, std::uint32_t ink, int w = 640, int h = 480) {
  int x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (surface.Pixels()->Get(x, y) == ink) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
      }
  if (x1 < 0) return {};
  return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}
