#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../support/temp_folder.h"

namespace {

TEST(InstanceLock, OneHolderAtATimeWhoseIdTheOthersRead) {
  cTempFolder folder;
  platform::SetInstanceLockFolder(folder.HostPath());
  platform::cInstanceLock first, second;
  ASSERT_TRUE(first.TryAcquire("game"));
  EXPECT_FALSE(second.TryAcquire("game"));
  EXPECT_EQ(second.OwnerId(), 0);  // no window yet: no one to end
  ASSERT_TRUE(first.WriteOwnerId());
  EXPECT_EQ(second.OwnerId(), getpid());
  EXPECT_FALSE(second.WaitAcquire(5));
  first.Release();
  EXPECT_TRUE(second.WaitAcquire(500));
  EXPECT_TRUE(second.Held());
  platform::cInstanceLock other;
  EXPECT_TRUE(other.TryAcquire("another name"));
  platform::SetInstanceLockFolder("");
}

TEST(InstanceLock, TheOtherProcessIsEndedHard) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    pause();
    _exit(0);
  }
  EXPECT_TRUE(platform::KillProcessNow(child));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGKILL);
  // An instance that ended while the question was up needs no ending: that is no failure.
  EXPECT_TRUE(platform::KillProcessNow(child));
  EXPECT_FALSE(platform::KillProcessNow(0));
}

}  // namespace
