#include "project/effect_records.h"

#include <gtest/gtest.h>

#include "tests/support/record_bytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Effect(int version, std::int32_t extra, int frames) {
  cBytes b;
  if (version >= 151)
    b.I32(4).I32(extra);
  else
    b.I32(3);
  b.I32(48).I32(16).I32(1).I32(2).Str("spark").Str("bmp\\fx.bmp").I32(frames);
  for (int i = 0; i < frames; ++i) b.I32(2).I32(i).I32(3).I32(0);
  return b.data;
}

TEST(EffectRecordsTest, EffectByVersion) {
  struct sCase {
    int version;
    std::int32_t extra;
  };
  for (const sCase& c : std::vector<sCase>{{150, 0}, {151, 0}, {152, 0}, {153, 9}, {821, 9}}) {
    SCOPED_TRACE(c.version);
    cDbEffect effect;
    ASSERT_TRUE(ReadRecordBytes(effect, c.version, Effect(c.version, 9, 2)));
    EXPECT_EQ(effect.m_nExtra, c.extra);
    EXPECT_EQ(effect.m_nCellWidth, 48);
    EXPECT_EQ(effect.m_nCellHeight, 16);
    EXPECT_EQ(effect.m_bScalable, 1);
    EXPECT_EQ(effect.m_strFile, "bmp\\fx.bmp");
    ASSERT_EQ(effect.m_Frames.size(), 2u);
    EXPECT_EQ(effect.m_Frames[1].m_nCell, 1);
    EXPECT_EQ(WriteRecordBytes(effect), Effect(821, c.extra, 2));
  }
  cDbEffect none;
  ASSERT_TRUE(ReadRecordBytes(none, 821, Effect(821, 0, 0)));
  EXPECT_TRUE(none.m_Frames.empty());

  cDbEffect fresh;
  EXPECT_EQ(fresh.m_nCellWidth, 32);
  EXPECT_EQ(fresh.m_nCellHeight, 32);
  ASSERT_EQ(fresh.m_Frames.size(), 1u);
  EXPECT_EQ(fresh.m_Frames[0].m_nTime, 1);
}

Bytes CharaEffect(std::int32_t kind, std::vector<std::int32_t> params) {
  cBytes b;
  b.I32(2).I32(kind);
  for (std::int32_t p : params) b.I32(p);
  b.I32(1).Str("fx");
  return b.data;
}

TEST(EffectRecordsTest, CharaAndScreenEffectUpgrades) {
  struct sCase {
    bool screen;
    int version;
    std::int32_t kind;
    std::vector<std::int32_t> expected;  // the five parameters after reading 7, 7, 7, 7, 7
  };
  const std::vector<sCase> cases = {
      {false, 510, 5, {7, 7, 7, 7, 2}},  {false, 510, 4, {7, 7, 7, 7, 2}},
      {false, 510, 10, {7, 7, 7, 2, 7}}, {false, 511, 5, {7, 7, 7, 7, 7}},
      {false, 510, 6, {7, 7, 7, 7, 7}},  {true, 300, 10, {7, 7, 7, 8, 7}},
      {true, 510, 6, {7, 7, 7, 7, 8}},   {true, 510, 7, {7, 7, 7, 7, 10}},
      {true, 510, 5, {7, 7, 7, 7, 7}},   {true, 511, 7, {7, 7, 7, 7, 7}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << (c.screen ? "screen " : "chara ") << c.version << " kind " << c.kind);
    cDbScrEffect screen;
    cDbCharaEffect chara;
    cDbCharaEffect& effect = c.screen ? screen : chara;
    ASSERT_TRUE(ReadRecordBytes(effect, c.version, CharaEffect(c.kind, {7, 7, 7, 7, 7})));
    EXPECT_EQ(effect.m_nKind, c.kind);
    EXPECT_EQ(std::vector<std::int32_t>(effect.m_nParam, effect.m_nParam + 5), c.expected);
    EXPECT_EQ(WriteRecordBytes(effect), CharaEffect(c.kind, c.expected));
  }
}

TEST(EffectRecordsTest, KindsWithoutHandlerAreNoEffect) {
  struct sCase {
    bool screen;
    std::int32_t stored, read;
  };
  for (const sCase& c : std::vector<sCase>{
           {false, 16, 16}, {false, 17, 0}, {false, -1, 0}, {true, 13, 13}, {true, 14, 0}}) {
    SCOPED_TRACE(c.stored);
    cDbScrEffect screen;
    cDbCharaEffect chara;
    cDbCharaEffect& effect = c.screen ? screen : chara;
    ASSERT_TRUE(ReadRecordBytes(effect, 821, CharaEffect(c.stored, {1, 2, 3, 4, 5})));
    EXPECT_EQ(effect.m_nKind, c.read);
  }
  EXPECT_EQ(cDbCharaEffect().m_nKind, 1);
}

}  // namespace
