// Stand-ins of the stage-play operations that later work completes (see play_later.h). Each
// notes its call and does the least the play scene needs to run a stage's phases.
#include "play/play_later.h"

#include "media/surface.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "play/play_records.h"
#include "play/play_scene.h"
#include "platform/input.h"

std::vector<std::string> g_PlayLaterCalls;

namespace {
void Note(const char* name) { g_PlayLaterCalls.emplace_back(name); }
}  // namespace

void RunScreenEffect(cPlayScene*, int) { Note("ScreenEffect"); }

int RunEndEffect(cCharaBase&) {
  Note("EndEffect");
  return 1;
}
void DrawCharaBody(cCharaBase& chara, DDSURFACEDATA*, int) {
  Note(dynamic_cast<cHero*>(&chara) ? "Hero" : "Chara");
}
void DrawGauges(cCharaBase&) {}
void UpdateAnimes(cCharaBase&, int) {}
void RunCharaEffect(cCharaBase&, int) {}
void DrawCharaIcon(cChara&) {}
int IsCharaActive(const cChara&) { return 0; }
int ItemLayer(const cItem&) { return 0; }


