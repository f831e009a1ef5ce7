#include "project/world_map.h"

#include <gtest/gtest.h>

#include <map>

#include "foundation/report.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The map record: eight fields and two strings.
cBytes& MapRecord(cBytes& f, int width, int height, int pitch, int shift) {
  f.I32(8).I32(width).I32(height).I32(pitch).I32(shift).I32(25).I32(-1).I32(16).I32(0);
  return f.I32(2).Str("map").Str("");
}

cBytes& Tile(cBytes& f, int blocked, int chip) {
  return f.I32(3).I32(9).I32(blocked).I32(chip).I32(2).Str("tile").Str("extra");
}

// A link with the fields the version holds: 10 below 209, 11 up to 757, 14 from 758.
cBytes& Link(cBytes& f, int version, const char* stage) {
  const int fields = version < 209 ? 10 : version < 758 ? 11 : 14;
  f.I32(fields);
  for (int i = 0; i < fields; ++i) f.I32(i == 0 ? 0 : 5);
  return f.I32(2).Str("caption").Str(stage);
}

cBytes& Cells(cBytes& f, int count, int value) {
  f.I32(count);
  for (int i = 0; i < count; ++i) f.I32(value);
  return f;
}

// A 20 x 15 map file of the version with the given tiles and one point of one link.
Bytes MapFile(int version, int tiles) {
  cBytes f;
  f.I32(version);
  MapRecord(f, 20, 15, 32, 5);
  f.I32(tiles);
  for (int i = 0; i < tiles; ++i) Tile(f, 0, 40 + i);
  Cells(f, 15 * 32, 1);
  f.I32(1).I32(2).I32(3).I32(4).I32(1).Str("point");
  f.I32(1);
  Link(f, version, "data\\stg4\\s-1.stg4");
  f.I32(0);
  return f.data;
}

class cFakeProgress : public cWorldMapProgress {
 public:
  std::map<int, bool> flags;
  std::map<int, std::int32_t> vars;
  std::int32_t total = 0;
  bool IsFlagSet(int flag) const override { return flags.count(flag) && flags.at(flag); }
  std::int32_t GetCommonVar(int number) const override {
    return vars.count(number) ? vars.at(number) : 0;
  }
  std::int32_t GetResultTotal() const override { return total; }
};

class WorldMapTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(ReportOpen("Report_Game.txt")); }
  cTempFolder folder;
};

TEST_F(WorldMapTest, DefaultMap) {
  cWorldMapData map;
  EXPECT_EQ(map.m_nWidth, 20);
  EXPECT_EQ(map.m_nPitch, 32);
  EXPECT_EQ(map.m_nPitch_Shift, 5);
  EXPECT_EQ(map.m_Cells.size(), 480u);
  EXPECT_EQ(map.m_strName, "ワールド");
  EXPECT_TRUE(map.m_Points.empty());
  ASSERT_EQ(map.m_Points2.size(), 1u);
  EXPECT_EQ(map.m_Points2[0].m_strName, "デフォルト");
  ASSERT_EQ(map.m_Points2[0].m_Links.size(), 1u);
  EXPECT_EQ(map.m_Points2[0].m_Links[0].m_nVariantA, 1);
}

TEST_F(WorldMapTest, RoundTripIsByteIdentical) {
  cWorldMapData map;
  map.m_Tiles.resize(3);
  map.m_Tiles[2].m_strExtra = "kept";
  map.m_Tiles[1].m_nExtra = 7;
  map.m_Cells[5 + (3 << 5)] = 2;
  map.m_Points.resize(2);
  map.m_Points[1].m_nX = 4;
  map.m_Points[1].m_Links.resize(2);
  map.m_Points[1].m_Links[1].m_strStage = "data\\stg4\\a.stg4";
  map.m_Points[1].m_Links[1].m_nVariantB = 3;
  map.m_Points2[0].m_nY = 2;
  map.m_strBackPicture = "bmp\\back.bmp";
  ASSERT_EQ(map.SaveFile("WorldMap.dat"), 1);
  cWorldMapData back;
  ASSERT_EQ(back.LoadFile("WorldMap.dat"), 1);
  EXPECT_EQ(back.m_Tiles[2].m_strExtra, "kept");
  EXPECT_EQ(back.m_Points[1].m_Links[1].m_nVariantB, 3);
  ASSERT_EQ(back.SaveFile("WorldMap2.dat"), 1);
  EXPECT_EQ(ReadBytes("WorldMap.dat"), ReadBytes("WorldMap2.dat"));
}

TEST_F(WorldMapTest, OlderFilesAreUpgraded) {
  const struct {
    int version;
    std::size_t tiles;
    int needTotal;  // link fields hold 5
    int variant;
    int variantA;
  } cases[] = {{208, 10, 0, 0, 1},
               {757, 10, 5, 0, 1},
               {811, 10, 5, 5, 5},
               {812, 3, 5, 5, 5},
               {821, 3, 5, 5, 5}};
  for (const auto& c : cases) {
    WriteBytes("WorldMap.dat", MapFile(c.version, 3));
    cWorldMapData map;
    ASSERT_EQ(map.LoadFile("WorldMap.dat"), 1) << c.version;
    ASSERT_EQ(map.m_Tiles.size(), c.tiles) << c.version;
    if (c.version < 812) {
      for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(map.m_Tiles[i].m_nChip, i);
        EXPECT_EQ(map.m_Tiles[i].m_bBlocked, i < 5 ? 1 : 0);
        EXPECT_EQ(map.m_Tiles[i].m_strName, i < 5 ? "移動不可" : "移動可");
        EXPECT_EQ(map.m_Tiles[i].m_strExtra, "");
      }
      EXPECT_EQ(map.m_Tiles[0].m_nExtra, 9);  // as read
    } else {
      EXPECT_EQ(map.m_Tiles[2].m_nChip, 42);
      EXPECT_EQ(map.m_Tiles[2].m_strExtra, "extra");
    }
    const cWorldMapLink& link = map.m_Points[0].m_Links[0];
    EXPECT_EQ(link.m_nNeedTotal, c.needTotal) << c.version;
    EXPECT_EQ(link.m_bVariant, c.variant) << c.version;
    EXPECT_EQ(link.m_nVariantA, c.variantA) << c.version;
    EXPECT_EQ(link.m_strStage, "data\\stg4\\s-1.stg4");
    // The start position (25, -1) is brought onto the map on the right, not below 0.
    EXPECT_EQ(map.m_nStartX, 19);
    EXPECT_EQ(map.m_nStartY, -1);
  }
}

TEST_F(WorldMapTest, ValidationRepairsCellsAndPoints) {
  cWorldMapData map;
  map.m_Tiles.resize(5);
  map.m_Cells[1] = 7;
  map.m_Cells[2] = -1;
  map.m_Cells[3] = 4;
  const int points[][2] = {{1, 1}, {20, 0}, {0, 15}, {-1, 0}, {19, 14}};
  for (const auto& p : points) {
    cWorldMapPoint point;
    point.m_nX = p[0];
    point.m_nY = p[1];
    map.m_Points.push_back(point);
  }
  map.m_nStartX = 3;
  map.m_nStartY = 30;
  map.Validate();
  EXPECT_EQ(map.m_Cells[1], 0);
  EXPECT_EQ(map.m_Cells[2], 0);
  EXPECT_EQ(map.m_Cells[3], 4);
  ASSERT_EQ(map.m_Points.size(), 3u);
  EXPECT_EQ(map.m_Points[1].m_nX, -1);
  EXPECT_EQ(map.m_Points[2].m_nX, 19);
  EXPECT_EQ(map.m_nStartX, 3);
  EXPECT_EQ(map.m_nStartY, 14);
}

TEST_F(WorldMapTest, DamagedGridsAreRepairedOrRefused) {
  // A wrong pitch and too few cells: the pitch follows the width and the grid is filled.
  cBytes f;
  f.I32(821);
  MapRecord(f, 20, 15, 8, 40).I32(1);
  Tile(f, 0, 0);
  Cells(f, 10, 0).I32(0).I32(0);
  WriteBytes("WorldMap.dat", f.data);
  cWorldMapData map;
  ASSERT_EQ(map.LoadFile("WorldMap.dat"), 1);
  EXPECT_EQ(map.m_nPitch, 32);
  EXPECT_EQ(map.m_nPitch_Shift, 5);
  EXPECT_EQ(map.m_Cells.size(), 480u);
  EXPECT_EQ(map.GetCell(19, 14), 0);

  // A stored pitch wider than the width needs but consistent addresses the cells as stored;
  // a pitch that is not a power of two of its shift, below the width, or with too few cells
  // for it is recomputed from the width.
  const struct {
    int pitch, shift, cells;
    int expectPitch;
  } grids[] = {{64, 6, 15 * 64, 64}, {48, 6, 15 * 64, 32}, {16, 4, 15 * 16, 32},
               {64, 6, 15 * 64 - 1, 32}};
  for (const auto& g : grids) {
    cBytes stored;
    stored.I32(821);
    MapRecord(stored, 20, 15, g.pitch, g.shift).I32(1);
    Tile(stored, 0, 0);
    stored.I32(g.cells);
    for (int i = 0; i < g.cells; ++i) stored.I32(0);
    stored.I32(0).I32(0);
    WriteBytes("WorldMap.dat", stored.data);
    cWorldMapData grid;
    ASSERT_EQ(grid.LoadFile("WorldMap.dat"), 1) << g.pitch;
    EXPECT_EQ(grid.m_nPitch, g.expectPitch) << g.pitch;
    EXPECT_EQ(grid.m_nPitch, 1 << grid.m_nPitch_Shift) << g.pitch;
    EXPECT_TRUE(grid.GridIsConsistent()) << g.pitch;
  }

  // Sizes no map has, and a truncated file, are refused and change nothing.
  map.m_strName = "loaded";
  for (const auto& size : {std::pair{0, 15}, {20, -3}, {100000, 15}, {20, 1 << 30}}) {
    cBytes bad;
    bad.I32(821);
    MapRecord(bad, size.first, size.second, 32, 5).I32(0).I32(0).I32(0).I32(0);
    WriteBytes("WorldMap.dat", bad.data);
    EXPECT_EQ(map.LoadFile("WorldMap.dat"), 0) << size.first << "x" << size.second;
  }
  Bytes good = MapFile(821, 2);
  WriteBytes("WorldMap.dat", Bytes(good.begin(), good.end() - 20));
  EXPECT_EQ(map.LoadFile("WorldMap.dat"), 0);
  EXPECT_EQ(map.m_strName, "loaded");
  EXPECT_EQ(map.m_nWidth, 20);
}

TEST_F(WorldMapTest, SetSizeKeepsTheSharedCells) {
  cWorldMapData map;
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x) map.m_Cells[x + (y << 5)] = x * 100 + y;
  EXPECT_EQ(map.SetSize(0, 10), 0);
  EXPECT_EQ(map.m_nWidth, 20);
  ASSERT_EQ(map.SetSize(40, 15), 1);
  EXPECT_EQ(map.m_nPitch, 64);
  EXPECT_EQ(map.m_nPitch_Shift, 6);
  EXPECT_EQ(map.m_Cells.size(), 960u);
  EXPECT_EQ(map.GetCell(19, 14), 1914);
  EXPECT_EQ(map.GetCell(20, 0), 0);
  ASSERT_EQ(map.SetSize(10, 10), 1);
  EXPECT_EQ(map.m_Cells.size(), 160u);
  EXPECT_EQ(map.GetCell(9, 9), 909);
  EXPECT_EQ(map.GetCell(10, 0), -1);
}

TEST(WorldMapPitch, CalcPitch) {
  const int cases[][3] = {{1, 1, 0}, {2, 2, 1}, {20, 32, 5}, {32, 32, 5}, {33, 64, 6}};
  for (const auto& c : cases) {
    std::int32_t pitch = 0, shift = 0;
    CalcPitch(pitch, shift, c[0]);
    EXPECT_EQ(pitch, c[1]) << c[0];
    EXPECT_EQ(shift, c[2]) << c[0];
  }
}

TEST(WorldMapLookUp, StageKeysAndStagesOnTheMap) {
  const std::pair<const char*, const char*> keys[] = {
      {"data\\stg4\\stage05-1.stg4", "data\\stg4\\stage05."},
      {"data\\stg4\\stage05.stg4", "data\\stg4\\stage05."},
      {"a-12.stg4", "a."},
      {"dir.x\\b", "dir.x\\b."},
  };
  for (const auto& [file, key] : keys) EXPECT_EQ(WorldStageKey(file), key) << file;

  cWorldMapData map;
  map.m_Points.resize(3);
  map.m_Points[0].m_Links[0].m_strStage = "a-1.stg4";
  map.m_Points[0].m_Links[0].m_nKind = WORLD_LINK_ROAD;
  map.m_Points[1].m_Links[0].m_strStage = "a-1.stg4";
  map.m_Points[2].m_Links[0].m_strStage = "b.stg4";
  map.m_Points[2].m_Links[0].m_bVariant = 1;
  map.m_Points[2].m_Links[0].m_nVariantA = 2;
  map.m_Points[2].m_Links[0].m_nVariantB = 3;
  const struct {
    const char* name;
    int variant, a, b, found;
  } cases[] = {{"a.", 0, 0, 0, 1}, {"a.", 1, 1, 0, 0}, {"A.", 0, 0, 0, 0}, {"b.", 0, 0, 0, 0},
               {"b.", 1, 2, 3, 1}, {"b.", 1, 2, 4, 0}, {"a", 0, 0, 0, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(map.FindStageOnMap(c.name, c.variant, c.a, c.b), c.found)
        << c.name << " " << c.variant << " " << c.a << " " << c.b;
  map.m_Points[1].m_Links[0].m_nKind = WORLD_LINK_ROAD;
  EXPECT_EQ(map.FindStageOnMap("a.", 0, 0, 0), 0);
}

TEST(WorldMapLookUp, PointsAndActiveLinks) {
  cWorldMapData map;
  map.m_Tiles.resize(2);
  map.m_Tiles[1].m_bBlocked = 1;
  map.m_Points.resize(3);
  map.m_Points[0].m_nX = 3;
  map.m_Points[0].m_strName = "first";
  map.m_Points[1].m_nX = 3;
  map.m_Points[1].m_strName = "second";
  map.m_Points[2].m_nX = 4;
  EXPECT_EQ(map.FindPointAt(3, 0)->m_strName, "first");
  EXPECT_EQ(map.FindPointAt(5, 0), nullptr);

  // Point 0: a wall while flag 7 is set, then an entrance while #C2 is divisible by 3 and
  // the result total reaches 100.
  cWorldMapLink wall, entrance;
  wall.m_nKind = WORLD_LINK_WALL;
  wall.m_nNeedFlag = 7;
  entrance.m_nVarNo = 2;
  entrance.m_nVarCompare = 6;
  entrance.m_nVarValue = 3;
  entrance.m_nNeedTotal = 100;
  map.m_Points[0].m_Links = {wall, entrance};
  for (int x = 3; x <= 5; ++x) map.m_Cells[x] = 1;  // blocked tiles

  cFakeProgress progress;
  progress.vars[2] = -9;
  progress.total = 100;
  EXPECT_EQ(map.m_Points[0].FindActiveLink(progress), &map.m_Points[0].m_Links[1]);
  EXPECT_TRUE(map.CanStandAt(3, 0, progress));
  progress.flags[7] = true;
  EXPECT_EQ(map.m_Points[0].FindActiveLink(progress), &map.m_Points[0].m_Links[0]);
  EXPECT_FALSE(map.CanStandAt(3, 0, progress));
  progress.flags[7] = false;
  progress.total = 99;
  EXPECT_EQ(map.m_Points[0].FindActiveLink(progress), nullptr);
  EXPECT_FALSE(map.CanStandAt(3, 0, progress));  // as if no point: the tile blocks
  EXPECT_TRUE(map.CanStandAt(4, 0, progress));   // a default link is always active
  EXPECT_FALSE(map.CanStandAt(5, 0, progress));
  EXPECT_TRUE(map.CanStandAt(6, 0, progress));
  EXPECT_FALSE(map.CanStandAt(-1, 0, progress));
  EXPECT_FALSE(map.CanStandAt(0, 15, progress));
}

}  // namespace
