#include "project/system_ini.h"

#include <gtest/gtest.h>

#include "project/system_data.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<std::uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

class SystemIniTest : public ::testing::Test {
 protected:
  void SetUp() override { SetSystemIniDefaults(ini, keys.m_IniKeys); }
  int Read(const std::string& content) {
    WriteBytes("System.ini", Text(content));
    return ReadSystemIni("System.ini", ini, keys.m_IniKeys);
  }
  cTempFolder folder;
  cSystemData keys;
  sSystemIni ini;
};

TEST_F(SystemIniTest, DefaultsComeFromTheKeyListByPosition) {
  EXPECT_EQ(ini.Direct3D, 2);
  EXPECT_EQ(ini.VSync, 2);
  EXPECT_EQ(ini.DD_FontCache, 1);
  EXPECT_EQ(ini.ShowFps, 1);
  EXPECT_STREQ(ini.FreeStage, "");
  keys.m_IniKeys[0].m_nDefault = 0;
  keys.m_IniKeys[8].m_strDefault = "a.stg4";
  keys.m_IniKeys[9].m_nDefault = 1;
  SetSystemIniDefaults(ini, keys.m_IniKeys);
  EXPECT_EQ(ini.Direct3D, 0);
  EXPECT_STREQ(ini.FreeStage, "a.stg4");
  EXPECT_EQ(ini.English, 0);
}

TEST_F(SystemIniTest, ReadsKeysAndValues) {
  ASSERT_EQ(Read(" Direct3D = 0\r\n"
                 "WindowMode=1 // window\r\n"
                 "Bpp=16/comment\n"
                 "; a line without an equals sign\n"
                 "VSync=-1\tShowFps=0\n"
                 "Unknown=5\n"
                 "English=1\n"
                 "FreeStage=data\\stg4\\a.stg4\r\n"
                 "Exit\r\n"
                 "DD_FontCache=7\n"),
            1);
  EXPECT_EQ(ini.Direct3D, 0);  // the value ends at the blank before the 0: it is empty
  EXPECT_EQ(ini.WindowMode, 1);
  EXPECT_EQ(ini.Bpp, 16);
  EXPECT_EQ(ini.VSync, -1);
  EXPECT_EQ(ini.ShowFps, 0);
  EXPECT_EQ(ini.English, 1);
  EXPECT_STREQ(ini.FreeStage, "data\\stg4\\a.stg4");
  EXPECT_EQ(ini.DD_FontCache, 1);  // after Exit
}

TEST_F(SystemIniTest, EndsOfTheFile) {
  const struct {
    std::string content;
    int result;
  } cases[] = {
      {"Direct3D=1\nExit", 1},  // kept on purpose: the file ends with its own end marker
      {"Direct3D=1\n", 0},      // no Exit
      {"", 0},
      {std::string("Direct3D=1\n\0junk", 16), 1},
      {"Direct3D=1", 0},  // the value runs into the end
  };
  for (const auto& c : cases) {
    SetSystemIniDefaults(ini, keys.m_IniKeys);
    EXPECT_EQ(Read(c.content), c.result) << c.content;
  }
  EXPECT_EQ(ReadSystemIni("missing.ini", ini, keys.m_IniKeys), 0);
}

// Kept on purpose: a file with Windows line ends names its stage file without the carriage
// return. Only one is cut; elsewhere a carriage return stays a value character.
TEST_F(SystemIniTest, TheStageFileLosesOneCarriageReturnAtItsEnd) {
  const struct {
    std::string line;
    std::string freeStage;
  } cases[] = {
      {"FreeStage=a.stg4\r\n", "a.stg4"},
      {"FreeStage=a.stg4\r\r\n", "a.stg4\r"},
      {"FreeStage=a\rb.stg4\n", "a\rb.stg4"},
      {"FreeStage=a\r\n", ""},  // one character left: too short to be taken
  };
  for (const auto& c : cases) {
    SetSystemIniDefaults(ini, keys.m_IniKeys);
    ASSERT_EQ(Read(c.line + "Exit\n"), 1);
    EXPECT_EQ(std::string(ini.FreeStage), c.freeStage) << c.line;
  }
  ASSERT_EQ(Read("Bpp=16\r\nExit\n"), 1);
  EXPECT_EQ(ini.Bpp, 16);
}

TEST_F(SystemIniTest, HostileValuesStayInBounds) {
  const std::string longPath(300, 'a');
  ASSERT_EQ(Read("FreeStage=" + longPath + "\nFreeStage=x\nBpp=99999999999\nExit\n"), 1);
  EXPECT_STREQ(ini.FreeStage, "");  // too long, then too short: neither is taken
  EXPECT_EQ(ini.Bpp, 2147483647);
  ASSERT_EQ(Read(std::string(5000, 'k') + "=1\nWindowMode=" + std::string(5000, '7') + "\nExit\n"),
            1);
  EXPECT_EQ(ini.WindowMode, 2147483647);
}

}  // namespace
