// The built player as a person starts it, in a child process on the test's display: the first
// start of a fresh game folder asks whether to create the data folder, and a close request from
// outside (SIGTERM, as a logout or kill sends it) while that question waits answers it "No" and
// ends the program normally, at once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "tests/support/temp_folder.h"
#include "tools/sample_game.h"

namespace {

// Waits up to timeoutMs for the child; its wait status, or -1 when it is still running.
int WaitFor(pid_t child, unsigned timeoutMs) {
  for (unsigned waited = 0; waited <= timeoutMs; waited += 10) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return status;
    platform::SleepMs(10);
  }
  return -1;
}

TEST(PlayerExit, ACloseRequestWhileTheFirstStartsQuestionWaitsEndsWithCodeZero) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no display";
  cTempFolder folder;
  ASSERT_TRUE(MakeSampleGame(folder.HostPath()));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("XDG_RUNTIME_DIR", folder.HostPath().c_str(), 1);  // its own single-instance lock
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // The box is a real one on the display; the game's own window is an invisible one, so
    // that it takes the keyboard from no other test's window.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // Built with the leak checker, the player would name what the toolkit's libraries keep
    // for the life of a process (the test programs are told to let them be; it is not).
    const char* asan = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":detect_leaks=0").c_str(), 1);
    execl(TW_PLAYER, TW_PLAYER, static_cast<char*>(nullptr));
    _exit(127);
  }
  // The report log is begun just before the question; the box then needs a moment.
  for (int waited = 0; waited < 10000 && !std::filesystem::exists("Report_Game.txt"); waited += 10)
    platform::SleepMs(10);
  platform::SleepMs(1500);
  kill(child, SIGTERM);
  int status = WaitFor(child, 3000);
  if (status == -1) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    FAIL() << "the player did not end on the close request";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists("data"));  // "No": nothing made, nothing half-made
  for (const auto& entry : std::filesystem::directory_iterator("."))
    EXPECT_EQ(entry.path().filename().string().find(".tmp."), std::string::npos);
}

}  // namespace
