#include "media/anime.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct sCase {
  const char* name;
  std::vector<std::vector<int>> runs;  // triples, each run closed by its control triple
  int start;
  std::vector<int> expected;  // the values of successive Update calls
};

AnimeRuns MakeRuns(const std::vector<std::vector<int>>& runs) {
  AnimeRuns table;
  for (const auto& triples : runs) {
    AnimeRun run;
    for (std::size_t i = 0; i + 2 < triples.size(); i += 3)
      run.push_back({triples[i], triples[i + 1], static_cast<std::uint8_t>(triples[i + 2])});
    table.push_back(run);
  }
  return table;
}

TEST(AnimeTest, ControlEntries) {
  const std::vector<sCase> cases = {
      {"loop", {{5, 2, 0, 6, 2, 0, -2, 0, 0}}, 0, {5, 6, 6, 5, 5, 6}},
      {"hold", {{1, 1, 0, -1, 0, 0}}, 0, {1, 1, 1, 1}},
      {"hold shows the last frame again", {{1, 1, 0, 2, 2, 0, -1, 0, 0}}, 0, {2, 2, 2, 2, 2}},
      {"jump", {{3, 1, 0, -3, 1, 0}, {9, 5, 0, -2, 0, 0}}, 0, {9, 9, 9, 9, 9, 9}},
      {"duration 0 lasts one tick", {{7, 0, 0, 8, 0, 0, -2, 0, 0}}, 0, {8, 7, 8, 7}},
      {"end is reported and stays", {{4, 1, 0, -4, 0, 0}}, 0, {-4, -4, -4}},
      {"other end value", {{4, 2, 0, -9, 0, 0}}, 0, {4, -9, -9}},
      // Runs the data does not back: nothing is stepped past an entry that exists.
      {"only an end entry", {{-4, 0, 0}}, 0, {-4, -4}},
      {"only a hold entry", {{-1, 0, 0}}, 0, {0, 0}},
      {"only a loop entry", {{-2, 0, 0}}, 0, {0, 0}},
      {"only a jump entry", {{-3, 1, 0}, {6, 1, 0, -1, 0, 0}}, 0, {6, 6, 6}},
      {"jump to itself", {{-3, 0, 0}}, 0, {0, 0}},
      {"jump to a missing run holds", {{3, 1, 0, -3, 7, 0}}, 0, {3, 3, 3}},
      {"run without a control entry holds", {{3, 1, 0, 4, 1, 0}}, 0, {4, 4, 4}},
      {"empty run", {{}}, 0, {0, 0}},
      {"empty table", {}, 0, {0, 0}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    cAnime anime;
    anime.Init(MakeRuns(c.runs));
    anime.Set(c.start, 1);
    std::vector<int> got;
    for (std::size_t i = 0; i < c.expected.size(); ++i) got.push_back(anime.Update());
    EXPECT_EQ(got, c.expected);
  }
}

TEST(AnimeTest, InitFromArraysStopsAtEachControlTriple) {
  static const int run0[] = {5, 2, 0, 6, 2, 0x101, -2, 0, 0, 99, 99, 99};
  static const int run1[] = {9, 1, 0, -1, 0, 0};
  static const int* const runs[] = {run0, run1, nullptr};
  cAnime anime;
  anime.Init(runs);
  ASSERT_EQ(anime.Runs().size(), 2u);
  EXPECT_EQ(anime.Runs()[0].size(), 3u);
  EXPECT_EQ(anime.Runs()[0][1].bLock, 1);  // only the low byte of lock is kept
  anime.Init(static_cast<const int* const*>(nullptr));
  EXPECT_EQ(anime.Runs().size(), 2u);
}

TEST(AnimeTest, LockRefusesOnlyNonForcedChanges) {
  static const int locked[] = {1, 3, 1, -1, 0, 0};
  static const int free[] = {2, 3, 0, -1, 0, 0};
  static const int* const runs[] = {locked, free, free, nullptr};
  cAnime anime;
  anime.Init(runs);
  anime.Update();
  EXPECT_EQ(anime.Set(2, 0), 0);
  EXPECT_EQ(anime.GetRun(), 0);
  EXPECT_EQ(anime.GetTick(), 1);
  EXPECT_EQ(anime.Change(1, 0), 0);
  EXPECT_EQ(anime.Change(0, 0), 1);  // the current run: kept, not restarted
  EXPECT_EQ(anime.GetTick(), 1);
  EXPECT_EQ(anime.Set(2, 1), 1);
  EXPECT_EQ(anime.GetRun(), 2);
  EXPECT_EQ(anime.GetFrame(), 2);
  anime.Update();
  EXPECT_EQ(anime.Change(2, 0), 1);
  EXPECT_EQ(anime.GetTick(), 1);
  EXPECT_EQ(anime.Change(1, 0), 1);
  EXPECT_EQ(anime.GetTick(), 0);
  EXPECT_EQ(anime.Set(3, 1), 0);  // no such run: refused, the current one goes on
  EXPECT_EQ(anime.GetRun(), 1);

  cAnime copy;
  copy = anime;
  EXPECT_EQ(copy.GetRun(), 1);
  EXPECT_EQ(copy.Update(), 2);
}

}  // namespace
