#include "play/effect_blits.h"

#include "media/blit.h"
#include "media/blur_mosaic.h"
#include "media/circle_lens.h"
#include "media/draw_routines.h"
#include "media/rotation.h"
#include "media/translucency.h"

sEffectBlits MediaEffectBlits() {
  return {DDBlt,         DDBltStretch, DDBltBlend,     DDBltStretchBlend,
          DDBoxFill,     DDSetAlphaOp, DDResetAlphaOp, DDSetColor,
          DDResetColor,  DDSetColorOp, DDResetColorOp, DrawQuadSplitBlt,
          DrawStripeBlt, DrawWaveBlt,  DrawFlipBlt,    DDBltRotate,
          DDBltCircle,   DDBltLens,    DDBltTint,      DDBltTrans,
          DDMosaic,      DDBlur};
}

sEffectBlits g_EffectBlits = MediaEffectBlits();

void CopyScreenTo(DDSURFACEDATA* work) {
  g_EffectBlits.Blt(work, 0, 0, 640, 480, &BackBuffer, 0, 0, DDBLT_NOKEY);
}

void FillScreen() { g_EffectBlits.BoxFill(&BackBuffer, 0, 0, 640, 480, 16); }
