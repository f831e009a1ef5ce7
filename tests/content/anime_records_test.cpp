#include "content/anime_records.h"

#include <gtest/gtest.h>

#include "tests/support/record_bytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// An animation as a file of the given version holds it, with frames {cell, time, lock}.
Bytes Anime(int version, const std::string& name, std::vector<std::int32_t> frames) {
  cBytes b;
  if (version >= 55)
    b.I32(3).I16(-3).U8(7).I16(9);
  else
    b.I32(0);
  b.I32(1).Str(name).I32(static_cast<std::int32_t>(frames.size() / 3));
  for (std::size_t i = 0; i + 2 < frames.size(); i += 3)
    b.I32(3).I32(frames[i]).I32(frames[i + 1]).I32(frames[i + 2]).I32(0);
  return b.data;
}

Bytes AnimeSet(int version, int count) {
  cBytes b;
  b.I32(version >= 119 ? 3 : 2).I32(1).I32(2);
  if (version >= 119) b.I32(3);
  b.I32(1).Str("set").I32(count);
  for (int i = 0; i < count; ++i) b.Raw(Anime(version, "a" + std::to_string(i), {i, 2, 0}));
  return b.data;
}

TEST(AnimeRecordsTest, AnimeByVersion) {
  cDbAnime anime;
  ASSERT_TRUE(ReadRecordBytes(anime, 821, Anime(821, "run", {4, 2, 0, 5, 3, 1})));
  EXPECT_EQ(anime.m_strName, "run");
  EXPECT_EQ(anime.m_nValue1, -3);
  EXPECT_EQ(anime.m_nValue2, 7);
  ASSERT_EQ(anime.m_Frames.size(), 2u);
  EXPECT_EQ(anime.m_Frames[1].m_nTime, 3);
  EXPECT_EQ(anime.m_Frames[1].m_bLock, 1);
  EXPECT_EQ(WriteRecordBytes(anime), Anime(821, "run", {4, 2, 0, 5, 3, 1}));

  // Version 54 stores none of the three values: a default animation keeps its defaults.
  cDbAnime old;
  ASSERT_TRUE(ReadRecordBytes(old, 54, Anime(54, "old", {})));
  EXPECT_EQ(old.m_nValue1, 0);
  EXPECT_EQ(old.m_nValue2, 1);
  EXPECT_TRUE(old.m_Frames.empty());
  const Bytes upgraded = cBytes().I32(3).I16(0).U8(1).I16(0).I32(1).Str("old").I32(0).data;
  EXPECT_EQ(WriteRecordBytes(old), upgraded);

  old.Clear();
  ASSERT_EQ(old.m_Frames.size(), 1u);
  EXPECT_EQ(old.m_Frames[0].m_nTime, 1);
  EXPECT_EQ(old.m_strName, "");
}

TEST(AnimeRecordsTest, OldSetsHaveFourAnimations) {
  struct sCase {
    int version;
    int stored;
    std::vector<std::string> names;
  };
  const std::vector<sCase> cases = {
      {118, 2, {"a0", "a1", "飛行", "飛行移動"}},
      {118, 6, {"a0", "a1", "飛行", "飛行移動"}},
      {125, 4, {"a0", "a1", "飛行", "飛行移動"}},
      {125, 1, {"a0", "", "飛行", "飛行移動"}},
      {128, 2, {"a0", "a1"}},
      {821, 5, {"a0", "a1", "a2", "a3", "a4"}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.version << " with " << c.stored);
    cDbAnimeSet set;
    ASSERT_TRUE(ReadRecordBytes(set, c.version, AnimeSet(c.version, c.stored)));
    std::vector<std::string> names;
    for (const cDbAnime& anime : set.m_Anime) names.push_back(anime.m_strName);
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(set.m_nNoHitCell, 2);
    EXPECT_EQ(set.m_nFlyCell, c.version >= 119 ? 3 : 0);
    // Animations added to fill a set are default ones of one frame.
    EXPECT_EQ(set.m_Anime.back().m_Frames.size(), 1u);
  }
  cDbAnimeSet set;
  ASSERT_TRUE(ReadRecordBytes(set, 821, AnimeSet(821, 2)));
  EXPECT_EQ(WriteRecordBytes(set), AnimeSet(821, 2));
}

TEST(AnimeRecordsTest, DefaultSet) {
  cDbAnimeSet set;
  set.m_strName = "x";
  set.m_Anime.resize(7);
  MakeDefaultAnimeSet(set);
  EXPECT_EQ(set.m_strName, "");
  EXPECT_EQ(set.m_nInvincibleCell, 4);
  EXPECT_EQ(set.m_nNoHitCell, 8);
  EXPECT_EQ(set.m_nFlyCell, 0);
  ASSERT_EQ(set.m_Anime.size(), 4u);
  EXPECT_EQ(set.m_Anime[0].m_strName, "立ち");
  EXPECT_EQ(set.m_Anime[1].m_strName, "立ち移動");
  EXPECT_EQ(set.m_Anime[3].m_Frames.size(), 1u);
}

TEST(AnimeRecordsTest, DamagedSetKeepsNothingHalfRead) {
  const Bytes whole = AnimeSet(821, 3);
  for (std::size_t cut : {std::size_t{10}, whole.size() / 2, whole.size() - 1}) {
    cDbAnimeSet set;
    MakeDefaultAnimeSet(set);
    DataFilePtr file = DataFileFromBytes(
        "cut", cBytes().I32(821).Raw(Bytes(whole.begin(), whole.begin() + cut)).data);
    EXPECT_EQ(ReadRecordChecked(set, *file), 0);
    EXPECT_EQ(set.m_Anime.size(), 4u);
    EXPECT_EQ(set.m_nInvincibleCell, 4);
  }
}

}  // namespace
