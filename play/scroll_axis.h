#pragma once
// The two camera axes of the play scene. Every play object clamps against them, the frame
// steps them, drawing places everything relative to them.
#include <cstdint>

// Cells of empty margin around the map on every side, and the pixels they take.
inline constexpr int kMapMargin = 10;
inline constexpr int kMapMarginPixels = kMapMargin * 32;

class cScrollAxis {
 public:
  double m_dPos = 0;          // map pixel at the screen's left (x) or top (y) edge
  std::int32_t m_bAtLimit = 0;  // the last clamp held the position at a limit
  std::int32_t m_nAxis = 0;   // 0 x, 1 y
  std::int32_t m_nScreen = 0;  // 640 or 480
  std::int32_t m_nMin = 0;    // the screen stays within [min, max]
  std::int32_t m_nMax = 0;
  std::int32_t m_nStart = 0;  // the stage area [start, end) in map pixels
  std::int32_t m_nEnd = 0;
  std::int32_t m_nMargin = 0;  // cells
  std::int32_t m_nMapSize = 0;  // whole map in pixels, margins included
  std::int32_t m_nCells = 0;   // map cells with both margins
  std::int32_t m_nStride = 0;  // x: the cell grid's row stride (a power of two); y: cells
  std::int32_t m_nShift = 0;   // x: log2 of the stride; y: 0
  double m_dSpeed = 0;         // auto-scroll per sub-step
  std::int32_t m_bAuto = 0;

  // Holds the position inside the scroll range.
  void Clamp();
  // One sub-step of auto-scroll.
  void Step();
  // on 0 stops the auto-scroll; otherwise n tenths of a pixel per frame.
  void SetSpeed(int on, int n);
  // The scroll range from limit cells low and high, each used only when switched on.
  void SetLimits(int low, int high, int lowOn, int highOn);

  // The layout of a map of cells (width or height, below 0 taken as 0) whose pixel extent
  // the stage record gives: margin, size, stage area and, for x, the grid's row stride.
  void SetUpX(int cells, int pixelExtent);
  void SetUpY(int cells, int pixelExtent);
};

// The row shift of the cell grid of a map w cells wide: the bit length of w + 19.
int MapRowShift(int width);

// The axes the play objects clamp against: those bound here (tests, tools), else the play
// scene's, else two resting axes of an empty map. BindScrollAxes(nullptr, nullptr) unbinds.
void BindScrollAxes(cScrollAxis* x, cScrollAxis* y);
// Every object asks for the axes several times per sub-step, so the choice is made inline.
// The scene's axes are reached through member pointers, which need no complete scene type.
class cPlayScene;
extern cPlayScene* g_pPlayScene;
namespace scroll_axis_detail {
extern cScrollAxis* g_pBound[2];
extern cScrollAxis cPlayScene::* const kSceneAxis[2];
extern cScrollAxis g_Resting[2];

inline cScrollAxis& Axis(int axis) {
  if (g_pBound[axis]) return *g_pBound[axis];
  return g_pPlayScene ? g_pPlayScene->*kSceneAxis[axis] : g_Resting[axis];
}
}  // namespace scroll_axis_detail

inline cScrollAxis& ScrollAxisX() { return scroll_axis_detail::Axis(0); }
inline cScrollAxis& ScrollAxisY() { return scroll_axis_detail::Axis(1); }
