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
  EXPECT_TRUE(std::filesystem::is_symlink("to/link.dat"));   // a link, never followed
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

// A kill during a write leaves the temporary file (or folder) behind: the next write into that
// folder removes what has the program's own temporary naming, and nothing else: not another
// name that merely looks alike, not a temporary file another write is still filling.
TEST(ReplaceHostFile, TheNextWriteRemovesLeftoversOfAKilledOne) {
  cTempFolder folder;
  namespace fs = std::filesystem;
  const std::vector<std::string> leftovers = {"Save.dat.tmp.a1B2c3", "Option.dat.tmp.ZZZZZZ"};
  const std::vector<std::string> kept = {"notes.tmp.abc",     "notes.tmp.abcdefg", "x.tmp.ab-c12",
                                         "notes.tmp.abcdef.txt", "tmp.abcdef",   "sub.tmp.abcdef"};
  for (const std::string& name : leftovers) WriteBytes(name, {1});
  for (const std::string& name : kept)
    if (name == "sub.tmp.abcdef")
      fs::create_directory(name);  // a folder is not a file's leftover
    else
      WriteBytes(name, {2});
  fs::create_directory("other");
  WriteBytes("other/Save.dat.tmp.qwerty", {3});  // another folder: written later, not now

  // A write still filling its temporary file while this one sweeps keeps it.
  static std::string inFlight;
  inFlight.clear();
  platform::SetReplaceFaultHook([](const std::string& temp) {
    inFlight = temp;
    const std::uint8_t b = 5;
    platform::SetReplaceFaultHook(nullptr);
    EXPECT_TRUE(platform::ReplaceHostFile("Other.dat", &b, 1));
    EXPECT_TRUE(std::filesystem::exists(temp));
    return true;
  });
  const std::uint8_t fresh[] = {9};
  ASSERT_TRUE(platform::ReplaceHostFile("Save.dat", fresh, sizeof(fresh)));
  platform::SetReplaceFaultHook(nullptr);
  EXPECT_FALSE(inFlight.empty());
  for (const std::string& name : leftovers) EXPECT_FALSE(fs::exists(name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(fs::exists(name)) << name;
  EXPECT_TRUE(fs::exists("other/Save.dat.tmp.qwerty"));
  EXPECT_EQ(ReadBytes("Save.dat"), std::vector<std::uint8_t>{9});
  EXPECT_EQ(ReadBytes("Other.dat"), std::vector<std::uint8_t>{5});

  // The copy of a folder: a killed copy's temporary folder goes with the next copy.
  fs::create_directories("from");
  WriteBytes("from/a.dat", {1});
  fs::create_directories("data.tmp.Q1w2E3/database");
  WriteBytes("data.tmp.Q1w2E3/database/a.dat", {1});
  ASSERT_TRUE(platform::CopyHostFolder("from", "data"));
  EXPECT_FALSE(fs::exists("data.tmp.Q1w2E3"));
  EXPECT_TRUE(fs::exists("sub.tmp.abcdef"));  // not the copy's own name
  EXPECT_EQ(ReadBytes("data/a.dat"), std::vector<std::uint8_t>{1});
}
