#include "foundation/path_utils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_folder.h"

namespace {
struct sPathCase {
  const char* in;
  const char* out;
  int result;
};
}  // namespace

TEST(PathUtils, StripDirFindsTheRealSeparator) {
  const sPathCase cases[] = {
      {"data\\stg4\\a.stg4", "a.stg4", 1},
      {"a.stg4", "a.stg4", 1},
      {"folder/x.rpl4", "x.rpl4", 1},
      // 0x95 0x5C ends the folder name with a trail byte that looks like a backslash.
      {"data\\\x95\x5C\\file", "file", 1},
      {"\x95\x5C" "file", "\x95\x5C" "file", 1},
      // 0x81 0x95 is one character, so the backslash after it is a separator.
      {"x\x81\x95\\name", "name", 1},
  };
  for (const sPathCase& c : cases) {
    char path[kMaxPath];
    std::snprintf(path, sizeof(path), "%s", c.in);
    StripDir(path);
    EXPECT_STREQ(path, c.out) << c.in;
  }
}

TEST(PathUtils, ExtensionsOfTheFileNameOnly) {
  struct Case {
    const char* src;
    const char* ext;
    const char* changed;
    int result;
  } cases[] = {
      {"data\\stg4\\test.stg4", "dat", "data\\stg4\\test.dat", 1},
      {"data\\stg4\\test.stg4", nullptr, "data\\stg4\\test", 1},
      {"data\\stg4\\test", "dat", "data\\stg4\\test", 0},
      {"my.game\\stg4\\abc", "stg4", "my.game\\stg4\\abc", 0},  // a dotted folder is no extension
      {"a.b.c", "x", "a.b.x", 1},
  };
  for (const auto& c : cases) {
    char dest[kMaxPath];
    EXPECT_EQ(ChangeExt(dest, c.src, c.ext), c.result) << c.src;
    EXPECT_STREQ(dest, c.changed) << c.src;
  }

  char ext[kMaxPath] = "keep";
  EXPECT_EQ(GetExt(ext, "data\\x.stg4_003"), 1);
  EXPECT_STREQ(ext, "stg4_003");
  EXPECT_EQ(GetExt(ext, "my.game\\x"), 0);

  std::string name = "replay.rpl4";
  EXPECT_EQ(StripExtStr(name), 1);
  EXPECT_EQ(name, "replay");
  EXPECT_EQ(StripExtStr(name), 0);
  EXPECT_EQ(name, "replay");

  // Too long for a path buffer: refused, never written past it.
  std::string longName(kMaxPath, 'a');
  char dest[kMaxPath];
  EXPECT_EQ(ChangeExt(dest, longName.c_str(), "x"), 0);
}

TEST(PathUtils, NumberedNames) {
  char dest[kMaxPath];
  EXPECT_EQ(MakeNumberedName(dest, "replay.rpl4", 2), 1);
  EXPECT_STREQ(dest, "replay (2).rpl4");
  EXPECT_EQ(MakeNumberedName(dest, "replay", 2), 0);
  std::string longExt = "a." + std::string(kMaxExt + 1, 'e');
  EXPECT_EQ(MakeNumberedName(dest, longExt.c_str(), 2), 0);
}

TEST(PathUtils, FindNumberedFileTakesTheHighest) {
  cTempFolder folder;
  std::filesystem::create_directories("data/stg4");
  for (const char* name : {"data/stg4/a.stg4_003", "data/stg4/A.STG4_120", "data/stg4/a.stg4_9999",
                           "data/stg4/a.stg4_x12", "data/stg4/ab.stg4_500"})
    WriteBytes(name, {1});

  char dest[kMaxPath];
  EXPECT_EQ(FindNumberedFile(dest, "data\\stg4\\a.stg4", "stg4"), 1);
  EXPECT_STREQ(dest, "data\\stg4\\a.stg4_120");
  EXPECT_EQ(FindNumberedFile(dest, "data\\stg4\\a.old", "stg4"), 1);
  EXPECT_STREQ(dest, "data\\stg4\\a.stg4_120");

  std::string found = "unchanged";
  EXPECT_EQ(FindNumberedFileStr(found, "data\\stg4\\b.stg4", "stg4"), 0);
  EXPECT_EQ(FindNumberedFileStr(found, "missing\\a.stg4", "stg4"), 0);
  EXPECT_EQ(found, "unchanged");
}

TEST(PathUtils, AbsoluteAndRelativeAgainstTheCurrentFolder) {
  cTempFolder folder;
  std::string root;
  for (char c : folder.HostPath()) root += c == '/' ? '\\' : c;

  std::string path = "data\\.\\stg4\\..\\x.dat";
  ASSERT_EQ(PathToAbsoluteStr(path), 1);
  EXPECT_EQ(path, root + "\\data\\x.dat");
  EXPECT_EQ(PathToRelativeStr(path), 1);
  EXPECT_EQ(path, "data\\x.dat");

  struct Case {
    std::string in, out;
  } cases[] = {
      {root + "\\data\\", "data\\"},
      {root + "\\DATA\\stg4\\a.stg4_003", "DATA\\stg4\\a.stg4_003"},
      {root + "\\..\\other\\f", "..\\other\\f"},
      {"already\\relative", "already\\relative"},
  };
  for (const Case& c : cases) {
    char buffer[kMaxPath];
    std::snprintf(buffer, sizeof(buffer), "%s", c.in.c_str());
    EXPECT_EQ(PathToRelative(buffer), 1) << c.in;
    EXPECT_EQ(std::string(buffer), c.out) << c.in;
  }
  char drive[kMaxPath] = "C:\\game\\x";
  EXPECT_EQ(PathToRelative(drive), 0);
  EXPECT_STREQ(drive, "C:\\game\\x");
}
