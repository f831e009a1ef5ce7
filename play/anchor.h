#pragma once
// How messages and pictures hold their place: either on the screen where they first appeared,
// or on the map so that they scroll with the stage.
#include <cstdint>

#include "foundation/play_math.h"
#include "play/scroll_axis.h"

// The camera position (the screen's top-left corner in map pixels).
struct sScroll {
  double x = 0, y = 0;
};
// The camera the play objects follow.
inline sScroll CurrentScroll() { return {ScrollAxisX().m_dPos, ScrollAxisY().m_dPos}; }

// A position kept from one frame to the next.
struct sAnchor {
  std::int32_t& bPlaced;
  std::int32_t& nX;
  std::int32_t& nY;

  // Stays on the screen where it was first placed: the first (x, y) is kept and given back.
  void KeepFirst(int& x, int& y) {
    if (!bPlaced) {
      bPlaced = 1;
      nX = x;
      nY = y;
    }
    x = nX;
    y = nY;
  }
  // Pinned to the map: the first screen position is taken as a map position, then moved by
  // the camera every frame.
  void PinToMap(int& x, int& y, const sScroll& scroll) {
    if (!bPlaced) {
      bPlaced = 1;
      nX = TruncToInt32(x + scroll.x + 0.5);
      nY = TruncToInt32(y + scroll.y + 0.5);
    }
    x = TruncToInt32(nX - (scroll.x - 0.5));
    y = TruncToInt32(nY - (scroll.y - 0.5));
  }
};
