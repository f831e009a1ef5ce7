#include "media/fade.h"

#include <algorithm>
#include <cmath>

#include "media/blit.h"
#include "media/device_scene.h"
#include "media/draw_routines.h"
#include "media/palette_effects.h"
#include "media/quad_draw.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

struct sFadeAngles {
  double out = 90.0;
  double in = 0.0;
};
sFadeAngles g_D3DFade, g_DDFade;

double Sine(double degrees) { return std::sin(degrees * kPi / 180.0); }

// One frame at angle a. False when the Direct3D scene or target could not be had: the
// angle is not stepped then.
bool DrawFadeFrame(double a, bool snapshot, PALETTEENTRY* work, int first, int last, int red,
                   int green, int blue, const PALETTEENTRY* source) {
  if (lpDTCon) {
    DDSURFACEDATA* target = &BackBuffer;
    DDRedirectBackBuffer(&target);
    if (!DDBeginScene() || !DDSetRenderTarget(0, target)) return false;
    const int alpha = 255 - static_cast<int>(255.0 * Sine(a));
    DDDrawBox(target, 0, 0, target->nWidth, target->nHeight,
              static_cast<std::uint32_t>(std::clamp(alpha, 0, 255)) << 24);
    DDSetRenderTarget(0, lpDTCon->lpDefaultTarget);
    return true;
  }
  if (snapshot && g_nBpp != 8)
    DDBlt(&g_FadeCopy, 0, 0, BackBuffer.nWidth, BackBuffer.nHeight, &BackBuffer, 0, 0, DDBLT_NOKEY);
  const int level = static_cast<int>(256.0 * Sine(a));
  if (g_nBpp == 8) {
    BlendPalette(work, first, last, level, red, green, blue, source);
    if (g_lpDDPalette && work && first >= 0 && last <= 255 && first <= last)
      g_lpDDPalette->SetEntries(first, last - first + 1, work + first);
  } else {
    DDFade_UnPal(&BackBuffer, level, red, green, blue, &g_FadeCopy);
  }
  return true;
}

sFadeAngles& Angles() { return lpDTCon ? g_D3DFade : g_DDFade; }

// One frame of a fade whose angle a runs from start to end; true on the frame that ends it,
// which re-arms the angle.
bool StepFade(double& a, double start, double end, PALETTEENTRY* work, int first, int last, int red,
              int green, int blue, double step, const PALETTEENTRY* source, int finish) {
  const bool snapshot = a == start;
  // A fade that could never move on would hold the scene for ever.
  if (finish || !(step > 0.0)) a = end;
  if (!DrawFadeFrame(a, snapshot, work, first, last, red, green, blue, source)) return false;
  const bool down = end < start;
  if (down ? a > end : a < end) {
    a = down ? std::max(a - step, end) : std::min(a + step, end);
    return false;
  }
  a = start;
  return true;
}
}  // namespace

bool FadeScreenOut(PALETTEENTRY* work, int first, int last, int red, int green, int blue,
                   double step, const PALETTEENTRY* source, int finish) {
  return StepFade(Angles().out, 90.0, 0.0, work, first, last, red, green, blue, step, source,
                  finish);
}

bool FadeScreenIn(PALETTEENTRY* work, int first, int last, int red, int green, int blue,
                  double step, const PALETTEENTRY* source, int finish) {
  return StepFade(Angles().in, 0.0, 90.0, work, first, last, red, green, blue, step, source,
                  finish);
}

void ResetScreenFades() {
  g_D3DFade = sFadeAngles{};
  g_DDFade = sFadeAngles{};
}
