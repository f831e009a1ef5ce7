#include "objects/item.h"

#include "content/block.h"
#include "media/blit.h"
#include "media/surface.h"
#include "objects/chara_base.h"
#include "objects/chara_flows.h"
#include "play/scroll_axis.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"

const AnimeRuns& ItemAnimeRuns() {
  static const AnimeRuns runs = {AnimeRun{{0, 15, 1}, {1, 15, 1}, {kAnimeLoop, 0, 1}}};
  return runs;
}

cItem::cItem() { m_Def.Clear(); }
cItem::cItem(const cItem& other) = default;
cItem& cItem::operator=(const cItem& other) = default;
cItem::~cItem() = default;

void cItem::AdjustYForScale(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  m_dY = m_dY - (newScale - oldScale) * (m_nBaseHeight + m_Rect.m_nBaseOffsetY);
  ClampY(CLAMP_MAP);
}

bool cItem::SetUpFromDef(int number, cEdItem& def, int carried) {
  if (def.m_nScale == 0) def.m_nScale = 1;
  if (&def != &m_Def) m_Def = def;
  const int w = g_Stage.m_nItemW;
  const int h = g_Stage.m_nItemH;
  SetUpBase(number, 0, 0, 0, m_Def.m_sGraphic, &ItemAnimeRuns(), 0, 16 - (w >> 1),
            16 - (h >> 1), w, h, 32, 32, 0, MOVE_FLY_THROUGH, 0);
  m_bScreenBound = 0;
  m_bCarried = carried;
  if (carried)
    m_bPresent = 1;
  else
    Scale(m_Def.m_nScale, 1);
  return ExpandLoops(m_Def.m_Cmds);
}

int cItem::SetBlockPos(int column, int row) {
  m_dX = (static_cast<double>(column) + kMapMargin) * 32 + m_Rect.m_nBaseOffsetX + 0.5;
  m_dY = (static_cast<double>(row) + kMapMargin) * 32 + m_Rect.m_nBaseOffsetY;
  AdjustForScale(m_Def.m_nScale, 1);
  ClampX(CLAMP_MAP);
  return ClampY(CLAMP_MAP);
}

namespace {

// The icon sheet ("bmp\Mark.bmp"): 32x32 cells in columns of 15.
constexpr int kIconSheet = 43;

DDSURFACEDATA* SystemSurfaceAt(int entry) {
  if (entry < 0 || entry >= kSystemSurfaceCount) return nullptr;
  return &g_SystemSurface[entry];
}

}  // namespace

void cItem::Draw(DDSURFACEDATA* target, int frozen) {
  if (m_Def.m_bHidden) return;
  const int frame = frozen ? m_Anime.GetFrame() : m_Anime.Update();
  sGraphicSrc src;
  SetGraphicSource(src, GRAPHIC_SRC_ITEM, m_Def.m_nGraphicKind, m_Def.m_sGraphic,
                   m_Def.m_sGraphicFrame, this, frame);
  const int scale = m_Def.m_nScale;
  const int x = m_Rect.m_nLeft;
  const int y = m_Rect.m_nTop;
  const int w = m_Rect.m_nWidth, h = m_Rect.m_nHeight;
  const int bw = m_Rect.m_nBaseWidth, bh = m_Rect.m_nBaseHeight;
  if (src.bOwnCellSize) {
    // A picture drawn at its own size: copied as it stands at that size, else stretched.
    const int pictureScale = src.nCellBlocks;
    if (scale == pictureScale)
      DDBlt(target, x, y, w, h, src.pA, src.nSrcX, src.nSrcY, DDBLT_KEY);
    else
      DDBltStretch(target, x, y, w, h, src.pA, src.nSrcX, src.nSrcY, bw * pictureScale,
                   bh * pictureScale, DDBLT_KEY);
  } else if (scale <= 1) {
    DDBlt(target, x, y, w, h, src.pA, src.nSrcX, src.nSrcY, DDBLT_KEY);
  } else {
    DDBltStretch(target, x, y, w, h, src.pA, src.nSrcX, src.nSrcY, bw, bh, DDBLT_KEY);
  }
  if (m_Def.m_nMarkShow == 1) {
    const int m = m_Def.m_sMark;
    DDSURFACEDATA* icons = SystemSurfaceAt(kIconSheet);
    if (scale <= 1)
      DDBlt(target, x, y, 32, 32, icons, m / 15 * 32, m % 15 * 32, DDBLT_KEY);
    else
      DDBltStretch(target, x, y, w, h, icons, m / 15 * 32, m % 15 * 32, 32, 32, DDBLT_KEY);
  }
}
