#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/font.h"
#include "project/play_data.h"
#include "project/ranking.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/system_ini.h"
#include "tests/media/screen_fixture.h"

namespace {

constexpr int kInk = 241;
constexpr std::uint32_t kBoxColour = 0x00404040;
constexpr std::uint32_t kIconColour = 0x00123456;
constexpr std::uint32_t kPointerColour = 0x00ABCDEF;

// Keeps a global as it was and gives it back when the scope ends.
template <class T>
class cKeep {
 public:
  explicit cKeep(T& value) : m_Ref(value), m_Saved(value) {}
  ~cKeep() { m_Ref = m_Saved; }
  cKeep(const cKeep&) = delete;
  cKeep& operator=(const cKeep&) = delete;

 private:
  T& m_Ref;
  T m_Saved;
};

// The play mode and test-play flag the ranking reads while it lives.
class cRankingState {
 public:
  cRankingState(int playMode, int testPlay) {
    s_nPlayMode = playMode;
    s_nTestPlay = testPlay;
    SetRankingPlayModeSource([] { return s_nPlayMode; });
    SetRankingTestPlaySource([] { return s_nTestPlay; });
  }
  ~cRankingState() {
    SetRankingPlayModeSource(nullptr);
    SetRankingTestPlaySource(nullptr);
  }
  cRankingState(const cRankingState&) = delete;
  cRankingState& operator=(const cRankingState&) = delete;

 private:
  static inline int s_nPlayMode = 0;
  static inline int s_nTestPlay = 0;
};

struct sText {
  int x, y;
  std::string text;
};

// What a drawing is made of, in the order it is drawn.
struct sPicture {
  int boxX = 0, boxY = 0, boxW = 0, boxH = 0;  // no box when boxW is 0
  std::vector<sText> texts;
  std::vector<std::pair<int, int>> pointers;
};

class RankingDrawing : public cScreenTest {
 protected:
  void SetUp() override {
    Init(0, 32, 640, 480);
    g_WorkPalette[kInk] = PALETTEENTRY{255, 255, 255, 0};
    g_WorkPalette[240] = PALETTEENTRY{0, 0, 255, 0};
    Make(boxPicture, 64, 64, kBoxColour);
    Make(iconPicture, 26 * 16, 16, kIconColour);
    g_Font[1].Init("ＭＳ ゴシック", 0, 16, 16, 16, kInk, &boxPicture, 1, 240, &iconPicture, 0);
    ASSERT_TRUE(g_Font[1].HasFace());
    ASSERT_EQ(g_Font[1].m_bIcons, 1);
    DDSURFACEDATA& accessory = g_SystemSurface[49];
    Make(accessory, 128, 128, g_dwTransmit);
    FillRect(accessory, 16, 48, 16, 16, kPointerColour);
    g_SystemData.SetDefault();
    g_SystemIni.English = 0;
  }
  void TearDown() override {
    g_Font[1].Release();
    DDReleaseSurface(&g_SystemSurface[49]);
    DDReleaseSurface(&boxPicture);
    DDReleaseSurface(&iconPicture);
    cScreenTest::TearDown();
  }

  void Blank(DDSURFACEDATA& s) { Make(s, 640, 480, 0, 0); }

  void Paint(DDSURFACEDATA& s, const sPicture& picture) {
    Blank(s);
    if (picture.boxW) g_Font[1].DrawBox(&s, picture.boxX, picture.boxY, picture.boxW, picture.boxH);
    for (const sText& t : picture.texts) g_Font[1].Draw(&s, t.x, t.y, t.text.c_str(), 1);
    for (auto [x, y] : picture.pointers)
      DDBlt(&s, x, y, 16, 16, &g_SystemSurface[49], 16, 48, DDBLT_KEY);
  }

  // Empty when the two surfaces hold the same pixels in rows [0, rows), else the first place
  // they differ.
  static std::string Difference(DDSURFACEDATA& got, DDSURFACEDATA& want, int rows = 480) {
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < 640; ++x)
        if (At(got, x, y) != At(want, x, y))
          return "first difference at " + std::to_string(x) + "," + std::to_string(y);
    return {};
  }

  static int Count(DDSURFACEDATA& s, int x0, int y0, int x1, int y1, std::uint32_t value) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += At(s, x, y) == value;
    return n;
  }
  // The rightmost column in [x0, x1) of rows [y0, y0 + 16) holding anything but the background.
  static int RightEdge(DDSURFACEDATA& s, int x0, int x1, int y0) {
    for (int x = x1 - 1; x >= x0; --x)
      for (int y = y0; y < y0 + 16; ++y)
        if (At(s, x, y) != 0) return x;
    return -1;
  }

  DDSURFACEDATA boxPicture, iconPicture, got, want;
  cKeep<cSystemData> keepSystem{g_SystemData};
  cKeep<sSystemIni> keepIni{g_SystemIni};
  cKeep<cPlayData> keepPlay{g_PlayData};
  cKeep<cVector<std::int32_t>> keepResults{g_Stage.m_ResultItems};
};

struct sRow {
  int index;
  const char* name;
  int value;
};

cRankTable MakeTable(int entries, const std::vector<sRow>& rows) {
  cRankTable table;
  table.m_Entries.resize(static_cast<std::size_t>(entries));
  for (const sRow& r : rows) {
    cRankEntry& e = table.m_Entries[r.index];
    e.m_bUsed = 1;
    e.m_strName = r.name;
    e.m_nValue = r.value;
  }
  return table;
}

TEST_F(RankingDrawing, TablesPlaceRowsValuesHintAndPointer) {
  const int x = 100, y = 40;
  // An occupied row as drawn: its rank, its name and where its value starts.
  struct sShownRow {
    int row;
    const char* name;
    int valueX;
    const char* value;
  };
  struct sCase {
    const char* what;
    int genre;
    cRankTable table;
    int pointedRow;
    cVector<std::uint8_t> modeGenres;
    std::vector<sShownRow> rows;
    int hintY;  // 0: no hint
  } cases[] = {
      {"scores of different widths end in one column",
       0,
       MakeTable(20, {{0, "ABC", 12345}, {1, "de", 345}, {3, "F", 5}}),
       3,
       {1, 1, 0, 0, 0},
       {{0, "ABC", x + 144, "12345"}, {1, "de", x + 176, "345"}, {3, "F", x + 208, "5"}},
       y + 16 * 21},
      {"times start in one column",
       2,
       MakeTable(20, {{0, "T", 6012}, {1, "U", 612345}}),
       -1,
       {0, 0, 1, 0, 1},
       {{0, "T", x + 144, "01:00.12"}, {1, "U", x + 144, "102:03.45"}},
       y + 16 * 21},
      {"no entries, one genre: no rows and no hint",
       1,
       MakeTable(0, {}),
       0,
       {0, 1, 0, 0, 0},
       {},
       0},
      {"a short table puts its hint below its last row",
       3,
       MakeTable(2, {{1, "G", -7}}),
       -1,
       {1, 1, 1, 1, 1},
       {{1, "G", x + 144, "-7"}},
       y + 48},
  };
  cRankingState state(1, 0);
  for (sCase& c : cases) {
    g_SystemData.m_RankingSets[1].m_bRanking = 1;
    g_SystemData.m_RankingSets[1].m_Genres = c.modeGenres;
    Blank(got);
    EXPECT_EQ(DrawRankingTable(c.table, &got, x, y, c.genre, c.pointedRow), 1);
    sPicture picture{x + 1, y + 1, 270, 350, {}, {}};
    picture.texts.push_back({x, y, "ランキング    " + g_SystemData.m_Texts[5 + c.genre]});
    for (const sShownRow& r : c.rows) {
      const int rowY = y + 16 * (r.row + 1);
      picture.texts.push_back({x + 16, rowY, std::to_string(r.row + 1)});
      picture.texts.push_back({x + 64, rowY, r.name});
      picture.texts.push_back({r.valueX, rowY, r.value});
    }
    // The hint is centred on x + 136.
    if (c.hintY)
      picture.texts.push_back({x + 136 - 16 * 13 / 2, c.hintY, "Vキーでジャンルの切り替え"});
    if (c.pointedRow != -1) picture.pointers.push_back({x, y + 16 * (c.pointedRow + 1)});
    Paint(want, picture);
    EXPECT_EQ(Difference(got, want), "") << c.what;
  }
  // The numbers of the first table end in one pixel column.
  {
    cRankTable table = MakeTable(20, {{0, "A", 12345}, {1, "B", 345}, {2, "C", 5}});
    Blank(got);
    DrawRankingTable(table, &got, x, y, 0, -1);
    const int edge = RightEdge(got, x + 128, x + 270, y + 16);
    EXPECT_GT(edge, x + 200);
    EXPECT_EQ(RightEdge(got, x + 128, x + 270, y + 32), edge);
    EXPECT_EQ(RightEdge(got, x + 128, x + 270, y + 48), edge);
  }
}

// Names are always letters; the title keeps the project's icons unless it is in English.
TEST_F(RankingDrawing, NamesAndTheEnglishTitleDrawLettersWhileTheFontShowsIcons) {
  g_SystemData.m_Texts[5] = "abc";
  cRankTable table = MakeTable(20, {{0, "abc", 1}, {1, "xyz", 0}});
  for (int english : {0, 1}) {
    g_SystemIni.English = english;
    Blank(got);
    DrawRankingTable(table, &got, 10, 10, 0, -1);
    EXPECT_EQ(g_Font[1].m_bIcons, 1);
    const int titleIcons = Count(got, 0, 0, 640, 26, kIconColour);
    EXPECT_EQ(titleIcons, english ? 0 : 3 * 16 * 16) << english;
    EXPECT_EQ(Count(got, 0, 26, 640, 480, kIconColour), 0) << english;
    // The names' letters are inked over the box.
    EXPECT_LT(Count(got, 74, 26, 122, 58, kBoxColour), 48 * 32) << english;
  }
  // The English title, letter by letter as the text gives it.
  g_SystemData.m_Texts[5] = "SCORE";
  Blank(got);
  DrawRankingTable(table, &got, 10, 10, 0, -1);
  Paint(want, {11, 11, 270, 350, {{10, 10, "Ranking     SCORE"}}, {}});
  EXPECT_EQ(Difference(got, want, 26), "");
}

TEST_F(RankingDrawing, ResultPanelShowsTheRankedRowsOfTheStage) {
  g_PlayData.m_nTotalScore = 1234567;
  g_PlayData.m_nTimeTotal = 300;
  g_PlayData.m_nPlayTime = 6012;
  g_PlayData.m_nHpTotal = 45;
  g_PlayData.m_nSpTotal = 42;
  const int x = 336, y = 224;
  struct sCase {
    const char* what;
    cVector<std::int32_t> stageFlags;
    cVector<std::uint8_t> modeGenres;
    int testPlay;
    cVector<int> positions;
    int boxCells;  // the box's width in cells
    int valueX;
    std::vector<std::pair<const char*, const char*>> rows;  // caption and value, top down
    int pointers;
  } cases[] = {
      {"genres of the stage and the mode",
       {1, 1, 1, 0, 1},
       {1, 0, 1, 1, 1},
       0,
       {-1, 3, 0, -1, -1},
       8 + 5 + 3,
       x + 112,
       {{"スコア", "1234567"}, {"クリア時間", "01:00.12"}, {"残りSP", "42"}},
       2},
      {"test play shows what the stage shows",
       {1, 1, 0, 1, 0},
       {0, 0, 0, 0, 0},
       1,
       {-1, -1, -1, -1, -1},
       7 + 4 + 3,
       x + 96,
       {{"スコア", "1234567"}, {"残り時間", "300"}, {"残りHP", "45"}},
       0},
      {"without the score the numbers start one digit wide",
       {0, 0, 0, 1, 0},
       {1, 1, 1, 1, 1},
       0,
       {0},
       2 + 4 + 3,
       x + 96,
       {{"残りHP", "45"}},
       1},
      {"a short list of stage switches shows what it has",
       {0, 1},
       {1, 1, 1, 1, 1},
       0,
       {},
       3 + 4 + 3,
       x + 96,
       {{"残り時間", "300"}},
       0},
      {"nothing shown, nothing drawn", {1, 1, 1, 1, 1}, {0, 0, 0, 0, 0}, 0, {0, 1}, 0, 0, {}, 0},
  };
  for (sCase& c : cases) {
    cRankingState state(1, c.testPlay);
    g_Stage.m_ResultItems = c.stageFlags;
    g_SystemData.m_RankingSets[1].m_bRanking = 0;  // not asked by the panel
    g_SystemData.m_RankingSets[1].m_Genres = c.modeGenres;
    Blank(got);
    DrawResultPanel(&got, x, y, c.positions);
    sPicture picture{x, y, 16 * c.boxCells, 16 * static_cast<int>(c.rows.size()), {}, {}};
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      const int rowY = y + 16 * static_cast<int>(i);
      picture.texts.push_back({x + 16, rowY, c.rows[i].first});
      picture.texts.push_back({c.valueX, rowY, c.rows[i].second});
    }
    for (int i = 0; i < c.pointers; ++i) picture.pointers.push_back({x, y + 16 * i});
    Paint(want, picture);
    EXPECT_EQ(Difference(got, want), "") << c.what;
  }
}

}  // namespace
