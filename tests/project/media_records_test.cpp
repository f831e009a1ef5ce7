#include "project/media_records.h"

#include <gtest/gtest.h>

#include "tests/support/record_bytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The fields of each record as files of every version lay them out.
Bytes Picture(int v) {
  return v >= 151 ? cBytes().I32(1).I32(5).I32(2).Str("p").Str("a.bmp").data
                  : cBytes().I32(0).I32(2).Str("p").Str("a.bmp").data;
}
Bytes Sound(int v) { return Picture(v); }  // the same bytes: the integer is its only field
Bytes Bgm(int v) {
  cBytes b;
  b.I32((v >= 151) + (v >= 814));
  if (v >= 151) b.I32(5);
  if (v >= 814) b.I32(0);
  return b.I32(2).Str("m").Str("bgm\\a.ogg").data;
}
Bytes BmpCharaExc(int v) {
  cBytes b;
  b.I32((v >= 152) + 2 * (v >= 172));
  if (v >= 152) b.I32(5);
  if (v >= 172) b.I32(1).I32(4);
  return b.I32(2).Str("c").Str("bmp\\c.bmp").data;
}

TEST(MediaRecordsTest, VersionGates) {
  for (int v : {150, 151, 152, 153, 171, 172, 813, 814, 821}) {
    SCOPED_TRACE(v);
    const std::int32_t extra = v >= 153 ? 5 : 0;

    cDbPicture picture;
    ASSERT_TRUE(ReadRecordBytes(picture, v, Picture(v)));
    EXPECT_EQ(picture.m_nExtra, extra);
    EXPECT_EQ(picture.m_strFile, "a.bmp");
    EXPECT_EQ(WriteRecordBytes(picture),
              cBytes().I32(1).I32(extra).I32(2).Str("p").Str("a.bmp").data);

    cDbSound sound;
    ASSERT_TRUE(ReadRecordBytes(sound, v, Sound(v)));
    EXPECT_EQ(sound.m_strName, "p");
    EXPECT_EQ(sound.m_strFile, "a.bmp");
    EXPECT_EQ(sound.m_nExtra, extra);

    cDbBgm bgm;
    ASSERT_TRUE(ReadRecordBytes(bgm, v, Bgm(v)));
    EXPECT_EQ(bgm.m_nExtra, extra);
    EXPECT_EQ(bgm.m_nVolume, v >= 814 ? 0 : 100);
    EXPECT_EQ(bgm.m_strFile, "bgm\\a.ogg");

    cDbBmpCharaExc chara;
    ASSERT_TRUE(ReadRecordBytes(chara, v, BmpCharaExc(v)));
    EXPECT_EQ(chara.m_nExtra, extra);
    EXPECT_EQ(chara.m_bLargeCell, v >= 172 ? 1 : 0);
    EXPECT_EQ(chara.m_nCellBlocks, v >= 172 ? 4 : 2);
    EXPECT_EQ(WriteRecordBytes(chara), cBytes()
                                           .I32(3)
                                           .I32(extra)
                                           .I32(chara.m_bLargeCell)
                                           .I32(chara.m_nCellBlocks)
                                           .I32(2)
                                           .Str("c")
                                           .Str("bmp\\c.bmp")
                                           .data);
  }
}

TEST(MediaRecordsTest, Defaults) {
  EXPECT_EQ(cDbBgm().m_nVolume, 100);
  EXPECT_EQ(cDbBmpCharaExc().m_nCellBlocks, 2);
  EXPECT_EQ(cDbBmpCharaExc().m_bLargeCell, 0);
  EXPECT_EQ(cDbPicture().m_strFile, "");
}

}  // namespace
