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

// The places that need no object: the screen's centre, a block of the screen, a block of the
// map (its margin of 10 cells counted). Blocks are 32 pixels; the dot offset is added.
enum ePlace : int { PLACE_CENTRE = 0, PLACE_SCREEN_BLOCK = 1, PLACE_MAP_BLOCK = 2 };

struct sPlacement {
  std::int32_t nBlockX = 0, nBlockY = 0, nDotX = 0, nDotY = 0;
  std::int32_t nWidth = 0, nHeight = 0;
};

// The top-left corner on the screen of something of the placement's size put at place.
inline void PlaceOnScreen(int place, const sPlacement& p, const sScroll& scroll, int& x, int& y) {
  switch (place) {
    case PLACE_SCREEN_BLOCK:
      x = Wrap32(static_cast<std::int64_t>(p.nBlockX) * 32 + p.nDotX);
      y = Wrap32(static_cast<std::int64_t>(p.nBlockY) * 32 + p.nDotY);
      break;
    case PLACE_MAP_BLOCK:
      x = TruncToInt32((static_cast<std::int64_t>(p.nBlockX) + 10) * 32.0 + p.nDotX - scroll.x);
      y = TruncToInt32((static_cast<std::int64_t>(p.nBlockY) + 10) * 32.0 + p.nDotY - scroll.y);
      break;
    default:
      x = Wrap32(std::int64_t{320} - (p.nWidth >> 1) + p.nDotX);
      y = Wrap32(std::int64_t{240} - (p.nHeight >> 1) + p.nDotY);
      break;
  }
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
  // The rule of both: what is placed by the screen (its centre or a block of it) is pinned to
  // the map unless fixed; what an object or a map block places keeps its first place when fixed.
  void Hold(bool screenPlace, int fixed, int& x, int& y, const sScroll& scroll) {
    if (screenPlace) {
      if (!fixed) PinToMap(x, y, scroll);
    } else if (fixed) {
      KeepFirst(x, y);
    }
  }
};
