#include "platform/glyph_source.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/dialog_host.h"
#include "platform/text_codec.h"

namespace platform {

namespace {
// One rendered character: its advance and its one-bit picture relative to the pen.
struct sGlyph {
  bool bDrawn = false;  // false: the face has nothing for the character
  int nAdvance = 0;
  int nLeft = 0, nTop = 0;  // picture's top-left: pen + left, baseline - top
  int nWidth = 0, nRows = 0;
  std::vector<std::uint8_t> bits;  // nWidth x nRows, 1 where set
};
}  // namespace

class cGlyphFace {
 public:
  ~cGlyphFace() {
    if (m_Face) FT_Done_Face(m_Face);
  }
  // Text of every frame draws the same few characters: each is rendered once.
  const sGlyph& Glyph(char32_t cp);

  FT_Face m_Face = nullptr;
  std::string m_strFile;
  int m_nCellHeight = 0;
  int m_nAscent = 0;
  std::mutex m_Lock;  // a face renders one glyph at a time
  std::unordered_map<char32_t, sGlyph> m_Glyphs;
};

namespace {

std::mutex g_LibraryLock;
FT_Library g_Library = nullptr;

// The font configuration and the renderer are given back at exit, so that nothing of them is
// left behind (faces still held by fonts are closed first: they are destroyed earlier). Once
// the dialog toolkit has started, its text layout holds the configuration for good: ending it
// then would abort the program on its way out.
struct sLibraryEnd {
  bool bFontconfig = false;
  ~sLibraryEnd() {
    if (bFontconfig && !DialogToolkitStarted()) FcFini();
  }
} g_LibraryEnd;

FT_Library Library() {
  if (!g_Library && FT_Init_FreeType(&g_Library) != 0) g_Library = nullptr;
  return g_Library;
}

// The installed faces that stand in for the Windows faces games name most.
struct sFaceAlias {
  const char* windowsName;  // UTF-8
  const char* hostName;
};
constexpr sFaceAlias kAliases[] = {
    {"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"ＭＳ 明朝", "IPAMincho"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},  {"MS Gothic", "IPAGothic"},        {"MS PGothic", "IPAPGothic"},
    {"MS Mincho", "IPAMincho"},     {"MS PMincho", "IPAPMincho"},
};
constexpr const char* kFallbackFace = "IPAPGothic";

// The file of the face fontconfig finds for family; exact only: empty unless the match
// carries that family name.
bool FindFaceFile(const std::string& family, bool exact, std::string& file, int& index) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  bool found = !exact;
  FcChar8* name = nullptr;
  for (int i = 0; exact && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0) found = true;
  FcChar8* path = nullptr;
  if (found && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
    file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
  } else {
    found = false;
  }
  FcPatternDestroy(match);
  return found;
}

std::string HostFamily(const std::string& name) {
  for (const sFaceAlias& alias : kAliases)
    if (name == alias.windowsName) return alias.hostName;
  return name;
}

// Unicode code points of cp932 text; bytes that form no character give none.
std::vector<char32_t> CodePoints(std::string_view text) {
  const std::string utf8 = Cp932ToUtf8(text);
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    int length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    if (i + length > utf8.size()) break;
    char32_t cp = length == 1 ? c : length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
    for (int k = 1; k < length; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
    i += length;
    if (cp != 0xFFFD) out.push_back(cp);
  }
  return out;
}

}  // namespace

std::shared_ptr<cGlyphFace> OpenGlyphFace(const char* faceName, int cellHeight, int charWidth) {
  if (cellHeight <= 0 || cellHeight > 4096 || charWidth < 0 || charWidth > 4096) return nullptr;
  const std::string family = HostFamily(Cp932ToUtf8(faceName ? faceName : ""));
  std::string file;
  int index = 0;
  std::lock_guard<std::mutex> guard(g_LibraryLock);
  if (!FcInit()) return nullptr;
  g_LibraryEnd.bFontconfig = true;
  if ((family.empty() || !FindFaceFile(family, true, file, index)) &&
      !FindFaceFile(kFallbackFace, true, file, index) &&
      !FindFaceFile(kFallbackFace, false, file, index))
    return nullptr;
  FT_Library library = Library();
  if (!library) return nullptr;
  auto face = std::make_shared<cGlyphFace>();
  if (FT_New_Face(library, file.c_str(), index, &face->m_Face) != 0) {
    face->m_Face = nullptr;
    return nullptr;
  }
  FT_Face ft = face->m_Face;
  // Sized as a positive height asks: the face's ascent plus descent fill the cell.
  long ascent = ft->ascender, descent = -ft->descender;
  long average = ft->units_per_EM / 2;
  if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2))) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      ascent = os2->usWinAscent;
      descent = os2->usWinDescent;
    }
    if (os2->xAvgCharWidth > 0) average = os2->xAvgCharWidth;
  }
  if (ascent + descent <= 0 || ft->units_per_EM == 0 || average <= 0) return nullptr;
  const long height26 = 64L * cellHeight * ft->units_per_EM / (ascent + descent);
  const long width26 = charWidth > 0 ? 64L * charWidth * ft->units_per_EM / average : height26;
  if (FT_Set_Char_Size(ft, width26, height26, 72, 72) != 0) return nullptr;
  face->m_strFile = file;
  face->m_nCellHeight = cellHeight;
  face->m_nAscent =
      static_cast<int>((ascent * cellHeight + (ascent + descent) / 2) / (ascent + descent));
  return face;
}

const sGlyph& cGlyphFace::Glyph(char32_t cp) {
  auto found = m_Glyphs.find(cp);
  if (found != m_Glyphs.end()) return found->second;
  sGlyph& g = m_Glyphs[cp];
  const FT_UInt index = FT_Get_Char_Index(m_Face, cp);
  if (FT_Load_Glyph(m_Face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return g;
  const FT_GlyphSlot slot = m_Face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  g.bDrawn = true;
  g.nAdvance = static_cast<int>((slot->advance.x + 32) >> 6);
  g.nLeft = slot->bitmap_left;
  g.nTop = slot->bitmap_top;
  g.nWidth = static_cast<int>(bitmap.width);
  g.nRows = static_cast<int>(bitmap.rows);
  g.bits.assign(static_cast<std::size_t>(g.nWidth) * g.nRows, 0);
  for (int row = 0; row < g.nRows; ++row) {
    const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
    for (int col = 0; col < g.nWidth; ++col) {
      const bool set = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                           ? (line[col >> 3] & (0x80 >> (col & 7))) != 0
                           : bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && line[col] >= 128;
      g.bits[static_cast<std::size_t>(row) * g.nWidth + col] = set ? 1 : 0;
    }
  }
  return g;
}

std::string GlyphFaceFile(const cGlyphFace& face) { return face.m_strFile; }
int GlyphFaceAscent(const cGlyphFace& face) { return face.m_nAscent; }

void MeasureGlyphText(cGlyphFace& face, std::string_view text, int* width, int* height) {
  std::lock_guard<std::mutex> guard(face.m_Lock);
  int w = 0;
  for (char32_t cp : CodePoints(text)) w += face.Glyph(cp).nAdvance;
  if (width) *width = w;
  if (height) *height = face.m_nCellHeight;
}

void RenderGlyphText(cGlyphFace& face, std::string_view text, sGlyphMask& mask) {
  const std::vector<char32_t> codes = CodePoints(text);
  std::lock_guard<std::mutex> guard(face.m_Lock);
  int width = 0;
  for (char32_t cp : codes) width += face.Glyph(cp).nAdvance;
  mask.nWidth = width;
  mask.nHeight = face.m_nCellHeight;
  mask.bits.assign(static_cast<std::size_t>(mask.nWidth) * mask.nHeight, 0);
  int pen = 0;
  for (char32_t cp : codes) {
    const sGlyph& g = face.Glyph(cp);
    if (!g.bDrawn) continue;
    const int left = pen + g.nLeft;
    const int top = face.m_nAscent - g.nTop;
    for (int row = 0; row < g.nRows; ++row) {
      const int y = top + row;
      if (y < 0 || y >= mask.nHeight) continue;
      for (int col = 0; col < g.nWidth; ++col) {
        const int x = left + col;
        if (x < 0 || x >= mask.nWidth) continue;
        if (g.bits[static_cast<std::size_t>(row) * g.nWidth + col])
          mask.bits[static_cast<std::size_t>(y) * mask.nWidth + x] = 1;
      }
    }
    pen += g.nAdvance;
  }
}

}  // namespace platform
