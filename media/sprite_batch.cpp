#include "media/sprite_batch.h"

#include <algorithm>

#include "media/device_scene.h"
#include "media/quad_draw.h"

namespace {

// One recorded blit, with the blend settings in force when it was recorded.
struct sSpriteCmd {
  int nKey = 0;
  DDSURFACEDATA* lpDst = nullptr;
  DDSURFACEDATA* lpSrc = nullptr;
  int x = 0, y = 0, w = 0, h = 0, sx = 0, sy = 0, sw = 0, sh = 0;
  int nFlags = 0;
  std::uint32_t dwColor = 0, dwColorOp = 0, dwAlphaOp = 0;
  int nReserved = 0;

  bool SameRun(const sSpriteCmd& o) const {
    return lpSrc == o.lpSrc && lpDst == o.lpDst && nFlags == o.nFlags && dwColor == o.dwColor &&
           dwColorOp == o.dwColorOp && dwAlphaOp == o.dwAlphaOp && nReserved == o.nReserved;
  }
};

struct sBoxCmd {
  DDSURFACEDATA* lpDst = nullptr;
  int x = 0, y = 0, w = 0, h = 0;
  std::uint32_t dwColor = 0;
};

// The key base of a source is (n + 1) * 100000: the keys of one source stay below the next
// source's base for up to 100000 sprites a batch.
constexpr int kKeyStep = 100000;

struct sSpriteBatch {
  bool bOpen = false;
  int nMode = 0;
  std::vector<sSpriteCmd> list;
  std::vector<std::pair<DDSURFACEDATA*, int>> keys;
  int nSequence = 0;
} g_Sprites;

struct sBoxBatch {
  bool bOpen = false;
  std::vector<sBoxCmd> list;
} g_Boxes;

std::vector<sBatchRun> g_LastRuns;

void DrawSprites() {
  g_LastRuns.clear();
  auto& list = g_Sprites.list;
  if (g_Sprites.nMode != 0)
    std::stable_sort(list.begin(), list.end(),
                     [](const sSpriteCmd& a, const sSpriteCmd& b) { return a.nKey < b.nKey; });
  for (std::size_t begin = 0; begin < list.size();) {
    std::size_t end = begin + 1;
    while (end < list.size() && list[end].SameRun(list[begin])) ++end;
    const sSpriteCmd& first = list[begin];
    if (DDBeginScene() && DDSetRenderTarget(0, first.lpDst)) {
      if (first.nFlags == 0 && first.lpSrc->lpDT && first.lpSrc->lpDT->bColorKey)
        for (std::size_t i = begin; i < end; ++i)
          DDKeyClear(list[i].lpDst, list[i].x, list[i].y, list[i].w, list[i].h);
      for (std::size_t i = begin; i < end; ++i) {
        const sSpriteCmd& c = list[i];
        DDDrawQuad(c.lpDst, c.x, c.y, c.w, c.h, c.lpSrc, c.sx, c.sy, c.sw, c.sh, c.dwColor,
                   c.dwColorOp, c.dwAlphaOp);
      }
      g_LastRuns.push_back(sBatchRun{first.lpDst, first.lpSrc, static_cast<int>(end - begin)});
      DDSetRenderTarget(0, lpDTCon->lpDefaultTarget);
    }
    begin = end;
  }
}

void DrawBoxes() {
  g_LastRuns.clear();
  auto& list = g_Boxes.list;
  for (std::size_t begin = 0; begin < list.size();) {
    std::size_t end = begin + 1;
    while (end < list.size() && list[end].lpDst == list[begin].lpDst) ++end;
    if (DDBeginScene() && DDSetRenderTarget(0, list[begin].lpDst)) {
      for (std::size_t i = begin; i < end; ++i)
        DDDrawBox(list[i].lpDst, list[i].x, list[i].y, list[i].w, list[i].h, list[i].dwColor);
      g_LastRuns.push_back(sBatchRun{list[begin].lpDst, nullptr, static_cast<int>(end - begin)});
      DDSetRenderTarget(0, lpDTCon->lpDefaultTarget);
    }
    begin = end;
  }
}

}  // namespace

void DDSpriteBatchBegin(int mode) {
  if (!lpDTCon) return;
  // What an open batch recorded is drawn, not dropped, so that a routine that batches its own
  // drawing can run inside a caller's batch.
  if (g_Sprites.bOpen) DDSpriteBatchFlush();
  g_Sprites.bOpen = true;
  g_Sprites.nMode = mode;
  g_Sprites.list.clear();
  g_Sprites.keys.clear();
  g_Sprites.nSequence = 0;
}

void DDSpriteBatchKey(DDSURFACEDATA* surface) {
  if (!lpDTCon || !g_Sprites.bOpen || g_Sprites.nMode == 0) return;
  surface = DDResolveMirror(surface);
  for (const auto& entry : g_Sprites.keys)
    if (entry.first == surface) return;
  g_Sprites.keys.emplace_back(surface, static_cast<int>(g_Sprites.keys.size() + 1) * kKeyStep);
}

void DDSpriteBatchFlush() {
  if (lpDTCon && !g_Sprites.list.empty()) DrawSprites();
  g_Sprites.list.clear();
  g_Sprites.keys.clear();
  g_Sprites.nSequence = 0;
  g_Sprites.bOpen = false;
}

void DDBoxBatchBegin() {
  if (!lpDTCon) return;
  if (g_Boxes.bOpen) DDBoxBatchFlush();
  g_Boxes.bOpen = true;
  g_Boxes.list.clear();
}

void DDBoxBatchFlush() {
  if (lpDTCon && !g_Boxes.list.empty()) DrawBoxes();
  g_Boxes.list.clear();
  g_Boxes.bOpen = false;
}

bool DDSpriteBatchRecord(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                         int sy, int sw, int sh, int flags) {
  if (!lpDTCon || !g_Sprites.bOpen) return false;
  int base = 0;
  for (const auto& entry : g_Sprites.keys)
    if (entry.first == src) base = entry.second;
  sSpriteCmd c;
  c.nKey = base + g_Sprites.nSequence++;
  c.lpDst = dst;
  c.lpSrc = src;
  c.x = x, c.y = y, c.w = w, c.h = h, c.sx = sx, c.sy = sy, c.sw = sw, c.sh = sh;
  c.nFlags = flags;
  c.dwColor = lpDTCon->dwColor;
  c.dwColorOp = lpDTCon->dwColorOp;
  c.dwAlphaOp = lpDTCon->dwAlphaOp;
  g_Sprites.list.push_back(c);
  return true;
}

bool DDBoxBatchRecord(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t argb) {
  if (!lpDTCon || !g_Boxes.bOpen) return false;
  g_Boxes.list.push_back(sBoxCmd{dst, x, y, w, h, argb});
  return true;
}

const std::vector<sBatchRun>& DDLastBatchRuns() { return g_LastRuns; }

void DDDiscardBatches() {
  g_Sprites = sSpriteBatch{};
  g_Boxes = sBoxBatch{};
  g_LastRuns.clear();
}
