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

TEST(HostPath, AbsolutePathsStayAbsolute) {
  cTempFolder folder;
  ::mkdir("Sub", 0755);
  std::string program = folder.HostPath() + "/sub";
  EXPECT_EQ(HostPath(program), folder.HostPath() + "/Sub");
}

TEST(ProgramPath, TurnsHostNamesIntoProgramText) {
  EXPECT_EQ(platform::ProgramPath("data/\xE3\x82\xBD/a.txt"), "data\\\x83\x5C\\a.txt");
}
