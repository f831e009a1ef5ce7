#pragma once
// What the play-scene and play-graphics tests share: a guard that restores a global when the
// scope ends, and a 640x480 device in either drawing mode over a fresh current folder.
#include <gtest/gtest.h>

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

class cPlayDevice : public ::testing::Test {
 protected:
  void Init(int d3d, int bpp) {
    ASSERT_TRUE(DDInit(d3d, nullptr, 640, 480, bpp, 0, 1, 1, 60, 0, nullptr, nullptr, 0));
    DDSetTransmit(0xFF, 0, 0xFF);
  }
  void TearDown() override {
    for (DDSURFACEDATA& s : g_SystemSurface) DDReleaseSurface(&s);
    DDRelease();
    g_dwTransmit = 0;
    platform::ResetCloseRequest();
  }
  static std::uint32_t At(DDSURFACEDATA& s, int x, int y) { return s.Pixels()->Get(x, y); }
  cTempFolder folder;
};
