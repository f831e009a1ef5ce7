#include "foundation/message_box.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "foundation/report.h"
#include "platform/close_request.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "platform/thread_messages.h"
#include "tests/support/temp_folder.h"

namespace {

struct sShown {
  std::string text, caption;
  int type;
  std::uint32_t thread;
};
std::vector<sShown> g_shown;
int g_answer = IDOK;

int FakeBox(const std::string& text, const std::string& caption, int type) {
  g_shown.push_back({text, caption, type, platform::CurrentThreadId()});
  return g_answer;
}

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_shown.clear();
    g_answer = IDOK;
    platform::SetMessageBoxHandler(&FakeBox);
    ASSERT_EQ(ReportOpen("Report_Game.txt"), 1);
  }
  void TearDown() override {
    platform::SetMessageBoxHandler(nullptr);
    SetDeviceBoxHook(nullptr);
    platform::LeaveMainThread();
  }
  cTempFolder m_folder;
};

}  // namespace

TEST_F(MessageBoxTest, ErrorBoxesAndTheOutOfMemoryStop) {
  EXPECT_EQ(ErrBoxF("file %s: %d", "a.dat", 3), IDOK);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].caption, platform::Cp932ToUtf8("エラー"));
  EXPECT_EQ(g_shown[0].text, "file a.dat: 3");
  EXPECT_EQ(g_shown[0].type, MB_OK);

  ErrLogSetup(0, "EC_Game.txt");
  EXPECT_EQ(ErrBoxDebugF("hidden %d", 1), 0);
  EXPECT_EQ(g_shown.size(), 1u);

  platform::ResetCloseRequest();
  OutOfMemory();
  EXPECT_EQ(g_shown.back().text, platform::Cp932ToUtf8("メモリが不足しています！"));
  EXPECT_EQ(platform::CloseRequestCount(), 1);
  platform::ResetCloseRequest();
}

TEST_F(MessageBoxTest, AskedOnAnotherThreadTheMainThreadShowsIt) {
  platform::BecomeMainThread();
  g_answer = IDNO;
  std::atomic<int> answer{0};
  std::thread worker([&] { answer = MesBox("question", "title", MB_YESNO); });
  for (int i = 0; i < 2000 && answer == 0; ++i) platform::WaitThreadMessage(1);
  worker.join();
  EXPECT_EQ(answer, IDNO);
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].thread, platform::CurrentThreadId());

  // Once the main thread no longer serves, the box answers as its default button would.
  platform::BeginShutdown();
  std::thread([&] { answer = MesBox("late", "title", MB_YESNO); }).join();
  platform::ResetShutdown();
  EXPECT_EQ(answer, IDYES);
  EXPECT_EQ(g_shown.size(), 1u);
}

TEST_F(MessageBoxTest, WithoutADisplayTheLogGetsTheTextAndTheDefaultAnswers) {
  g_answer = 0;  // nothing could be shown
  EXPECT_EQ(MesBox("create?", "confirm", MB_YESNO), IDYES);
  EXPECT_EQ(MesBox("note", "info", MB_OK), IDOK);
  std::vector<std::string> lines = ReadLines("Report_Game.txt");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_NE(lines[lines.size() - 2].find("confirm: create?"), std::string::npos);
  EXPECT_NE(lines.back().find("info: note"), std::string::npos);
}

TEST_F(MessageBoxTest, TheDeviceBoxTakesItOnlyWhenItWants) {
  static int declined = 0;
  SetDeviceBoxHook([](const char*, const char*, int) { return declined ? -1 : IDNO; });
  declined = 0;
  EXPECT_EQ(MesBox("a", "b", MB_YESNO), IDNO);
  EXPECT_TRUE(g_shown.empty());
  declined = 1;
  EXPECT_EQ(MesBox("a", "b", MB_YESNO), IDOK);
  EXPECT_EQ(g_shown.size(), 1u);
}
