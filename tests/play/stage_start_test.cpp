#include "play/stage_start.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "platform/host_file.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "tests/support/temp_folder.h"

namespace {

// The records a start changes, restored when the test ends.
class cStartGuard {
 public:
  cStartGuard() : m_lives(g_SystemData.m_nStartLives), m_unlimited(g_SystemData.m_bUnlimitedLives) {
    m_testPlay = g_bTestPlay;
  }
  ~cStartGuard() {
    g_SystemData.m_nStartLives = m_lives;
    g_SystemData.m_bUnlimitedLives = m_unlimited;
    g_bTestPlay = m_testPlay;
    g_PlayData.Reset();
    g_Stage.SetDefault();
    g_StageCopy.SetDefault();
  }

 private:
  cVector<std::int32_t> m_lives, m_unlimited;
  int m_testPlay;
};

void SaveStage(const std::string& path, const std::string& title) {
  g_Stage.SetDefault();
  g_Stage.m_strName = title;
  g_Stage.m_PlacedCharas.resize(1);
  g_Stage.m_PlacedCharas[0].m_nControl = 0;  // the hero
  g_Stage.m_PlacedCharas[0].m_sGraphic = 1;
  ASSERT_EQ(g_Stage.SaveFile(path), 1);
  g_Stage.SetDefault();
}

class StageStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
  }
  cTempFolder m_folder;
  cStartGuard m_guard;
};

TEST_F(StageStartTest, TakesTheNewestVariantAndSetsUpFreePlay) {
  SaveStage("a.stg4_002", "old");
  SaveStage("a.stg4_010", "new");
  struct sCase {
    int testPlay;
    int unlimited;
    int entryLives, lives;
  };
  for (const sCase& c : {sCase{0, 0, 3, 2}, sCase{1, 0, 999999, 999999}, sCase{0, 1, 999999, 999999}}) {
    g_bTestPlay = c.testPlay;
    g_SystemData.m_nStartLives[2] = 3;
    g_SystemData.m_bUnlimitedLives[2] = c.unlimited;
    g_PlayData.m_nTotalScore = 1234;
    ASSERT_EQ(StartStageFile("a.stg4", 1), 1);
    EXPECT_EQ(g_Stage.m_strName, "new");
    EXPECT_EQ(g_StageCopy.m_strName, "new");
    EXPECT_EQ(g_PlayData.m_nTotalScore, 0);  // a fresh progress record
    EXPECT_EQ(g_PlayData.m_nStageNo, 1);
    EXPECT_EQ(g_PlayData.m_nPartNo, 1);
    EXPECT_EQ(g_PlayData.m_nEntryLives, c.entryLives);
    EXPECT_EQ(g_PlayData.m_nLives, c.lives);
    EXPECT_EQ(g_PlayData.m_strStageName, "a.");  // the name cut to its key form
  }
}

TEST_F(StageStartTest, AbsolutePathsBecomeRelativeStageNames) {
  SaveStage("b-1.stg4", "part one");
  const std::string absolute = platform::CurrentFolder() + "\\b-1.stg4";
  ASSERT_EQ(StartStageFile(absolute, 0), 1);
  EXPECT_EQ(g_PlayData.m_strStageName, "b.");
  EXPECT_EQ(g_PlayData.m_bMultiPart, 1);
}

std::vector<std::string> g_Boxes;
int RecordBox(const std::string& text, const std::string&, int) {
  g_Boxes.push_back(platform::Utf8ToCp932(text));
  return platform::kAnswerOk;
}

// A path too long for the program is a file that cannot be read, told as the loader tells it.
TEST_F(StageStartTest, FailsWithoutReadingTooLongOrMissingFiles) {
  platform::SetMessageBoxHandler(&RecordBox);
  g_Boxes.clear();
  g_PlayData.m_nTotalScore = 55;
  EXPECT_EQ(StartStageFile("missing.stg4", 1), 0);  // no variant: nothing to tell
  EXPECT_TRUE(g_Boxes.empty());
  EXPECT_EQ(StartStageFile("missing.stg4", 0), 0);
  const std::string longName(260, 'x');
  EXPECT_EQ(StartStageFile(longName, 0), 0);
  platform::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(g_Boxes, (std::vector<std::string>{
                         "ステージファイル missing.stg4 の読み込みに失敗しました！",
                         "ステージファイル " + longName + " の読み込みに失敗しました！"}));
}

}  // namespace
