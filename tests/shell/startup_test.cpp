#include "shell/startup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "content/palette.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "media/bgm.h"
#include "media/device.h"
#include "media/font.h"
#include "media/palette.h"
#include "media/sound.h"
#include "media/surface.h"
#include "platform/audio_mixer.h"
#include "platform/close_request.h"
#include "platform/host_file.h"
#include "platform/instance_lock.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "platform/thread_messages.h"
#include "platform/video.h"
#include "play/input.h"
#include "play/scene_manager.h"
#include "project/database.h"
#include "project/option_data.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/system_ini.h"
#include "project/world_map.h"
#include "shell/boot_data.h"
#include "shell/entry.h"
#include "shell/main_window.h"
#include "tests/support/empty_queue.h"
#include "tests/support/env_guard.h"
#include "tests/support/fresh_process.h"
#include "tests/support/scoped_value.h"
#include "tests/support/temp_folder.h"
#include "tools/sample_game.h"

namespace {

std::vector<std::string> g_Boxes;

int RecordBox(const std::string& text, const std::string&, int) {
  g_Boxes.push_back(platform::Utf8ToCp932(text));
  return platform::kAnswerOk;
}

// The sample game in a fresh folder with its data folder made, a window as the entry opens
// it, and afterwards everything start-up loaded put back as static initialisation left it.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeSampleGame(std::filesystem::current_path().string()));
    if (!platform::HostFolderExists("data")) {
      ASSERT_TRUE(platform::CopyHostFolder("default", "data"));
    }
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    g_Boxes.clear();
    platform::SetMessageBoxHandler(&RecordBox);
    platform::ResetCloseRequest();
  }
  void TearDown() override {
    ExitGame();
    platform::CloseVideo();
    g_hWnd.store(nullptr);
    ResetMainWindowState();
    ErrLogSetup(0, "EC_Game.txt");
    platform::SetMessageBoxHandler(nullptr);
    platform::ResetCloseRequest();
    platform::ResetShutdown();  // a start that closed refuses requests until then
    g_DataBase = cDataBase();
    g_AnimeSequences.clear();
    g_SystemData.SetDefault();
    g_SystemIni = sSystemIni();
    g_WorldMap = cWorldMapData();
    g_CommonPalette = cPalette();
    g_OptionData = cOptionData();
    g_PlayData.Reset();
    g_Stage.SetDefault();
    g_StageCopy.SetDefault();
    g_KeyConfig = cKeyConfig();
    InitInputs(1);
    g_SceneManager = cSceneManager();
    g_bTestPlay = 0;
    g_SoundList.clear();
    g_SoundFiles.clear();
  }

  // Opens the window as the entry does, then starts the game.
  bool Start(const std::string& commandLine = "") {
    g_MainWnd.Setup(640, 480, 100, 100, 640, 480, WS_MAIN_WINDOW);
    platform::sVideoMode mode;
    if (!platform::OpenVideo(mode)) return false;
    g_hWnd.store(&g_MainWnd);
    return InitGame(commandLine, SW_SHOWNORMAL);
  }

  static void WriteIni(const std::string& lines) {
    WriteBytes("System.ini", std::vector<std::uint8_t>(lines.begin(), lines.end()));
  }

  cTempFolder m_folder;
  cEmptyQueue m_Queue;  // a close another test left must not end this start-up
  // What start-up reads from Boot.dat and System.ini; a later start-up that finds no Boot.dat
  // must not see the one before.
  cScopedGlobal<cBootData> m_Boot{g_BootData};
  cScopedGlobal<int> m_WindowMode{g_bWindowMode};
  cScopedGlobal<int> m_CopyPresent{g_bCopyPresent};
};

TEST_F(StartupTest, TheSampleGameStartsWithItsTitleMusicAndSounds) {
  ErrLogSetup(1, "EC_Game.txt");  // off again in TearDown
  ASSERT_TRUE(Start());
  // With the error log on, the music manager's diagnostic box says the external MIDI library
  // is missing (it always is here); nothing else may be shown.
  for (const std::string& box : g_Boxes)
    if (box != "dllがないテスト") ADD_FAILURE() << platform::Cp932ToUtf8(box);
  EXPECT_EQ(platform::VideoWindowTitle(), platform::Cp932ToUtf8(g_SystemData.m_strTitle));
  EXPECT_FALSE(g_SystemData.m_strTitle.empty());
  EXPECT_FALSE(platform::VideoFullScreen());
  EXPECT_TRUE(g_bDDInitDone);
  EXPECT_EQ(g_bWindowMode, 1);

  // The music manager holds the title music as entry 0.
  ASSERT_TRUE(g_Bgm.IsInit());
  EXPECT_STREQ(g_BgmOggTable[0].szFile, "bgm\\Title.ogg");
  EXPECT_STREQ(g_BgmMidTable[0].szFile, "bgm\\Title.mid");

  // Every sound named by the system record and the database is loaded.
  ASSERT_GE(g_SoundList.size(), 17u);
  ASSERT_EQ(g_SoundList.size(), g_DataBase.m_Sound.size() + 16);
  int named = 0;
  for (std::size_t i = 0; i < g_SoundList.size(); ++i) {
    if (!g_SoundFiles[i].szFile[0]) continue;
    ++named;
    EXPECT_FALSE(g_SoundList[i].lpBuffers.empty()) << g_SoundFiles[i].szFile;
  }
  EXPECT_GT(named, 17);

  // Input, scenes and fonts as the first frame needs them.
  EXPECT_EQ(g_Inputs[0].m_nRepeatDelay, 18);
  EXPECT_EQ(g_Inputs[0].m_nRepeatInterval, 6);
  EXPECT_EQ(g_Inputs[0].m_JoyButtonMask[7], 128);
  EXPECT_EQ(g_KeyConfig.m_nBindCount, 12);  // no KeyConfig.dat: the defaults
  EXPECT_EQ(g_SceneManager.m_nFps, 60);
  EXPECT_EQ(g_SceneManager.m_nFadeStep, 10);
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_TITLE);
  for (const cFont& font : g_Font) EXPECT_TRUE(font.HasFace());
  EXPECT_GT(g_WorldMap.m_nWidth, 0);
  EXPECT_GT(g_CommonPalette.m_Charas.size(), 1u);

  std::vector<std::string> log;
  for (const std::string& line : ReadLines("EC_Game.txt")) log.push_back(platform::Utf8ToCp932(line));
  for (const char* line : {"DDInit成功", "1", "3", "DSCreate", "4"})
    EXPECT_NE(std::find(log.begin(), log.end(), line), log.end()) << line;
  for (const std::string& line : log) EXPECT_EQ(line.find("失敗"), std::string::npos) << line;

  ExitGame();
  EXPECT_FALSE(DS_IsReady());
  EXPECT_FALSE(g_Bgm.IsInit());
  for (const cFont& font : g_Font) EXPECT_FALSE(font.HasFace());
  EXPECT_EQ(lpDTCon, nullptr);
  ExitGame();  // twice is harmless
}

// Each failing step reports itself and start-up stops; the shut-down releases what was made.
TEST_F(StartupTest, EachFailingStepGivesItsOwnMessage) {
  struct sCase {
    const char* what;
    void (*damage)();
    std::string box;  // empty: no box
  };
  const std::vector<sCase> cases = {
      {"database", [] { platform::RemoveHostFile("data\\database\\Sound.dat"); },
       "データベースの読み込みに失敗…"},
      {"system record", [] { platform::RemoveHostFile("data\\System.dat"); },
       "data\\System.dat の読み込みに失敗…"},
      {"screen mode",
       [] { WriteIni("Direct3D=1\nWindowMode=1\nBpp=16\nExit\n"); },
       "画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！"},
      {"8 bits in a window", [] { WriteIni("Direct3D=0\nWindowMode=1\nBpp=8\nExit\n"); },
       "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！"},
      {"palette", [] { platform::RemoveHostFile("bmp\\plt\\Palette.bmp"); },
       "bmp\\plt\\Palette.bmp の読み込みに失敗！"},
      {"world map", [] { platform::RemoveHostFile("data\\WorldMap.dat"); },
       "data\\WorldMap.dat のロードに失敗！"},
      {"common palette", [] { platform::RemoveHostFile("data\\CommonPalette.cplt4"); },
       "data\\CommonPalette.cplt4 のロードに失敗！"},
      {"direct-start stage without a hero",
       [] { WriteBytes("broken.stg4", {0x35, 0x03, 0, 0}); }, ""},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    cTempFolder folder;
    SetUp();
    c.damage();
    EXPECT_FALSE(Start(std::string(c.what).rfind("direct", 0) == 0 ? "broken.stg4" : ""));
    if (!c.box.empty()) {
      // The last box is start-up's (the database's own reader names the table first).
      ASSERT_FALSE(g_Boxes.empty());
      EXPECT_EQ(g_Boxes.back(), c.box);
    }
    ExitGame();
    EXPECT_FALSE(DS_IsReady());
    EXPECT_EQ(lpDTCon, nullptr);
    EXPECT_EQ(lpDDCon, nullptr);
  }
}

// A machine without any font: the fonts cannot be made and start-up stops there. The font
// library reads its configuration once in a process, so this start-up runs in a fresh one.
TEST_F(StartupTest, NoFontStopsTheStartUp) {
  InFreshProcess([this] {
    WriteBytes("fonts.conf", {'<', 'f', 'o', 'n', 't', 'c', 'o', 'n', 'f', 'i', 'g', '/', '>'});
    cEnvGuard fonts("FONTCONFIG_FILE", (std::filesystem::current_path() / "fonts.conf").string());
    EXPECT_FALSE(Start());
    ASSERT_EQ(g_Boxes.size(), 1u);
    EXPECT_EQ(g_Boxes[0].rfind("フォントが見つかりません！", 0), 0u);
    EXPECT_GT(g_SystemSurface[1].nWidth, 0);  // the step before the fonts was done
    EXPECT_FALSE(g_Font[0].HasFace());
    EXPECT_FALSE(g_Bgm.IsInit());
    ExitGame();
    EXPECT_EQ(lpDTCon, nullptr);
    for (const cFont& font : g_Font) EXPECT_FALSE(font.HasFace());
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(m_folder.HostPath());
  });
}

// A machine without a sound device: sounds and music run on the silent driver, the error log
// says so once, and nothing is shown.
TEST_F(StartupTest, WithoutASoundDeviceTheGameStartsSilent) {
  cEnvGuard driver("SDL_AUDIODRIVER", "no_such_driver");
  ErrLogSetup(1, "EC_Game.txt");  // off again in TearDown
  ASSERT_TRUE(Start());
  for (const std::string& box : g_Boxes)
    if (box != "dllがないテスト") ADD_FAILURE() << platform::Cp932ToUtf8(box);
  EXPECT_TRUE(DS_IsReady());
  EXPECT_TRUE(g_Bgm.IsInit());
  EXPECT_TRUE(platform::AudioRunsSilent());
  const auto lines = ReadLines("EC_Game.txt");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "DS_Init\xE5\xA4\xB1\xE6\x95\x97\xEF\xBC\x81"), 1);
}

TEST_F(StartupTest, AnUnfinishedSystemIniGivesTheDefaults) {
  WriteIni("Direct3D=0\nWindowMode=1\n");  // no "Exit"
  ASSERT_TRUE(Start());
  ASSERT_EQ(g_Boxes.size(), 1u);
  EXPECT_EQ(g_Boxes[0], "System.ini の読み込みに失敗しました！");
  // The project's defaults: Direct3D asked for, Boot.dat missing, so Direct3D.
  EXPECT_NE(lpDTCon, nullptr);
  EXPECT_EQ(g_bWindowMode, 0);
  EXPECT_TRUE(platform::VideoFullScreen());
}

TEST_F(StartupTest, DirectDrawAtThirtyTwoBitsKeysTheProjectsTransparentColour) {
  WriteIni("Direct3D=0\nWindowMode=1\nBpp=32\nExit\n");
  ASSERT_TRUE(Start());
  ASSERT_EQ(lpDTCon, nullptr);
  ASSERT_EQ(g_nBpp, 32);
  std::uint32_t red = g_Palette[0].peRed, green = g_Palette[0].peGreen, blue = g_Palette[0].peBlue;
  if (g_SystemData.m_nColourMode == 1) {
    red = g_SystemData.m_TransColour[0];
    green = g_SystemData.m_TransColour[1];
    blue = g_SystemData.m_TransColour[2];
  }
  EXPECT_EQ(g_dwTransmit, red << 16 | green << 8 | blue);
  EXPECT_NE(g_dwTransmit, 0u);  // the sample keys magenta, not black
}

TEST_F(StartupTest, BootDatChoosesTheDrawingModeWhenSystemIniAsks) {
  WriteIni("Direct3D=2\nWindowMode=1\nExit\n");
  ASSERT_TRUE(platform::MakeHostFolder("user_data"));
  // Boot.dat: DirectDraw, do not ask again.
  WriteBytes("user_data/Boot.dat", cBytes().I32(821).I32(2).I32(0).I32(1).I32(0).data);
  ASSERT_TRUE(Start());
  EXPECT_EQ(g_SystemIni.Direct3D, 0);
  EXPECT_EQ(lpDTCon, nullptr);
  EXPECT_NE(lpDDCon, nullptr);
}

TEST_F(StartupTest, ASavedWindowSizeIsHeldToTheDesktop) {
  WriteIni("Direct3D=1\nWindowMode=2\nExit\n");
  ASSERT_TRUE(platform::MakeHostFolder("user_data"));
  // Window.dat: x, y, width, height, maximised.
  WriteBytes("user_data/Window.dat",
             cBytes().I32(821).I32(5).I32(10).I32(20).I32(50000).I32(3).I32(0).I32(0).data);
  ASSERT_TRUE(Start());
  int deskW = 0, deskH = 0;
  ASSERT_TRUE(platform::DisplaySize(deskW, deskH));
  int x, y, w, h;
  ASSERT_TRUE(platform::WindowClientRect(x, y, w, h));
  EXPECT_EQ(w, deskW);
  EXPECT_EQ(h, 100);
  EXPECT_TRUE(g_MainWnd.m_dwStyle & WS_THICKFRAME);
}

TEST_F(StartupTest, DirectStartPlaysTheNewestVariant) {
  // data\stg4\stage01.stg4_001 exists; a newer variant next to it wins.
  std::vector<std::uint8_t> stage = ReadBytes("data/stg4/stage01.stg4_001");
  WriteBytes("data/stg4/stage01.stg4_010", stage);
  ASSERT_TRUE(Start("data\\stg4\\stage01.stg4"));
  EXPECT_EQ(g_bTestPlay, 1);
  EXPECT_STREQ(g_SystemIni.FreeStage, "data\\stg4\\stage01.stg4_010");
  EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\stage01.stg4_010");
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_PLAY);
  EXPECT_EQ(g_SceneManager.m_nPrevScene, SCENE_TITLE);
  EXPECT_EQ(g_SceneManager.m_nPlayMode, PLAYMODE_FREE);
  EXPECT_EQ(g_SceneManager.m_nGameKind, GAME_FREEPLAY);
  EXPECT_EQ(g_SceneManager.m_bRanking, 1);
  EXPECT_EQ(g_PlayData.m_bMultiPart, 0);
  EXPECT_EQ(g_PlayData.m_nLives, 999999);
}

TEST_F(StartupTest, DirectStartOfAPlainFileOrOfNothing) {
  WriteBytes("plain.stg4", ReadBytes("data/stg4/stage02.stg4_001"));
  ASSERT_TRUE(Start("plain.stg4"));
  EXPECT_EQ(g_SceneManager.m_nScene, SCENE_PLAY);
  EXPECT_EQ(g_Stage.m_strPath, "plain.stg4");
  TearDown();

  cTempFolder folder;
  SetUp();
  const std::string tooLong(300, 'a');
  for (const std::string& name : {std::string("missing.stg4"), tooLong}) {
    ASSERT_TRUE(Start(name)) << name;
    EXPECT_EQ(g_SceneManager.m_nScene, SCENE_TITLE);
    EXPECT_EQ(g_SystemIni.FreeStage[0], 0);
    EXPECT_EQ(g_bTestPlay, 0);
    const std::string report = platform::Utf8ToCp932(ReadText("Report_Game.txt"));
    EXPECT_NE(report.find("「" + name + "」の読み込みに失敗しました！"), std::string::npos);
    TearDown();
    SetUp();
  }
}

// The whole program: the window, start-up, the game thread, and a close request.
TEST_F(StartupTest, ACloseRequestEndsTheProgramWithExitCodeZero) {
  // The single-instance lock of this run lives in the test's folder.
  cEnvGuard runtime("XDG_RUNTIME_DIR", std::filesystem::current_path().string());
  cScopedGlobal started(g_bStarted, 0);  // an earlier start must not let the close go out early
  std::atomic<bool> stop{false};
  std::thread closer([&] {
    while (!stop && !g_bStarted.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (!stop) PostCloseToMainWindow();
  });
  char program[] = "tarnwick";
  char* argv[] = {program, nullptr};
  const int code = WinMain(1, argv);
  stop = true;
  closer.join();
  EXPECT_EQ(code, 0);
  for (const std::string& box : g_Boxes) ADD_FAILURE() << platform::Cp932ToUtf8(box);
}

// A second start refused at the single-instance question leaves the running game's report
// log as it was.
TEST_F(StartupTest, ARefusedSecondStartLeavesTheRunningGamesLogAlone) {
  cEnvGuard runtime("XDG_RUNTIME_DIR", std::filesystem::current_path().string());
  platform::cInstanceLock running;
  ASSERT_TRUE(running.TryAcquire(kInstanceLockName));
  const std::vector<std::uint8_t> log = {'r', 'u', 'n', 'n', 'i', 'n', 'g', '\n'};
  WriteBytes("Report_Game.txt", log);
  platform::SetMessageBoxHandler([](const std::string& text, const std::string&, int) {
    g_Boxes.push_back(platform::Utf8ToCp932(text));
    return platform::kAnswerNo;
  });
  char program[] = "tarnwick";
  char* argv[] = {program, nullptr};
  EXPECT_EQ(WinMain(1, argv), 0);
  ASSERT_EQ(g_Boxes.size(), 1u);
  EXPECT_EQ(g_Boxes[0].rfind("既に起動しています。", 0), 0u);
  EXPECT_EQ(ReadBytes("Report_Game.txt"), log);
}

// The whole program's exit code where start-up ends: 0 when the user chose to end (the
// default data declined, quietly), non-zero with a box when it failed, also when the game
// folder cannot be written and so not even the report log can be made.
TEST_F(StartupTest, AStartUpThatFailsEndsWithAnErrorCodeAndADeclinedOneQuietly) {
  cEnvGuard runtime("XDG_RUNTIME_DIR", std::filesystem::current_path().string());
  static int s_nAnswer = platform::kAnswerNo;
  platform::SetMessageBoxHandler([](const std::string& text, const std::string&, int) {
    g_Boxes.push_back(platform::Utf8ToCp932(text));
    return s_nAnswer;
  });
  struct sCase {
    const char* what;
    void (*damage)();
    int code;
    std::vector<std::string> boxes;
  };
  const std::string question = "データが存在しません！デフォルトデータを作成しますか？\n";
  const std::vector<sCase> cases = {
      {"data declined", [] { std::filesystem::remove_all("data"); }, 0, {question}},
      {"system record", [] { platform::RemoveHostFile("data\\System.dat"); }, 1,
       {"data\\System.dat の読み込みに失敗…"}},
      {"folder not writable", [] { std::filesystem::create_directory("Report_Game.txt"); }, 1,
       {"Report_Game.txt を作成できません！\nゲームのフォルダに書き込めるか確かめて下さい。"}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.what);
    cTempFolder folder;
    ASSERT_TRUE(MakeSampleGame(std::filesystem::current_path().string()));
    ASSERT_TRUE(platform::CopyHostFolder("default", "data"));
    c.damage();
    g_Boxes.clear();
    char program[] = "tarnwick";
    char* argv[] = {program, nullptr};
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(WinMain(1, argv), c.code);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(g_Boxes, c.boxes);
    // A failure's text also goes to standard error, once.
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), c.code ? 1 : 0) << err;
    ExitGame();
  }
}

}  // namespace
