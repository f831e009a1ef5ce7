#include "play/effect_anim.h"

#include <algorithm>
#include <cstdint>

#include "foundation/play_math.h"
#include "foundation/random.h"
#include "media/blit.h"
#include "objects/object.h"
#include "play/anchor.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "project/database.h"
#include "project/system_ini.h"

cVector<AnimeRun> g_EffectSequences;

namespace {

// The entry an effect number names. A number outside the table is reported by the table and
// entry 0 stands in for it.
int CheckedEffect(int number) {
  const int n = static_cast<std::int16_t>(number);
  const int count = static_cast<int>(g_DataBase.m_Effect.size());
  if (n >= 0 && n < count) return n;
  (void)g_DataBase.m_Effect[n];
  return 0;
}

const cDbEffect& Entry(int n) { return g_DataBase.m_Effect[n]; }

// Surface 2n - 2 (plain) or 2n - 1 (stretched) of entry n >= 1, or null when the set does not
// hold it.
DDSURFACEDATA* EffectSurface(int n, int stretched) {
  const std::int64_t index = 2 * static_cast<std::int64_t>(n) - 2 + stretched;
  if (n < 1 || index >= static_cast<std::int64_t>(g_EffectSurfaces.size())) return nullptr;
  return &g_EffectSurfaces[static_cast<int>(index)];
}

}  // namespace

void BuildEffectFrameTable(cVector<AnimeRun>& table) {
  const int count = static_cast<int>(g_DataBase.m_Effect.size());
  table.assign(static_cast<std::size_t>(count), AnimeRun{});
  for (int n = 0; n < count; ++n) {
    const cDbEffect& entry = g_DataBase.m_Effect[n];
    AnimeRun& run = table[n];
    for (const cDbEffectFrame& frame : entry.m_Frames) {
      if (n == 0)
        run.push_back({frame.m_nCell, 0, 1});
      else
        run.push_back({frame.m_nCell, MulWrap32(frame.m_nTime, 6), 0});
    }
    run.push_back(n == 0 ? sAnimeFrame{kAnimeLoop, 0, 1} : sAnimeFrame{kAnimeEnd, 0, 0});
  }
}

cEffectAnim::cEffectAnim(const sEffectRecord& record)
    : m_nEffect(CheckedEffect(record.nEffect)),
      m_dX(record.dX),
      m_dY(record.dY),
      m_nWidth(record.nWidth),
      m_nHeight(record.nHeight),
      m_bRunWhileStopped(record.bRunWhileStopped) {
  // Only the width tells whether the entry is drawn at another size.
  m_bScaled = m_nWidth != Entry(m_nEffect).m_nCellWidth;
  Restart(m_nEffect);
}

cEffectAnim::cEffectAnim(int effect, const sDRect& boxA, const sDRect& boxB, int scaleByte) {
  m_nEffect = CheckedEffect(effect);
  const cDbEffect& entry = Entry(m_nEffect);
  int scale = static_cast<std::int8_t>(scaleByte);
  if (entry.m_bScalable && scale > 1) {
    m_bScaled = 1;
    m_nWidth = MulWrap32(scale, entry.m_nCellWidth);
    m_nHeight = MulWrap32(scale, entry.m_nCellHeight);
  } else {
    scale = 1;
    m_nWidth = entry.m_nCellWidth;
    m_nHeight = entry.m_nCellHeight;
  }
  double left = std::max(boxA.m_dLeft, boxB.m_dLeft);
  double top = std::max(boxA.m_dTop, boxB.m_dTop);
  double right = std::min(boxA.m_dRight, boxB.m_dRight);
  double bottom = std::min(boxA.m_dBottom, boxB.m_dBottom);
  if (!boxA.Overlaps(boxB)) left = top = right = bottom = 0;
  m_dX = left + (TruncToInt32(right - left + 1) >> 1) - (m_nWidth >> 1);
  m_dY = top + (TruncToInt32(bottom - top + 1) >> 1) - (m_nHeight >> 1);
  m_dX += RandRange(-4 * scale, 4 * scale);
  m_dY += RandRange(-4 * scale, 4 * scale);
  m_bRunWhileStopped = 0;
  Restart(m_nEffect);
}

void cEffectAnim::Restart(int effect) {
  const int n = CheckedEffect(effect);
  AnimeRuns runs;
  if (n < static_cast<int>(g_EffectSequences.size())) runs.push_back(g_EffectSequences[n]);
  m_Anime.Init(runs);
  m_Anime.Set(0, 1);
  // The sequencer counts its first tick on the first step; the first cell is held for its
  // whole time like the others.
  m_Anime.AddTicks(-1);
}

int cEffectAnim::Step(DDSURFACEDATA* target, int stopped) {
  const cDbEffect& entry = Entry(CheckedEffect(m_nEffect));
  if (entry.m_Frames.empty() || m_Anime.Runs().empty()) return 1;
  int cell;
  if (!stopped || m_bRunWhileStopped) {
    cell = m_Anime.Update();
    if (cell <= kAnimeEnd) return 1;
  } else {
    cell = m_Anime.GetFrame();
  }
  // Entry 0 stands for no effect and has no images.
  if (m_nEffect == 0 || !target) return 0;
  const sScroll scroll = CurrentScroll();
  const int x = TruncToInt32(m_dX - scroll.x);
  const int y = TruncToInt32(m_dY - scroll.y);
  if (m_bScaled) {
    const bool fromPlain = lpDDCon != nullptr && g_SystemIni.DD_VideoStretch;
    DDSURFACEDATA* source = EffectSurface(m_nEffect, fromPlain ? 0 : 1);
    if (source)
      DDBltStretch(target, x, y, m_nWidth, m_nHeight, source, MulWrap32(cell, entry.m_nCellWidth), 0,
                   entry.m_nCellWidth, entry.m_nCellHeight, DDBLT_KEY);
  } else if (DDSURFACEDATA* source = EffectSurface(m_nEffect, 0)) {
    DDBlt(target, x, y, m_nWidth, m_nHeight, source, MulWrap32(cell, m_nWidth), 0, DDBLT_KEY);
  }
  return 0;
}

void AddHitEffect(int effect, const sDRect& victimBox, const sDRect& attackerBox, int scale) {
  if (!g_pPlayScene) return;
  g_pPlayScene->m_EffectList.emplace_back(effect, victimBox, attackerBox, scale);
}
