#include "objects/object.h"

#include <cmath>

#include "foundation/play_math.h"
#include "play/map_cells.h"
#include "play/scroll_axis.h"
#include "project/stage.h"

cObject::cObject() = default;
cObject::cObject(const cObject& other) = default;
cObject::~cObject() = default;

void cObject::CopyFrom(const cObject& other) {
  if (&other != this) cObject::operator=(other);
}

void cObject::SetUpBase(int number, int control, int input, int group, int graphic,
                        const AnimeRuns* anime, int startRun, int offsetX, int offsetY,
                        int width, int height, int cellWidth, int cellHeight, int facing,
                        int moveKind, int copyIndex) {
  m_nNumber = number;
  m_nControl = control;
  m_nInput = input;
  m_nGroup = group;
  m_nGraphic = graphic;
  m_Rect.m_nOffsetX = m_Rect.m_nBaseOffsetX = offsetX;
  m_Rect.m_nOffsetY = m_Rect.m_nBaseOffsetY = offsetY;
  m_nWidth = m_nBaseWidth = width;
  m_nHeight = m_nBaseHeight = height;
  m_Rect.m_nWidth = m_Rect.m_nBaseWidth = cellWidth;
  m_Rect.m_nHeight = m_Rect.m_nBaseHeight = cellHeight;
  m_nFacing = facing;
  m_sCopyIndex = static_cast<std::int16_t>(copyIndex);
  m_nLife = 2147483647;
  if (anime) {
    m_Anime.Init(*anime);
    m_Anime.Set(startRun, 1);
  }
  m_dVX = m_dVY = 0;
  m_dInertiaX = m_dInertiaY = 0;
  m_bPresent = 0;
  m_bOnScreen = 0;
  m_bAppeared = 0;
  SetMoveKind(moveKind);
}

void cObject::SetMoveKind(int kind) {
  switch (kind) {
    case MOVE_GROUND:
      m_bNoGravity = 0;
      m_nBlockPass = BLOCKPASS_COLLIDE;
      break;
    case MOVE_FLY_THROUGH:
      m_bNoGravity = 1;
      m_nBlockPass = BLOCKPASS_THROUGH;
      break;
    case MOVE_FLY:
      m_bNoGravity = 1;
      m_nBlockPass = BLOCKPASS_COLLIDE;
      break;
    case MOVE_FLY_DIE:
      m_bNoGravity = 1;
      m_nBlockPass = BLOCKPASS_DIE;
      break;
    default:
      break;
  }
}

void cObject::Scale(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  m_nWidth = MulWrap32(newScale, m_nBaseWidth);
  m_nHeight = MulWrap32(newScale, m_nBaseHeight);
  m_Rect.m_nOffsetX = MulWrap32(newScale, m_Rect.m_nBaseOffsetX);
  m_Rect.m_nOffsetY = MulWrap32(newScale, m_Rect.m_nBaseOffsetY);
  m_Rect.m_nWidth = MulWrap32(newScale, m_Rect.m_nBaseWidth);
  m_Rect.m_nHeight = MulWrap32(newScale, m_Rect.m_nBaseHeight);
  AdjustForScale(newScale, oldScale);
  OnScaled(newScale);
}

void cObject::AdjustForScale(int newScale, int oldScale) {
  AdjustXForScale(newScale, oldScale);
  AdjustYForScale(newScale, oldScale);
}

void cObject::AdjustXForScale(int newScale, int oldScale) {
  m_dX = m_dX - MulWrap32(SubWrap32(newScale, oldScale), m_nBaseWidth >> 1);
  ClampX(CLAMP_MAP);
}

namespace {

// The corner cell of a coordinate: its integer part shifted right by 5.
std::int32_t CellOf(double v) { return TruncToInt32(v) >> 5; }

}  // namespace

int cObject::ClampX(int mode) {
  const cScrollAxis& axis = ScrollAxisX();
  const int w = m_nWidth;
  int code = MOVE_INSIDE;
  switch (mode) {
    case CLAMP_SCROLL:
      if (m_dX < axis.m_nMin) m_dX = axis.m_nMin;
      else if (m_dX + w - 1 >= axis.m_nMax) m_dX = axis.m_nMax - w;
      break;
    case CLAMP_STAGE:
      if (m_dX < axis.m_nStart) m_dX = axis.m_nStart;
      else if (m_dX + w - 1 >= axis.m_nEnd) m_dX = axis.m_nEnd - w;
      else if (m_dX < axis.m_nMin || m_dX + w - 1 >= axis.m_nMax) code = MOVE_OUT_OF_SCROLL;
      break;
    case CLAMP_MAP:
      if (m_dX < 0) {
        m_dX = 0;
        code = MOVE_AT_MAP_EDGE;
      } else if (m_dX + w - 1 >= axis.m_nMapSize) {
        m_dX = axis.m_nMapSize - w;
        code = MOVE_AT_MAP_EDGE;
      } else if (m_dX < axis.m_nStart || m_dX + w - 1 >= axis.m_nEnd) {
        code = MOVE_IN_MARGIN;
      } else if (m_dX < axis.m_nMin || m_dX + w - 1 >= axis.m_nMax) {
        code = MOVE_OUT_OF_SCROLL;
      }
      break;
    default:
      break;
  }
  m_dRight = m_dX + w - 1;
  UpdateHitBoxX();
  m_nLeftCell = CellOf(m_dX);
  m_nRightCell = CellOf(m_dRight);
  return code;
}

int cObject::ClampY(int mode) {
  const cScrollAxis& axis = ScrollAxisY();
  const int h = m_nHeight;
  int code = MOVE_INSIDE;
  switch (mode) {
    case CLAMP_SCROLL:
      if (m_dY < axis.m_nMin) m_dY = axis.m_nMin;
      else if (m_dY + h - 1 >= axis.m_nMax) m_dY = axis.m_nMax - h;
      break;
    case CLAMP_STAGE:
      if (m_dY < axis.m_nStart) m_dY = axis.m_nStart;
      else if (m_dY + h - 1 >= axis.m_nEnd) m_dY = axis.m_nEnd - h;
      else if (m_dY < axis.m_nMin) code = MOVE_OUT_OF_SCROLL;
      else if (m_dY + h - 1 >= axis.m_nMax) code = MOVE_BELOW_SCROLL;
      break;
    case CLAMP_MAP:
      if (m_dY < 0) {
        // An object as tall as the margin stays where it is.
        if (h < kMapMarginPixels) {
          m_dY = 0;
          code = MOVE_AT_MAP_EDGE;
        }
      } else if (m_dY + h - 1 >= axis.m_nMapSize) {
        if (h < kMapMarginPixels) {
          m_dY = axis.m_nMapSize - h;
          code = MOVE_AT_MAP_BOTTOM;
        }
      } else if (m_dY < axis.m_nStart) {
        code = MOVE_IN_MARGIN;
      } else if (m_dY + h - 1 >= axis.m_nEnd) {
        code = MOVE_BELOW_STAGE;
      } else if (m_dY < axis.m_nMin) {
        code = MOVE_OUT_OF_SCROLL;
      } else if (m_dY + h - 1 >= axis.m_nMax) {
        code = MOVE_BELOW_SCROLL;
      }
      break;
    default:
      break;
  }
  m_dBottom = m_dY + h - 1;
  UpdateHitBoxY();
  m_nTopCell = CellOf(m_dY);
  m_nBottomCell = CellOf(m_dBottom);
  return code;
}

namespace {

void LimitSpeed(double& v) {
  if (std::isnan(v)) v = 0;  // a speed from a division by zero moves nothing
  if (v > g_dSpeedMax) v = g_dSpeedMax;
  if (v < -g_dSpeedMax) v = -g_dSpeedMax;
}

}  // namespace

int cObject::MoveX(int mode) {
  LimitSpeed(m_dVX);
  m_dX = m_dX + m_dVX;
  return ClampX(mode);
}

int cObject::MoveY(int mode) {
  LimitSpeed(m_dVY);
  m_dY = m_dY + m_dVY;
  return ClampY(mode);
}

void cObject::ApplyGravity() {
  if (m_bNoGravity == 0) m_dVY = m_dVY + g_dGravity;
}

void cObject::ApplyFriction(double& value, int enabled) {
  if (!enabled || value == 0) return;
  if (value > 0) {
    value = value - m_dDecel;
    if (value < 0) value = 0;
  } else {
    value = value + m_dDecel;
    if (value > 0) value = 0;
  }
}

void cObject::UpdateScreenRect() {
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  const std::int32_t camX = TruncToInt32(ax.m_dPos);
  const std::int32_t camY = TruncToInt32(ay.m_dPos);
  const int offX = m_Rect.m_nOffsetX;
  const int offY = m_Rect.m_nOffsetY;
  std::int32_t left, top;
  if (m_bNoGravity == 0) {
    left = TruncToInt32((m_dX - offX) - camX);
    top = TruncToInt32((m_dY - offY) - camY);
  } else {
    if (ax.m_dSpeed == 0.0 || ax.m_bAtLimit)
      left = SubWrap32(SubWrap32(TruncToInt32(m_dX), camX), offX);
    else if (m_bScreenBound)
      left = SubWrap32(TruncToInt32(m_dX - ax.m_dPos), offX);
    else
      left = TruncToInt32((m_dX - offX) - camX);
    if (ay.m_dSpeed == 0.0 || ay.m_bAtLimit)
      top = SubWrap32(SubWrap32(TruncToInt32(m_dY), camY), offY);
    else
      top = AddWrap32(SubWrap32(TruncToInt32(m_dY - ay.m_dPos), offY), 1);
  }
  m_Rect.m_nLeft = left;
  m_Rect.m_nTop = top;
  m_Rect.m_nRight = SubWrap32(AddWrap32(left, m_Rect.m_nWidth), 1);
  m_Rect.m_nBottom = SubWrap32(AddWrap32(top, m_Rect.m_nHeight), 1);
}

int cObject::IsOnScreenAxes(int ignoreX, int ignoreY) const {
  const double camX = ScrollAxisX().m_dPos;
  const double camY = ScrollAxisY().m_dPos;
  if (!ignoreX && !(m_dRight >= camX && camX + 640 > m_dX)) return 0;
  if (!ignoreY && !(m_dBottom >= camY && camY + 480 > m_dY)) return 0;
  return 1;
}

int cObject::IsOnScreen() const { return IsOnScreenAxes(0, 0); }

int cObject::IsInStage(int wholeMap) const {
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  if (wholeMap == 1)
    return m_dX >= 0 && m_dRight < ax.m_nMapSize && m_dY >= 0 && m_dBottom < ay.m_nMapSize;
  return m_dX >= ax.m_nStart && m_dRight < ax.m_nEnd && m_dY >= ay.m_nStart &&
         m_dBottom < ay.m_nEnd;
}

int cObject::InRect(double left, double top, double right, double bottom) const {
  return m_dX <= right && m_dRight >= left && m_dY <= bottom && m_dBottom >= top;
}

int cObject::HitBlockCorners() {
  const int shift = ScrollAxisX().m_nShift;
  const std::int32_t corners[4][2] = {{m_nLeftCell, m_nTopCell},
                                      {m_nLeftCell, m_nBottomCell},
                                      {m_nRightCell, m_nTopCell},
                                      {m_nRightCell, m_nBottomCell}};
  for (const auto& c : corners) {
    const std::int64_t index =
        static_cast<std::int64_t>(c[0]) + (static_cast<std::int64_t>(c[1]) << shift);
    if (MapCellHitMode(index, m_nGroup) != 0) return 1;
  }
  return 0;
}

int cObject::HitBlockCornersEx(int) { return HitBlockCorners(); }

int cObject::IsFarOffScreen(const cEraseArea& area) const {
  if (m_bOnScreen) return 0;
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  const double camX = ax.m_dPos;
  const double camY = ay.m_dPos;
  if (area.m_bLeft && TruncToInt32(camX - MulWrap32(32, area.m_nMarginLeft)) >= m_dRight) return 1;
  if (area.m_bRight && TruncToInt32(camX + MulWrap32(32, area.m_nMarginRight) + 640) <= m_dX) return 1;
  if (area.m_bBottom && TruncToInt32(MulWrap32(32, area.m_nMarginBottom) + camY + 480) <= m_dY) return 1;
  if (area.m_bTop && TruncToInt32(camY - MulWrap32(32, area.m_nMarginTop)) >= m_dBottom) return 1;
  if (m_dX <= 0 || m_dRight >= ax.m_nMapSize - 1 || m_dY <= 0 || m_dBottom >= ay.m_nMapSize - 1)
    return 1;
  return 0;
}

double CalcWavePos(double amplitude, int frequency, double& phase, double step, double offset) {
  const double w = frequency * kDegToRad;
  const double result = w * PlayCos(w * (phase / g_dHitLevel + offset)) * amplitude / g_dHitLevel;
  phase = phase + step;
  if (phase >= 360 * g_dHitLevel) phase = phase - 360 * g_dHitLevel;
  return result;
}

double CalcWaveAccel(double amplitude, int frequency, double& phase, double step,
                     double offset) {
  const double w = frequency * kDegToRad;
  const double result =
      -(w * PlaySin(w * (phase / g_dHitLevel + offset)) * (w / g_dHitLevel) * amplitude) /
      g_dHitLevel;
  phase = phase + step;
  if (phase >= 360 * g_dHitLevel) phase = phase - 360 * g_dHitLevel;
  return result;
}

int SubStepsToTop(double v) { return TruncToInt32(g_dHitLevel - v / g_dGravity); }
