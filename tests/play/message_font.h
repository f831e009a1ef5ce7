#pragma once
// Font 1, the message font, as a font of fixed 8 x 16 cells for the scope of a test, with the
// box picture given; every setting it had is given back when the scope ends.
#include <cstdint>

#include "media/font.h"

class cScopedMessageFont {
 public:
  explicit cScopedMessageFont(DDSURFACEDATA* box)
      : m_Face(g_Font[1].m_pFace),
        m_Ints{g_Font[1].m_nCharW, g_Font[1].m_nCharH,  g_Font[1].m_nCellW,
               g_Font[1].m_nPitch, g_Font[1].m_nColorNo, g_Font[1].m_bCentre,
               g_Font[1].m_nFrame, g_Font[1].m_nFrameColor, g_Font[1].m_bIcons,
               g_Font[1].m_nFastMode},
        m_Colour(g_Font[1].m_dwColor),
        m_Id(g_Font[1].m_nId),
        m_Box(g_Font[1].m_pBoxPic),
        m_Icons(g_Font[1].m_pIconPic) {
    g_Font[1].Init("ＭＳ ゴシック", 0, 16, 8, 16, 241, box, 0, 240, nullptr, 0);
  }
  ~cScopedMessageFont() {
    cFont& f = g_Font[1];
    f.Release();
    f.m_pFace = m_Face;
    int* const fields[] = {&f.m_nCharW, &f.m_nCharH, &f.m_nCellW, &f.m_nPitch, &f.m_nColorNo,
                           &f.m_bCentre, &f.m_nFrame, &f.m_nFrameColor, &f.m_bIcons, &f.m_nFastMode};
    for (int i = 0; i < 10; ++i) *fields[i] = m_Ints[i];
    f.m_dwColor = m_Colour;
    f.m_nId = m_Id;
    f.m_pBoxPic = m_Box;
    f.m_pIconPic = m_Icons;
  }
  cScopedMessageFont(const cScopedMessageFont&) = delete;
  cScopedMessageFont& operator=(const cScopedMessageFont&) = delete;

 private:
  const char* m_Face;
  int m_Ints[10];
  std::uint32_t m_Colour, m_Id;
  DDSURFACEDATA* m_Box;
  DDSURFACEDATA* m_Icons;
};
