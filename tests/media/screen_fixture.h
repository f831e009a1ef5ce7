#pragma once
// A media device for drawing tests: a small screen in either mode and depth, and helpers to
// make, fill and read surfaces.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "media/blit.h"
#include "media/device.h"
#include "media/palette.h"
#include "media/surface_create.h"
#include "platform/close_request.h"
#include "tests/support/scoped_value.h"

class cScreenTest : public ::testing::Test {
 protected:
  // window mode 1 windowed, 0 full screen.
  // Each screen starts without a transparent colour, and with one at 16 and 32 bits.
  void Init(int d3d, int bpp, int width = 64, int height = 48, int windowMode = 1) {
    g_dwTransmit = 0;
    ASSERT_TRUE(
        DDInit(d3d, nullptr, width, height, bpp, 0, windowMode, 1, 60, 0, nullptr, nullptr, 0));
    if (d3d || bpp > 8) DDSetTransmit(0xFF, 0, 0xFF);
  }
  void TearDown() override {
    DDRelease();
    platform::ResetCloseRequest();
  }
  // What the tests set beside the device: the transparent colour and the palettes.
  cScopedGlobal<std::uint32_t> m_KeepTransmit{g_dwTransmit};
  cScopedGlobal<PALETTEENTRY[256]> m_KeepPalette{g_Palette};
  cScopedGlobal<PALETTEENTRY[256]> m_KeepWorkPalette{g_WorkPalette};
  static void Make(DDSURFACEDATA& s, int w, int h, std::uint32_t fill, int key = 1) {
    ASSERT_TRUE(DDCreateSurface(&s, w, h, key, 1, DTMEMORYTYPE_VIDEO_RT, 0, 0));
    s.Pixels()->Fill(fill);
  }
  static void FillRect(DDSURFACEDATA& s, int x, int y, int w, int h, std::uint32_t value) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) s.Pixels()->Put(i, j, value);
  }
  static std::uint32_t At(DDSURFACEDATA& s, int x, int y) { return s.Pixels()->Get(x, y); }
  static std::vector<std::uint32_t> Row(DDSURFACEDATA& s, int y, int x, int n) {
    std::vector<std::uint32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(s.Pixels()->Get(x + i, y));
    return out;
  }
  static std::vector<std::uint32_t> Column(DDSURFACEDATA& s, int x, int y, int n) {
    std::vector<std::uint32_t> out;
    for (int j = 0; j < n; ++j) out.push_back(s.Pixels()->Get(x, y + j));
    return out;
  }
};
