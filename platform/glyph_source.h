#pragma once
// Typefaces for the program's text: a face found by its (Windows) name through fontconfig,
// sized as the program's fonts are sized (by the height of the character cell, ascent plus
// descent), rendering cp932 text as one-bit glyphs. No anti-aliasing: glyphs are later drawn
// over a transparent colour, where soft edges would leave halos.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class cGlyphFace;

// A face at one size. faceName is cp932. A Windows name maps to the installed face that
// stands in for it; any other name is asked of fontconfig; what cannot be found takes the
// proportional Gothic. charWidth 0 keeps the face's own proportions, otherwise the average
// character width is made charWidth pixels. Null when no usable face exists at all.
std::shared_ptr<cGlyphFace> OpenGlyphFace(const char* faceName, int cellHeight, int charWidth);

// The file the face was loaded from (for the report log).
std::string GlyphFaceFile(const cGlyphFace& face);
// Pixels from the top of the cell to the baseline.
int GlyphFaceAscent(const cGlyphFace& face);

// One-bit coverage of a rectangle: 1 where a glyph pixel is set.
struct sGlyphMask {
  int nWidth = 0;
  int nHeight = 0;
  std::vector<std::uint8_t> bits;  // nWidth x nHeight, row by row
  bool At(int x, int y) const { return bits[static_cast<std::size_t>(y) * nWidth + x] != 0; }
};

// Renders one line of cp932 text into a mask as large as its extent (the sum of the
// advances by the cell height); glyph pixels outside that rectangle are cut. Bytes that form
// no cp932 character draw nothing and advance nothing.
void RenderGlyphText(cGlyphFace& face, std::string_view text, sGlyphMask& mask);
// The extent of one line of cp932 text: the sum of the advances, and the cell height.
void MeasureGlyphText(cGlyphFace& face, std::string_view text, int* width, int* height);

}  // namespace platform
