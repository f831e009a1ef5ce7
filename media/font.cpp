#include "media/font.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/strings.h"
#include "foundation/text_utils.h"
#include "media/blit.h"
#include "media/bmp_info.h"
#include "media/draw_routines.h"
#include "media/palette.h"
#include "media/surface_create.h"
#include "platform/glyph_source.h"

// The list is made before the fonts, so that it is still there when they leave it at exit.
std::vector<cFont*> g_FontList;
cFont g_Font[3];
DDSURFACEDATA g_FontDigits[3];

namespace {

// The full-width characters every full-width cache starts with.
constexpr const char kCommonFullWidth[] =
    "０１２３４５６７８９ー～、。．！？「」（）・…※→↑↓←＋－＝○●×ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱ"
    "ＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚあいうえおかきくけこさし"
    "すせそ"
    "たちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをんがぎぐげござじずぜぞだぢづでどば"
    "びぶ"
    "べぼぱぴぷぺぽぁぃぅぇぉっゃゅょアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマ"
    "ミムメ"
    "モヤユヨラリルレロワヲンガギグゲゴザジズゼゾダヂヅデトバビブベボヴパピプペポァィゥェォッャュョ"
    "□■"
    "☆★％＆＜＞：";
constexpr const char kFullWidthSpace[] = "　";
constexpr int kCentred = 10000;
// Formatted text is cut at this many bytes, as the drawing buffer holds.
constexpr int kFormatBuffer = 256;

unsigned CodeKey(const char* code) {
  return (static_cast<unsigned char>(code[0]) << 8) | static_cast<unsigned char>(code[1]);
}

bool IsIconLetter(unsigned char c) { return c >= 'a' && c <= 'z'; }

// The lines of a text; a line feed at the very end opens no further line.
std::vector<std::string_view> SplitLines(const char* text) {
  std::vector<std::string_view> lines;
  std::string_view rest(text ? text : "");
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    lines.push_back(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return lines;
}

std::string FormatBounded(const char* format, va_list args) {
  char buffer[kFormatBuffer];
  std::vsnprintf(buffer, sizeof(buffer), format ? format : "", args);
  return buffer;
}

}  // namespace

// ---- glyph cache --------------------------------------------------------------------------

cFastFont::cFastFont(int kind, int cellW, int cellH, int cols, int rows)
    : m_nKind(kind),
      m_nCellW(cellW),
      m_nCellH(cellH),
      m_nCols(std::max(cols, 1)),
      m_nRows(std::max(rows, 1)),
      m_nCapacity(m_nCols * m_nRows) {}

cFastFont::~cFastFont() { DDReleaseSurface(&m_Surface); }

bool cFastFont::Create() {
  // Cells larger than any screen would make a surface size beyond int.
  if (m_nCellW <= 0 || m_nCellH <= 0 || m_nCellW > 4096 || m_nCellH > 4096) return false;
  m_Surface.szName = m_nKind == 0 ? "FastFont::Half" : "FastFont::FullAdd";
  return DDCreateSurface(&m_Surface, m_nCellW * m_nCols, m_nCellH * m_nRows, 1, 0,
                         DTMEMORYTYPE_VIDEO_RT, 0, 0);
}

bool cFastFont::AddChar(const char* code) {
  if (m_nCount >= m_nCapacity) return false;
  sEntry e{};
  e.code[0] = static_cast<unsigned char>(code[0]);
  e.code[1] = static_cast<unsigned char>(code[1]);
  e.index = m_nCount;
  e.x = (m_nCount % m_nCols) * m_nCellW;
  e.y = (m_nCount / m_nCols) * m_nCellH;
  m_Entries.push_back(e);
  m_Cells.emplace(CodeKey(code), m_nCount);  // a repeated code keeps its first cell
  ++m_nCount;
  return true;
}

int cFastFont::Find(const char* code) const {
  const auto it = m_Cells.find(CodeKey(code));
  return it == m_Cells.end() ? -1 : it->second;
}

void cFastFont::DrawIndex(DDSURFACEDATA* target, int x, int y, int index, int flags) {
  index &= 0xFF;
  DDBlt(target, x, y, m_nCellW, m_nCellH, &m_Surface, (index % m_nCols) * m_nCellW,
        (index / m_nCols) * m_nCellH, flags);
}

bool cFastFont::DrawChar(DDSURFACEDATA* target, int x, int y, const char* code, int flags) {
  const int cell = Find(code);
  if (cell < 0) return false;
  const sEntry& e = m_Entries[cell];
  DDBlt(target, x, y, m_nCellW, m_nCellH, &m_Surface, e.x, e.y, flags);
  return true;
}

// ---- font ---------------------------------------------------------------------------------

cFont::cFont() = default;

cFont::~cFont() {
  g_FontList.erase(std::remove(g_FontList.begin(), g_FontList.end(), this), g_FontList.end());
}

void cFont::Init(const char* face, int charW, int charH, int cellW, int pitch, int colorNo,
                 DDSURFACEDATA* boxPic, int frame, int frameColor, DDSURFACEDATA* iconPic,
                 int fastMode) {
  m_pFace = face;
  m_nCharW = charW;
  m_nCharH = charH;
  m_nCellW = std::max(cellW, 0);
  m_nPitch = pitch;
  m_nColorNo = colorNo >= 0 && colorNo <= 255 ? colorNo : 0;
  m_pBoxPic = boxPic;
  m_nFrame = frame;
  m_nFrameColor = frameColor;
  m_pIconPic = iconPic;
  m_bIcons = iconPic != nullptr;
  m_nFastMode = fastMode;
  if (g_nBpp != 0) {
    const PALETTEENTRY& e = g_WorkPalette[m_nColorNo];
    if (lpDTCon) {
      m_dwColor = 0xFF000000u | (e.peRed << 16) | (e.peGreen << 8) | e.peBlue;
    } else {
      int r = e.peRed, g = e.peGreen, b = e.peBlue;
      // The 16-bit work palette holds channel units: the text colour wants 8-bit ones.
      if (g_nBpp == 16) {
        const DDPIXELLAYOUT& l = g_PixelLayout;
        r = l.nMaxR ? r * 255 / l.nMaxR : 0;
        g = l.nMaxG ? g * 255 / l.nMaxG : 0;
        b = l.nMaxB ? b * 255 / l.nMaxB : 0;
      }
      m_dwColor = static_cast<std::uint32_t>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
    }
  }
  m_pGlyphs = platform::OpenGlyphFace(face, charH, charW);
  if (!m_pGlyphs)
    ErrLogF("cFont::Init : no typeface for \"%s\" at height %d", face ? face : "", charH);
  if (lpDTCon)
    m_nId = lpDTCon->dwFontId++;
  else if (lpDDCon)
    m_nId = lpDDCon->dwFontId++;
  if (std::find(g_FontList.begin(), g_FontList.end(), this) == g_FontList.end())
    g_FontList.push_back(this);

  m_lpFastFont_Half.reset();
  m_lpFastFont_FullAdd.reset();
  if (fastMode == 0) return;
  if (m_nCellW == 0 || m_nPitch <= 0) {
    ErrLog("※フォントクラスで文字間が未設定！");
    return;
  }
  m_lpFastFont_Half = std::make_unique<cFastFont>(0, m_nCellW, m_nPitch, 16, 16);
  if (!m_lpFastFont_Half->Create()) {
    ErrLog("m_lpFastFont_Half Err");
    m_lpFastFont_Half.reset();
    PostCloseToMainWindow();
    return;
  }
  int cols, rows;
  if (lpDTCon) {
    cols = std::min(1024 / m_nCellW, 32);
    rows = std::min(1024 / m_nPitch, 32);
  } else {
    cols = std::min(BackBuffer.nWidth / m_nCellW, 32);
    rows = std::min(BackBuffer.nHeight / m_nPitch, 30);
  }
  m_lpFastFont_FullAdd = std::make_unique<cFastFont>(1, m_nCellW, m_nPitch, cols, rows);
  if (!m_lpFastFont_FullAdd->Create()) {
    ErrLog("m_lpFastFont_FullAdd Err");
    m_lpFastFont_Half.reset();
    m_lpFastFont_FullAdd.reset();
    PostCloseToMainWindow();
    return;
  }
  InitFastFontHalf(0);
  InitFastFontFull(0);
}

void cFont::InitFastFontHalf(int /*rebuild*/) {
  cFastFont* cache = m_lpFastFont_Half.get();
  if (!cache) return;
  DDClear(&cache->m_Surface, 0);
  // Each code is drawn into its own cell: drawn as one text, a lead byte would pair with the
  // next code and shift the rest of its row.
  for (int c = 16; c < 256; ++c) {
    const char byte = static_cast<char>(c);
    DrawOne(&cache->m_Surface, (c % 16) * m_nCellW, (c / 16) * m_nPitch, &byte, 1);
  }
}

void cFont::InitFastFontFull(int rebuild) {
  cFastFont* cache = m_lpFastFont_FullAdd.get();
  if (!cache) return;
  if (!rebuild) {
    for (const char* p = kCommonFullWidth; p[0] && p[1]; p += 2)
      if (!cache->AddChar(p)) break;
  }
  DDClear(&cache->m_Surface, 0);
  for (const cFastFont::sEntry& e : cache->m_Entries) {
    const char code[2] = {static_cast<char>(e.code[0]), static_cast<char>(e.code[1])};
    DrawOne(&cache->m_Surface, e.x, e.y, code, 2);
  }
}

void cFont::PlotText(DDSURFACEDATA* target, int x, int y, std::string_view text) {
  if (!m_pGlyphs || !target || text.empty()) return;
  platform::sGlyphMask mask;
  platform::RenderGlyphText(*m_pGlyphs, text, mask);
  cDDLock lock(target, g_nBpp);
  if (!lock.m_lpBits) return;
  cPixelSurface* px = lock.m_lpSD->Pixels();
  const int width = std::min(lock.m_lpSD->nWidth, px->Width());
  const int height = std::min(lock.m_lpSD->nHeight, px->Height());
  std::uint32_t value;
  if (px->Format() == D3DFMT_P8) {
    value = static_cast<std::uint32_t>(m_nColorNo);
  } else {
    const std::uint32_t c = m_dwColor;
    const std::uint32_t argb =
        lpDTCon ? c : 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    value = ArgbToFormat(argb, px->Format());
  }
  const int x0 = std::max(0, -x), y0 = std::max(0, -y);
  for (int j = y0; j < mask.nHeight && y + j < height; ++j)
    for (int i = x0; i < mask.nWidth && x + i < width; ++i)
      if (mask.At(i, j)) px->Put(x + i, y + j, value);
}

void cFont::DrawOne(DDSURFACEDATA* target, int x, int y, const char* bytes, int n) {
  const std::string_view character(bytes, static_cast<std::size_t>(n));
  if (m_bCentre) {
    int w = 0, h = 0;
    if (m_pGlyphs) platform::MeasureGlyphText(*m_pGlyphs, character, &w, &h);
    x += m_nCellW / 2 - w / 2;
    y += m_nPitch / 2 - h / 2;
  } else if (n == 1) {
    x += m_nCellW / 8;
    y += m_nPitch / 16 - 1;
  }
  PlotText(target, x, y, character);
}

void cFont::DrawGlyphs(DDSURFACEDATA* target, int x, int y, const char* text, bool icons) {
  if (m_nCellW == 0) {
    int line = 0;
    for (std::string_view l : SplitLines(text)) PlotText(target, x, y + m_nPitch * line++, l);
    return;
  }
  cFastFont* half = m_lpFastFont_Half.get();
  cFastFont* full = m_lpFastFont_FullAdd.get();
  int cx = 0, cy = 0;
  for (const char* p = text; *p;) {
    if (IsDbcsPair(p)) {
      if (CodeKey(p) == CodeKey(kFullWidthSpace) || !full) {
        DrawOne(target, x + cx, y + cy, p, 2);
      } else if (!full->DrawChar(target, x + cx, y + cy, p, 1)) {
        if (full->AddChar(p)) {
          const cFastFont::sEntry& e = full->m_Entries[full->m_nCount - 1];
          DrawOne(&full->m_Surface, e.x, e.y, p, 2);
          full->DrawChar(target, x + cx, y + cy, p, 1);
        } else {
          // A full cache is no error: the character is drawn directly.
          DrawOne(target, x + cx, y + cy, p, 2);
        }
      }
      cx += m_nCellW;
      p += 2;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c == '\n') {
      cy += m_nPitch;
      cx = 0;
    } else if (c == ' ' || (icons && IsIconLetter(c))) {
      cx += m_nCellW;
    } else {
      if (half)
        half->DrawIndex(target, x + cx, y + cy, c, 1);
      else
        DrawOne(target, x + cx, y + cy, p, 1);
      cx += m_nCellW;
    }
    ++p;
  }
}

void cFont::DrawIcons(DDSURFACEDATA* surface, int x, int y, const char* text) {
  if (!m_bIcons || !m_pIconPic || m_nCellW == 0) return;
  int cx = 0, cy = 0;
  for (const char* p = text; *p;) {
    if (IsDbcsPair(p)) {
      cx += m_nCellW;
      p += 2;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(*p++);
    if (c == '\n') {
      cy += m_nPitch;
      cx = 0;
      continue;
    }
    if (IsIconLetter(c))
      DDBlt(surface, x + cx, y + cy, m_nCellW, m_nPitch, m_pIconPic, (c - 'a') * m_nCellW, 0,
            DDBLT_KEY);
    cx += m_nCellW;
  }
}

void cFont::Draw(DDSURFACEDATA* surface, int x, int y, const char* text, int noIcons) {
  if (!surface || !text) return;
  // With icons suppressed the letters are drawn as text, so no icon may cover them.
  const bool icons = m_bIcons && !noIcons && m_pIconPic;
  DrawGlyphs(surface, x, y, text, icons);
  if (icons) DrawIcons(surface, x, y, text);
}

void cFont::DrawF(DDSURFACEDATA* surface, int x, int y, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatBounded(format, args);
  va_end(args);
  Draw(surface, x, y, text.c_str(), 0);
}

void cFont::MeasureText(int* w, int* h, const char* text) {
  int widest = 0, lines = 0;
  for (std::string_view line : SplitLines(text)) {
    widest = std::max(widest, StrCountChars(std::string(line).c_str()));
    ++lines;
  }
  if (w) *w = widest * m_nCellW;
  if (h) *h = lines * m_nPitch;
}

void cFont::GetExtent(int* w, int* h, const char* text) {
  int widest = 0, lines = 0;
  for (std::string_view line : SplitLines(text)) {
    int lw = 0;
    if (m_pGlyphs) platform::MeasureGlyphText(*m_pGlyphs, line, &lw, nullptr);
    widest = std::max(widest, lw);
    ++lines;
  }
  if (w) *w = widest;
  if (h) *h = lines * m_nPitch;
}

void cFont::Measure(int* w, int* h, const char* text) {
  if (m_nCellW)
    MeasureText(w, h, text);
  else
    GetExtent(w, h, text);
}

void cFont::DrawBox(DDSURFACEDATA* surface, int x, int y, int w, int h) {
  if (!m_pBoxPic) return;
  if (x == kCentred) x = m_pBoxPic->nWidth / 2 - w / 2;
  if (y == kCentred) y = m_pBoxPic->nHeight / 2 - h / 2;
  DrawFramedBlt(surface, x, y, w, h, m_pBoxPic, m_nFrame,
                static_cast<std::uint32_t>(m_nFrameColor));
}

void cFont::DrawWidth(DDSURFACEDATA* surface, int x, int y, int w, int h, const char* text,
                      int margin) {
  if (!text) text = "";
  if (w == 0 || h == 0) {
    int tw = 0, th = 0;
    Measure(&tw, &th, text);
    if (w == 0) w = margin + tw;
    if (h == 0) h = th;
  }
  if (m_pBoxPic) {
    if (x == kCentred) x = m_pBoxPic->nWidth / 2 - w / 2;
    if (y == kCentred) y = m_pBoxPic->nHeight / 2 - h / 2;
  }
  DrawBox(surface, x, y, w, h);
  Draw(surface, x + margin, y, text, 0);
}

void cFont::DrawWidthColor(DDSURFACEDATA* surface, int x, int y, int w, int h, const char* text,
                           int margin, std::uint32_t /*unusedColour*/) {
  DrawWidth(surface, x, y, w, h, text, margin);
}

void cFont::DrawBoxF(DDSURFACEDATA* surface, int x, int y, int w, int h, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text;
  FormatStringV(text, format ? format : "", args);
  va_end(args);
  DrawWidth(surface, x, y, w, h, text.c_str(), 0);
}

void cFont::Release() {
  m_lpFastFont_Half.reset();
  m_lpFastFont_FullAdd.reset();
  m_pGlyphs.reset();
}

void cFont::OnResetDevice() {
  // A cache whose surface was made again after the loss is empty: its glyphs are drawn
  // again. The off-screen surfaces of the DirectDraw mode are always drawn again.
  auto refill = [this](cFastFont* cache, bool half) {
    if (!cache || (lpDTCon && !cache->m_Surface.bLost)) return;
    if (half)
      InitFastFontHalf(1);
    else
      InitFastFontFull(1);
    cache->m_Surface.bLost = 0;
  };
  refill(m_lpFastFont_Half.get(), true);
  refill(m_lpFastFont_FullAdd.get(), false);
}

void ResetFonts() {
  for (cFont* font : g_FontList) font->OnResetDevice();
}

namespace {
DDSURFACEDATA* SurfaceAt(int index) {
  return g_lpDDSurfaces && index >= 0 && index < g_nDDSurfaceCount ? &g_lpDDSurfaces[index]
                                                                   : nullptr;
}
}  // namespace

bool CreateFonts(cFont* fonts, const sFontDesc* descs, int count) {
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    const sFontDesc& d = descs[i];
    fonts[i].Init(d.szFace, d.nWidth, d.nHeight, d.nCellWidth, d.nLinePitch, d.nColor,
                  SurfaceAt(d.nBoxPicture), d.nFrame, d.nFrameColor, SurfaceAt(d.nIconPicture),
                  d.nFastFont);
    if (!fonts[i].HasFace()) ok = false;
  }
  return ok;
}

bool CreateFontDigitSurfaces(DDSURFACEDATA* surfaces, const cBmpInfo* infos, int count,
                             cFont* fonts, const sFontDesc* descs) {
  for (int i = 0; i < count; ++i) {
    const cBmpInfo& info = infos[i];
    int w = info.nWidth, h = info.nHeight;
    if (w <= 0 || h <= 0) {
      fonts[i].Measure(&w, &h, "0123456789");
      h = std::max(descs[i].nLinePitch, descs[i].nHeight);
    }
    if (!DDCreateSurface(&surfaces[i], w, h, info.bColorKey, info.nDDMemory, info.nDTMemory, 0,
                         0)) {
      ErrLogF("CreateFontDigitSurfaces : font %d", i);
      return false;
    }
    RenderFontDigits(&surfaces[i], fonts[i]);
  }
  return true;
}

void RenderFontDigits(DDSURFACEDATA* surface, cFont& font) {
  DDClear(surface, 0);
  font.Draw(surface, 0, 0, "0123456789", 1);
}
