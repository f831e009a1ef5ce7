#include "project/system_bitmaps.h"

#include <array>
#include <cstring>
#include <utility>

#include "foundation/report.h"

DDSURFACEDATA g_SystemSurface[kSystemSurfaceCount];

namespace {
struct sBmpRow {
  const char* file;
  int colorKey, ddMemory, dtMemory, mirror, indexMap, optional, mirrorW, mirrorH, width, height;
};
// file, colour key, off-screen memory, texture memory, mirror, index map, optional,
// mirror cell width and height, size of an empty surface.
constexpr sBmpRow kSystemBitmaps[kSystemSurfaceCount] = {
    {"bmp\\plt\\Palette.bmp", 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Debug.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Block.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Block.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0},
    {"bmp\\Character1.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Character1.bmp", 1, 0, 0, 1, 0, 0, 32, 0, 0, 0},
    {"bmp\\Character2.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character2.bmp", 1, 0, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character3.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character3.bmp", 1, 0, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character4.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character4.bmp", 1, 0, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character5.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character5.bmp", 1, 0, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character6.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character6.bmp", 1, 0, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character7.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character7.bmp", 1, 0, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character8.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character8.bmp", 1, 0, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Shot.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Shot.bmp", 1, 0, 0, 1, 0, 0, 16, 0, 0, 0},
    {"bmp\\Character1.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0},
    {"bmp\\Character1.bmp", 1, 1, 0, 1, 0, 0, 32, 0, 0, 0},
    {"bmp\\Character2.bmp", 1, 1, 0, 1, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character2.bmp", 1, 1, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character3.bmp", 1, 1, 0, 1, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character3.bmp", 1, 1, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character4.bmp", 1, 1, 0, 1, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character4.bmp", 1, 1, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character5.bmp", 1, 1, 0, 1, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character5.bmp", 1, 1, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character6.bmp", 1, 1, 0, 1, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character6.bmp", 1, 1, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character7.bmp", 1, 1, 0, 1, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character7.bmp", 1, 1, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Character8.bmp", 1, 1, 0, 1, 0, 1, 0, 0, 0, 0},
    {"bmp\\Character8.bmp", 1, 1, 0, 1, 0, 1, 32, 0, 0, 0},
    {"bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0},
    {"bmp\\Shot.bmp", 1, 1, 0, 1, 0, 0, 16, 0, 0, 0},
    {"bmp\\Item.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Item.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0},
    {"bmp\\Item_Mini.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Mark.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Mark.bmp", 1, 1, 0, 1, 0, 0, 0, 0, 0, 0},
    {"bmp\\Window.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\StatusWindow.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Title.bmp", 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\GameMode.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"bmp\\Accessory.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Symbol.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\Word.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\WorldMapChip.bmp", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\WorldEvent.bmp", 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
    {"bmp\\WorldBack.bmp", 0, 1, 0, 0, 0, 1, 0, 0, 0, 0},
    {"背景その1.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"背景その2.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"背景その3.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"背景その4.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"背景その5.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"背景その6.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"背景その7.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"背景その8.bmp", 1, 0, 0, 0, 0, 1, 0, 0, 0, 0},
    {"E", 1, 1, 0, 0, 0, 0, 0, 0, 256, 960},
    {"E", 1, 1, 0, 0, 0, 0, 0, 0, 256, 960},
    {"E", 1, 1, 0, 0, 0, 0, 0, 0, 640, 480},
    {"E", 0, 1, 0, 0, 0, 0, 0, 0, 640, 480},
    {"E", 1, 0, 0, 0, 0, 0, 0, 0, 640, 480},
    {"E", 1, 1, 0, 1, 0, 0, 0, 0, 640, 480},
    {"E", 1, 0, 2, 0, 0, 0, 0, 0, 1024, 1024},
    {"E", 1, 1, 1, 0, 0, 0, 0, 0, 1024, 1024},
};

cBmpInfo MakeInfo(const sBmpRow& r) {
  cBmpInfo info;
  info.Set(r.file, r.colorKey, r.ddMemory, r.dtMemory, r.mirror, r.indexMap, r.optional, r.mirrorW,
           r.mirrorH, r.width, r.height);
  return info;
}

template <std::size_t... I>
std::array<cBmpInfo, sizeof...(I)> MakeTable(std::index_sequence<I...>) {
  return {MakeInfo(kSystemBitmaps[I])...};
}
}  // namespace

cBmpInfo g_SystemBmpInfo[kSystemSurfaceCount];
// Filled before main, as every other table of the program.
static const bool g_systemBmpFilled = [] {
  const auto table = MakeTable(std::make_index_sequence<kSystemSurfaceCount>{});
  for (int i = 0; i < kSystemSurfaceCount; ++i) g_SystemBmpInfo[i] = table[i];
  return true;
}();

sFontDesc g_FontDesc[3] = {
    {"ＭＳ ゴシック", 0, 9, 10, 10, 241, 45, 1, 240, 50, 2},
    {"ＭＳ ゴシック", 0, 16, 16, 16, 241, 45, 1, 240, 50, 2},
    {"ＭＳ ゴシック", 0, 30, 32, 32, 241, 45, 1, 240, 50, 0},
};

cBmpInfo g_FontDigitInfo[3];
static const bool g_digitFilled = [] {
  for (cBmpInfo& info : g_FontDigitInfo) info.Set("", 1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  return true;
}();

const char* const g_FontNames[kFontNameCount] = {
    "System",
    "Terminal",
    "FixedSys",
    "Roman",
    "Script",
    "Modern",
    "Small Fonts",
    "MS Serif",
    "WST_Czec",
    "WST_Engl",
    "WST_Fren",
    "WST_Germ",
    "WST_Ital",
    "WST_Span",
    "WST_Swed",
    "Courier",
    "MS Sans Serif",
    "Marlett",
    "Arial",
    "Arial CE",
    "Arial CYR",
    "Arial Greek",
    "Arial TUR",
    "Arial Baltic",
    "Courier New",
    "Courier New CE",
    "Courier New CYR",
    "Courier New Greek",
    "Courier New TUR",
    "Courier New Baltic",
    "Lucida Console",
    "Lucida Sans Unicode",
    "Times New Roman",
    "Times New Roman CE",
    "Times New Roman CYR",
    "Times New Roman Greek",
    "Times New Roman TUR",
    "Times New Roman Baltic",
    "Wingdings",
    "Symbol",
    "Verdana",
    "Arial Black",
    "Comic Sans MS",
    "Impact",
    "Georgia",
    "Franklin Gothic Medium",
    "Palatino Linotype",
    "Tahoma",
    "Trebuchet MS",
    "Webdings",
    "Estrangelo Edessa",
    "Gautami",
    "Latha",
    "Mangal",
    "MV Boli",
    "Raavi",
    "Shruti",
    "Tunga",
    "Sylfaen",
    "ＭＳ ゴシック",
    "ＭＳ Ｐゴシック",
    "MS UI Gothic",
    "ＭＳ 明朝",
    "ＭＳ Ｐ明朝",
    "Microsoft Sans Serif",
    "Gulim",
    "GulimChe",
    "Dotum",
    "DotumChe",
    "Batang",
    "BatangChe",
    "Gungsuh",
    "GungsuhChe",
    "SimSun",
    "NSimSun",
    "SimSun-PUA",
    "SimHei",
    "MingLiU",
    "PMingLiU",
    "Arial Narrow",
    "Book Antiqua",
    "Bookman Old Style",
    "Century",
    "Century Gothic",
    "Garamond",
    "MS Outlook",
    "HGｺﾞｼｯｸE",
    "HGPｺﾞｼｯｸE",
    "HGSｺﾞｼｯｸE",
    "HG丸ｺﾞｼｯｸM-PRO",
    "HG創英角ｺﾞｼｯｸUB",
    "HGP創英角ｺﾞｼｯｸUB",
    "HGS創英角ｺﾞｼｯｸUB",
    "HG創英角ﾎﾟｯﾌﾟ体",
    "HGP創英角ﾎﾟｯﾌﾟ体",
    "HGS創英角ﾎﾟｯﾌﾟ体",
    "HG正楷書体-PRO",
    "InMusicSym",
    "Kartika",
    "Vrinda",
    "メイリオ",
    "MT Extra",
    "HGｺﾞｼｯｸM",
    "HGPｺﾞｼｯｸM",
    "HGSｺﾞｼｯｸM",
    "HG行書体",
    "HGP行書体",
    "HGS行書体",
    "HG教科書体",
    "HGP教科書体",
    "HGS教科書体",
    "HG明朝B",
    "HGP明朝B",
    "HGS明朝B",
    "HG明朝E",
    "HGP明朝E",
    "HGS明朝E",
    "HG創英ﾌﾟﾚｾﾞﾝｽEB",
    "HGP創英ﾌﾟﾚｾﾞﾝｽEB",
    "HGS創英ﾌﾟﾚｾﾞﾝｽEB",
    "OCRB",
    "Sydnie",
    "",
};

void LinkMirrorSurfaces() {
  static const int kLinks[][2] = {
      {3, 2},   {5, 4},   {7, 6},   {9, 8},   {11, 10}, {13, 12}, {15, 14}, {17, 16},
      {19, 18}, {21, 20}, {22, 4},  {23, 4},  {24, 6},  {25, 6},  {26, 8},  {27, 8},
      {28, 10}, {29, 10}, {30, 12}, {31, 12}, {32, 14}, {33, 14}, {34, 16}, {35, 16},
      {36, 18}, {37, 18}, {38, 20}, {39, 20}, {41, 40}, {44, 43}, {68, 67}};
  for (const auto& link : kLinks) g_SystemSurface[link[0]].lpMirror = &g_SystemSurface[link[1]];
}

void SetupFontDescs(int faceIndex, int fastFontD3D, int fastFontDD) {
  const bool known = faceIndex >= 0 && faceIndex < kFontNameCount;
  if (!known) ErrLogF("SetupFontDescs : no face %d", faceIndex);
  for (sFontDesc& desc : g_FontDesc) {
    if (known) {
      std::strncpy(desc.szFace, g_FontNames[faceIndex], sizeof(desc.szFace) - 1);
      desc.szFace[sizeof(desc.szFace) - 1] = 0;
    }
    if (desc.nFastFont == 2) desc.nFastFont = lpDTCon ? fastFontD3D : fastFontDD;
  }
}
