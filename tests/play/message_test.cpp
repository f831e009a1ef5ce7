#include "play/message.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <iterator>
#include <string>

#include "media/blit.h"
#include "media/font.h"
#include "media/surface_create.h"
#include "objects/hero.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "play_fixture.h"
#include "project/play_data.h"
#include "project/system_bitmaps.h"
#include "tests/objects/play_world.h"

namespace {

struct sBox {
  int x = -1, y = -1, w = 0, h = 0;
  bool operator==(const sBox&) const = default;
};
std::ostream& operator<<(std::ostream& os, const sBox& b) {
  return os << "(" << b.x << ", " << b.y << ", " << b.w << " x " << b.h << ")";
}

// A message font of fixed 8 x 16 cells whose box picture is all ink, the message surfaces of
// the test, a hero, the camera and the variables the codes read.
class Messages : public cPlayDevice {
 protected:
  static constexpr int kInk = 20;
  void SetUp() override {
    Init(0, 32);
    ASSERT_TRUE(g_MessageSurfaces.empty());
    g_Palette[kInk] = {0x20, 0xC0, 0x20, 0};
    ASSERT_TRUE(DDCreateSurface(&m_Box, 200, 100, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
    DDBoxFill(&m_Box, 0, 0, 200, 100, kInk);
    g_Font[1].Init("ＭＳ ゴシック", 0, 16, 8, 16, 241, &m_Box, 0, 240, nullptr, 0);
    g_PlayData.m_CommonVar.assign(kCommonVarCount, 0);
    m_Scene.m_StageVar.assign(kStageVarCount, 0);
    m_Axes.x.m_dPos = 320;
    m_Axes.y.m_dPos = 320;
    cHero& hero = m_Heroes.Add();
    hero.m_nNumber = 3;
    hero.m_dX = 400;
    hero.m_dY = 400;
    hero.m_Rect.m_nOffsetX = 4;
    hero.m_Rect.m_nOffsetY = 2;
    hero.m_Rect.m_nWidth = 32;
    hero.m_Rect.m_nHeight = 32;
  }
  void TearDown() override {
    g_Font[1].Release();
    DDReleaseSurface(&m_Box);
    for (DDSURFACEDATA& s : g_MessageSurfaces) DDReleaseSurface(&s);
    g_MessageSurfaces.clear();
    g_MessageBmpInfo.clear();
    cPlayDevice::TearDown();
  }
  void ClearScreen() { DDBoxFill(&BackBuffer, 0, 0, 640, 480, 16); }
  // The box around every ink pixel of the back buffer.
  sBox Inked() {
    const std::uint32_t ink = At(m_Box, 0, 0);
    int x0 = 640, y0 = 480, x1 = -1, y1 = -1;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x)
        if (At(BackBuffer, x, y) == ink) {
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    if (x1 < 0) return {};
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
  }
  sBox Frame(cMessage& m, int stopped = 0, int* ended = nullptr) {
    ClearScreen();
    const int r = m.Update(&BackBuffer, stopped);
    if (ended) *ended = r;
    return Inked();
  }
  // A text message: "ABCD" is 34 x 18 with its margin.
  static cMessage Text(const char* text, int mode, int timerMode, int count, int box, int fixed = 0,
                       int blockX = 0, int blockY = 0, int dotX = 0, int dotY = 0, int keep = 0,
                       int continued = 0, int expand = 0, int refresh = 0, int interval = 0) {
    return cMessage(MESSAGE_TEXT, text, 0, 0, 0, mode, blockX, blockY, dotX, dotY, keep, fixed,
                    timerMode, count, 0, 3, continued, expand, refresh, interval, box, 0, 0);
  }

  cRestore<cPlayData> m_Progress{g_PlayData};
  cScopedAxes m_Axes;
  cScopedHeroes m_Heroes;
  cPlayScene m_Scene;
  cRestore<cPlayScene*> m_ScenePtr{g_pPlayScene, &m_Scene};
  DDSURFACEDATA m_Box;
};

TEST_F(Messages, CodesExpandToTheirVariablesAndBrokenOnesStayAsWritten) {
  g_PlayData.m_CommonVar[5] = 42;
  g_PlayData.m_CommonVar[6] = -12;
  g_PlayData.m_CommonVar[7] = INT_MIN;
  g_PlayData.m_CommonVar[8] = 0;
  g_PlayData.m_CommonVar[1000] = 5;
  m_Scene.m_StageVar[12] = 7;
  const std::string twenty(20, '9');
  struct {
    std::string in, out;
  } const cases[] = {
      {"#C5", "42"},
      {"#c5", "42"},
      {"#C5_4", "  42"},
      {"#C5_4Z", "0042"},
      {"#C5P.", "+42"},
      {"#C5.end", "42end"},
      {"#C6_5", "-   12"},
      {"#C6P", "-12"},
      {"#C8_3Z", "000"},
      {"#C8_3", "  0"},
      {"#C5_1", "42"},
      {"#S12_13", "  7"},
      {"#SC5", "42"},
      {"#C1000", "5"},
      {"#C7", "-2147483648"},
      {"x#C5y#C5", "x42y42"},
      {"#C0", "#C0"},
      {"#C1001", "#C1001"},
      {"#C" + twenty, "#C" + twenty},
      {"#C" + twenty + ".", "#C" + twenty + "."},
      {"#X", "#X"},
      {"#", "#"},
      {"a#", "a#"},
      {"#C", "#C"},
      {"#C.", "#C."},
      {"#5", "#5"},
      {"#_Z", "#_Z"},
      {"ab\x81", "ab\x81"},
      // a double-byte character's second byte is never a code's number sign
      {"\x81#C5", "\x81#C5"},
      {"\x82\xA0#C5", "\x82\xA0" "42"},
  };
  for (const auto& c : cases) {
    std::string text = c.in;
    ExpandMessageCodes(text);
    EXPECT_EQ(text, c.out) << c.in;
  }
}

TEST_F(Messages, TimersEndTheMessageAndItsSurface) {
  cMessage timed = Text("ABCD", 0, 2, 6, 1, 1);
  ASSERT_EQ(g_MessageSurfaces.size(), 1u);
  EXPECT_EQ(timed.m_nWidth, 34);
  EXPECT_EQ(timed.m_nHeight, 18);
  for (int frame = 1; frame <= 6; ++frame) {
    int ended = -1;
    EXPECT_EQ(Frame(timed, 0, &ended), (sBox{304, 232, 32, 16})) << frame;
    EXPECT_EQ(ended, 0) << frame;
  }
  EXPECT_EQ(timed.Update(&BackBuffer, 0), 1);
  EXPECT_TRUE(g_MessageSurfaces.empty());
  EXPECT_TRUE(g_MessageBmpInfo.empty());

  // While the game stands still only a message that counts then counts.
  cMessage wait(MESSAGE_WAIT, "", 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 1, 0, 0, 0, 0, 0, 0, 0, 0);
  cMessage icon(MESSAGE_ICON, "", 0, 0, 0, 4, 0, 0, 0, 0, 0, 1, 2, 3, 0, 3, 0, 0, 0, 0, 0, 0, 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(wait.Update(&BackBuffer, 1), 0);
    EXPECT_EQ(icon.Update(&BackBuffer, 1), 0);
  }
  EXPECT_EQ(wait.Update(&BackBuffer, 1), 1);
  EXPECT_EQ(icon.m_nCount, 3);
  EXPECT_TRUE(g_MessageSurfaces.empty());  // neither has a surface
}

TEST_F(Messages, AKeyWaitWindowOpensItsBoxOverNineFrames) {
  cMessage boxed = Text("ABCD", 0, 0, 0, 1);
  cMessage plain = Text("ABCD", 0, 0, 0, 0);
  EXPECT_EQ(boxed.m_bZoomIn, 1);
  // centre (320, 240); 34 x 18 scaled by 0.1 .. 0.9
  EXPECT_EQ(Frame(boxed), (sBox{318, 239, 3, 1}));
  for (int frame = 2; frame <= 4; ++frame) Frame(boxed);
  EXPECT_EQ(Frame(boxed), (sBox{311, 235, 17, 9}));
  for (int frame = 6; frame <= 8; ++frame) Frame(boxed);
  EXPECT_EQ(Frame(boxed), (sBox{304, 231, 30, 16}));
  EXPECT_EQ(Frame(boxed), (sBox{304, 232, 32, 16}));  // the window itself from the 10th frame
  for (int frame = 1; frame <= 10; ++frame) EXPECT_EQ(Frame(plain), sBox{}) << frame;

  // A window that continues another key wait, or one with a timer, opens at once.
  EXPECT_EQ(Text("ABCD", 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1).m_bZoomIn, 0);
  EXPECT_EQ(Text("ABCD", 0, 2, 9, 1).m_bZoomIn, 0);
}

TEST_F(Messages, PlacementFollowsTheModeTheMapOrTheScreen) {
  struct {
    const char* name;
    int mode, fixed, blockX, blockY, dotX, dotY, keep;
    sBox first, afterScroll;  // the camera moves by (+30, +20); the ink is the box at (1, 1)
  } const cases[] = {
      {"centre, pinned to the map", 0, 0, 0, 0, 0, 0, 0, {304, 232, 32, 16}, {274, 212, 32, 16}},
      {"centre, fixed", 0, 1, 0, 0, 0, 0, 0, {304, 232, 32, 16}, {304, 232, 32, 16}},
      {"mode outside the table", 12, 1, 0, 0, 0, 0, 0, {304, 232, 32, 16}, {304, 232, 32, 16}},
      {"screen block, pinned", 7, 0, 2, 3, 1, 1, 0, {66, 98, 32, 16}, {36, 78, 32, 16}},
      {"map block follows the map", 8, 0, 2, 3, 0, 0, 0, {65, 97, 32, 16}, {35, 77, 32, 16}},
      {"map block, fixed", 8, 1, 2, 3, 0, 0, 0, {65, 97, 32, 16}, {65, 97, 32, 16}},
      {"above the hero", 4, 0, 0, 0, 0, 0, 0, {76, 61, 32, 16}, {46, 41, 32, 16}},
      {"above the hero, fixed", 4, 1, 0, 0, 0, 0, 0, {76, 61, 32, 16}, {76, 61, 32, 16}},
      {"below the hero", 5, 0, 0, 0, 0, 0, 0, {76, 112, 32, 16}, {46, 92, 32, 16}},
      {"on the hero", 6, 0, 0, 0, 0, 0, 0, {76, 86, 32, 16}, {46, 66, 32, 16}},
      {"kept on screen, top left", 7, 1, 0, 0, -50, -50, 1, {1, 21, 32, 16}, {1, 21, 32, 16}},
      {"kept on screen, bottom right", 7, 1, 19, 14, 10, 20, 1, {607, 463, 32, 16}, {607, 463, 32, 16}},
  };
  for (const auto& c : cases) {
    m_Axes.x.m_dPos = 320;
    m_Axes.y.m_dPos = 320;
    cMessage m = Text("ABCD", c.mode, 1, 0, 1, c.fixed, c.blockX, c.blockY, c.dotX, c.dotY, c.keep);
    EXPECT_EQ(Frame(m), c.first) << c.name;
    m_Axes.x.m_dPos = 350;
    m_Axes.y.m_dPos = 340;
    EXPECT_EQ(Frame(m), c.afterScroll) << c.name;
    m.RemoveSurface();
  }
}

TEST_F(Messages, WithoutItsObjectATextEndsAndAnIconStaysWhereItWasPlaced) {
  cMessage text = Text("ABCD", 4, 1, 0, 1);
  DDSURFACEDATA& sheet = g_SystemSurface[49];
  ASSERT_TRUE(DDCreateSurface(&sheet, 16, 64, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0));
  DDBoxFill(&sheet, 0, 48, 16, 16, kInk);
  const auto sign = [] {
    return cMessage(MESSAGE_EXTRA_LIFE, "", 0, 0, 0, 4, 0, 0, 0, 0, 0, 1, 2, 30, 1, 3, 0, 0, 0, 0,
                    0, 0, 0);
  };
  cMessage placed = sign();
  cMessage late = sign();
  EXPECT_EQ(Frame(placed), (sBox{84, 62, 16, 16}));  // centred over the hero's cell
  g_Heroes.clear();
  int ended = -1;
  Frame(text, 0, &ended);
  EXPECT_EQ(ended, 1);
  EXPECT_TRUE(g_MessageSurfaces.empty());
  // It rises by a pixel every 4 frames.
  for (int frame = 2; frame <= 4; ++frame) Frame(placed);
  EXPECT_EQ(Frame(placed), (sBox{84, 61, 16, 16}));
  for (int frame = 1; frame <= 30; ++frame) EXPECT_EQ(Frame(late, 0, &ended), sBox{}) << frame;
  EXPECT_EQ(late.Update(&BackBuffer, 0), 1);
}

TEST_F(Messages, ARefreshedTextGetsAWiderSurfaceAtItsPlaceInTheList) {
  g_PlayData.m_CommonVar[5] = 9;
  cMessage first = Text("A", 0, 1, 0, 0, 1);
  cMessage counter = Text("#C5", 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 1, 2);
  cMessage last = Text("AB", 0, 1, 0, 0, 1);
  ASSERT_EQ(g_MessageSurfaces.size(), 3u);
  EXPECT_EQ(counter.m_strText, "9");
  EXPECT_EQ(counter.m_pSurface->nWidth, 10);
  g_PlayData.m_CommonVar[5] = 10;
  m_Scene.m_nFrame = 1;  // not a multiple of the interval
  counter.Update(&BackBuffer, 0);
  EXPECT_EQ(counter.m_strText, "9");
  m_Scene.m_nFrame = 4;
  counter.Update(&BackBuffer, 0);
  EXPECT_EQ(counter.m_strText, "10");
  EXPECT_EQ(counter.m_strSource, "#C5");
  ASSERT_EQ(g_MessageSurfaces.size(), 3u);
  auto at = [](int i) { return &*std::next(g_MessageSurfaces.begin(), i); };
  EXPECT_EQ(at(0), first.m_pSurface);
  EXPECT_EQ(at(1), counter.m_pSurface);
  EXPECT_EQ(at(2), last.m_pSurface);
  EXPECT_EQ(counter.m_pSurface->nWidth, 18);
  EXPECT_EQ(counter.m_pBmpInfo, &*std::next(g_MessageBmpInfo.begin(), 1));
}

}  // namespace
