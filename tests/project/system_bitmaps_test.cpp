#include "project/system_bitmaps.h"

#include <gtest/gtest.h>

#include <cstring>

#include "../media/bmp_fixture.h"
#include "media/device.h"
#include "media/surface_list.h"
#include "platform/close_request.h"

namespace {

TEST(SystemBitmaps, TableAndMirrorLinks) {
  EXPECT_EQ(g_SystemBmpInfo[0].szFile, "bmp\\plt\\Palette.bmp");
  EXPECT_EQ(g_SystemBmpInfo[55].szFile, "背景その1.bmp");
  EXPECT_EQ(g_SystemBmpInfo[69].nDTMemory, 2);
  EXPECT_EQ(g_SystemBmpInfo[70].nWidth, 1024);
  EXPECT_EQ(g_SystemBmpInfo[23].nMirrorW, 32);
  EXPECT_EQ(g_SystemBmpInfo[39].nMirrorW, 16);
  EXPECT_EQ(g_FontDigitInfo[2].bColorKey, 1);
  LinkMirrorSurfaces();
  EXPECT_EQ(g_SystemSurface[22].lpMirror, &g_SystemSurface[4]);
  EXPECT_EQ(g_SystemSurface[23].lpMirror, &g_SystemSurface[4]);
  EXPECT_EQ(g_SystemSurface[68].lpMirror, &g_SystemSurface[67]);
  EXPECT_EQ(g_SystemSurface[4].lpMirror, nullptr);
  for (auto& s : g_SystemSurface) s.lpMirror = nullptr;
}

TEST(SystemBitmaps, FontFaceAndFastFontChoice) {
  const sFontDesc saved[3] = {g_FontDesc[0], g_FontDesc[1], g_FontDesc[2]};
  SetupFontDescs(60, 1, 0);
  EXPECT_STREQ(g_FontDesc[1].szFace, "ＭＳ Ｐゴシック");
  EXPECT_EQ(g_FontDesc[0].nFastFont, 0);  // no drawing mode chosen: the off-screen setting
  EXPECT_EQ(g_FontDesc[2].nFastFont, 0);
  SetupFontDescs(500, 1, 1);
  EXPECT_STREQ(g_FontDesc[1].szFace, "ＭＳ Ｐゴシック");
  std::memcpy(g_FontDesc, saved, sizeof(saved));
  EXPECT_STREQ(g_FontNames[121], "Sydnie");
  EXPECT_STREQ(g_FontNames[122], "");
}

// Only the optional system bitmaps may be missing.
TEST(SystemBitmaps, MissingRequiredBitmapStopsTheLoad) {
  cTempFolder folder;
  for (const char* dir : {"bmp", "bmp/plt"})
    ASSERT_EQ(system(("mkdir -p " + std::string(dir)).c_str()), 0);
  const auto picture = MakeBmp(64, 32, 24, std::vector<std::uint32_t>(64 * 32, 0x808080));
  for (const cBmpInfo& info : g_SystemBmpInfo) {
    if (info.bOptional || info.szFile == "E" || info.szFile == "bmp\\Block.bmp") continue;
    std::string path = info.szFile;
    for (char& c : path)
      if (c == '\\') c = '/';
    WriteBytes(path, picture);
  }
  ASSERT_TRUE(DDInit(1, nullptr, 640, 480, 32, 0, 1, 1, 60, 0, g_SystemSurface, g_SystemBmpInfo,
                     kSystemSurfaceCount));
  LinkMirrorSurfaces();
  const int optional[] = {6, 24, 48, 54, 55, 62};
  EXPECT_TRUE(DDLoadSurfaces(g_SystemSurface, optional, 6));
  EXPECT_EQ(g_SystemSurface[6].Pixels(), nullptr);
  const int upToBlock[] = {1, 2};
  EXPECT_FALSE(DDLoadSurfaces(g_SystemSurface, upToBlock, 2));
  WriteBytes("bmp/Block.bmp", picture);
  EXPECT_TRUE(DDLoadSurfaces(g_SystemSurface, nullptr, kSystemSurfaceCount));
  EXPECT_NE(g_SystemSurface[2].Pixels(), nullptr);
  EXPECT_EQ(g_SystemSurface[3].Pixels(), nullptr);  // a view of surface 2
  EXPECT_EQ(g_SystemSurface[3].nWidth, 64);
  EXPECT_EQ(g_SystemSurface[70].nTexWidth, 1024);
  DDRelease();
  for (auto& s : g_SystemSurface) s.lpMirror = nullptr;
  platform::ResetCloseRequest();
}

}  // namespace
