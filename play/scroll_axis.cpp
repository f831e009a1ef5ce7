#include "play/scroll_axis.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "foundation/play_math.h"
#include "objects/play_units.h"
#include "play/play_scene.h"

void cScrollAxis::Clamp() {
  if (m_dPos < m_nMin) {
    m_dPos = m_nMin;
    m_bAtLimit = 1;
  } else if (m_dPos + m_nScreen >= m_nMax) {
    m_dPos = m_nMax - m_nScreen;
    if (m_dPos < m_nMin) m_dPos = m_nMin;
    m_bAtLimit = 1;
  } else {
    m_bAtLimit = 0;
  }
}

void cScrollAxis::Step() {
  m_dPos += m_dSpeed;
  Clamp();
}

void cScrollAxis::SetSpeed(int on, int n) {
  if (on == 0) {
    m_dSpeed = 0;
    m_bAuto = 0;
    return;
  }
  m_dSpeed = n * 0.1 / g_dHitLevel;
  m_bAuto = 1;
}

void cScrollAxis::SetLimits(int low, int high, int lowOn, int highOn) {
  m_nMin = lowOn ? AddWrap32(kMapMarginPixels, MulWrap32(low, 32)) : m_nStart;
  m_nMax = highOn ? AddWrap32(kMapMarginPixels, MulWrap32(AddWrap32(high, 1), 32)) : m_nEnd;
  if (highOn && m_nMax < m_nMin) m_nMax = m_nMin;
}

int MapRowShift(int width) {
  return std::bit_width(static_cast<std::uint64_t>(std::max(width, 0)) + 2 * kMapMargin - 1);
}

namespace {

void SetUpCommon(cScrollAxis& axis, int cells, int pixelExtent) {
  axis.m_nMargin = kMapMargin;
  axis.m_nMapSize = AddWrap32(pixelExtent, 640);
  axis.m_nCells = AddWrap32(cells, 2 * kMapMargin);
  axis.m_nStart = kMapMarginPixels;
  axis.m_nEnd = std::max(MulWrap32(AddWrap32(cells, kMapMargin), 32), 0);
}

}  // namespace

void cScrollAxis::SetUpX(int cells, int pixelExtent) {
  cells = std::max(cells, 0);
  m_nAxis = 0;
  m_nScreen = 640;
  SetUpCommon(*this, cells, pixelExtent);
  m_nShift = MapRowShift(cells);
  // Maps this wide are refused when their grid is made; the stride stays representable.
  m_nStride = static_cast<std::int32_t>(std::uint32_t{1} << std::min(m_nShift, 30));
}

void cScrollAxis::SetUpY(int cells, int pixelExtent) {
  cells = std::max(cells, 0);
  m_nAxis = 1;
  m_nScreen = 480;
  SetUpCommon(*this, cells, pixelExtent);
  m_nShift = 0;
  m_nStride = m_nCells;
}

namespace scroll_axis_detail {
cScrollAxis* g_pBound[2] = {nullptr, nullptr};
cScrollAxis cPlayScene::* const kSceneAxis[2] = {&cPlayScene::m_ScrollX, &cPlayScene::m_ScrollY};
cScrollAxis g_Resting[2];
}  // namespace scroll_axis_detail

void BindScrollAxes(cScrollAxis* x, cScrollAxis* y) {
  scroll_axis_detail::g_pBound[0] = x;
  scroll_axis_detail::g_pBound[1] = y;
}
