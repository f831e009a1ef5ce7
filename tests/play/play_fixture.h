#pragma once
// What the play-scene and play-graphics tests share: a guard that restores a global when the
// scope ends, and a 640x480 device in either drawing mode over a fresh current folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <utility>

#include "../media/bmp_fixture.h"
#include "../support/temp_folder.h"
#include "foundation/report.h"
#include "media/blit.h"
#include "media/device.h"
#include "media/palette.h"
#include "media/surface_create.h"
#include "platform/close_request.h"
#include "project/system_bitmaps.h"

// Keeps a copy of a global and puts it back when the scope ends.
template <class T>
class cRestore {
 public:
  explicit cRestore(T& value) : m_ref(value), m_saved(value) {}
  cRestore(T& value, T replacement) : m_ref(value), m_saved(value) { m_ref = std::move(replacement); }
  ~cRestore() { m_ref = std::move(m_saved); }
  cRestore(const cRestore&) = delete;
  cRestore& operator=(const cRestore&) = delete;

 private:
  T& m_ref;
  T m_saved;
};

// The game's palette as start-up leaves it: colour 0 is the transparent colour (magenta),
// and colour 16, the darkness and the clearing colour, a dark blue.
class cPaletteGuard {
 public:
  cPaletteGuard() {
    std::copy(std::begin(g_Palette), std::end(g_Palette), m_saved);
    g_Palette[0] = {0xFF, 0, 0xFF, 0};
    g_Palette[16] = {0x10, 0x20, 0x40, 0};
  }
  ~cPaletteGuard() { std::copy(std::begin(m_saved), std::end(m_saved), g_Palette); }
  cPaletteGuard(const cPaletteGuard&) = delete;
  cPaletteGuard& operator=(const cPaletteGuard&) = delete;

 private:
  PALETTEENTRY m_saved[256];
};

class cPlayDevice : public ::testing::Test {
 protected:
  void Init(int d3d, int bpp) {
    ASSERT_TRUE(DDInit(d3d, nullptr, 640, 480, bpp, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    DDSetTransmit(0xFF, 0, 0xFF);
  }
  void TearDown() override {
    // Released records keep their sizes; fresh ones let the next test find them as start-up does.
    for (DDSURFACEDATA& s : g_SystemSurface) {
      DDReleaseSurface(&s);
      s = DDSURFACEDATA{};
    }
    DDRelease();
    g_dwTransmit = 0;
    platform::ResetCloseRequest();
  }
  static std::uint32_t At(DDSURFACEDATA& s, int x, int y) { return s.Pixels()->Get(x, y); }
  cTempFolder folder;
  cPaletteGuard palette;
};

// A DirectDraw device at 32 bits with a screen-sized target cleared to the transparent colour.
class cPlayTarget : public cPlayDevice {
 protected:
  void SetUp() override {
    Init(0, 32);
    ASSERT_TRUE(DDCreateSurface(&m_Target, 640, 480, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    DDClear(&m_Target, 0);
  }
  void TearDown() override {
    DDReleaseSurface(&m_Target);
    cPlayDevice::TearDown();
  }
  DDSURFACEDATA m_Target;
};
