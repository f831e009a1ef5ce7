#include "tools/sample_game.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "content/palette.h"
#include "foundation/report.h"
#include "foundation/strings.h"
#include "media/device.h"
#include "media/midi_file.h"
#include "media/palette.h"
#include "media/sound.h"
#include "media/surface_list.h"
#include "platform/audio_mixer.h"
#include "platform/close_request.h"
#include "platform/message_box.h"
#include "platform/ogg_stream.h"
#include "platform/vorbis_trial.h"
#include "project/database.h"
#include "project/paths.h"
#include "project/project_refs.h"
#include "project/stage_loader.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/system_ini.h"
#include "project/world_map.h"
#include "tests/support/scoped_value.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Every file below a folder, by its path relative to it.
std::map<std::string, std::vector<std::uint8_t>> Tree(const fs::path& root) {
  std::map<std::string, std::vector<std::uint8_t>> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), root).string()] = ReadBytes(entry.path().string());
  return files;
}

TEST(SampleGame, EveryRunWritesTheSameBytes) {
  cTempFolder folder;
  ASSERT_TRUE(MakeSampleGame("first"));
  ASSERT_TRUE(MakeSampleGame("second"));
  const auto first = Tree("first");
  EXPECT_GT(first.size(), 60u);
  EXPECT_TRUE(first == Tree("second"));
  // Writing over an existing sample gives it again.
  ASSERT_TRUE(MakeSampleGame("first"));
  EXPECT_TRUE(first == Tree("first"));
}

TEST(SampleGame, UnwritableFolderFails) {
  cTempFolder folder;
  WriteBytes("taken", {1});
  EXPECT_FALSE(MakeSampleGame("taken"));
  ASSERT_TRUE(fs::create_directories("game/bmp/plt"));
  WriteBytes("game/wave", {1});  // a file where a folder must go
  testing::internal::CaptureStderr();
  EXPECT_FALSE(MakeSampleGame("game"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("wave"), std::string::npos);
}

int AnswerYes(const std::string&, const std::string&, int) { return platform::kAnswerYes; }

// The sample is loaded as start-up loads a game: the data folder made from default\, then
// the database, the system record and System.ini, the device with every system bitmap, the
// sounds and music, the world map, the common palette, and every stage the map and the
// challenge list name. Not one line may reach the error log.
class SampleGameLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetMessageBoxHandler(&AnswerYes);
    ASSERT_TRUE(MakeSampleGame("."));
    ErrLogSetup(1, "EC_Game.txt");
  }
  void TearDown() override {
    ErrLogSetup(0, "EC_Game.txt");
    platform::SetMessageBoxHandler(nullptr);
    platform::ResetCloseRequest();
    SetContentRefs(nullptr);
  }
  static std::vector<std::string> ErrorLog() {
    return fs::exists("EC_Game.txt") ? ReadLines("EC_Game.txt") : std::vector<std::string>{};
  }
  cTempFolder m_Folder;
  // What start-up loads, put back as it was afterwards.
  cScopedGlobal<int> m_KeepStripCR{g_bStripCR, 1};
  cScopedGlobal<cDataBase> m_KeepDataBase{g_DataBase};
  cScopedGlobal<cSystemData> m_KeepSystem{g_SystemData};
  cScopedGlobal<sSystemIni> m_KeepSystemIni{g_SystemIni};
  cScopedGlobal<cWorldMapData> m_KeepMap{g_WorldMap};
  cScopedGlobal<cPalette> m_KeepCommonPalette{g_CommonPalette};
  cScopedGlobal<cStage> m_KeepStage{g_Stage};
  cScopedGlobal<cStage> m_KeepStageCopy{g_StageCopy};
};

TEST_F(SampleGameLoadTest, LoadsAsStartUpDoesWithoutAnError) {
  ASSERT_EQ(CreateDefaultData(), 1);
  CreateWorkFolders();
  ASSERT_EQ(g_DataBase.Load(), 1);
  InstallProjectRefs();
  ASSERT_EQ(g_SystemData.LoadFile(g_PathTable[PATH_SYSTEM]), 1);
  SetSystemIniDefaults(g_SystemIni, g_SystemData.m_IniKeys);
  ASSERT_EQ(ReadSystemIni("System.ini", g_SystemIni, g_SystemData.m_IniKeys), 1);
  EXPECT_LT(g_SystemIni.Direct3D, 2);  // no start dialog
  EXPECT_EQ(g_SystemIni.WindowMode, 1);
  EXPECT_EQ(g_SystemIni.English, 1);
  // The pause menus are drawn over the frozen stage.
  EXPECT_EQ(g_SystemData.m_bPauseHidesStage, 0);

  // Every sound: the system sounds, then database sound n at 16 + n.
  g_SoundFiles.assign(kSystemSoundCount + g_DataBase.m_Sound.size() - 1, DSSOUNDINFO());
  for (int i = 0; i < kSystemSoundCount; ++i)
    std::strncpy(g_SoundFiles[i].szFile, g_SystemData.m_SystemSounds[i].c_str(), 259);
  for (int n = 1; n < static_cast<int>(g_DataBase.m_Sound.size()); ++n)
    std::strncpy(g_SoundFiles[16 + n].szFile, g_DataBase.m_Sound[n].m_strFile.c_str(), 259);
  g_SoundList.assign(g_SoundFiles.size(), DSSOUNDDATA());
  platform::AudioOpenOffline();
  ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
  EXPECT_EQ(DS_LoadSounds(g_SoundList, g_SoundFiles, g_nSoundVolumeTable[10]), 1);
  for (int i = 0; i < static_cast<int>(g_SoundList.size()); ++i)
    EXPECT_FALSE(g_SoundList[i].lpBuffers.empty()) << g_SoundFiles[i].szFile;
  DS_Release();
  platform::AudioClose();

  // The music: one MIDI and one Ogg piece.
  const platform::cTrialOutcomeScope trialOutcome;
  int midi = 0, ogg = 0;
  for (int n = 1; n < static_cast<int>(g_DataBase.m_Bgm.size()); ++n) {
    const std::string& file = g_DataBase.m_Bgm[n].m_strFile;
    if (file.ends_with(".mid")) {
      ++midi;
      EXPECT_FALSE(cSmf(file.c_str()).Image().empty()) << file;
    } else {
      ++ogg;
      platform::cOggVoice voice;
      EXPECT_TRUE(voice.Load(file)) << file;
    }
  }
  EXPECT_EQ(midi, 1);
  EXPECT_EQ(ogg, 1);

  ASSERT_EQ(g_WorldMap.LoadFile(g_PathTable[PATH_WORLD_MAP]), 1);
  ASSERT_EQ(g_CommonPalette.LoadFile(g_PathTable[PATH_COMMON_PALETTE]), 1);

  // The stages of the map's entrances and of the challenge list, each with a hero and a goal.
  std::vector<std::string> stages;
  for (const cWorldMapPoint& point : g_WorldMap.m_Points)
    for (const cWorldMapLink& link : point.m_Links)
      if (link.m_nKind == WORLD_LINK_STAGE) stages.push_back(link.m_strStage);
  EXPECT_EQ(stages.size(), 3u);
  for (int n = 1; n <= g_SystemData.m_nChallengeCount; ++n)
    stages.push_back(FormatText("%s%02d-1.%s", g_PathTable[PATH_CHALLENGE_STAGE_PREFIX], n,
                                g_ExtTable[EXT_STAGE]));
  EXPECT_EQ(stages.size(), 6u);
  for (const std::string& stage : stages) {
    ASSERT_EQ(LoadStageFile(stage, 1, &g_StageCopy), 1) << stage;
    bool goal = false;
    for (const cEdItem& item : g_Stage.m_PlacedItems)
      for (const cEdCmd& cmd : item.m_Cmds) goal = goal || cmd.CharaKind() == CMD_STAGE_CLEAR;
    EXPECT_TRUE(goal) << stage;
    EXPECT_GT(g_Stage.m_PlacedBlocks.size(), 30u) << stage;
    EXPECT_GT(g_Stage.m_PlacedCharas.size(), 2u) << stage;
    // The flows, key conditions, item commands and appearance conditions came through.
    const int hero = g_Stage.FindHeroDef();
    ASSERT_GE(hero, 0) << stage;
    int keyFlows = 0;
    for (const cEdFlow& flow : g_Stage.m_PlacedCharas[static_cast<std::size_t>(hero)].m_Flows)
      keyFlows += flow.m_KeyConds.empty() ? 0 : 1;
    EXPECT_GE(keyFlows, 4) << stage;
    for (const cEdChara& chara : g_Stage.m_PlacedCharas)
      EXPECT_TRUE(chara.m_sGraphic == 0 || !chara.m_Flows.empty())
          << stage << " " << chara.m_strName;
    for (const cEdItem& item : g_Stage.m_PlacedItems)
      EXPECT_TRUE(item.m_sGraphic == 0 || !item.m_Cmds.empty()) << stage << " " << item.m_strName;
  }
  bool waitingBlock = false;
  for (const cEdBlock& block : g_CommonPalette.m_Blocks) waitingBlock |= !block.m_Conds.empty();
  EXPECT_TRUE(waitingBlock);
  EXPECT_TRUE(ErrorLog().empty()) << ErrorLog().front();
}

// Every system bitmap, in each drawing mode and depth the player offers.
TEST_F(SampleGameLoadTest, EverySystemBitmapLoadsInEveryMode) {
  struct sMode {
    int d3d, bpp;
  };
  for (const sMode mode : {sMode{1, 32}, sMode{1, 16}, sMode{0, 32}, sMode{0, 16}, sMode{0, 8}}) {
    SCOPED_TRACE(testing::Message() << "Direct3D " << mode.d3d << ", " << mode.bpp << " bits");
    ASSERT_TRUE(DDInit(mode.d3d, nullptr, 640, 480, mode.bpp, 0, 1, 1, 60, 0, g_SystemSurface,
                       g_SystemBmpInfo, kSystemSurfaceCount));
    LinkMirrorSurfaces();
    const char* palette = g_SystemBmpInfo[0].szFile.c_str();
    EXPECT_TRUE(DDLoadPaletteFromFile(g_Palette, palette));
    EXPECT_TRUE(DDSetTransmitFromFile(palette));
    // Setting the transparent colour notes the colour chosen in the error log by design.
    fs::remove("EC_Game.txt");
    EXPECT_TRUE(DDLoadSurfaces(g_SystemSurface, nullptr, kSystemSurfaceCount));
    for (int i = 0; i < kSystemSurfaceCount; ++i)
      EXPECT_GT(g_SystemSurface[i].nWidth, 0) << g_SystemBmpInfo[i].szFile;
    EXPECT_TRUE(ErrorLog().empty()) << ErrorLog().front();
    DDRelease();
    for (DDSURFACEDATA& surface : g_SystemSurface) surface.lpMirror = nullptr;
  }
}

}  // namespace
