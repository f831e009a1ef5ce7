#include "media/draw_routines.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/play_math.h"
#include "media/blit.h"
#include "media/raster.h"
#include "media/sprite_batch.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

bool ValidRange(int first, int last) { return first >= 0 && last <= 255 && first <= last; }
}  // namespace

void DrawRectFrame(DDSURFACEDATA* dst, int x, int y, int w, int h, int t, std::uint32_t palNum) {
  DDBoxBatchBegin();
  DDBoxFill(dst, x, y, w, t, palNum);
  DDBoxFill(dst, x, y + h - t, w, t, palNum);
  DDBoxFill(dst, x, y, t, h, palNum);
  DDBoxFill(dst, x + w - t, y, t, h, palNum);
  DDBoxBatchFlush();
}

void DrawFramedBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int t,
                   std::uint32_t palNum) {
  DDBlt(dst, x, y, w, h, src, 0, 0, DDBLT_NOKEY);
  DrawRectFrame(dst, x - t, y - t, w + 2 * t, h + 2 * t, t, palNum);
}

void DrawNumber(DDSURFACEDATA* dst, int x, int y, int digitW, int digitH, DDSURFACEDATA* strip,
                int sx, int sy, int flags, int value, int minDigits, int centre) {
  int digits[10];
  int n = 0;
  unsigned rest = value > 0 ? static_cast<unsigned>(value) : 0;
  do {
    digits[n++] = static_cast<int>(rest % 10);
    rest /= 10;
  } while (rest > 0 && n < 10);
  long left = x;
  if (n < minDigits) {
    const long shift = static_cast<long>(minDigits - n) * digitW;
    left += centre ? shift / 2 : shift;
  }
  for (int i = n - 1; i >= 0; --i, left += digitW) {
    // Positions no surface reaches are not drawn (nor computed in int).
    if (left > kCoordLimit || left < -kCoordLimit) continue;
    DDBlt(dst, static_cast<int>(left), y, digitW, digitH, strip, sx + digits[i] * digitW, sy,
          flags);
  }
}

void DrawWaveBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int waves, double amplitude,
                 double phase, int stripSize, DDSURFACEDATA* src, int sx, int sy, int flags,
                 int column) {
  const int s = stripSize;
  // The length along the strips divides the angle: an empty picture has no wave.
  if (s <= 0 || w <= 0 || h <= 0) return;
  const int length = column ? w : h;
  const double step = static_cast<double>(s) * 360.0 / static_cast<double>(length);
  double angle = phase;
  DDSpriteBatchBegin(0);
  for (int j = 0; j * s < length; ++j) {
    angle += step;
    const int size = std::min(s, length - j * s);
    const int offset = static_cast<int>(amplitude * std::sin(waves * angle * kPi / 180.0));
    if (column)
      DDBlt(dst, x + j * s, y + offset, size, h, src, sx + j * s, sy, flags);
    else
      DDBlt(dst, x + offset, y + j * s, w, size, src, sx, sy + j * s, flags);
  }
  DDSpriteBatchFlush();
}

void DrawStripeBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, int stripSize, int offset,
                   DDSURFACEDATA* src, int sx, int sy, int flags, int column) {
  const int s = stripSize;
  if (s <= 0) {
    DDBlt(dst, x, y, w, h, src, sx, sy, flags);
    return;
  }
  const int count = (column ? w : h) / s;
  DDSpriteBatchBegin(0);
  for (int k = 0; k < count; ++k) {
    // Odd strips move up (left), even strips down (right).
    const int shift = (k % 2 == 1) ? NegWrap32(offset) : offset;
    if (column)
      DDBlt(dst, x + k * s, AddWrap32(y, shift), s, h, src, sx + k * s, sy, flags);
    else
      DDBlt(dst, AddWrap32(x, shift), y + k * s, w, s, src, sx, sy + k * s, flags);
  }
  DDSpriteBatchFlush();
}

void DrawFlipBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src1, int sx1,
                 int sy1, DDSURFACEDATA* src2, int sx2, int sy2, int sw, int sh, int flags,
                 int step, int axis) {
  if (axis != 0 && axis != 1) return;
  const int length = axis == 0 ? w : h;
  const int half = length / 2;
  // Half a side of 0 has no inset to turn through.
  if (half <= 0 || step < 0) return;
  const int inset = (step / half) % 2 == 0 ? step % half : half - (step % half) - 1;
  const bool second = ((static_cast<long>(step) + half) / length) % 2 == 1;
  DDSURFACEDATA* picture = second ? src2 : src1;
  const int psx = second ? sx2 : sx1, psy = second ? sy2 : sy1;
  if (axis == 0)
    DDBltStretch(dst, x + inset, y, w - 2 * inset, h, picture, psx, psy, sw, sh, flags);
  else
    DDBltStretch(dst, x, y + inset, w, h - 2 * inset, picture, psx, psy, sw, sh, flags);
}

void DrawQuadSplitBlt(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                      int sy, int spread, int flags) {
  const int hw = w / 2, hh = h / 2, s = spread;
  // A spread from the data wraps at 32 bits.
  const int left = SubWrap32(x, s), right = AddWrap32(x + hw, s);
  const int top = SubWrap32(y, s), bottom = AddWrap32(y + hh, s);
  DDSpriteBatchBegin(0);
  DDBlt(dst, left, top, hw, hh, src, sx, sy, flags);
  DDBlt(dst, right, top, hw, hh, src, sx + hw, sy, flags);
  DDBlt(dst, left, bottom, hw, hh, src, sx, sy + hh, flags);
  DDBlt(dst, right, bottom, hw, hh, src, sx + hw, sy + hh, flags);
  DDSpriteBatchFlush();
}

void BlendPalette(PALETTEENTRY* out, int first, int last, int level, int red, int green, int blue,
                  const PALETTEENTRY* source) {
  if (!out || !source || !ValidRange(first, last)) return;
  // Beyond 0..256 the mix would leave the range of a channel.
  level = std::clamp(level, 0, 256);
  const int k = 256 - level;
  auto mix = [level, k](int colour, int channel) {
    return static_cast<std::uint8_t>(((colour & 0xFF) * k + channel * level) >> 8);
  };
  for (int i = first; i <= last; ++i) {
    const PALETTEENTRY s = source[i];
    out[i].peRed = mix(red, s.peRed);
    out[i].peGreen = mix(green, s.peGreen);
    out[i].peBlue = mix(blue, s.peBlue);
    out[i].peFlags = PC_RESERVED;
  }
}

void RotatePalette(PALETTEENTRY* out, int first, int last, int shift, int direction,
                   const PALETTEENTRY* source) {
  if (!out || !source) return;
  if (g_nBpp != 8 && g_nBpp != 16 && g_nBpp != 32) return;
  if (out != source) std::copy(source, source + 256, out);
  if (!ValidRange(first, last) || (direction != 0 && direction != 1)) return;
  const int n = last - first + 1;
  // A shift beyond the range turns it round more than once.
  shift = ((shift % n) + n) % n;
  PALETTEENTRY* begin = out + first;
  if (direction == 0)
    std::rotate(begin, begin + (n - shift), begin + n);
  else
    std::rotate(begin, begin + shift, begin + n);
}
