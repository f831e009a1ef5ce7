#include "objects/object_services.h"

#include "content/block.h"
#include "content/condition.h"
#include "flows/status_ops.h"
#include "media/blit.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "play/hits.h"
#include "play/play_scene.h"
#include "project/play_data.h"
#include "project/system_bitmaps.h"

namespace {

// Variables are read through the range-tested index: a bad index is reported, asks the
// window to close and reads element 0.
std::int32_t ReadVariable(int kind, int index, cCharaBase* subject) {
  switch (kind) {
    case COND_COMMON_VAR:
      return g_PlayData.m_CommonVar.empty() ? 0 : g_PlayData.m_CommonVar[index];
    case COND_STAGE_VAR:
      if (!g_pPlayScene || g_pPlayScene->m_StageVar.empty()) return 0;
      return g_pPlayScene->m_StageVar[index];
    case COND_CHARA_VAR:
      if (!subject || subject->m_Vars.empty()) return 0;
      return subject->m_Vars[index];
    default:
      return 0;
  }
}

int TestObject(cEdCond& cond, cCharaBase* subject) {
  if (!subject) return 0;
  switch (cond.m_nKind) {
    case COND_STATUS:
      return EvalStatusCond(cond, *subject);
    case COND_STATUS2:
      return subject->CheckStatusCond(cond);
    case COND_STATUS3:
      return subject->CheckStateCond(cond);
    case COND_DISTANCE:
      return subject->CheckDistanceCond(cond);
    default:
      return 0;
  }
}

// A block's picture: the 32 x 32 cell of its graphic, taken from the sheet itself.
void DrawTileGraphic(DDSURFACEDATA* target, int kind, int index, int frame, int x, int y) {
  sGraphicSrc src;
  SetGraphicSource(src, GRAPHIC_SRC_PLAIN, kind, index, frame, nullptr, 0);
  if (!src.pA) return;
  DDBlt(target, x, y, 32, 32, src.pA, src.nSrcX, src.nSrcY, DDBLT_KEY);
}

constexpr int kMarkSheet = 43;

void DrawTileMark(DDSURFACEDATA* target, int srcX, int srcY, int x, int y) {
  DDBlt(target, x, y, 32, 32, &g_SystemSurface[kMarkSheet], srcX, srcY, DDBLT_KEY);
}

}  // namespace

void InstallObjectServices() {
  SetAppearanceSubject(&FirstHero);
  sConditionServices services;
  services.pReadVariable = &ReadVariable;
  services.pTestObject = &TestObject;
  SetConditionServices(services);
  sTileDrawer drawer;
  drawer.pDrawGraphic = &DrawTileGraphic;
  drawer.pDrawMark = &DrawTileMark;
  SetTileDrawer(drawer);
}
