#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/random.h"
#include "media/blit.h"
#include "media/surface_create.h"
#include "media/surface_list.h"
#include "objects/hero.h"
#include "play/effect_anim.h"
#include "play/picture.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "play_fixture.h"
#include "project/database.h"
#include "tests/objects/play_world.h"

namespace {

// Moves a surface collection out for the test and puts it back afterwards.
template <class C>
class cSurfacesAside {
 public:
  explicit cSurfacesAside(C& surfaces) : m_Ref(surfaces), m_Saved(std::move(surfaces)) { m_Ref.clear(); }
  ~cSurfacesAside() {
    for (auto& s : m_Ref) DDReleaseSurface(&s);
    m_Ref = std::move(m_Saved);
  }
  cSurfacesAside(const cSurfacesAside&) = delete;
  cSurfacesAside& operator=(const cSurfacesAside&) = delete;

 private:
  C& m_Ref;
  C m_Saved;
};

struct sBox {
  int x = -1, y = -1, w = 0, h = 0;
  bool operator==(const sBox&) const = default;
};
std::ostream& operator<<(std::ostream& os, const sBox& b) {
  return os << "(" << b.x << ", " << b.y << ", " << b.w << " x " << b.h << ")";
}

cDbEffect Effect(std::vector<int> tenths, int cellW = 32, int cellH = 32, int scalable = 0) {
  cDbEffect e;
  e.m_nCellWidth = cellW;
  e.m_nCellHeight = cellH;
  e.m_bScalable = scalable;
  e.m_Frames.clear();
  for (std::size_t i = 0; i < tenths.size(); ++i) {
    cDbEffectFrame f;
    f.m_nCell = static_cast<int>(i);
    f.m_nTime = tenths[i];
    e.m_Frames.push_back(f);
  }
  return e;
}

class EffectsAndPictures : public cPlayDevice {
 protected:
  static constexpr int kInk = 20;
  void SetUp() override {
    Init(0, 32);
    g_Palette[kInk] = {0x20, 0xC0, 0x20, 0};
    DDCreateSurface(&m_Ref, 1, 1, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0);
    DDBoxFill(&m_Ref, 0, 0, 1, 1, kInk);
    m_Axes.x.m_dPos = 0;
    m_Axes.y.m_dPos = 0;
  }
  void TearDown() override {
    DDReleaseSurface(&m_Ref);
    cPlayDevice::TearDown();
  }
  void ClearScreen() { DDBoxFill(&BackBuffer, 0, 0, 640, 480, 16); }
  // The box around every pixel of the ink colour on the back buffer.
  sBox Inked() {
    const std::uint32_t ink = At(m_Ref, 0, 0);
    int x0 = 640, y0 = 480, x1 = -1, y1 = -1;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x)
        if (At(BackBuffer, x, y) == ink) {
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    if (x1 < 0) return {};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
  }
  // A surface of w x h in the ink colour.
  static void MakeInked(DDSURFACEDATA& s, int w, int h) {
    ASSERT_TRUE(DDCreateSurface(&s, w, h, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    DDBoxFill(&s, 0, 0, w, h, kInk);
  }

  cRestore<cVector<cDbEffect>> m_Effects{g_DataBase.m_Effect};
  cRestore<cVector<AnimeRun>> m_Sequences{g_EffectSequences};
  cSurfacesAside<cVector<DDSURFACEDATA>> m_EffectSurfaces{g_EffectSurfaces};
  cSurfacesAside<cList<DDSURFACEDATA>> m_PictureSurfaces{g_PictureSurfaces};
  cRestore<cList<cBmpInfo>> m_PictureInfo{g_PictureBmpInfo, {}};
  cScopedAxes m_Axes;
  cScopedHeroes m_Heroes;
  cPlayScene m_Scene;
  cRestore<cPlayScene*> m_ScenePtr{g_pPlayScene, &m_Scene};
  DDSURFACEDATA m_Ref;
};

TEST_F(EffectsAndPictures, FrameTablesPlayEachCellForItsTimeAndEnd) {
  g_DataBase.m_Effect = {Effect({1, 1}), Effect({1, 2, 1}), Effect({})};
  BuildEffectFrameTable(g_EffectSequences);
  ASSERT_EQ(g_EffectSequences.size(), 3u);
  auto triples = [](const AnimeRun& run) {
    std::vector<std::vector<int>> out;
    for (const sAnimeFrame& f : run) out.push_back({f.nFrame, f.nDuration, f.bLock});
    return out;
  };
  using T = std::vector<std::vector<int>>;
  EXPECT_EQ(triples(g_EffectSequences[0]), (T{{0, 0, 1}, {1, 0, 1}, {-2, 0, 1}}));
  EXPECT_EQ(triples(g_EffectSequences[1]), (T{{0, 6, 0}, {1, 12, 0}, {2, 6, 0}, {-4, 0, 0}}));
  EXPECT_EQ(triples(g_EffectSequences[2]), (T{{-4, 0, 0}}));

  // 1, 2 and 1 tenths: 6, 12 and 6 frames, then the end on the next step.
  cEffectAnim anim(sEffectRecord{1, 0, 0, 32, 32, 0});
  std::vector<int> cells;
  int steps = 0;
  while (steps < 100 && !anim.Step(nullptr, 0)) {
    ++steps;
    cells.push_back(anim.m_Anime.GetFrame());
  }
  std::vector<int> expected(6, 0);
  expected.insert(expected.end(), 12, 1);
  expected.insert(expected.end(), 6, 2);
  EXPECT_EQ(cells, expected);

  // An entry without frames ends at once; the looping entry 0 never ends nor spins.
  EXPECT_EQ(cEffectAnim(sEffectRecord{2, 0, 0, 32, 32, 0}).Step(nullptr, 0), 1);
  cEffectAnim none(sEffectRecord{0, 0, 0, 32, 32, 0});
  for (int i = 0; i < 10; ++i) EXPECT_EQ(none.Step(&BackBuffer, 0), 0);
  // A made but never started animation has nothing to show.
  EXPECT_EQ(cEffectAnim().Step(nullptr, 0), 1);
}

TEST_F(EffectsAndPictures, WhileStoppedOnlyARunWhileStoppedEffectAdvances) {
  g_DataBase.m_Effect = {Effect({1}), Effect({1, 1})};
  BuildEffectFrameTable(g_EffectSequences);
  for (int runWhileStopped : {0, 1}) {
    cEffectAnim anim(sEffectRecord{1, 0, 0, 32, 32, runWhileStopped});
    for (int i = 0; i < 7; ++i) anim.Step(nullptr, 1);
    EXPECT_EQ(anim.m_Anime.GetFrame(), runWhileStopped) << runWhileStopped;
    EXPECT_EQ(anim.m_Anime.GetTick(), runWhileStopped ? 0 : -1) << runWhileStopped;
  }
}

TEST_F(EffectsAndPictures, AnEffectDrawsItsCellAtTheMapPositionOnScreen) {
  g_DataBase.m_Effect = {Effect({1}), Effect({1, 1}, 8, 4)};
  BuildEffectFrameTable(g_EffectSequences);
  // Entry 1's sheet: cell 0 empty, cell 1 inked; surface 1 is the stretching copy.
  g_EffectSurfaces.resize(2);
  for (DDSURFACEDATA& s : g_EffectSurfaces) {
    MakeInked(s, 16, 4);
    DDBoxFill(&s, 0, 0, 8, 4, 0);
  }
  m_Axes.x.m_dPos = 100.5;
  m_Axes.y.m_dPos = 10;
  cEffectAnim plain(sEffectRecord{1, 150, 20, 8, 4, 0});
  cEffectAnim scaled(sEffectRecord{1, 150, 20, 24, 12, 0});
  EXPECT_EQ(scaled.m_bScaled, 1);
  for (int i = 0; i < 6; ++i) plain.Step(nullptr, 0), scaled.Step(nullptr, 0);
  ClearScreen();
  plain.Step(&BackBuffer, 0);
  EXPECT_EQ(Inked(), (sBox{49, 10, 8, 4}));
  ClearScreen();
  scaled.Step(&BackBuffer, 0);
  EXPECT_EQ(Inked(), (sBox{49, 10, 24, 12}));
}

TEST_F(EffectsAndPictures, HitEffectsCentreOnTheOverlapScaledAndJittered) {
  g_DataBase.m_Effect = {Effect({1}), Effect({1}, 32, 16, 1), Effect({1}, 32, 16, 0)};
  BuildEffectFrameTable(g_EffectSequences);
  const sDRect a{100, 200, 139, 231}, b{120, 210, 179, 259}, apart{500, 500, 510, 510};
  struct {
    const char* name;
    int effect, scale;
    sDRect other;
    int w, h, cx, cy, jitter;
  } const cases[] = {
      // overlap (120, 210) - (139, 231): 20 x 22, centre (130, 221)
      {"scalable x3", 1, 3, b, 96, 48, 130, 221, 12},
      {"fixed size x3", 2, 3, b, 32, 16, 130, 221, 4},
      {"scale byte 0x80 is negative", 1, 0x80, b, 32, 16, 130, 221, 4},
      {"no overlap: map origin", 1, 1, apart, 32, 16, 0, 0, 4},
  };
  for (const auto& c : cases) {
    RandSeed(77);
    const int jx = RandRange(-c.jitter, c.jitter), jy = RandRange(-c.jitter, c.jitter);
    RandSeed(77);
    cEffectAnim hit(c.effect, a, c.other, c.scale);
    EXPECT_EQ(hit.m_nWidth, c.w) << c.name;
    EXPECT_EQ(hit.m_nHeight, c.h) << c.name;
    EXPECT_EQ(hit.m_dX, c.cx - (c.w >> 1) + jx) << c.name;
    EXPECT_EQ(hit.m_dY, c.cy - (c.h >> 1) + jy) << c.name;
    EXPECT_EQ(hit.m_bRunWhileStopped, 0) << c.name;
  }
  // The damage code's entry point appends to the scene's list.
  AddHitEffect(1, a, b, 1);
  EXPECT_EQ(m_Scene.m_EffectList.size(), 1u);
}

TEST_F(EffectsAndPictures, PictureSizeRoundsHalfAwayFromZero) {
  DDSURFACEDATA bitmap;
  MakeInked(bitmap, 33, 33);
  cPicture half;
  half.Init(1, 0, 0, 0, 0, 0, 33, 33, 1, 0, 50, 1, 0, 0, 0, 0, 0);
  EXPECT_EQ(half.m_bScaled, 1);
  ClearScreen();
  EXPECT_EQ(half.Step(&BackBuffer, &bitmap, 0), 0);
  EXPECT_EQ(Inked(), (sBox{312, 232, 17, 17}));
  cPicture whole;
  whole.Init(1, 0, 0, 0, 0, 0, 33, 33, 1, 0, 100, 1, 0, 0, 0, 0, 0);
  EXPECT_EQ(whole.m_bScaled, 0);
  ClearScreen();
  whole.Step(&BackBuffer, &bitmap, 0);
  EXPECT_EQ(Inked(), (sBox{304, 224, 33, 33}));
  DDReleaseSurface(&bitmap);
}

TEST_F(EffectsAndPictures, PicturesHoldToTheScreenOrToTheMapByAnchor) {
  DDSURFACEDATA bitmap;
  MakeInked(bitmap, 10, 10);
  struct {
    const char* name;
    int anchor, fixed;
    sBox first, afterScroll;  // the camera moves by (+30, +20)
  } const cases[] = {
      {"centre, pinned to the map", 0, 0, {317, 237, 10, 10}, {287, 217, 10, 10}},
      {"centre, fixed", 0, 1, {317, 237, 10, 10}, {317, 237, 10, 10}},
      {"screen block, pinned", 3, 0, {66, 98, 10, 10}, {36, 78, 10, 10}},
      {"screen block, fixed", 3, 1, {66, 98, 10, 10}, {66, 98, 10, 10}},
      {"map block, follows the map", 4, 0, {66, 98, 10, 10}, {36, 78, 10, 10}},
      {"map block, fixed", 4, 1, {66, 98, 10, 10}, {66, 98, 10, 10}},
      {"anchor outside the table: centre", 9, 1, {317, 237, 10, 10}, {317, 237, 10, 10}},
      {"negative anchor: centre", -1, 1, {317, 237, 10, 10}, {317, 237, 10, 10}},
  };
  for (const auto& c : cases) {
    m_Axes.x.m_dPos = 320;
    m_Axes.y.m_dPos = 320;
    cPicture p;
    p.Init(1, c.anchor, 2, 3, 2, 2, 10, 10, c.fixed, 0, 100, 1, 0, 0, 0, 0, 0);
    ClearScreen();
    p.Step(&BackBuffer, &bitmap, 0);
    EXPECT_EQ(Inked(), c.first) << c.name;
    m_Axes.x.m_dPos = 350;
    m_Axes.y.m_dPos = 340;
    ClearScreen();
    p.Step(&BackBuffer, &bitmap, 0);
    EXPECT_EQ(Inked(), c.afterScroll) << c.name;
  }
  DDReleaseSurface(&bitmap);
}

TEST_F(EffectsAndPictures, AFollowedObjectsRemovalLeavesThePictureAtItsLastCentre) {
  DDSURFACEDATA bitmap;
  MakeInked(bitmap, 10, 10);
  cHero& hero = m_Heroes.Add();
  hero.m_nNumber = 7;
  hero.m_dX = 100;
  hero.m_dY = 50;
  hero.m_nWidth = 20;
  hero.m_nHeight = 31;
  cPicture p;
  p.Init(1, PICTURE_ON_HERO, 0, 0, 1, 0, 10, 10, 0, 0, 100, 1, 0, 0, 7, 0, 0);
  ClearScreen();
  p.Step(&BackBuffer, &bitmap, 0);
  EXPECT_EQ(Inked(), (sBox{106, 60, 10, 10}));  // centre (110, 65)
  g_Heroes.clear();
  m_Axes.x.m_dPos = 6;
  ClearScreen();
  p.Step(&BackBuffer, &bitmap, 0);
  EXPECT_EQ(Inked(), (sBox{100, 60, 10, 10}));
  DDReleaseSurface(&bitmap);
}

TEST_F(EffectsAndPictures, PictureLayersEndTimedPicturesWithTheirSurfaces) {
  // Three pictures in step with their surfaces: layers 0, 1, 0; the second shows for 2 frames.
  const int layers[] = {0, 1, 0};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(DDAddSurfaceToList(g_PictureSurfaces, g_PictureBmpInfo, 4 + i, 4, 1, 1, 1, 0));
    m_Scene.m_PictureList.emplace_back().Init(i + 1, 3, i, 0, 0, 0, 4 + i, 4, 1, layers[i], 100,
                                              i == 1 ? 2 : 1, 2, 0, 0, 0, 0);
  }
  DrawPictures(&BackBuffer, 1, 1);  // stopped: the count waits
  for (int frame = 0; frame < 2; ++frame) DrawPictures(&BackBuffer, 1, 0);
  EXPECT_EQ(m_Scene.m_PictureList.size(), 3u);
  DrawPictures(&BackBuffer, 0, 0);  // the other layer does not count it
  EXPECT_EQ(m_Scene.m_PictureList.size(), 3u);
  DrawPictures(&BackBuffer, 1, 0);
  ASSERT_EQ(m_Scene.m_PictureList.size(), 2u);
  ASSERT_EQ(g_PictureSurfaces.size(), 2u);
  EXPECT_EQ(g_PictureBmpInfo.size(), 2u);
  EXPECT_EQ(m_Scene.m_PictureList.back().m_nPicture, 3);
  EXPECT_EQ(g_PictureSurfaces.back().nWidth, 6);  // the third picture keeps its own surface
}

}  // namespace
