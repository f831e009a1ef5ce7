#include "platform/host_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/temp_folder.h"

namespace {
bool Interrupt(const std::string&) { return false; }

int TempFilesLeft() {
  int n = 0;
  for (auto& entry : std::filesystem::directory_iterator("."))
    if (entry.path().filename().string().find(".tmp.") != std::string::npos) ++n;
  return n;
}
}  // namespace

TEST(ReplaceHostFile, WritesThroughTemporaryFile) {
  cTempFolder folder;
  WriteBytes("Save.dat", {1, 2, 3});
  const std::uint8_t fresh[] = {9, 8};
  ASSERT_TRUE(platform::ReplaceHostFile("save.DAT", fresh, sizeof(fresh)));
  EXPECT_EQ(ReadBytes("Save.dat"), (std::vector<std::uint8_t>{9, 8}));
  EXPECT_EQ(TempFilesLeft(), 0);
}

TEST(ReplaceHostFile, InterruptedWriteKeepsOldFile) {
  cTempFolder folder;
  WriteBytes("Save.dat", {1, 2, 3});
  platform::SetReplaceFaultHook(Interrupt);
  const std::uint8_t fresh[] = {9, 8};
  EXPECT_FALSE(platform::ReplaceHostFile("Save.dat", fresh, sizeof(fresh)));
  platform::SetReplaceFaultHook(nullptr);
  EXPECT_EQ(ReadBytes("Save.dat"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(TempFilesLeft(), 0);
}

TEST(ReplaceHostFile, MissingFolderIsAFailure) {
  cTempFolder folder;
  const std::uint8_t b = 1;
  EXPECT_FALSE(platform::ReplaceHostFile("no\\such\\folder.dat", &b, 1));
}

TEST(ReadHostFile, ReportsMissingAndTooLarge) {
  cTempFolder folder;
  std::vector<std::uint8_t> out{7};
  EXPECT_EQ(platform::ReadHostFile("none.dat", out, 100), platform::eReadResult::CannotOpen);
  WriteBytes("big.dat", std::vector<std::uint8_t>(200, 1));
  EXPECT_EQ(platform::ReadHostFile("BIG.dat", out, 100), platform::eReadResult::TooLarge);
  EXPECT_EQ(out, std::vector<std::uint8_t>{7});
  EXPECT_EQ(platform::ReadHostFile("big.dat", out, 1000), platform::eReadResult::Ok);
  EXPECT_EQ(out.size(), 200u);
  ::mkdir("folder", 0755);
  EXPECT_EQ(platform::ReadHostFile("folder", out, 1000), platform::eReadResult::CannotOpen);
}

TEST(CopyHostFolder, CopiesTheTreeAndLeavesNothingOnFailure) {
  cTempFolder folder;
  std::filesystem::create_directories("from/sub/deeper");
  WriteBytes("from/a.dat", {1, 2, 3});
  WriteBytes("from/sub/deeper/b.dat", {4});
  WriteBytes("outside.dat", {9});
  std::filesystem::create_symlink("../outside.dat", "from/link.dat");

  ASSERT_TRUE(platform::CopyHostFolder("FROM\\", "to\\"));
  EXPECT_EQ(ReadBytes("to/a.dat"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(ReadBytes("to/sub/deeper/b.dat"), (std::vector<std::uint8_t>{4}));
  EXPECT_TRUE(std::filesystem::is_symlink("to/link.dat"));  // a link, never followed
  EXPECT_FALSE(platform::CopyHostFolder("from\\", "to\\"));  // the destination exists

  static int files = 0;
  files = 0;
  platform::SetCopyFaultHook([](const std::string&) { return ++files < 2; });
  EXPECT_FALSE(platform::CopyHostFolder("from\\", "half\\"));
  platform::SetCopyFaultHook(nullptr);
  EXPECT_EQ(files, 2);
  // Neither the destination nor the temporary copy is left.
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(".")) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 3);  // from, to, outside.dat
  EXPECT_FALSE(platform::CopyHostFolder("missing\\", "x\\"));
}
