// What static initialisation leaves, before any start-up step has run. Each test checks it in a
// copy of this program started for that test alone, so the tests that ran before it in this
// process (start-ups, played stages) cannot show.
#include <gtest/gtest.h>

#include <cstring>

#include "flows/cmd_dispatch.h"
#include "foundation/file_data.h"
#include "foundation/shell_services.h"
#include "objects/chara_flows.h"
#include "play/input.h"
#include "play/map_cells.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/requests.h"
#include "play/scene_manager.h"
#include "project/global_objects.h"
#include "shell/boot_data.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "shell/wnd.h"
#include "tests/support/fresh_process.h"

namespace {

// The bytes a record writes: two records hold the same persistent state when these match.
template <class T>
std::vector<std::uint8_t> Image(T& record) {
  cDataFile file("image");
  record.Write(file);
  return file.Bytes();
}

#define TEST_IN_FRESH_PROCESS(suite, name) \
  void name##Checks();                      \
  TEST(suite, name) { InFreshProcess(&name##Checks); } \
  void name##Checks()

bool IsBlankSurface(const DDSURFACEDATA& s) {
  return !s.lpDT && !s.lpDDData && s.nWidth == 0 && s.nHeight == 0 && s.bLost == 0;
}

TEST_IN_FRESH_PROCESS(GlobalObjects, ThreadsCursorMediaAndTablesStartEmptyOrFilled) {
  for (cThread* thread : {&thGame, &thPause, &g_RankingThread, &g_StageLoadThread})
    EXPECT_FALSE(thread->HasThread());

  EXPECT_EQ(g_Cursor.Depth(), 1);
  ASSERT_NE(g_Cursor.m_pCur, nullptr);
  EXPECT_EQ(g_Cursor.m_pCur->column, 0);
  EXPECT_EQ(g_Cursor.m_pCur->row, 0);
  EXPECT_EQ(g_Cursor.m_pCur->x, 0);
  EXPECT_EQ(g_Cursor.m_pCur->y, 0);

  for (const DDSURFACEDATA& s : g_SystemSurface) EXPECT_TRUE(IsBlankSurface(s));
  for (const DDSURFACEDATA& s : g_FontDigits) EXPECT_TRUE(IsBlankSurface(s));
  for (const cFont& font : g_Font) EXPECT_FALSE(font.HasFace());
  EXPECT_TRUE(g_SoundList.empty());
  EXPECT_TRUE(g_SoundFiles.empty());
  EXPECT_FALSE(g_Bgm.IsInit());
  EXPECT_TRUE(g_AnimeSequences.empty());

  for (const char* name : g_FontNames) EXPECT_NE(name, nullptr);
  for (const char* path : g_PathTable) EXPECT_NE(path, nullptr);
  EXPECT_STREQ(g_ExtTable[0], "cplt4");
  EXPECT_STREQ(g_ExtTable[3], "rkg");
  int named = 0;
  for (const cBmpInfo& info : g_SystemBmpInfo) named += info.szFile.empty() ? 0 : 1;
  EXPECT_EQ(named, kSystemSurfaceCount);
  for (const sFontDesc& desc : g_FontDesc) EXPECT_GT(desc.nHeight, 0);
}

TEST_IN_FRESH_PROCESS(GlobalObjects, RecordsStartAsTheirConstructorsBuildThem) {
  EXPECT_EQ(g_nDataVersion, kDataVersion);

  ASSERT_EQ(g_CommonPalette.m_Blocks.size(), 1u);
  ASSERT_EQ(g_CommonPalette.m_Charas.size(), 1u);
  ASSERT_EQ(g_CommonPalette.m_Items.size(), 1u);

  cSystemData system;
  EXPECT_EQ(Image(g_SystemData), Image(system));
  cStage stage;
  EXPECT_EQ(Image(g_Stage), Image(stage));
  EXPECT_EQ(Image(g_StageCopy), Image(stage));
  cWorldMapData map;
  EXPECT_EQ(Image(g_WorldMap), Image(map));
  cPlayData play;
  for (cPlayData* record : {&g_PlayData, &g_PlayDataAtStart, &g_PrevPlayDataAtStart})
    EXPECT_EQ(Image(*record), Image(play));
  cOptionData options;
  EXPECT_EQ(Image(g_OptionData), Image(options));

  cRanking ranking;
  EXPECT_EQ(Image(g_Ranking), Image(ranking));
  ASSERT_EQ(g_Ranking.m_Tables.size(), 5u);
  for (int genre = 0; genre < 5; ++genre) {
    EXPECT_EQ(g_Ranking.m_Tables[genre].m_bHighFirst, genre == 2 ? 0 : 1);
    EXPECT_EQ(g_Ranking.m_Tables[genre].m_Entries.size(), 20u);
  }

  ASSERT_EQ(g_SlotInfo.size(), static_cast<size_t>(kStorySlotCount));
  for (const cSlotInfo& slot : g_SlotInfo) {
    EXPECT_EQ(slot.m_bValid, 0);
    EXPECT_EQ(slot.m_nState, SLOT_EMPTY);
  }
}

TEST_IN_FRESH_PROCESS(GlobalObjects, TheDatabaseStartsAsItsConstructorBuildsIt) {
  cDataBase fresh;
  for (int table = 0; table < DB_TABLE_COUNT; ++table)
    EXPECT_EQ(g_DataBase.TableSize(table),
              fresh.TableSize(table))
        << table;
}

TEST_IN_FRESH_PROCESS(GlobalObjects, InputsStartAsOneFreshRecordAndAZeroKeyConfiguration) {
  ASSERT_EQ(g_Inputs.size(), 1u);
  const cInputState& r = g_Inputs[0];
  EXPECT_EQ(r.m_wDirection, 0);
  EXPECT_EQ(r.m_wButton, 0);
  EXPECT_EQ(r.m_nRepeatDelay, 0);
  EXPECT_EQ(r.m_JoyButtonMask[0], 0);
  EXPECT_EQ(r.m_DirHistories.size(), 10u);
  EXPECT_EQ(r.m_ButtonHistories.size(), 9u);
  const cKeyConfig zero{};
  EXPECT_EQ(std::memcmp(&g_KeyConfig, &zero, sizeof zero), 0);
}

TEST_IN_FRESH_PROCESS(GlobalObjects, ReplayLogsStartEmptyWithoutSeedOrCursors) {
  cReplayKeyLog fresh;
  for (cReplayKeyLog* log : {&g_ReplayLog, &g_PrevReplayLog}) {
    EXPECT_EQ(Image(*log), Image(fresh));
    EXPECT_TRUE(log->IsEmpty());
    EXPECT_EQ(log->m_nSeed, 0);
    EXPECT_EQ(log->m_nDirIndex + log->m_nButtonIndex + log->m_nDirCount + log->m_nButtonCount, 0);
  }
  EXPECT_EQ(g_nReplayNoticeWait, 0);
}

TEST_IN_FRESH_PROCESS(GlobalObjects, StartUpResultsStartUnset) {
  EXPECT_EQ(g_BootData.m_nDrawMode, 1);
  EXPECT_EQ(g_BootData.m_bNoAsk, 0);
  EXPECT_EQ(g_bWindowMode, 0);
  EXPECT_EQ(g_bCopyPresent, 0);
  EXPECT_EQ(g_bTestPlay, 0);
}

}  // namespace

namespace {

TEST_IN_FRESH_PROCESS(GlobalObjects, TheSceneManagerAndTheMainWindowStartWithoutScenesOrWindow) {
  for (eSceneId id : {SCENE_TITLE, SCENE_WORLDMAP, SCENE_MAPMENU, SCENE_CHALLENGE, SCENE_PLAY,
                      SCENE_OPTION})
    EXPECT_EQ(g_SceneManager.Scene(id), nullptr);
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_TITLE);
  EXPECT_EQ(g_SceneManager.m_nFps, 0);
  EXPECT_EQ(g_SceneManager.m_nBgm, 0);
  EXPECT_EQ(g_pPlayScene, nullptr);
  EXPECT_EQ(g_nFrameCount, 0);
  EXPECT_TRUE(g_MenuSurfaces.empty());
  for (const sFlashColour& f : g_FlashColours) EXPECT_EQ(f.dwColour, 0u);
  EXPECT_EQ(g_FpsRing.nAverage, 0);
  for (const std::atomic<int>* flag :
       {&g_bActive, &g_bRequestDone, &g_bRequestResult, &g_bNameEntryDone})
    EXPECT_EQ(flag->load(), 0);
  EXPECT_TRUE(g_WndList.empty());
  EXPECT_EQ(g_MainWnd.m_hWnd, nullptr);
  EXPECT_EQ(g_hWnd.load(), nullptr);
  EXPECT_EQ(g_bStarted.load(), 0);
  EXPECT_EQ(g_rcClientScreen.Width(), 0);
  EXPECT_EQ(g_WindowPos.m_nX, 0);
  EXPECT_EQ(g_WindowPos.m_bMaximized, 0);
}

}  // namespace

namespace {

TEST_IN_FRESH_PROCESS(GlobalObjects, ThePlayCollectionsStartEmptyAndTheDispatchTablesFilled) {
  EXPECT_TRUE(g_Heroes.empty());
  EXPECT_TRUE(g_CharaList.empty());
  EXPECT_TRUE(g_ItemList.empty());
  EXPECT_TRUE(g_MapCells.empty());
  EXPECT_EQ(g_bInStageSetup, 0);
  EXPECT_EQ(g_nMeasuredFps, 0);
  EXPECT_EQ(g_MenuPos[0].x, 320);
  EXPECT_EQ(g_MenuPos[1].y, 272);
  EXPECT_EQ(g_MenuPos[2].x, 184);
  EXPECT_EQ(g_MenuPos[2].y, 64);
  for (const auto* surfaces : {&g_CharaExcSurfaces, &g_SwordSurfaces, &g_EffectSurfaces})
    EXPECT_TRUE(surfaces->empty());
  for (const auto* infos : {&g_CharaExcBmpInfo, &g_SwordBmpInfo, &g_EffectBmpInfo})
    EXPECT_TRUE(infos->empty());
  EXPECT_TRUE(g_PictureSurfaces.empty());
  EXPECT_TRUE(g_MessageSurfaces.empty());
  EXPECT_TRUE(g_PictureBmpInfo.empty());
  EXPECT_TRUE(g_MessageBmpInfo.empty());
  // Every command kind has an executor and every item kind a handler from the start.
  for (CmdExecutor exec : CmdExecFunc) EXPECT_NE(exec, nullptr);
  for (ItemCmdHandler handler : ItemCmdFunc) EXPECT_NE(handler, nullptr);
}

}  // namespace
