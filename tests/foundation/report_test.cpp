#include "foundation/report.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/close_request.h"
#include "platform/message_box.h"
#include "tests/support/temp_folder.h"

TEST(Report, StartTruncatesAndLinesAreAppendedInUtf8) {
  cTempFolder folder;
  WriteBytes("Report_Game.txt", {'o', 'l', 'd', '\n'});
  ASSERT_EQ(ReportOpen("Report_Game.txt"), 1);
  ASSERT_EQ(Report("App : ver %s", "821"), 1);
  ASSERT_EQ(ReportSystem(), 1);
  ASSERT_EQ(ReportErr("%s", "100%d エラー"), 1);
  auto lines = ReadLines("Report_Game.txt");
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[0], "App : ver 821");
  EXPECT_EQ(lines[1].rfind("OS : ", 0), 0u);
  EXPECT_EQ(lines[2].rfind("CPU : ", 0), 0u);
  EXPECT_EQ(lines[7].rfind("HD Free : ", 0), 0u);
  EXPECT_EQ(lines.back(), "100%d \xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC");
}

TEST(Report, RemovedLogDropsLinesWithoutRecreatingIt) {
  cTempFolder folder;
  ASSERT_EQ(ReportOpen("Report_Game.txt"), 1);
  ::unlink("Report_Game.txt");
  EXPECT_EQ(Report("lost"), 0);
  EXPECT_TRUE(ReadBytes("Report_Game.txt").empty());
}

// A log that cannot be written (a read-only game folder) must not silence the boxes: the box
// is shown all the same, and its text also goes to standard error.
TEST(Report, AnErrorBoxIsShownAlsoWhenTheLogCannotBeWritten) {
  cTempFolder folder;
  ASSERT_EQ(ReportOpen("Report_Game.txt"), 1);
  ::unlink("Report_Game.txt");
  static std::vector<std::string> boxes;
  boxes.clear();
  platform::SetMessageBoxHandler([](const std::string& text, const std::string&, int) {
    boxes.push_back(text);
    return platform::kAnswerOk;
  });
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ReportErrBox("%s の保存に失敗！", "a.dat"), 0);
  const std::string err = ::testing::internal::GetCapturedStderr();
  platform::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(boxes, std::vector<std::string>{"a.dat \xE3\x81\xAE\xE4\xBF\x9D\xE5\xAD\x98\xE3\x81\xAB\xE5\xA4\xB1\xE6\x95\x97\xEF\xBC\x81"});
  EXPECT_NE(err.find(boxes.empty() ? "?" : boxes[0]), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST(ErrLog, FirstLineReplacesOldContentAndFatalAlwaysCloses) {
  cTempFolder folder;
  platform::ResetCloseRequest();
  ErrLogSetup(0, "EC_Game.txt");
  ErrLogFatal("while off %d", 1);
  EXPECT_EQ(platform::CloseRequestCount(), 1);
  EXPECT_TRUE(ReadBytes("EC_Game.txt").empty());

  WriteBytes("EC_Game.txt", {'o', 'l', 'd', '\n'});
  ErrLogSetup(1, "EC_Game.txt");
  ErrLogF("line %d", 1);
  ErrLog("line 2");
  ErrLogSetup(0, "EC_Game.txt");
  ErrLog("dropped");
  EXPECT_EQ(ReadLines("EC_Game.txt"), (std::vector<std::string>{"line 1", "line 2"}));
  platform::ResetCloseRequest();
}
