#include "platform/host_path.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_folder.h"

using platform::HostPath;

TEST(HostPath, ResolvesCaseBackslashesAndCp932) {
  cTempFolder folder;
  ::mkdir("Data", 0755);
  ::mkdir("Data/stg4", 0755);
  // A folder named U+30BD (cp932 0x83 0x5C) holding "Stage.STG4_001".
  ::mkdir("Data/\xE3\x82\xBD", 0755);
  WriteBytes("Data/\xE3\x82\xBD/Stage.STG4_001", {1});

  struct Case {
    const char* program;
    const char* host;
  } cases[] = {
      {"data\\STG4", "Data/stg4"},
      {"DATA\\stg4\\", "Data/stg4/"},
      {"data\\\x83\x5C\\stage.stg4_001", "Data/\xE3\x82\xBD/Stage.STG4_001"},
      // Missing parts keep the names given; what exists before them is still resolved.
      {"data\\new\\File.dat", "Data/new/File.dat"},
      {"plain.txt", "plain.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(HostPath(c.program), c.host) << c.program;
}

TEST(HostPath, FoldsFullWidthGreekAndCyrillicLetters) {
  cTempFolder folder;
  // "ｓｔａｇｅ/ａ.dat", and a file named with small Greek alpha and Cyrillic io and o.
  ::mkdir("\xEF\xBD\x93\xEF\xBD\x94\xEF\xBD\x81\xEF\xBD\x87\xEF\xBD\x85", 0755);
  WriteBytes("\xEF\xBD\x93\xEF\xBD\x94\xEF\xBD\x81\xEF\xBD\x87\xEF\xBD\x85/\xEF\xBD\x81.dat", {1});
  WriteBytes("\xCE\xB1\xD1\x91\xD0\xBE.dat", {1});
  struct Case {
    const char* program;  // cp932
    const char* host;
  } cases[] = {
      // "ＳＴＡＧＥ\Ａ.dat"
      {"\x82\x72\x82\x73\x82\x60\x82\x66\x82\x64\\\x82\x60.dat",
       "\xEF\xBD\x93\xEF\xBD\x94\xEF\xBD\x81\xEF\xBD\x87\xEF\xBD\x85/\xEF\xBD\x81.dat"},
      // Greek capital alpha, Cyrillic capitals IO and O.
      {"\x83\x9F\x84\x46\x84\x4F.DAT", "\xCE\xB1\xD1\x91\xD0\xBE.dat"},
      // Cyrillic capital N is not small o: not found, kept as given.
      {"\x83\x9F\x84\x46\x84\x4E.dat", "\xCE\x91\xD0\x81\xD0\x9D.dat"},
  };
  for (const Case& c : cases) EXPECT_EQ(HostPath(c.program), c.host) << c.program;
}

TEST(HostPath, AbsolutePathsStayAbsolute) {
  cTempFolder folder;
  ::mkdir("Sub", 0755);
  std::string program = folder.HostPath() + "/sub";
  EXPECT_EQ(HostPath(program), folder.HostPath() + "/Sub");
}

TEST(ProgramPath, TurnsHostNamesIntoProgramText) {
  EXPECT_EQ(platform::ProgramPath("data/\xE3\x82\xBD/a.txt"), "data\\\x83\x5C\\a.txt");
}
