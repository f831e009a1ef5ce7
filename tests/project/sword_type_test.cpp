#include "project/sword_type.h"

#include <gtest/gtest.h>

#include "tests/support/record_bytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes SwordType(int v, int frames) {
  cBytes b;
  if (v >= 151)
    b.I32(1).I32(6);
  else
    b.I32(0);
  b.I32(3).Str("blade").Str("a.bmp").Str("b.bmp").I32(frames);
  for (int i = 0; i < frames; ++i) {
    b.I32(v >= 138 ? 10 : 8).I32(-4).I32(5);
    if (v >= 138) b.I32(0).I32(1);
    b.I32(2).I32(10).I32(20).I32(30).I32(40).I32(i + 1).I32(0);
  }
  return b.data;
}

TEST(SwordTypeTest, ByVersion) {
  struct sCase {
    int version;
    std::int32_t extra, flipX, flipY;
  };
  for (const sCase& c : std::vector<sCase>{
           {137, 0, 1, 0}, {138, 0, 0, 1}, {150, 0, 0, 1}, {151, 0, 0, 1}, {153, 6, 0, 1}}) {
    SCOPED_TRACE(c.version);
    cDbSwordType sword;
    sword.m_Frames.resize(5);
    ASSERT_TRUE(ReadRecordBytes(sword, c.version, SwordType(c.version, 3)));
    EXPECT_EQ(sword.m_nExtra, c.extra);
    EXPECT_EQ(sword.m_strImage2, "b.bmp");
    ASSERT_EQ(sword.m_Frames.size(), 3u);
    const cDbSwordFrame& f = sword.m_Frames[2];
    EXPECT_EQ(f.m_nOffsetX, -4);
    EXPECT_EQ(f.m_bFlipOffsetX, c.flipX);
    EXPECT_EQ(f.m_bFlipOffsetY, c.flipY);
    EXPECT_EQ(f.m_nAnchor, SWORD_ANCHOR_ABOVE);
    EXPECT_EQ(f.m_nHeight, 40);
    EXPECT_EQ(f.m_nTime, 3);
  }
  cDbSwordType sword;
  ASSERT_TRUE(ReadRecordBytes(sword, 821, SwordType(821, 2)));
  EXPECT_EQ(WriteRecordBytes(sword), SwordType(821, 2));
  ASSERT_TRUE(ReadRecordBytes(sword, 821, SwordType(821, 0)));
  EXPECT_TRUE(sword.m_Frames.empty());
}

TEST(SwordTypeTest, Default) {
  cDbSwordType sword;
  sword.m_strName = "x";
  sword.m_Frames.resize(3);
  sword.SetDefault();
  EXPECT_EQ(sword.m_strName, "");
  ASSERT_EQ(sword.m_Frames.size(), 1u);
  EXPECT_EQ(sword.m_Frames[0].m_nTime, 1);
  EXPECT_EQ(sword.m_Frames[0].m_nWidth, 0);
  EXPECT_EQ(sword.m_Frames[0].m_bFlipOffsetX, 1);
  EXPECT_EQ(sword.m_Frames[0].m_bFlipOffsetY, 0);
}

}  // namespace
