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

// The screen position of a corner placed at block (x 32) plus dot on the screen, on the map
// (the map's margin of 10 cells counted), or centred on the screen's centre line.
inline int ScreenBlockPos(int block, int dot) {
  return Wrap32(static_cast<std::int64_t>(block) * 32 + dot);
}
inline int MapBlockPos(int block, int dot, double scroll) {
  return TruncToInt32((static_cast<std::int64_t>(block) + 10) * 32.0 + dot - scroll);
}
inline int CentredPos(int centre, int size, int dot) {
  return Wrap32(static_cast<std::int64_t>(centre) - (size >> 1) + dot);
}

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
