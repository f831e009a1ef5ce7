#pragma once
// Small screens and surfaces in each drawing mode and depth for the software effects.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "media/device.h"
#include "media/palette.h"
#include "media/surface_create.h"
#include "platform/close_request.h"
#include "tests/support/scoped_value.h"
#include "tests/support/temp_folder.h"

using Pixels = std::vector<std::uint32_t>;

// A drawing mode: Direct3D or not, colour depth, and whether the screen is full (the 16-bit
// back buffer then has its own layout).
struct sMode {
  int d3d = 0, bpp = 32, windowMode = 1;
  std::string Name() const {
    return std::string(d3d ? "Direct3D " : "DirectDraw ") + std::to_string(bpp) +
           (windowMode ? "" : " full screen");
  }
};

class EffectTest : public ::testing::Test {
 protected:
  // A 64 x 48 screen. The transparent colour starts at 0; each test sets its own through
  // g_dwTransmit.
  void Init(const sMode& mode) {
    g_dwTransmit = 0;
    ASSERT_TRUE(DDInit(mode.d3d, nullptr, 64, 48, mode.bpp, 0, mode.windowMode, 1, 60, 0, nullptr,
                       nullptr, 0));
  }
  void TearDown() override {
    for (DDSURFACEDATA* s : {&m_Dst, &m_Src}) DDDestroySurface(s);
    DDRelease();
    platform::ResetCloseRequest();
  }
  cScopedGlobal<std::uint32_t> m_KeepTransmit{g_dwTransmit};
  // An off-screen surface of one value; memoryType SYSTEM makes a texture that is no render
  // target.
  static void Make(DDSURFACEDATA& s, int w, int h, std::uint32_t fill,
                   int memoryType = DTMEMORYTYPE_SYSTEM) {
    ASSERT_TRUE(DDCreateSurface(&s, w, h, 1, 1, memoryType, 0, 0));
    s.Pixels()->Fill(fill);
  }
  // The destination of a test: the back buffer or m_Dst, filled with one value.
  DDSURFACEDATA* Target(bool toBack, int w, int h, std::uint32_t fill) {
    if (toBack) {
      BackBuffer.Pixels()->Fill(fill);
      return &BackBuffer;
    }
    Make(m_Dst, w, h, fill);
    return &m_Dst;
  }
  // Pixels written row by row from (x, y), width w.
  static void Put(DDSURFACEDATA& s, int x, int y, int w, const Pixels& values) {
    for (std::size_t k = 0; k < values.size(); ++k)
      s.Pixels()->Put(x + static_cast<int>(k) % w, y + static_cast<int>(k) / w, values[k]);
  }
  static Pixels Get(DDSURFACEDATA& s, int x, int y, int w, int h) {
    Pixels out;
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) out.push_back(s.Pixels()->Get(x + i, y + j));
    return out;
  }
  DDSURFACEDATA m_Dst, m_Src;
  cTempFolder m_Folder;
};
