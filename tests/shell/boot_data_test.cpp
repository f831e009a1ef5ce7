#include "shell/boot_data.h"

#include <gtest/gtest.h>

#include "platform/host_file.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(BootData, SavedThroughTheSafeReplaceAndOnlyAWholeFileIsUsed) {
  cTempFolder folder;
  ASSERT_TRUE(platform::MakeHostFolder("user_data"));
  cBootData boot;
  EXPECT_EQ(boot.Load(), 0);  // missing: the defaults
  EXPECT_EQ(boot.m_nDrawMode, 1);
  EXPECT_EQ(boot.m_bNoAsk, 0);

  boot.m_nDrawMode = 0;
  boot.m_bNoAsk = 1;
  ASSERT_EQ(boot.Save(), 1);
  EXPECT_EQ(ReadBytes("user_data/Boot.dat"), cBytes().I32(821).I32(2).I32(0).I32(1).I32(0).data);
  cBootData read;
  ASSERT_EQ(read.Load(), 1);
  EXPECT_EQ(read.m_nDrawMode, 0);
  EXPECT_EQ(read.m_bNoAsk, 1);

  // Damaged or newer: not used.
  for (const auto& bytes : {cBytes().I32(821).I32(2).I32(0).data,
                            cBytes().I32(900).I32(2).I32(0).I32(0).data}) {
    WriteBytes("user_data/Boot.dat", bytes);
    cBootData other;
    EXPECT_EQ(other.Load(), 0);
    EXPECT_EQ(other.m_nDrawMode, 1);
    EXPECT_EQ(other.m_bNoAsk, 0);
  }
}

}  // namespace
