// The sample's data files, written by the project's own records: the system record, the ten
// database tables, the world map, the common palette, the stages and System.ini.
#include <string>
#include <vector>

#include "content/command_tables.h"
#include "content/palette.h"
#include "foundation/file_data.h"
#include "project/database.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/project_refs.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "project/world_map.h"
#include "tools/sample_parts.h"

namespace sample {
namespace {

constexpr int kBgmTitle = 1;
constexpr int kBgmStage = 2;
constexpr int kDefeatEffect = 1;
// Coins that the stage's hidden block waits for.
constexpr int kCoinsForBlock = 3;

template <class T>
void SaveRecord(T& record, const char* path) {
  if (!record.SaveFile(path)) FailToWrite(path);
}

template <class T>
void SaveTable(cVector<T>& table, int pathIndex) {
  const char* path = g_PathTable[pathIndex];
  DataFilePtr file = DataFileOpenWrite(path);
  if (!file) return FailToWrite(path);
  WriteRecordList(*file, table);
  if (!DataFileClose(file)) FailToWrite(path);
}

template <class T>
void AddMedia(cVector<T>& table, const char* name, const char* file) {
  table.emplace_back();
  table.back().m_strName = name;
  table.back().m_strFile = file;
}

// The database holds only entries with real files behind them, besides the "none" entries,
// so that nothing is looked for in vain.
void WriteDataBase() {
  g_DataBase.SetDefault();
  g_DataBase.m_BmpCharaExc.resize(1);
  g_DataBase.m_Effect.resize(1);
  g_DataBase.m_CharaEffect.resize(1);
  // A defeated enemy bursts apart in half a second.
  g_DataBase.m_CharaEffect.emplace_back();
  g_DataBase.m_CharaEffect.back().m_strName = "Burst";
  g_DataBase.m_CharaEffect.back().m_nKind = 1;
  g_DataBase.m_CharaEffect.back().m_nParam[0] = 5;
  g_DataBase.m_CharaEffect.back().m_nParam[2] = 32;
  g_DataBase.m_ScrEffect.resize(1);
  g_DataBase.m_Picture.resize(1);
  g_DataBase.m_Sound.resize(1);
  const char* const soundNames[kDatabaseSoundCount] = {"Coin", "Stomp", "Goal", "Jump", "Shot"};
  for (int i = 0; i < kDatabaseSoundCount; ++i)
    AddMedia(g_DataBase.m_Sound, soundNames[i], kDatabaseSoundFiles[i]);
  g_DataBase.m_Bgm.resize(1);
  AddMedia(g_DataBase.m_Bgm, "Title", kMidiFile);
  AddMedia(g_DataBase.m_Bgm, "Stage", kOggFile);
  g_DataBase.FixFirstEntries();
  // The definitions check their references against these tables when they are written.
  InstallProjectRefs();
  SaveTable(g_DataBase.m_AnimeSet, PATH_DEFAULT_DB_ANIME_SET);
  SaveTable(g_DataBase.m_Anime, PATH_DEFAULT_DB_ANIME);
  SaveTable(g_DataBase.m_BmpCharaExc, PATH_DEFAULT_DB_CHARA_BMP);
  SaveTable(g_DataBase.m_SwordType, PATH_DEFAULT_DB_SWORD_TYPE);
  SaveTable(g_DataBase.m_Effect, PATH_DEFAULT_DB_EFFECT);
  SaveTable(g_DataBase.m_CharaEffect, PATH_DEFAULT_DB_CHARA_EFFECT);
  SaveTable(g_DataBase.m_ScrEffect, PATH_DEFAULT_DB_SCR_EFFECT);
  SaveTable(g_DataBase.m_Picture, PATH_DEFAULT_DB_PICTURE);
  SaveTable(g_DataBase.m_Sound, PATH_DEFAULT_DB_SOUND);
  SaveTable(g_DataBase.m_Bgm, PATH_DEFAULT_DB_BGM);
}

// The options menu by its items' places: palette, music, sound volume, ranking entry,
// ranking name, back. The sample has no palette variants, so that item is hidden.
constexpr struct {
  bool shown;
  const char* caption;
} kOptionMenu[kOptionMenuCount] = {{false, "Palette"}, {true, "Music"}, {true, "Sound"},
                                   {true, "Ranking"},  {true, "Name"},  {true, "Back"}};

void WriteSystemRecord() {
  cSystemData system;
  system.m_strTitle = "Tarnwick sample game";
  system.m_nChallengeCount = 3;
  system.m_SystemSounds.assign(std::begin(kSystemSoundFiles), std::end(kSystemSoundFiles));
  system.m_nSceneBgm.assign(kSceneBgmCount, kBgmTitle);
  // The story and the challenge start with five lives and end when they are lost.
  system.m_bUnlimitedLives[PLAY_MODE_STORY] = 0;
  system.m_bUnlimitedLives[PLAY_MODE_CHALLENGE] = 0;
  // The pause and its menus are drawn over the frozen stage.
  system.m_bPauseHidesStage = 0;

  // The game's own words, in English. The challenge list draws texts 0 and 3 in the large
  // font, which has capitals only; the spaces put the best scores under their heading.
  system.m_Texts = {"STAGE ",
                    "Stage",
                    "Score ",
                    "  BEST",
                    "Total score ",
                    "Score",
                    "Time left",
                    "Clear time",
                    "HP left",
                    "SP left",
                    "Enter the stage",
                    "Not now",
                    "Save",
                    "Cancel",
                    "Autosave ON",
                    "Autosave OFF",
                    "No save slot yet: choose Save once first!",
                    "Back to the title",
                    "Cancel",
                    "Quit",
                    "Continue",
                    "Retry",
                    "Back to the map",
                    "Retry",
                    "Back to the map",
                    "V: next ranking",
                    "Space: back to the title",
                    "Space: quit",
                    "F3: enter the ranking"};
  const char* const displayCaptions[kDisplayItemCount] = {"Total", "Score", "HP", "SP", "Lives"};
  for (int i = 0; i < kDisplayItemCount; ++i)
    system.m_DisplayItems[i].m_strCaption = displayCaptions[i];
  const char* const titleMenu[kTitleMenuCount] = {"NEW GAME", "CONTINUE", "CHALLENGE", "FREE PLAY",
                                                  "REPLAY",   "OPTIONS",  "QUIT"};
  for (int i = 0; i < kTitleMenuCount; ++i) system.m_TitleMenu[i].m_strCaption = titleMenu[i];
  const char* const mapMenu[kMapMenuCount] = {"Save", "Autosave", "Back", "Title"};
  for (int i = 0; i < kMapMenuCount; ++i) system.m_MapMenu[i].m_strCaption = mapMenu[i];
  system.m_OptionMenu.clear();
  for (const auto& entry : kOptionMenu) system.m_OptionMenu.emplace_back(entry.shown ? 1 : 0, entry.caption);
  system.m_RankingModeNames = {"Manual, name asked", "Manual, fixed name", "Auto, name asked",
                               "Auto, fixed name"};
  SaveRecord(system, g_PathTable[PATH_DEFAULT_SYSTEM]);
}

// ---- the definitions ------------------------------------------------------------------

// A definition of any kind with its name and the picture of that index on its sheet.
template <class Def>
Def MakeDef(const char* name, int graphic) {
  Def def;
  def.m_strName = name;
  def.m_sGraphic = static_cast<std::int16_t>(graphic);
  return def;
}

cEdBlock MakeBlock(const char* name, int graphic, int hitMode) {
  cEdBlock block = MakeDef<cEdBlock>(name, graphic);
  block.m_nHitMode = static_cast<std::uint8_t>(hitMode);
  return block;
}

cEdItem MakeItem(const char* name, int graphic, int sound) {
  cEdItem item = MakeDef<cEdItem>(name, graphic);
  item.m_sSound = static_cast<std::int16_t>(sound);
  return item;
}

// The common palette: every block, character and item the stages place, at the index of its
// picture.
void BuildCommonPalette() {
  cPalette& p = g_CommonPalette;
  p.m_Blocks.assign(1, cEdBlock());
  p.m_Blocks.push_back(MakeBlock("Ground", BLOCK_GROUND, BLOCK_HIT_SOLID));
  p.m_Blocks.push_back(MakeBlock("Dirt", BLOCK_DIRT, BLOCK_HIT_SOLID));
  p.m_Blocks.push_back(MakeBlock("Brick", BLOCK_BRICK, BLOCK_HIT_SOLID));
  p.m_Blocks.push_back(MakeBlock("Stone", BLOCK_STONE, BLOCK_HIT_SOLID));
  p.m_Blocks.push_back(MakeBlock("Spikes", BLOCK_SPIKES, BLOCK_HIT_DEADLY));
  // A brick that is there only once enough coins were taken.
  cEdBlock coinBlock = MakeBlock("Coin brick", BLOCK_BRICK, BLOCK_HIT_SOLID);
  coinBlock.m_Conds.push_back(CoinsAtLeast(kCoinsForBlock));
  coinBlock.m_bCondOnce = 1;
  p.m_Blocks.push_back(coinBlock);

  p.m_Charas.assign(1, cEdChara());
  cEdChara hero = MakeDef<cEdChara>("Hero", CHARA_HERO);
  hero.m_nControl = 0;
  hero.m_nGroup = 0;
  hero.m_nFacing = 1;
  hero.m_nMaxHP = 3;
  hero.m_nPower = 1;
  hero.m_bFixedFacing = 0;  // walking turns the hero
  hero.m_Flows = HeroFlows();
  p.m_Charas.push_back(hero);
  cEdChara slime = MakeDef<cEdChara>("Slime", CHARA_SLIME);
  slime.m_nMaxHP = 1;
  slime.m_nPower = 1;
  slime.m_nScore = 100;
  slime.m_sDeathEffect = kDefeatEffect;
  slime.m_Flows = SlimeFlows();
  p.m_Charas.push_back(slime);
  cEdChara bird = MakeDef<cEdChara>("Bird", CHARA_BIRD);
  bird.m_nMaxHP = 1;
  bird.m_nPower = 1;
  bird.m_nScore = 200;
  bird.m_nFlyMode = 1;
  bird.m_bFixedFacing = 0;
  bird.m_sDeathEffect = kDefeatEffect;
  bird.m_Flows = BirdFlows();
  p.m_Charas.push_back(bird);

  p.m_Items.assign(1, cEdItem());
  cEdItem coin = MakeItem("Coin", ITEM_COIN, SOUND_COIN);
  coin.m_Cmds = CoinCmds();
  p.m_Items.push_back(coin);
  cEdItem goal = MakeItem("Goal", ITEM_GOAL, SOUND_GOAL);
  // Taking the goal clears the stage ("next stage": back to the map in the story).
  goal.m_Cmds.resize(1);
  goal.m_Cmds[0].m_nCmdSet = CMDSET_ITEM;
  goal.m_Cmds[0].m_nKind = static_cast<std::int8_t>(CMD_STAGE_CLEAR - kItemCmdKindOffset);
  goal.m_Cmds[0].m_Params.assign(
      static_cast<std::size_t>(CmdParamCount(CMDSET_ITEM, goal.m_Cmds[0].m_nKind)), 0);
  p.m_Items.push_back(goal);
  cEdItem heart = MakeItem("Heart", ITEM_HEART, SOUND_COIN);
  heart.m_Cmds = HeartCmds();
  p.m_Items.push_back(heart);
}

// ---- the stages -----------------------------------------------------------------------

// A stage drawn as text, top row first, one character per 32-pixel cell, in sections of
// 30 columns (a screen and a half) read from left to right:
//   # ground  = dirt  B brick  S stone  ^ spikes  K brick that waits for coins
//   H hero  s slime  d slime that drops a coin  b bird  c coin  G goal  h heart
struct sStageText {
  const char* file;
  const char* name;
  std::vector<std::vector<const char*>> sections;
};

constexpr int kStageRows = 15;
// The palette index of the brick that waits for coins.
constexpr int kCoinBlock = BLOCK_SPIKES + 1;

const sStageText kStages[] = {
    {"stage01",
     "First Meadow",
     {
         // the start: an arc of coins, a slime, a pit, a brick ledge with coins
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             ".......cc.....................",
             "......c..c...............ccc..",
             ".........................BBB..",
             "..H.............s.............",
             "####################..########",
             "====================..========",
             "====================^^========",
         },
         // the green hill with a slime that carries a coin, coins over a pit, a heart
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             ".....d...........cc...h.......",
             "....####..............BBB.....",
             "..##====##..ccc.............s.",
             "##========#######..###########",
             "=================..===========",
             "=================^^===========",
         },
         // the coin bricks up to the shelf of coins, a pit, a slime that carries a coin
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             ".............cccccc...........",
             ".............BBBBBB...........",
             "..............................",
             ".........KKK..................",
             "..............................",
             ".....BBB......................",
             ".............................d",
             "#########################..###",
             "=========================..===",
             "=========================^^===",
         },
         // the steps under the bird, the last pit, a slime and the goal
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "...........b..................",
             "..............................",
             "..............................",
             "........cc....................",
             "........BB......cc............",
             "...cc.BB......................",
             "......................s....G..",
             "################..############",
             "================..============",
             "================^^============",
         },
     }},
    {"stage02",
     "Brick Hill",
     {
         // up and over the first brick hill, a slime that carries a coin, a pit
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..........ccc.................",
             "..........BBB.................",
             ".........BBBBB................",
             "..H.....BBBBBBB.....d.........",
             "########################...###",
             "========================^^^===",
             "==============================",
         },
         // coins over a pit under a bird, the heart on a ledge, a slime
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "........b.....................",
             "...............cc....h........",
             "..............c..c..BBBB......",
             "..............................",
             "..........................s...",
             "##############...#############",
             "==============^^^=============",
             "==============================",
         },
         // the brick walkway with its slime and coins over a pit, a bird
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "........ccsccc................",
             "........BBBBBB........b.......",
             "..............................",
             ".....BB.......................",
             "..............................",
             "..BB..........................",
             "................ccc...........",
             "##########...#################",
             "==========^^^=================",
             "==============================",
         },
         // the stone steps and the pit behind them, a slime that carries a coin
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "...........cc.................",
             "........cc....................",
             "........SS....................",
             "......SSSS............ccc.....",
             "....SSSSSS............BBB.....",
             "..SSSSSSSS........d...........",
             "##########...#################",
             "==========^^^=================",
             "==============================",
         },
         // the last pit, a bird, a slime, a ledge of coins and the goal
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "........b.....................",
             ".cc................ccc........",
             "c..c...............BBB........",
             "..............................",
             "..............s............G..",
             "...###########################",
             "^^^===========================",
             "==============================",
         },
     }},
    {"stage03",
     "Stone Towers",
     {
         // two slimes at the start, spikes round a pillar, the first steps
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..................c.c.........",
             "...................c........cc",
             "..........................ccSS",
             "...................S......SSSS",
             "..H.......s...s....S....SSSSSS",
             "#################^^#^^########",
             "==============================",
             "==============================",
         },
         // the ledge with the heart, a drop, coins under a bird, a pit
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "...............b..............",
             "..............................",
             ".h.....................cc.....",
             "SSSSSSSS..............c..c....",
             "SSSSSSSS....ccc...............",
             "SSSSSSSS..........d...........",
             "########^^^###########...#####",
             "======================^^^=====",
             "==============================",
         },
         // the spike floor and the stones over it, a bird above, a slime
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..........b...................",
             "..............................",
             "........cc....................",
             "....cc........................",
             "........SS....................",
             "....SS................ccc.....",
             "................s.............",
             "##^^^^^^^^^^^#################",
             "==============================",
             "==============================",
         },
         // the first tower: steps up to its ledge with a slime, down over spikes
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "...........ccc.s..............",
             "........SSSSSSSSSS............",
             "......SSSSSSSSSSSS............",
             "....SSSSSSSSSSSSSS............",
             "..SSSSSSSSSSSSSSSS............",
             "SSSSSSSSSSSSSSSSSS.....d......",
             "##################^^^#########",
             "==============================",
             "==============================",
         },
         // a pit, two slimes, a bird, and the steps of the last tower
         {
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..............................",
             "..................b...........",
             "..............................",
             ".cc.........................SS",
             "c..c......................SSSS",
             "........................SSSSSS",
             ".........s....s.......SSSSSSSS",
             "...###########################",
             "^^^===========================",
             "==============================",
         },
         // up the last tower, along its top past a gap and a bird, to the goal
         {
             "..............................",
             "................b.............",
             "..............................",
             ".........ccc.s.......ccc...G..",
             "......SSSSSSSSSS...SSSSSSSSSSS",
             "....SSSSSSSSSSSS...SSSSSSSSSSS",
             "..SSSSSSSSSSSSSS...SSSSSSSSSSS",
             "SSSSSSSSSSSSSSSS...SSSSSSSSSSS",
             "SSSSSSSSSSSSSSSS...SSSSSSSSSSS",
             "SSSSSSSSSSSSSSSS...SSSSSSSSSSS",
             "SSSSSSSSSSSSSSSS...SSSSSSSSSSS",
             "SSSSSSSSSSSSSSSS...SSSSSSSSSSS",
             "################^^^###########",
             "==============================",
             "==============================",
         },
     }},
};

// The rows of a stage, its sections put side by side.
std::vector<std::string> StageRows(const sStageText& text) {
  std::vector<std::string> rows(kStageRows);
  for (const std::vector<const char*>& section : text.sections) {
    if (static_cast<int>(section.size()) != kStageRows)
      Fail(std::string(text.file) + ": a section is not " + std::to_string(kStageRows) +
           " rows high");
    for (std::size_t y = 0; y < rows.size() && y < section.size(); ++y) rows[y] += section[y];
  }
  return rows;
}

void PlaceStage(const sStageText& text) {
  cStage& stage = g_Stage;
  stage.SetDefault();
  stage.m_strName = text.name;
  const std::vector<std::string> rows = StageRows(text);
  stage.m_nWidth = static_cast<std::int32_t>(rows[0].size());
  stage.m_nHeight = kStageRows;
  stage.m_nScrollExtraX = stage.m_nWidth * 32;
  stage.m_nScrollExtraY = stage.m_nHeight * 32;
  stage.m_nBgm = kBgmStage;
  // A sky behind the map: the one layer is filled with a light blue.
  stage.m_BackLayers[0].m_nFillColour = CubeColour(0, 4, 3);
  stage.m_bTimeLimit = 1;
  stage.m_nTimeLimit = 300;
  stage.m_PlacedBlocks.clear();
  stage.m_PlacedCharas.clear();
  stage.m_PlacedItems.clear();
  const cPalette& p = g_CommonPalette;
  for (int y = 0; y < kStageRows; ++y) {
    const std::string& row = rows[static_cast<std::size_t>(y)];
    if (static_cast<int>(row.size()) != stage.m_nWidth)
      Fail(std::string(text.file) + ": its rows differ in width");
    for (int x = 0; x < static_cast<int>(row.size()); ++x) {
      const auto sx = static_cast<std::int16_t>(x), sy = static_cast<std::int16_t>(y);
      auto place = [&](auto& list, const auto& def) {
        list.push_back(def);
        list.back().m_sPosX = sx;
        list.back().m_sPosY = sy;
      };
      switch (row[static_cast<std::size_t>(x)]) {
        case '#':
          place(stage.m_PlacedBlocks, p.m_Blocks[BLOCK_GROUND]);
          break;
        case '=':
          place(stage.m_PlacedBlocks, p.m_Blocks[BLOCK_DIRT]);
          break;
        case 'B':
          place(stage.m_PlacedBlocks, p.m_Blocks[BLOCK_BRICK]);
          break;
        case 'S':
          place(stage.m_PlacedBlocks, p.m_Blocks[BLOCK_STONE]);
          break;
        case '^':
          place(stage.m_PlacedBlocks, p.m_Blocks[BLOCK_SPIKES]);
          break;
        case 'H':
          place(stage.m_PlacedCharas, p.m_Charas[CHARA_HERO]);
          stage.m_PlacedCharas.back().m_nDropItem = -1;
          break;
        case 's':
          place(stage.m_PlacedCharas, p.m_Charas[CHARA_SLIME]);
          stage.m_PlacedCharas.back().m_nDropItem = -1;
          break;
        case 'd':
          // The coin it carries lies at its place until the slime is defeated.
          place(stage.m_PlacedCharas, p.m_Charas[CHARA_SLIME]);
          stage.m_PlacedCharas.back().m_nDropItem =
              static_cast<std::int32_t>(stage.m_PlacedItems.size());
          place(stage.m_PlacedItems, p.m_Items[ITEM_COIN]);
          break;
        case 'K':
          place(stage.m_PlacedBlocks, p.m_Blocks[kCoinBlock]);
          break;
        case 'b':
          place(stage.m_PlacedCharas, p.m_Charas[CHARA_BIRD]);
          stage.m_PlacedCharas.back().m_nDropItem = -1;
          break;
        case 'c':
          place(stage.m_PlacedItems, p.m_Items[ITEM_COIN]);
          break;
        case 'G':
          place(stage.m_PlacedItems, p.m_Items[ITEM_GOAL]);
          break;
        case 'h':
          place(stage.m_PlacedItems, p.m_Items[ITEM_HEART]);
          break;
        default:
          break;
      }
    }
  }
}

// Each stage is written once for the story and once as a challenge stage.
void WriteStages() {
  int number = 0;
  for (const sStageText& text : kStages) {
    PlaceStage(text);
    ++number;
    const std::string story = std::string("default\\stg4\\") + text.file + ".stg4_001";
    SaveRecord(g_Stage, story.c_str());
    char challenge[64];
    std::snprintf(challenge, sizeof(challenge), "default\\stg4\\c%02d-1.stg4_001", number);
    SaveRecord(g_Stage, challenge);
  }
  g_Stage.SetDefault();
}

// ---- the world map --------------------------------------------------------------------

enum eMapTile { TILE_GRASS, TILE_ROAD, TILE_WATER, TILE_MOUNTAIN, TILE_FOREST, TILE_COUNT };

void WriteWorldMap() {
  cWorldMapData map;
  map.m_strName = "Sample World";
  map.SetSize(20, 15);
  // The view keeps the hero in the middle: beyond the map's edge lies more sea.
  map.m_nBackColor = COL_BLUE;
  const char* const tileNames[TILE_COUNT] = {"Grass", "Road", "Water", "Mountain", "Forest"};
  map.m_Tiles.resize(TILE_COUNT);
  for (int i = 0; i < TILE_COUNT; ++i) {
    map.m_Tiles[i].m_nChip = i;
    map.m_Tiles[i].m_strName = tileNames[i];
    map.m_Tiles[i].m_bBlocked = i == TILE_WATER || i == TILE_MOUNTAIN;
  }
  // Water round the edge, a road from the start past the three stages, hills and woods.
  const char* const rows[15] = {
      "wwwwwwwwwwwwwwwwwwww", "wggggggggggmmmgggggw", "wggfffgggggmmggggggw",
      "wggfffggggggg3rrrggw", "wgggggggggggrggggggw", "wggggggggggrrggffggw",
      "wgggggggggrrgggffggw", "wgrr1rrrr2ggggggmggw", "wgggggggggggggggmggw",
      "wggggmmmgggggggggggw", "wgggmmmggggfffgggggw", "wgggggggggffffgggggw",
      "wggggggggggggggggggw", "wggggggggggggggggggw", "wwwwwwwwwwwwwwwwwwww",
  };
  struct sStop {
    int x, y;
  } stops[3] = {};
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 20; ++x) {
      const char c = rows[y][x];
      const int tile = c == 'w'   ? TILE_WATER
                       : c == 'm' ? TILE_MOUNTAIN
                       : c == 'f' ? TILE_FOREST
                       : c == 'g' ? TILE_GRASS
                                  : TILE_ROAD;
      map.m_Cells[static_cast<std::size_t>(x + (y << map.m_nPitch_Shift))] = tile;
      if (c >= '1' && c <= '3') stops[c - '1'] = {x, y};
    }
  map.m_nStartX = 2;
  map.m_nStartY = 7;
  map.m_Points.clear();
  for (int i = 0; i < 3; ++i) {
    cWorldMapPoint point;
    point.m_nX = stops[i].x;
    point.m_nY = stops[i].y;
    point.m_strName = kStages[i].name;
    cWorldMapLink& entrance = point.m_Links[0];
    entrance.m_nKind = WORLD_LINK_STAGE;
    entrance.m_nIcon = i;
    entrance.m_nClearFlag = i + 1;
    entrance.m_nNeedFlag = i;  // the stage before it must be cleared (0: open from the start)
    entrance.m_strCaption = "Stage " + std::to_string(i + 1) + "  " + kStages[i].name;
    entrance.m_strStage = std::string("data\\stg4\\") + kStages[i].file + ".stg4";
    if (i == 2) entrance.m_nAfterClear = AFTER_CLEAR_TO_TITLE;
    if (i > 0) {
      // Until then the way is shut.
      cWorldMapLink wall;
      wall.m_nKind = WORLD_LINK_WALL;
      wall.m_nIcon = 3;  // the closed gate
      point.m_Links.push_back(wall);
    }
    map.m_Points.push_back(point);
  }
  SaveRecord(map, g_PathTable[PATH_DEFAULT_WORLD_MAP]);
}

void WriteSystemIni() {
  // Direct3D chosen, so that no start dialog asks; a window, the desktop's depth; the dialogs
  // and the ranking's title in English.
  const std::string text =
      "Direct3D=1\nWindowMode=1\nBpp=0\nVSync=1\nD3D_FontCache=0\nDD_FontCache=1\n"
      "DD_VideoStretch=0\nShowFps=0\nEnglish=1\nExit\n";
  WriteFileBytes("System.ini", std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace

void WriteDataFiles() {
  WriteDataBase();
  WriteSystemRecord();
  BuildCommonPalette();
  SaveRecord(g_CommonPalette, g_PathTable[PATH_DEFAULT_COMMON_PALETTE]);
  WriteStages();
  WriteWorldMap();
  WriteSystemIni();
}

}  // namespace sample
