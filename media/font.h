#pragma once
// The program's fonts: cp932 text with line breaks at '\n', in the font's own advances
// (proportional) or in fixed cells where every character, half-width or full-width, advances
// by the cell width. Fixed-cell fonts can keep glyph caches: surfaces of pre-rendered glyphs
// blitted instead of rendering text each frame (one for the single-byte codes, one for a
// fixed list of full-width characters and those added as they are first drawn). A font also
// carries a framed box picture for message windows and an icon picture: in fixed cells the
// letters a to z can stand for icons.
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/containers.h"
#include "media/surface.h"

namespace platform {
class cGlyphFace;
}

// One font as the start-up tables describe it.
struct sFontDesc {
  char szFace[256];
  int nWidth;
  int nHeight;
  int nCellWidth;  // spacing; 0 proportional
  int nLinePitch;
  int nColor;       // palette number
  int nBoxPicture;  // index into the surfaces given to DDInit
  int nFrame;
  int nFrameColor;
  int nIconPicture;  // index into the surfaces given to DDInit
  int nFastFont;     // 0 off, 1 on, 2 as the drawing mode's setting says
};

// A glyph cache: cells of m_nCellW x m_nCellH on one colour-keyed surface.
class cFastFont {
 public:
  struct sEntry {
    unsigned char code[2];  // lead and trail byte
    int index;
    int x, y;  // the cell's top-left on the surface
  };

  // kind 0 holds the single-byte codes, 1 full-width characters.
  cFastFont(int kind, int cellW, int cellH, int cols, int rows);
  cFastFont(const cFastFont&) = delete;
  cFastFont& operator=(const cFastFont&) = delete;
  ~cFastFont();

  // Makes the cache surface; false when it cannot be made.
  bool Create();
  // Takes the next free cell for a character (without drawing it); false when full.
  bool AddChar(const char* code);
  // The cell of the first entry of code, or -1.
  int Find(const char* code) const;
  // Blits cell index (a single-byte code) to (x, y).
  void DrawIndex(DDSURFACEDATA* target, int x, int y, int index, int flags);
  // Blits the cell of a character; false when it is not cached.
  bool DrawChar(DDSURFACEDATA* target, int x, int y, const char* code, int flags);

  int m_nKind;
  int m_nCellW, m_nCellH;
  int m_nCols, m_nRows;
  int m_nCapacity;
  int m_nCount = 0;
  DDSURFACEDATA m_Surface;
  cVector<sEntry> m_Entries;

 private:
  std::unordered_map<unsigned, int> m_Cells;  // code -> first entry holding it
};

class cFont {
 public:
  cFont();
  cFont(const cFont&) = delete;
  cFont& operator=(const cFont&) = delete;
  ~cFont();

  void Init(const char* face, int charW, int charH, int cellW, int pitch, int colorNo,
            DDSURFACEDATA* boxPic, int frame, int frameColor, DDSURFACEDATA* iconPic, int fastMode);
  // Draws text at (x, y); noIcons non-zero draws the letters a to z as letters.
  void Draw(DDSURFACEDATA* surface, int x, int y, const char* text, int noIcons = 0);
  void DrawF(DDSURFACEDATA* surface, int x, int y, const char* format, ...)
      __attribute__((format(printf, 5, 6)));
  // The box picture with its frame; x or y 10000 centres the box on the picture.
  void DrawBox(DDSURFACEDATA* surface, int x, int y, int w, int h);
  void DrawBoxF(DDSURFACEDATA* surface, int x, int y, int w, int h, const char* format, ...)
      __attribute__((format(printf, 7, 8)));
  // A box with text margin pixels right of its left edge; a width or height of 0 fits the
  // text.
  void DrawWidth(DDSURFACEDATA* surface, int x, int y, int w, int h, const char* text, int margin);
  void DrawWidthColor(DDSURFACEDATA* surface, int x, int y, int w, int h, const char* text,
                      int margin, std::uint32_t unusedColour);
  // Fixed cells: the widest line in characters times the cell width, the lines times the
  // pitch.
  void MeasureText(int* w, int* h, const char* text);
  // Proportional: the widest line's extent, the lines times the pitch.
  void GetExtent(int* w, int* h, const char* text);
  // The one of the two that fits the font's layout.
  void Measure(int* w, int* h, const char* text);
  // False when no typeface could be found for the font: it then draws no text.
  bool HasFace() const { return m_pGlyphs != nullptr; }
  void Release();
  // After a device reset: lost caches are drawn again.
  void OnResetDevice();

  std::uint32_t m_nId = 0;
  const char* m_pFace = nullptr;
  int m_nCharW = 0, m_nCharH = 0;
  int m_nCellW = 0;  // 0: proportional
  int m_nPitch = 0;
  int m_nColorNo = 0;
  std::uint32_t m_dwColor = 0;  // Direct3D: ARGB; DirectDraw: 0x00BBGGRR
  int m_bCentre = 0;
  DDSURFACEDATA* m_pBoxPic = nullptr;
  int m_nFrame = 0, m_nFrameColor = 0;
  DDSURFACEDATA* m_pIconPic = nullptr;
  int m_bIcons = 0;
  int m_nFastMode = 0;
  std::unique_ptr<cFastFont> m_lpFastFont_Half;
  std::unique_ptr<cFastFont> m_lpFastFont_FullAdd;

 private:
  void InitFastFontHalf(int rebuild);
  void InitFastFontFull(int rebuild);
  void DrawGlyphs(DDSURFACEDATA* target, int x, int y, const char* text, bool icons);
  void DrawOne(DDSURFACEDATA* target, int x, int y, const char* bytes, int n);
  void DrawIcons(DDSURFACEDATA* surface, int x, int y, const char* text);
  void PlotText(DDSURFACEDATA* target, int x, int y, std::string_view text);

  std::shared_ptr<platform::cGlyphFace> m_pGlyphs;
};

extern cFont g_Font[3];
// The digit strips of the three fonts, made by CreateFontDigitSurfaces.
extern DDSURFACEDATA g_FontDigits[3];
// Every initialised font, for the device-restore code.
extern std::vector<cFont*> g_FontList;

// Font i from descriptor i, its pictures taken from the surfaces given to DDInit. False when
// a font found no face to draw with.
bool CreateFonts(cFont* fonts, const sFontDesc* descs, int count);
// One digit strip per font ("0123456789" in its cells, 10 cells by the pitch unless the
// description gives a size). False when a surface cannot be made.
class cBmpInfo;
bool CreateFontDigitSurfaces(DDSURFACEDATA* surfaces, const cBmpInfo* infos, int count,
                             cFont* fonts, const sFontDesc* descs);
void RenderFontDigits(DDSURFACEDATA* surface, cFont& font);
// Every font of g_FontList told of a device reset.
void ResetFonts();
