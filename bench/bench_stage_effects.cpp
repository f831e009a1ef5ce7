// The stage's effects as a frame runs them: every screen-effect kind on the whole 640x480
// frame (copy, fill, effect blit, putting back), and fifty 32x32 characters under the
// character effects that work pixel by pixel, in each drawing mode at 16 and 32 bits. Each
// must stay under 2 ms a frame.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "media/device.h"
#include "media/present.h"
#include "media/surface_create.h"
#include "objects/chara.h"
#include "objects/chara_effect_table.h"
#include "objects/hero.h"
#include "play/chara_effect.h"
#include "play/play_scene.h"
#include "play/scr_effect.h"
#include "project/database.h"
#include "project/effect_records.h"
#include "project/system_bitmaps.h"

namespace {

// A picture with detail in every channel.
void Paint(DDSURFACEDATA& surface, int bpp) {
  cPixelSurface* px = surface.Pixels();
  if (!px) return;
  for (int y = 0; y < px->Height(); ++y) {
    for (int x = 0; x < px->Width(); ++x) {
      const std::uint32_t v = static_cast<std::uint32_t>(x * 7 + y * 13) * 2654435761u;
      px->Put(x, y, bpp == 16 ? (v >> 16) : (v | 0xFF000000u));
    }
  }
}

// The device and the work surfaces as start-up makes them (68 a view of 67 in Direct3D).
bool OpenDevice(int d3d, int bpp) {
  if (!DDInit(d3d, nullptr, 640, 480, bpp, 0, 1, 1, 60, 0, nullptr, nullptr, 0)) return false;
  DDSURFACEDATA* s = g_SystemSurface;
  s[68].lpMirror = &s[67];
  if (!DDCreateSurface(&s[67], 640, 480, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0) ||
      !DDCreateSurface(&s[68], 640, 480, 1, 1, DTMEMORYTYPE_VIDEO_RT, 1, 0) ||
      !DDCreateSurface(&s[69], 1024, 1024, 1, 0, DTMEMORYTYPE_VIDEO_NORT, 0, 0) ||
      !DDCreateSurface(&s[70], 1024, 1024, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0) ||
      !DDCreateSurface(&s[4], 256, 256, 1, 1, DTMEMORYTYPE_VIDEO_NORT, 0, 0))
    return false;
  SelectCharaSurfaces();
  Paint(BackBuffer, bpp);
  Paint(s[4], bpp);
  return true;
}

void CloseDevice() {
  DDSetVirBackBuffer(0);
  for (int n : {4, 67, 68, 69, 70}) DDReleaseSurface(&g_SystemSurface[n]);
  g_SystemSurface[68].lpMirror = nullptr;
  DDRelease();
}

// Mid-way numbers for each screen kind.
const int kScreenParams[14][5] = {
    {10},
    {10, 0, 0, 640, 0},
    {10, 4, 4},
    {10, 4, 4},
    {10, 0, 640, 15},
    {10, 0, 480, 20},
    {10, 40, 40, 4, 8},
    {10, 40, 40, 4, 10},
    {10, 10},
    {10, 30, 30},
    {10, 200, 200, 8},
    {10, 960, 960},
    {10, 60, 60},
    {10, 8, 8},
};

void BM_ScreenEffectKind(benchmark::State& state) {
  const int d3d = static_cast<int>(state.range(0)), bpp = static_cast<int>(state.range(1));
  const int kind = static_cast<int>(state.range(2));
  if (!OpenDevice(d3d, bpp)) {
    state.SkipWithError("no device");
    CloseDevice();
    return;
  }
  g_DataBase.m_ScrEffect.assign(2, cDbScrEffect());
  g_DataBase.m_ScrEffect[0].m_nKind = 0;
  g_DataBase.m_ScrEffect[1].m_nKind = kind;
  for (int i = 0; i < 5; ++i) g_DataBase.m_ScrEffect[1].m_nParam[i] = kScreenParams[kind][i];
  PrepareScrEffects();
  {
    cPlayScene scene;
    g_pPlayScene = &scene;
    cHero& hero = g_Heroes.emplace_back();
    hero.m_Rect = {304, 224, 335, 255, 0, 0, 32, 32, 0, 0, 32, 32};
    scene.m_ScrEffect.Start(1, 0, 1);
    if (d3d) DDSetVirBackBuffer(1);
    for (auto _ : state) RunScreenEffect(&scene, 0);
    g_Heroes.clear();
    g_pPlayScene = nullptr;
  }
  CloseDevice();
}

// Fifty characters of 32 x 32 under one effect kind, half of them at scale 2.
void BM_CharaEffects(benchmark::State& state) {
  const int d3d = static_cast<int>(state.range(0)), bpp = static_cast<int>(state.range(1));
  const int kind = static_cast<int>(state.range(2));
  if (!OpenDevice(d3d, bpp)) {
    state.SkipWithError("no device");
    CloseDevice();
    return;
  }
  const int params[17][5] = {
      {}, {}, {},         {},        {}, {}, {}, {}, {10, 45, 45}, {}, {}, {}, {10, 50, 50, 4, 4},
      {}, {}, {10, 4, 4}, {10, 2, 2}};
  g_DataBase.m_CharaEffect.assign(2, cDbCharaEffect());
  g_DataBase.m_CharaEffect[0].m_nKind = 0;
  g_DataBase.m_CharaEffect[1].m_nKind = kind;
  for (int i = 0; i < 5; ++i) g_DataBase.m_CharaEffect[1].m_nParam[i] = params[kind][i];
  PrepareCharaEffects();
  {
    std::vector<cChara> charas(50);
    for (int i = 0; i < 50; ++i) {
      cChara& c = charas[i];
      const int scale = i % 2 ? 2 : 1;
      c.m_Def.m_nScale = static_cast<std::uint8_t>(scale);
      c.m_Rect = {i % 10 * 64, i / 10 * 80, 0, 0, 0, 0, 32 * scale, 32 * scale, 0, 0, 32, 32};
      c.m_CharaEffect.Start(1, 0, 1);
      c.m_bNoUnlink = 1;
    }
    sGraphicSrc src;
    src.pDraw = &g_SystemSurface[4];
    src.pDrawOther = &g_SystemSurface[4];
    src.nSrcX = 64;
    src.nSrcY = 32;
    const CharaEffectFunc handler = g_CharaEffectFunc[kind];
    if (d3d) DDSetVirBackBuffer(1);
    for (auto _ : state)
      for (cChara& c : charas) handler(c, &BackBuffer, &src, 1, 1);
  }
  CloseDevice();
}

void ScreenArgs(benchmark::internal::Benchmark* b) {
  for (int d3d : {0, 1})
    for (int bpp : {16, 32})
      for (int kind = 1; kind < kScrEffectKinds; ++kind) b->Args({d3d, bpp, kind});
}

void CharaArgs(benchmark::internal::Benchmark* b) {
  for (int d3d : {0, 1})
    for (int bpp : {16, 32})
      for (int kind :
           {CHARA_EFFECT_LENS, CHARA_EFFECT_MOSAIC, CHARA_EFFECT_BLUR, CHARA_EFFECT_ROTATE_B})
        b->Args({d3d, bpp, kind});
}

}  // namespace

BENCHMARK(BM_ScreenEffectKind)
    ->Apply(ScreenArgs)
    ->ArgNames({"d3d", "bpp", "kind"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CharaEffects)
    ->Apply(CharaArgs)
    ->ArgNames({"d3d", "bpp", "kind"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
