#pragma once
// A recording stand-in for the effects' drawing calls: while a cEffectRecorder lives, every
// call the character and screen effects make is written down by name with its numbers, and
// nothing is drawn. Surfaces are written as numbers: -1 the back buffer, n system surface n,
// -2 any other.
#include <cmath>
#include <string>
#include <vector>

#include "play/effect_blits.h"
#include "project/system_bitmaps.h"

struct sEffectCall {
  std::string name;
  std::vector<double> args;
  double operator[](std::size_t i) const { return i < args.size() ? args[i] : NAN; }
};

class cEffectRecorder {
 public:
  cEffectRecorder() : m_Saved(g_EffectBlits) {
    Calls().clear();
    g_EffectBlits = Recording();
  }
  ~cEffectRecorder() { g_EffectBlits = m_Saved; }
  cEffectRecorder(const cEffectRecorder&) = delete;
  cEffectRecorder& operator=(const cEffectRecorder&) = delete;

  static std::vector<sEffectCall>& Calls() {
    static std::vector<sEffectCall> calls;
    return calls;
  }
  // The last call of that name (an empty call when there is none).
  static sEffectCall Last(const std::string& name) {
    for (auto it = Calls().rbegin(); it != Calls().rend(); ++it)
      if (it->name == name) return *it;
    return {};
  }
  static std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const sEffectCall& c : Calls()) names.push_back(c.name);
    return names;
  }

 private:
  static double S(const DDSURFACEDATA* s) {
    if (s == &BackBuffer) return -1;
    for (int i = 0; i < kSystemSurfaceCount; ++i)
      if (s == &g_SystemSurface[i]) return i;
    return -2;
  }
  template <class... A>
  static void Note(const char* name, A... args) {
    Calls().push_back({name, {static_cast<double>(args)...}});
  }
  static sEffectBlits Recording() {
    sEffectBlits r;
    r.Blt = [](DDSURFACEDATA* d, int x, int y, int w, int h, DDSURFACEDATA* s, int sx, int sy,
               int f) {
      Note("Blt", S(d), x, y, w, h, S(s), sx, sy, f);
      return 1;
    };
    r.BltStretch = [](DDSURFACEDATA* d, int x, int y, int w, int h, DDSURFACEDATA* s, int sx,
                      int sy, int sw, int sh, int f) {
      Note("BltStretch", S(d), x, y, w, h, S(s), sx, sy, sw, sh, f);
      return 1;
    };
    r.BltBlend = [](DDSURFACEDATA* d, int x, int y, int w, int h, DDSURFACEDATA* s, int sx, int sy,
                    int f, const int*) { Note("BltBlend", S(d), x, y, w, h, S(s), sx, sy, f); };
    r.BltStretchBlend = [](DDSURFACEDATA* d, int x, int y, int w, int h, DDSURFACEDATA* s, int sx,
                           int sy, int sw, int sh, int f, const int*) {
      Note("BltStretchBlend", S(d), x, y, w, h, S(s), sx, sy, sw, sh, f);
    };
    r.BoxFill = [](DDSURFACEDATA* d, int x, int y, int w, int h, std::uint32_t c) {
      Note("BoxFill", S(d), x, y, w, h, c);
    };
    r.SetAlphaOp = [](std::uint32_t op) { Note("SetAlphaOp", op); };
    r.ResetAlphaOp = [] { Note("ResetAlphaOp"); };
    r.SetColor = [](std::uint32_t c) { Note("SetColor", c); };
    r.ResetColor = [] { Note("ResetColor"); };
    r.SetColorOp = [](std::uint32_t op) { Note("SetColorOp", op); };
    r.ResetColorOp = [] { Note("ResetColorOp"); };
    r.QuadSplit = [](DDSURFACEDATA* d, int x, int y, int w, int h, DDSURFACEDATA* s, int sx, int sy,
                     int spread,
                     int f) { Note("QuadSplit", S(d), x, y, w, h, S(s), sx, sy, spread, f); };
    r.Stripe = [](DDSURFACEDATA* d, int x, int y, int w, int h, int strip, int offset,
                  DDSURFACEDATA* s, int sx, int sy, int f, int column) {
      Note("Stripe", S(d), x, y, w, h, strip, offset, S(s), sx, sy, f, column);
    };
    r.Wave = [](DDSURFACEDATA* d, int x, int y, int w, int h, int waves, double amplitude,
                double phase, int strip, DDSURFACEDATA* s, int sx, int sy, int f, int column) {
      Note("Wave", S(d), x, y, w, h, waves, amplitude, phase, strip, S(s), sx, sy, f, column);
    };
    r.Flip = [](DDSURFACEDATA* d, int x, int y, int w, int h, DDSURFACEDATA* s1, int sx1, int sy1,
                DDSURFACEDATA* s2, int sx2, int sy2, int sw, int sh, int f, int step, int axis) {
      Note("Flip", S(d), x, y, w, h, S(s1), sx1, sy1, S(s2), sx2, sy2, sw, sh, f, step, axis);
    };
    r.Rotate = [](DDSURFACEDATA* d, int cx, int cy, int w, int h, int px, int py, int angle,
                  DDSURFACEDATA* s, int sx, int sy, int f) {
      Note("Rotate", S(d), cx, cy, w, h, px, py, angle, S(s), sx, sy, f);
      return true;
    };
    r.Circle = [](DDSURFACEDATA* d, int cx, int cy, int hw, int hh, int radius, int strip,
                  DDSURFACEDATA* s, int scx, int scy, int f) {
      Note("Circle", S(d), cx, cy, hw, hh, radius, strip, S(s), scx, scy, f);
    };
    r.Lens = [](DDSURFACEDATA* d, int cx, int cy, int radius, int depth, DDSURFACEDATA* s, int scx,
                int scy, int f, int clear) {
      Note("Lens", S(d), cx, cy, radius, depth, S(s), scx, scy, f, clear);
      return true;
    };
    r.Tint = [](DDSURFACEDATA* d, int x, int y, int w, int h, DDSURFACEDATA* s, int sx, int sy,
                int f, const PALETTEENTRY*, const std::uint8_t*, std::uint32_t colour, int level) {
      Note("Tint", S(d), x, y, w, h, S(s), sx, sy, f, colour, level);
      return true;
    };
    r.Trans = [](DDSURFACEDATA* d, int x, int y, int w, int h, DDSURFACEDATA* s, int sx, int sy,
                 int f, const std::uint8_t*) {
      Note("Trans", S(d), x, y, w, h, S(s), sx, sy, f);
      return true;
    };
    r.Mosaic = [](DDSURFACEDATA* d, int x, int y, int w, int h, int n, DDSURFACEDATA* s, int sx,
                  int sy, int f) {
      Note("Mosaic", S(d), x, y, w, h, n, S(s), sx, sy, f);
      return true;
    };
    r.Blur = [](DDSURFACEDATA* d, int x, int y, int w, int h, int rx, int ry, DDSURFACEDATA* s,
                int sx, int sy, int f) {
      Note("Blur", S(d), x, y, w, h, rx, ry, S(s), sx, sy, f);
      return true;
    };
    return r;
  }
  sEffectBlits m_Saved;
};
