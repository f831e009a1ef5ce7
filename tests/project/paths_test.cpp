#include "project/paths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host_file.h"
#include "platform/message_box.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {
int g_asked = 0;
int g_answer = 6;  // yes
int Answer(const std::string&, const std::string&, int type) {
  EXPECT_EQ(type, 4);  // yes / no
  ++g_asked;
  return g_answer;
}

void MakeDefault() {
  fs::create_directories("default/database");
  fs::create_directories("default/stg4");
  WriteBytes("default/System.dat", {1, 2});
  WriteBytes("default/database/Anime.dat", {3});
}
}  // namespace

TEST(Paths, TablesHoldEveryFixedName) {
  EXPECT_STREQ(g_PathTable[PATH_DATA], "data\\");
  EXPECT_STREQ(g_PathTable[PATH_SYSTEM], "data\\System.dat");
  EXPECT_STREQ(g_PathTable[PATH_WINDOW], "user_data\\Window.dat");
  for (int i = PATH_DB_ANIME_SET; i <= PATH_DB_BGM; i += 2) {
    // Each data file has its default twin right after it.
    std::string data = g_PathTable[i];
    EXPECT_EQ("default\\" + data.substr(5), g_PathTable[i + 1]) << i;
  }
  EXPECT_STREQ(g_ExtTable[EXT_STAGE], "stg4");
  EXPECT_STREQ(g_ExtTable[EXT_RANKING], "rkg");

  // Every working folder comes after its parent.
  ASSERT_EQ(g_WorkFolders[kWorkFolderCount], nullptr);
  for (int i = 0; i < kWorkFolderCount; ++i) {
    std::string name = g_WorkFolders[i];
    size_t cut = name.rfind('\\');
    if (cut == std::string::npos) continue;
    bool parentBefore = false;
    for (int j = 0; j < i; ++j) parentBefore |= name.substr(0, cut) == g_WorkFolders[j];
    EXPECT_TRUE(parentBefore) << name;
  }
}

TEST(Paths, WorkFoldersAreMadeOnAFreshMachine) {
  cTempFolder folder;
  CreateWorkFolders();
  CreateWorkFolders();  // existing folders are no error
  for (int i = 0; g_WorkFolders[i]; ++i)
    EXPECT_TRUE(platform::HostFolderExists(g_WorkFolders[i])) << g_WorkFolders[i];
}

TEST(Paths, DefaultDataIsCreatedOnlyWhenMissingAndAgreed) {
  platform::SetMessageBoxHandler(&Answer);
  struct Case {
    const char* name;
    bool data, defaults;
    int answer;
    int result, asked;
    bool copied;
  } cases[] = {
      {"data exists (even empty)", true, true, 6, 1, 0, false},
      {"both missing", false, false, 6, 0, 0, false},
      {"declined", false, true, 7, -1, 1, false},
      {"agreed", false, true, 6, 1, 1, true},
  };
  for (const Case& c : cases) {
    cTempFolder folder;
    if (c.data) fs::create_directory("data");
    if (c.defaults) MakeDefault();
    g_asked = 0;
    g_answer = c.answer;
    EXPECT_EQ(CreateDefaultData(), c.result) << c.name;
    EXPECT_EQ(g_asked, c.asked) << c.name;
    EXPECT_EQ(fs::exists("data/System.dat"), c.copied) << c.name;
    if (c.copied) {
      EXPECT_EQ(ReadBytes("data/database/Anime.dat"), std::vector<std::uint8_t>{3});
      EXPECT_TRUE(fs::is_directory("data/stg4"));
    }
    EXPECT_EQ(fs::is_directory("data"), c.data || c.copied) << c.name;
  }
  platform::SetMessageBoxHandler(nullptr);
}

TEST(Paths, ACopyThatFailsHalfWayLeavesNoDataFolder) {
  cTempFolder folder;
  MakeDefault();
  platform::SetMessageBoxHandler(&Answer);
  g_answer = 6;
  platform::SetCopyFaultHook([](const std::string&) {
    static int files = 0;
    return ++files < 2;
  });
  EXPECT_EQ(CreateDefaultData(), 0);
  platform::SetCopyFaultHook(nullptr);
  platform::SetMessageBoxHandler(nullptr);
  std::vector<std::string> left;
  for (auto& entry : fs::directory_iterator(".")) left.push_back(entry.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"default"});
}
