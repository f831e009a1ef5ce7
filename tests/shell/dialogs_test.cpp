// The name entry, the file selection and the start dialog: their logic through a scripted
// chooser, and each dialog opened on the host toolkit and driven through its own events.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../support/scoped_value.h"
#include "../support/temp_folder.h"
#include "foundation/path_utils.h"
#include "foundation/report.h"
#include "platform/dialog_host.h"
#include "platform/text_codec.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"
#include "project/option_data.h"
#include "project/system_data.h"
#include "project/system_ini.h"
#include "shell/boot_data.h"
#include "shell/file_select_dlg.h"
#include "shell/name_entry_dlg.h"
#include "shell/start_dlg.h"

namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The chooser a test scripts: what it was opened with, and its answer.
struct sChooserScript {
  std::vector<sFileSelectSpec> seen;
  std::vector<std::string> buffersSeen;
  std::string answer;  // empty: cancelled
};
sChooserScript g_Script;

int ScriptedChooser(const sFileSelectSpec& spec, std::string& buffer) {
  g_Script.seen.push_back(spec);
  g_Script.buffersSeen.push_back(buffer);
  if (g_Script.answer.empty()) return 0;
  buffer = g_Script.answer;
  return 1;
}

class FileSelect : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Script = sChooserScript{};
    SetFileChooser(&ScriptedChooser);
  }
  void TearDown() override { SetFileChooser(nullptr); }
  cScopedGlobal<std::int32_t> english{g_SystemIni.English, 0};
};

TEST_F(FileSelect, ChoosersOfTheThreeModesAndWhatACancelLeaves) {
  using namespace std::string_literals;
  struct sCase {
    int mode;
    bool save;
    const char* folder;
    std::string title, filter, ext;
  };
  const sCase cases[] = {
      {0, false, "data\\stg4\\", Utf8(u8"ステージファイルの読み込み"),
       "StageFile ( *.stg4_*;*.rpl4_* )\0*.stg4_*;*.rpl4_*\0\0"s, "stg4_*;rpl4_*"},
      {1, false, "user_data\\rpl4", Utf8(u8"リプレイファイルの読み込み"),
       "ReplayFile ( *.rpl4_* )\0*.rpl4_*\0\0"s, "rpl4_*"},
      {2, true, "user_data\\rpl4\\", Utf8(u8"リプレイファイルの保存"),
       "ReplayFile ( *.rpl4_821 )\0*.rpl4_821\0\0"s, "rpl4_821"},
  };
  for (const sCase& c : cases) {
    g_Script = sChooserScript{};
    std::string path = c.save ? "proposed.rpl4_821" : "";
    EXPECT_EQ(SelectFile(c.mode, path), 0) << c.mode;
    // A cancelled open leaves the path empty, a cancelled save the proposal.
    EXPECT_EQ(path, c.save ? "proposed.rpl4_821" : "") << c.mode;
    ASSERT_EQ(g_Script.seen.size(), 1u);
    const sFileSelectSpec& spec = g_Script.seen[0];
    EXPECT_EQ(spec.save, c.save);
    EXPECT_EQ(spec.folder, c.folder);
    EXPECT_EQ(platform::Cp932ToUtf8(spec.title), c.title);
    EXPECT_EQ(spec.filter, c.filter);
    EXPECT_EQ(spec.defaultExt, c.ext);
    EXPECT_EQ(g_Script.buffersSeen[0], c.save ? "proposed.rpl4_821" : "");

    g_Script.answer = "chosen";
    path = c.save ? "proposed.rpl4_821" : "left over";
    EXPECT_EQ(SelectFile(c.mode, path), 1);
    EXPECT_EQ(path, "chosen");
  }

  // English titles; the filters are the same.
  g_SystemIni.English = 1;
  const char* english[] = {"load stage file", "load replay file", "save replay file"};
  for (int mode = 0; mode < 3; ++mode) {
    g_Script = sChooserScript{};
    std::string path;
    SelectFile(mode, path);
    ASSERT_EQ(g_Script.seen.size(), 1u);
    EXPECT_EQ(g_Script.seen[0].title, english[mode]);
    EXPECT_EQ(g_Script.seen[0].filter, cases[mode].filter);
  }

  // Any other mode runs no chooser.
  g_Script = sChooserScript{};
  std::string path = "x";
  EXPECT_EQ(SelectFile(3, path), 0);
  EXPECT_EQ(path, "");
  EXPECT_TRUE(g_Script.seen.empty());
}

TEST(NameEntry, TheEditIsBoundByTheGameKind) {
  cScopedGlobal kind(g_SceneManager.m_nGameKind, GAME_OPTION);
  cScopedGlobal<cPlayScene*> scene(g_pPlayScene, nullptr);
  cPlayScene play;
  {
    cNameEntryDlg dialog;
    ASSERT_EQ(dialog.m_EditDescs.size(), 1u);
    EXPECT_EQ(dialog.m_EditDescs[0].pString, &g_OptionData.m_strRankName);
    EXPECT_EQ(dialog.m_EditDescs[0].nId, 1003);
    EXPECT_EQ(dialog.m_EditDescs[0].nMaxBytes, 4);
    EXPECT_EQ(dialog.m_EditDescs[0].nMaxLineChars, 3);
    EXPECT_EQ(dialog.m_EditDescs[0].nMaxLines, 1);
    EXPECT_EQ(dialog.m_EditDescs[0].bCountChars, 1);
    EXPECT_EQ(cNameEntryDlg::s_pLive, &dialog);
  }
  EXPECT_EQ(cNameEntryDlg::s_pLive, nullptr);
  g_SceneManager.m_nGameKind = GAME_FREEPLAY;
  g_pPlayScene = &play;
  {
    cNameEntryDlg dialog;
    ASSERT_EQ(dialog.m_EditDescs.size(), 1u);
    EXPECT_EQ(dialog.m_EditDescs[0].pString, &play.m_strRankName);
  }
  g_pPlayScene = nullptr;
  cNameEntryDlg unbound;
  EXPECT_TRUE(unbound.m_EditDescs.empty());
}

TEST(StartDialog, WithoutADisplayItCountsAsCancelled) {
  if (platform::StartDialogToolkit()) GTEST_SKIP() << "a display exists";
  cTempFolder folder;
  ASSERT_TRUE(ReportOpen("Report_Game.txt"));
  EXPECT_EQ(RunStartDialog(), 0);
  EXPECT_NE(ReadText("Report_Game.txt").find("start dialog"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists("user_data"));
}

// A user at the dialog that runs: the script acts once, on the third tick of the dialog's
// loop; a dialog still open long after is closed, so that a failing test cannot hang.
std::function<void(platform::cHostDialog&)> g_Act;
cDlg* g_pOpen = nullptr;
int g_nTicks = 0;

void Tick() {
  if (!g_pOpen || !g_pOpen->Host() || !g_pOpen->Host()->Running()) return;
  ++g_nTicks;
  if (g_nTicks == 3 && g_Act) g_Act(*g_pOpen->Host());
  if (g_nTicks == 2000) g_pOpen->Host()->End(-1);
}

int RunScripted(cDlg& dialog, std::function<void(platform::cHostDialog&)> act) {
  g_pOpen = &dialog;
  g_Act = std::move(act);
  g_nTicks = 0;
  platform::SetDialogIdleService(&Tick);
  const int code = dialog.DoModal(0);
  platform::SetDialogIdleService(nullptr);
  g_pOpen = nullptr;
  g_Act = nullptr;
  return code;
}

class HostDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!platform::StartDialogToolkit()) GTEST_SKIP() << "no display";
    std::filesystem::create_directory("user_data");
  }
  cTempFolder folder;
  cScopedGlobal<std::int32_t> english{g_SystemIni.English, 0};
  cScopedGlobal<cOptionData> options{g_OptionData};
  cScopedGlobal<cBootData> boot{g_BootData};
  cScopedGlobal<std::string> title{g_SystemData.m_strTitle};
  cScopedGlobal<eGameKind> kind{g_SceneManager.m_nGameKind, GAME_OPTION};
};

TEST_F(HostDialogs, TheNameEntryShowsTheNameCutAndSelectedAndTakesThreeCharactersOnOk) {
  g_OptionData.m_strRankName = "abcdef";
  std::string shown;
  int selStart = -1, selEnd = -1;
  bool stillOpenAfterEsc = false;
  {
    cNameEntryDlg dialog;
    const int code = RunScripted(dialog, [&](platform::cHostDialog& host) {
      shown = host.Text(cNameEntryDlg::IDC_NAME);
      host.Selection(cNameEntryDlg::IDC_NAME, selStart, selEnd);
      host.PressKey(0x1B);
      stillOpenAfterEsc = host.Running();
      // Typing replaces the selected name; the fourth character is refused, then Enter.
      host.Type(cNameEntryDlg::IDC_NAME, U"\u3042\u3044\u3046w");
      host.PressKey(0x0D);
    });
    EXPECT_EQ(code, 1);
  }
  EXPECT_EQ(shown, "abc");
  EXPECT_EQ(selStart, 0);
  EXPECT_EQ(selEnd, 3);
  EXPECT_TRUE(stillOpenAfterEsc);
  EXPECT_EQ(platform::Cp932ToUtf8(g_OptionData.m_strRankName), Utf8(u8"あいう"));

  // A character cp932 does not have is refused; the close box keeps the name.
  std::string typed;
  g_OptionData.m_strRankName = "aaa";
  g_SystemIni.English = 1;
  std::string label;
  {
    cNameEntryDlg dialog;
    const int code = RunScripted(dialog, [&](platform::cHostDialog& host) {
      label = host.Text(cNameEntryDlg::IDC_LABEL);
      host.Type(cNameEntryDlg::IDC_NAME, U"q\U0001F600");
      typed = host.Text(cNameEntryDlg::IDC_NAME);
      host.CloseBox();
    });
    EXPECT_EQ(code, 0);
  }
  EXPECT_EQ(label, "     Name");
  EXPECT_EQ(typed, "q");
  EXPECT_EQ(g_OptionData.m_strRankName, "aaa");
}

TEST_F(HostDialogs, TheStartDialogStoresTheChoiceInBootDatOnlyOnStart) {
  g_SystemData.m_strTitle = "\x83\x65\x83\x58\x83\x67";  // "テスト" in cp932
  g_BootData = cBootData();
  std::string caption, hint;
  int direct3d = -1, noAsk = -1;
  {
    cStartDlg dialog;
    const int code = RunScripted(dialog, [&](platform::cHostDialog& host) {
      direct3d = host.Check(cStartDlg::IDC_DIRECT3D);
      noAsk = host.Check(cStartDlg::IDC_NO_ASK);
      host.Click(cStartDlg::IDC_DIRECTDRAW);
      host.Click(cStartDlg::IDC_NO_ASK);
      host.Click(IDC_CANCEL);
    });
    EXPECT_EQ(code, 0);
  }
  EXPECT_EQ(direct3d, 1);
  EXPECT_EQ(noAsk, 0);
  EXPECT_EQ(g_BootData.m_nDrawMode, 1);
  EXPECT_EQ(g_BootData.m_bNoAsk, 0);
  EXPECT_FALSE(std::filesystem::exists("user_data/Boot.dat"));

  g_SystemIni.English = 1;
  std::string start, group;
  {
    cStartDlg dialog;
    const int code = RunScripted(dialog, [&](platform::cHostDialog& host) {
      hint = host.Text(cStartDlg::IDC_HINT);
      start = host.Text(IDC_OK);
      group = host.Text(cStartDlg::IDC_GROUP);
      host.Click(cStartDlg::IDC_DIRECTDRAW);
      host.Click(cStartDlg::IDC_NO_ASK);
      host.Click(IDC_OK);
    });
    EXPECT_EQ(code, 1);
  }
  EXPECT_EQ(hint, "Configure the detail settings at \"System.ini\".");
  EXPECT_EQ(start, "Start");
  EXPECT_EQ(group, "Drawing mode");
  EXPECT_EQ(g_BootData.m_nDrawMode, 0);
  EXPECT_EQ(g_BootData.m_bNoAsk, 1);
  EXPECT_EQ(ReadBytes("user_data/Boot.dat"), cBytes().I32(821).I32(2).I32(0).I32(1).I32(0).data);
}

// The chooser's watcher: what the open chooser showed, and the scripted answer.
std::string g_strChooserTitle, g_strChooserFolder, g_strChooserName, g_strAnswer;
void AnswerTheChooser(const std::string& title) {
  g_strChooserTitle = title;
  g_strChooserFolder = platform::ChooserFolder();
  if (!g_strChooserFolder.empty() && g_strChooserFolder.back() == '/') g_strChooserFolder.pop_back();
  g_strChooserName = platform::ChooserName();
  platform::AnswerChooser(g_strAnswer);
}

TEST_F(HostDialogs, TheFileSelectionOpensTheChooserAndTakesItsAnswer) {
  std::filesystem::create_directories("user_data/rpl4");
  platform::SetChooserWatcher(&AnswerTheChooser);
  const std::string rpl4 = (std::filesystem::current_path() / "user_data" / "rpl4").string();

  // Saving: the proposal's folder and name; a name typed without extension gets the whole one.
  std::string path = "user_data\\rpl4\\stage01__2024__05_01__13_07.rpl4_821";
  ASSERT_TRUE(PathToAbsoluteStr(path));
  g_strAnswer = "mine";
  {
    cFileSelectDlg dialog(&path, FILESELECT_SAVE_REPLAY);
    EXPECT_EQ(dialog.DoModal(0), 1);
  }
  EXPECT_EQ(g_strChooserTitle, Utf8(u8"リプレイファイルの保存"));
  EXPECT_EQ(g_strChooserFolder, rpl4);
  EXPECT_EQ(g_strChooserName, "stage01__2024__05_01__13_07.rpl4_821");
  std::string expected = "user_data\\rpl4\\mine.rpl4_821";
  PathToAbsoluteStr(expected);
  EXPECT_EQ(path, expected);

  // Cancelled: an open leaves the path empty.
  g_strAnswer.clear();
  path.clear();
  {
    cFileSelectDlg dialog(&path, FILESELECT_REPLAY);
    EXPECT_EQ(dialog.DoModal(0), 0);
  }
  EXPECT_EQ(g_strChooserFolder, rpl4);
  EXPECT_EQ(path, "");
  platform::SetChooserWatcher(nullptr);
}

}  // namespace
