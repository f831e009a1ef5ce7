#include "shell/world_map_scene.h"

#include <filesystem>

#include "menu_scene_fixture.h"

namespace {

// An 8x6 map of open tiles; (3, 2) is blocked, a wall point stands on (5, 2), a point whose
// only link needs flag 7 on (1, 4), and a stage point on (6, 4).
class WorldMapScene : public cMenuSceneTest {
 protected:
  void SetUp() override {
    cMenuSceneTest::SetUp();
    cWorldMapData& map = g_WorldMap;
    map.SetSize(8, 6);
    map.m_Tiles.assign(2, cWorldMapTile());
    map.m_Tiles[1].m_bBlocked = 1;
    for (auto& cell : map.m_Cells) cell = 0;
    map.m_Cells[3 + (2 << map.m_nPitch_Shift)] = 1;
    map.m_Points.clear();
    AddPoint(5, 2).m_nKind = WORLD_LINK_WALL;
    AddPoint(1, 4).m_nNeedFlag = 7;
    cWorldMapLink& stage = AddPoint(6, 4);
    stage.m_nClearFlag = 12;
    stage.m_strStage = "data\\stg4\\nothing.stg4";
    stage.m_strCaption = "はじまり";
  }
  cWorldMapLink& AddPoint(int x, int y) {
    cWorldMapPoint point;
    point.m_nX = x;
    point.m_nY = y;
    g_WorldMap.m_Points.push_back(point);
    return g_WorldMap.m_Points.back().m_Links[0];
  }
  cWorldMapLink& StageLink() { return g_WorldMap.m_Points[2].m_Links[0]; }
  void PutHero(cWorldMapScene& scene, int x, int y) {
    scene.PlaceHero(x, y);
    scene.LookUp();
  }
  // The scene opened from the title with the hero on (0, 0).
  void OpenFromTheTitleAtTheCorner(cWorldMapScene& scene) {
    g_SceneManager.m_nPrevScene = SCENE_TITLE;
    g_PlayData.m_nMapX = 0;
    g_PlayData.m_nMapY = 0;
    scene.Init();
  }
  cRestore<sWorldMapDrawState> drawGuard{g_WorldMapDraw};
};

TEST_F(WorldMapScene, MoveCursorTakesOneDirectionAndRefusesBlockedCells) {
  struct sCase {
    int x, y, keys;
    int toX, toY, facing;
  } cases[] = {
      {2, 2, KEY_LEFT | KEY_RIGHT, 1, 2, 2},         // left before right
      {2, 1, KEY_RIGHT | KEY_UP, 3, 1, 3},           // right before up
      {2, 2, KEY_UP | KEY_DOWN, 2, 1, 1},            // up before down
      {2, 2, KEY_DOWN, 2, 3, 0},
      {2, 2, KEY_RIGHT, 2, 2, 3},                    // blocked tile: refused, turned
      {4, 2, KEY_RIGHT, 4, 2, 3},                    // wall link: refused, turned
      {1, 3, KEY_DOWN, 1, 4, 0},                     // an inactive link does not stop him
      {0, 0, KEY_LEFT, 0, 0, 2},                     // edges
      {0, 0, KEY_UP, 0, 0, 1},
      {7, 5, KEY_RIGHT, 7, 5, 3},
      {7, 5, KEY_DOWN, 7, 5, 0},
  };
  for (const sCase& c : cases) {
    cWorldMapScene scene;
    g_Cursor.Reset();
    PutHero(scene, c.x, c.y);
    scene.m_nFacing = 9;
    g_PlayData.m_nMapDir = 9;
    Press(0, c.keys);
    scene.MoveCursor(g_Cursor, GetInput(0));
    const bool moved = c.toX != c.x || c.toY != c.y;
    EXPECT_EQ(g_Cursor.m_pCur->column, c.toX) << c.x << "," << c.y << " keys " << c.keys;
    EXPECT_EQ(g_Cursor.m_pCur->row, c.toY) << c.x << "," << c.y << " keys " << c.keys;
    EXPECT_EQ(scene.m_nFacing, c.facing);
    EXPECT_EQ(g_PlayData.m_nMapDir, moved ? c.facing : 9);
    EXPECT_EQ(g_PlayData.m_nMapReturnX, c.x);
    EXPECT_EQ(g_PlayData.m_nMapReturnY, c.y);
    EXPECT_EQ(g_Cursor.m_pCur->x, kHeroX);
    EXPECT_EQ(g_Cursor.m_pCur->y, kHeroY);
    if (moved) {
      EXPECT_EQ(scene.m_nViewX, c.toX - 9);
    }
  }
}

TEST_F(WorldMapScene, EntryAutomaticOrOnButton) {
  struct sCase {
    int noAuto, cleared, reenter, button;
    bool enters;
  } cases[] = {
      {0, 0, 0, 0, true},   // an uncleared stage that does not wait: at once
      {1, 0, 0, 0, false},  // waits for the button
      {1, 0, 0, 1, true},
      {0, 1, 0, 1, false},  // cleared, not re-enterable
      {0, 1, 1, 1, true},   // cleared and re-enterable
  };
  for (const sCase& c : cases) {
    StageLink().m_bPassable = c.noAuto;
    StageLink().m_bReplay = c.reenter;
    g_PlayData.m_StageClear[12] = c.cleared;
    cWorldMapScene scene;
    g_Cursor.Reset();
    PutHero(scene, 6, 4);
    scene.m_nPhase = WORLDMAP_MAP;
    Press(c.button ? KEY_BUTTON1 : 0);
    scene.Map();
    EXPECT_EQ(scene.m_nPhase, c.enters ? WORLDMAP_ENTER : WORLDMAP_MAP)
        << c.noAuto << c.cleared << c.reenter << c.button;
    if (c.enters) {
      EXPECT_EQ(g_PlayData.m_nMapX, 6);
    }
  }
}

TEST_F(WorldMapScene, DecliningTheQuestionStepsTheHeroBack) {
  cWorldMapScene scene;
  PutHero(scene, 5, 4);
  scene.m_nPhase = WORLDMAP_MAP;
  Press(0, KEY_RIGHT);
  scene.Map();  // onto the stage, which pulls him in
  ASSERT_EQ(scene.m_nPhase, WORLDMAP_ENTER);
  Press(0);
  scene.EnterStage();  // no such stage file: the question still opens, on "no"
  EXPECT_EQ(g_Cursor.m_pCur->row, 1);
  Press(KEY_BUTTON1);
  scene.EnterStage();
  EXPECT_EQ(scene.m_nPhase, WORLDMAP_MAP);
  EXPECT_EQ(g_Cursor.Depth(), 1);
  EXPECT_EQ(g_Cursor.m_pCur->column, 5);
  EXPECT_EQ(scene.m_nViewX, 5 - 9);
  EXPECT_FALSE(platform::IsCloseRequested());
}

TEST_F(WorldMapScene, AutomaticEntryOnReturnOnlyNotFromTheMenu) {
  for (eSceneId previous : {SCENE_MAPMENU, SCENE_TITLE}) {
    platform::ResetCloseRequest();
    g_SceneManager.m_nPrevScene = previous;
    cWorldMapScene scene;
    PutHero(scene, 6, 4);
    scene.FadeIn();
    // The stage file is missing: an attempt to enter shows the box and closes the program.
    EXPECT_EQ(platform::IsCloseRequested(), previous == SCENE_TITLE);
  }
}

TEST_F(WorldMapScene, LeftStageUnclearedStepsBack) {
  g_PlayData.m_bFromStage = 1;
  g_PlayData.m_nMapReturnX = 5;
  g_PlayData.m_nMapReturnY = 4;
  g_SceneManager.m_nPrevScene = SCENE_PLAY;
  cWorldMapScene scene;
  PutHero(scene, 6, 4);
  scene.FadeIn();
  EXPECT_EQ(scene.m_nPhase, WORLDMAP_MAP);
  EXPECT_EQ(g_PlayData.m_bFromStage, 0);
  EXPECT_EQ(g_Cursor.m_pCur->column, 5);
  EXPECT_FALSE(platform::IsCloseRequested());
}

TEST_F(WorldMapScene, StageStartLives) {
  struct sCase {
    int carry, unlimited, lives, expected;
  } cases[] = {{1, 1, 3, 999999}, {1, 0, 3, 4}, {0, 0, 7, 5}, {0, 1, 7, 5}};
  for (const sCase& c : cases) {
    g_SystemData.m_bStoryLivesCarry = c.carry;
    g_SystemData.m_bUnlimitedLives[PLAY_MODE_STORY] = c.unlimited;
    g_SystemData.m_nStartLives[PLAY_MODE_STORY] = 5;
    g_PlayData.m_nLives = c.lives;
    cWorldMapScene scene;
    PutHero(scene, 6, 4);
    scene.StartMapStage();
    EXPECT_EQ(g_PlayData.m_nEntryLives, c.expected);
    EXPECT_EQ(g_PlayData.m_nStageNo, 12);
    EXPECT_EQ(g_PlayData.m_nPartNo, 1);
    EXPECT_EQ(g_PlayData.m_nMapPoint, 2);
  }
}

TEST_F(WorldMapScene, LivesBoxAndHeroFrames) {
  EXPECT_EQ(MapLivesBoxWidth(999999), 32);
  EXPECT_EQ(MapLivesBoxX(999999), 589);
  EXPECT_EQ(MapLivesBoxWidth(123), 64);
  EXPECT_EQ(MapLivesBoxX(123), 557);
  EXPECT_EQ(MapLivesBoxWidth(0), 32);

  g_WorldMapDraw.nHeroCount = 0;
  std::vector<int> frames;
  for (int i = 0; i < 160; ++i) frames.push_back(NextHeroFrame());
  for (int i = 0; i < 160; ++i) EXPECT_EQ(frames[i], (i / 40) % 2 ? 32 : 0) << i;
}

// The background picture is drawn only where it exists; the rest keeps the background colour.
TEST_F(WorldMapScene, BackgroundPictureOnlyWhereItExists) {
  WriteBytes("bmp/Back.bmp", MakeBmp(400, 200, 24, std::vector<std::uint32_t>(400 * 200, 0x00FF00)));
  g_WorldMap.m_bBackPicture = 1;
  g_WorldMap.m_strBackPicture = "bmp\\Back.bmp";
  g_WorldMap.m_nBackColor = 16;
  cWorldMapScene scene;
  OpenFromTheTitleAtTheCorner(scene);
  ASSERT_FALSE(platform::IsCloseRequested());
  DDSURFACEDATA& map = g_SystemSurface[kSurfMapWork];
  ASSERT_NE(map.Pixels(), nullptr);
  // View (-9, -7): the picture starts at (288, 224); the 8x6 cells of the map cover its
  // first 256x192 pixels.
  const std::uint32_t green = map.Pixels()->Get(288 + 300, 224 + 40);
  const std::uint32_t outside = map.Pixels()->Get(288 + 300, 224 + 220);
  const std::uint32_t before = map.Pixels()->Get(100, 100);
  EXPECT_NE(green, outside);
  EXPECT_EQ(outside, before);
}

// A point's place and icon and a tile's chip from the file are multiplied into pixels in
// 32 bits, wrapping; the extremes draw without fault.
TEST_F(WorldMapScene, PlacesIconsAndChipsFromTheFileWrapAt32Bits) {
  g_WorldMap.m_Tiles[0].m_nChip = INT32_MAX;
  AddPoint(INT32_MIN, INT32_MAX).m_nIcon = INT32_MAX;
  AddPoint(INT32_MAX, INT32_MIN).m_nIcon = INT32_MIN;
  cWorldMapScene scene;
  OpenFromTheTitleAtTheCorner(scene);
  EXPECT_FALSE(platform::IsCloseRequested());
}

}  // namespace

namespace {

TEST_F(WorldMapScene, AutosaveOnlyAfterAStage) {
  g_PlayData.m_bAutoSave = 1;
  g_PlayData.m_nSaveSlot = 3;
  for (eSceneId previous : {SCENE_MAPMENU, SCENE_PLAY}) {
    g_SceneManager.m_nPrevScene = previous;
    cWorldMapScene scene;
    scene.Init();
    EXPECT_EQ(std::filesystem::exists("user_data/story/Story04.dat"), previous == SCENE_PLAY);
  }
}

}  // namespace
