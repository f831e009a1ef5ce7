#pragma once
// Sprite and box batches of the Direct3D mode: the quads of a span of drawing are recorded
// and drawn at the flush in runs that share source, target and blend settings. In the
// DirectDraw mode opening a batch does nothing and every blit and fill is immediate.
// Opening a batch while one is open first draws what the open one recorded.
#include <vector>

#include "media/surface.h"

// mode 0: drawn in submission order; non-zero: sorted by the registered sources.
void DDSpriteBatchBegin(int mode);
// Registers a source for the sorted mode: sprites of unregistered sources come first, then
// those of each registered source in the order of registration.
void DDSpriteBatchKey(DDSURFACEDATA* surface);
void DDSpriteBatchFlush();
void DDBoxBatchBegin();
void DDBoxBatchFlush();

// Recording by the blits and fills (clipped, resolved surfaces): true when recorded.
bool DDSpriteBatchRecord(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                         int sy, int sw, int sh, int flags);
bool DDBoxBatchRecord(DDSURFACEDATA* dst, int x, int y, int w, int h, std::uint32_t argb);

// The runs the last flush drew, in order (for tests and diagnostics).
struct sBatchRun {
  DDSURFACEDATA* lpDst = nullptr;
  DDSURFACEDATA* lpSrc = nullptr;  // null for boxes
  int nCount = 0;
};
const std::vector<sBatchRun>& DDLastBatchRuns();

// Both batches closed and emptied without drawing (the device is being released).
void DDDiscardBatches();
