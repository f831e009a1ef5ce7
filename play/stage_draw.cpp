// The stage drawing: background layers, map blocks, the status bar and the time left.
#include "play/stage_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "foundation/play_math.h"
#include "foundation/text_utils.h"
#include "foundation/timer.h"
#include "media/blit.h"
#include "media/draw_routines.h"
#include "media/palette.h"
#include "media/palette_effects.h"
#include "media/translucency.h"
#include "media/font.h"
#include "media/sound.h"
#include "media/sprite_batch.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "play/map_cells.h"
#include "play/play_records.h"
#include "play/play_scene.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

namespace {

constexpr int kScreenW = 640, kScreenH = 480;
constexpr int kLayerSurface = 55;
constexpr int kMaxLayers = 8;
constexpr int kBlockMarkSheet = 43;
constexpr int kStatusBackSurface = 46;
constexpr int kStatusSheet = 49;
constexpr int kDigitSheet = 50;
constexpr int kTileSteps = 1000;  // no tiling loop runs longer than this

// The camera of the play scene, or the bound axes outside a scene.
double CameraX() { return g_pPlayScene ? g_pPlayScene->m_ScrollX.m_dPos : ScrollAxisX().m_dPos; }
double CameraY() { return g_pPlayScene ? g_pPlayScene->m_ScrollY.m_dPos : ScrollAxisY().m_dPos; }
const cScrollAxis& AxisX() { return g_pPlayScene ? g_pPlayScene->m_ScrollX : ScrollAxisX(); }
const cScrollAxis& AxisY() { return g_pPlayScene ? g_pPlayScene->m_ScrollY : ScrollAxisY(); }

int LayerCount() {
  return std::min(static_cast<int>(g_Stage.m_BackLayers.size()), kMaxLayers);
}

// An offset that scrolls by itself stays inside [0, size).
void WrapOffset(double& offset, double speed, int size) {
  offset -= speed;
  if (size <= 0) return;
  if (offset < 0)
    offset += size;
  else if (offset >= size)
    offset -= size;
}

// Tiles one layer's surface over the screen from source offsets (sx, sy).
void TileLayer(DDSURFACEDATA* dst, DDSURFACEDATA* src, int sx, int sy, int flags) {
  const int w = src->nWidth, h = src->nHeight;
  DDSpriteBatchBegin(0);
  int y = 0, v = LayerTileStart(sy, h);
  for (int rows = 0; y < kScreenH && rows < kTileSteps; ++rows) {
    const int rowH = h - v;
    int x = 0, u = LayerTileStart(sx, w);
    for (int cols = 0; x < kScreenW && cols < kTileSteps; ++cols) {
      const int colW = w - u;
      DDBlt(dst, x, y, colW, rowH, src, u, v, flags);
      x += colW;
      u = 0;
    }
    y += rowH;
    v = 0;
  }
  DDSpriteBatchFlush();
}

}  // namespace

int LayerTileStart(int offset, int size) {
  if (size <= 0) return 0;
  const int r = offset % size;
  return r < 0 ? r + size : r;
}

int StatusBarGap(int widthSum, int shown) { return SubWrap32(638, widthSum) / (shown + 1); }

void ScrollBackLayers() {
  if (g_pPlayScene && g_pPlayScene->m_nPhase == PLAYPHASE_PAUSE) return;
  for (int i = 0; i < LayerCount(); ++i) {
    cStageBackLayer& layer = g_Stage.m_BackLayers[i];
    const DDSURFACEDATA& s = g_SystemSurface[kLayerSurface + i];
    if (layer.m_bAutoX) WrapOffset(layer.m_dOffsetX, layer.m_dSpeedX, s.nWidth);
    if (layer.m_bAutoY) WrapOffset(layer.m_dOffsetY, layer.m_dSpeedY, s.nHeight);
  }
}

void DrawBackLayers(DDSURFACEDATA* dst, int group) {
  bool anyEnabled = false;
  for (int i = 0; i < LayerCount(); ++i) anyEnabled = anyEnabled || g_Stage.m_BackLayers[i].m_bShow;
  if (group == 0 && !anyEnabled) {
    DDBoxFill(dst, 0, 0, kScreenW, kScreenH, 16);
    return;
  }
  const double camX = CameraX(), camY = CameraY();
  bool drawn = false;
  for (int i = 0; i < LayerCount(); ++i) {
    const cStageBackLayer& layer = g_Stage.m_BackLayers[i];
    if (!layer.m_bShow || layer.m_nPass != group) continue;
    if (layer.m_bFill) {
      DDBoxFill(dst, 0, 0, kScreenW, kScreenH, static_cast<std::uint32_t>(layer.m_nFillColour));
      drawn = true;
      continue;
    }
    const int sx = layer.m_bAutoX
                       ? static_cast<int>(layer.m_dOffsetX + camX - kMapMarginPixels)
                       : static_cast<int>((std::trunc(camX + 0.5) - kMapMarginPixels) * layer.m_dSpeedX);
    const int sy = layer.m_bAutoY
                       ? static_cast<int>(layer.m_dOffsetY + camY - kMapMarginPixels)
                       : static_cast<int>((std::trunc(camY) - kMapMarginPixels) * layer.m_dSpeedY);
    DDSURFACEDATA* src = &g_SystemSurface[kLayerSurface + i];
    // A layer whose picture did not load, or is empty, shows nothing.
    if (src->nWidth <= 0 || src->nHeight <= 0) continue;
    TileLayer(dst, src, sx, sy, (group == 1 || drawn) ? DDBLT_KEY : DDBLT_NOKEY);
    drawn = true;
  }
  if (group == 0 && !drawn) DDBoxFill(dst, 0, 0, kScreenW, kScreenH, 16);
}

void DrawMapBlocks(DDSURFACEDATA* dst, int group) {
  const int cx = static_cast<int>(CameraX()), cy = static_cast<int>(CameraY());
  const int col0 = cx >> 5, row0 = cy >> 5;
  const cScrollAxis& ax = AxisX();
  const cScrollAxis& ay = AxisY();
  DDSpriteBatchBegin(1);
  DDSpriteBatchKey(&g_SystemSurface[kBlockMarkSheet]);
  for (int j = 0; j < 16; ++j) {
    const int row = row0 + j;
    if (row < 0 || row >= ay.m_nCells) continue;
    for (int k = 0; k < 21; ++k) {
      const int col = col0 + k;
      if (col < 0 || col >= ax.m_nCells) continue;
      const std::int64_t index = col + (static_cast<std::int64_t>(row) << ax.m_nShift);
      if (index < 0 || index >= static_cast<std::int64_t>(g_MapCells.size())) continue;
      cMapCell& cell = g_MapCells[static_cast<std::size_t>(index)];
      if (cell.m_sGraphic == 0 || cell.m_nLayer != group) continue;
      if (!cell.Appears() || cell.m_bHidden) continue;
      cell.DrawTile(dst, 32 * k - (cx & 31), 32 * j - (cy & 31));
    }
  }
  DDSpriteBatchFlush();
}

namespace {

// Caption width of a status item: an icon or its text.
int CaptionWidth(const cSysDisplayItem& item) {
  return item.m_bIcon ? 16 : MulWrap32(StrCountChars(item.m_strCaption.c_str()), 16);
}

int ItemWidth(const cSysDisplayItem& item, int n) {
  if (!item.m_bShow) return 0;
  const int value = (n == 2 || n == 3) ? 50 : MulWrap32(item.m_nValueCells, 16);
  return AddWrap32(CaptionWidth(item), value);
}

void DrawIcon(DDSURFACEDATA* dst, int n, int x) {
  DDBlt(dst, x, 3, 16, 16, &g_SystemSurface[kStatusSheet], 16 * n, 32, DDBLT_KEY);
}

void DrawGaugeItem(DDSURFACEDATA* dst, const cSysDisplayItem& item, int n, int x, int value,
                   int maximum) {
  if (item.m_bIcon)
    DrawIcon(dst, n, x);
  else
    g_Font[1].DrawF(dst, x, 3, "%s", item.m_strCaption.c_str());
  const int e = AddWrap32(x, CaptionWidth(item));
  const int sx = n == 2 ? 0 : 64;
  DDSURFACEDATA* sheet = &g_SystemSurface[kStatusSheet];
  DDBlt(dst, e, 3, 50, 16, sheet, sx, 128, DDBLT_KEY);
  // The fill is value x 50 / maximum, held to the gauge's 50 pixels (a deliberate mend: a
  // value above its maximum would draw past the gauge, and the source past the gauge's own
  // picture on the sheet). A maximum of 0 (or a broken one) draws no fill.
  const int w = maximum > 0 ? static_cast<int>(std::clamp<std::int64_t>(
                                  std::int64_t{value} * 50 / maximum, 0, 50))
                            : 0;
  if (w > 0)
    DDBlt(dst, e, 3, w, 16, sheet, sx, IsBelowDisplayThreshold(n, value, maximum) ? 160 : 144,
          DDBLT_KEY);
  if (item.m_bShowValue) g_Font[0].DrawF(dst, e, 6, "%d", value);
}

}  // namespace

void DrawStatusBar(DDSURFACEDATA* dst) {
  if (g_pPlayScene && !g_pPlayScene->m_bShowStatus) return;
  const auto& items = g_SystemData.m_DisplayItems;
  if (items.size() < 5) return;
  int shown = 0, sum = 0;
  for (int n = 0; n < 5; ++n) {
    shown += items[n].m_bShow ? 1 : 0;
    sum = AddWrap32(sum, ItemWidth(items[n], n));
  }
  if (shown == 0) return;
  const int gap = StatusBarGap(sum, shown);
  DDBlt(dst, 0, 0, 640, 20, &g_SystemSurface[kStatusBackSurface], 0, 0, DDBLT_KEY);
  cHero* hero = g_Heroes.empty() ? nullptr : &g_Heroes.front();
  int x = gap;
  for (int n = 0; n < 5; ++n) {
    const cSysDisplayItem& item = items[n];
    if (!item.m_bShow) continue;
    switch (n) {
      case 0:
      case 1: {
        const int value = n == 0 ? g_PlayData.m_nTotalScore : g_PlayData.m_nScore;
        if (item.m_bIcon) {
          DrawIcon(dst, n, x);
          g_Font[1].DrawF(dst, AddWrap32(x, 16), 3, "%d", value);
        } else {
          g_Font[1].DrawF(dst, x, 3, "%s%d", item.m_strCaption.c_str(), value);
        }
        break;
      }
      case 2:
      case 3: {
        const int value = hero ? (n == 2 ? hero->m_HP.m_nValue : hero->m_SP.m_nValue) : 0;
        const int maximum = hero ? (n == 2 ? hero->m_Def.m_nMaxHP : hero->m_Def.m_nMaxSP) : 0;
        DrawGaugeItem(dst, item, n, x, value, maximum);
        break;
      }
      default: {
        const int lives = g_PlayData.m_nLives;
        if (item.m_bIcon) {
          DrawIcon(dst, n, x);
          if (lives == kUnlimitedLives)
            g_Font[1].Draw(dst, AddWrap32(x, 16), 3, "-");
          else
            g_Font[1].DrawF(dst, AddWrap32(x, 16), 3, "%d", lives);
        } else if (lives == kUnlimitedLives) {
          g_Font[1].DrawF(dst, x, 3, "%s-", item.m_strCaption.c_str());
        } else {
          g_Font[1].DrawF(dst, x, 3, "%s%d", item.m_strCaption.c_str(), lives);
        }
        break;
      }
    }
    x = AddWrap32(x, AddWrap32(ItemWidth(item, n), gap));
  }
}

void DrawTimeLeft(DDSURFACEDATA* dst, int bSoundOn) {
  if (!g_pPlayScene || g_pPlayScene->m_bNoTimeLimit) return;
  const int time = g_pPlayScene->m_nTime;
  DrawNumber(dst, 272, 24, 32, 32, &g_SystemSurface[kDigitSheet], 0, 160, DDBLT_KEY, time, 3, 0);
  if (time >= 1 && time <= g_Stage.m_nTimeWarning && bSoundOn && CountEvery(2, 0))
    PlaySystemSound(13);
}

void DrawHeroLight(cHero& hero, DDSURFACEDATA* dst) { hero.DrawLight(dst); }
int IsItemCarried(const cItem& item) { return item.m_bCarried; }
void DrawItem(cItem& item, DDSURFACEDATA* dst, int bStopped) { item.Draw(dst, bStopped); }

// The screen colour change.

void SetFlash(sFlash& flash, const int* p) {
  const int inEffect = lpDTCon ? flash.m_bActive : g_nBpp == 8 ? flash.m_bTinted : 1;
  if (p[4] && !inEffect) return;
  flash.m_nSavedRed = flash.m_nRed;
  flash.m_nSavedGreen = flash.m_nGreen;
  flash.m_nSavedBlue = flash.m_nBlue;
  flash.m_nSavedStrength = flash.m_nStrength;
  flash.m_nSavedLevel = flash.m_nLevel;
  flash.m_nRed = static_cast<std::uint8_t>(p[0]);
  flash.m_nGreen = static_cast<std::uint8_t>(p[1]);
  flash.m_nBlue = static_cast<std::uint8_t>(p[2]);
  flash.m_nStrength = p[3];
  flash.m_bBackToNormal = p[4];
  flash.m_nDuration = static_cast<int>(std::clamp<std::int64_t>(std::int64_t{p[5]} * 6, INT32_MIN, INT32_MAX));
  flash.m_bBlink = p[6];
  flash.m_nBlinkCount = p[7];
  flash.m_bActive = 1;
  flash.m_nFrame = 0;
  flash.m_nBlinkCounter = 0;
  if (!p[4]) {
    flash.m_nLevel = 0;
    flash.m_bTinted = 1;
  } else {
    flash.m_nRed = flash.m_nSavedRed;
    flash.m_nGreen = flash.m_nSavedGreen;
    flash.m_nBlue = flash.m_nSavedBlue;
    flash.m_nStrength = flash.m_nSavedStrength;
    flash.m_nLevel = flash.m_nSavedLevel;
  }
}

void SetFlash(const int* p) {
  if (g_pPlayScene) SetFlash(g_pPlayScene->m_Flash, p);
}

int FlashLevel(const sFlash& flash) {
  const double c = flash.m_nFrame, t = flash.m_nDuration;
  if (flash.m_bBackToNormal && !flash.m_bBlink)
    return t == 0 ? 255
                  : static_cast<int>(c / t * (255 - flash.m_nSavedLevel) + flash.m_nSavedLevel);
  return static_cast<int>(255 - (t == 0 ? flash.m_nStrength * 2.55
                                        : c / t * flash.m_nStrength * 2.55));
}

namespace {

// The colour at a level over the whole back buffer; a level outside 0 to 255 is held inside.
void CoverScreen(DDSURFACEDATA* back, int level, const sFlash& flash) {
  level = std::clamp(level, 0, 255);
  DDSURFACEDATA* cover = &g_SystemSurface[67];
  if (cover->nWidth > 0 && cover->nHeight > 0) {
    DDClearColor(cover, 0xFF000000u | (std::uint32_t{flash.m_nRed} << 16) |
                            (std::uint32_t{flash.m_nGreen} << 8) | flash.m_nBlue);
    DDBltTransEx(back, 0, 0, kScreenW, kScreenH, cover, 0, 0, DDBLT_NOKEY, g_BlendTable, level);
  } else {
    DDChangeColor(back, 0, 0, kScreenW, kScreenH, level, flash.m_nRed, flash.m_nGreen,
                  flash.m_nBlue);
  }
}

void BlendScreenPalette(int level, const sFlash& flash) {
  BlendPalette(g_WorkPalette, 0, 255, std::clamp(level, 0, 255), flash.m_nRed, flash.m_nGreen,
               flash.m_nBlue, g_Palette);
  if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_WorkPalette);
}

void KeptPalette() {
  std::copy(std::begin(g_Palette), std::end(g_Palette), std::begin(g_WorkPalette));
  if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_WorkPalette);
}

// The end of a blink cycle: the counter starts again, the change ends after its count.
void EndBlinkCycle(sFlash& flash) {
  flash.m_nFrame = 0;
  if (++flash.m_nBlinkCounter >= flash.m_nBlinkCount) flash.m_bActive = 0;
}

}  // namespace

void DrawFlashOn(sFlash& flash, DDSURFACEDATA* back, int bStopped) {
  if (!flash.m_bActive) return;
  const int c = flash.m_nFrame, t = flash.m_nDuration;
  const int level = FlashLevel(flash);
  if (lpDTCon) {
    flash.m_nLevel = level;
    if (flash.m_bBlink) {
      CoverScreen(back, c >= t ? 255 : level, flash);
      if (bStopped) return;
      if (c >= t)
        EndBlinkCycle(flash);
      else
        ++flash.m_nFrame;
    } else if (flash.m_bBackToNormal) {
      sFlash saved = flash;
      saved.m_nRed = flash.m_nSavedRed;
      saved.m_nGreen = flash.m_nSavedGreen;
      saved.m_nBlue = flash.m_nSavedBlue;
      CoverScreen(back, level, saved);
      if (bStopped) return;
      if (c >= t)
        flash.m_bActive = 0;
      else
        ++flash.m_nFrame;
    } else {
      CoverScreen(back, level, flash);
      if (bStopped) return;
      if (c < t) ++flash.m_nFrame;
      if (flash.m_nStrength == 0) flash.m_bActive = 0;
    }
    return;
  }
  if (bStopped) return;
  if (g_nBpp != 8) {
    flash.m_bActive = 0;
    return;
  }
  if (flash.m_bBlink) {
    if (c >= t) {
      KeptPalette();
      EndBlinkCycle(flash);
    } else {
      BlendScreenPalette(level, flash);
      ++flash.m_nFrame;
    }
    return;
  }
  sFlash shown = flash;
  if (flash.m_bBackToNormal) {
    shown.m_nRed = flash.m_nSavedRed;
    shown.m_nGreen = flash.m_nSavedGreen;
    shown.m_nBlue = flash.m_nSavedBlue;
  }
  BlendScreenPalette(level, shown);
  flash.m_nLevel = level;
  if (c >= t) {
    flash.m_bActive = 0;
    flash.m_bTinted = flash.m_bBackToNormal ? 0 : flash.m_bTinted;
  } else {
    ++flash.m_nFrame;
  }
}

void DrawFlash(int bStopped) {
  if (g_pPlayScene) DrawFlashOn(g_pPlayScene->m_Flash, &BackBuffer, bStopped);
}
