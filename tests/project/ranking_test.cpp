#include "project/ranking.h"

#include <gtest/gtest.h>

#include <optional>

#include "foundation/report.h"
#include "platform/host_file.h"
#include "platform/message_box.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct sEntry {
  std::int32_t used;
  std::string name;
  std::int32_t value;
};
struct sTable {
  std::int32_t highFirst;
  std::vector<sEntry> entries;
};

// A ranking file laid out by hand, field by field.
Bytes RankingFile(int version, const std::vector<sTable>& tables) {
  cBytes b;
  b.I32(version).I32(0).I32(0).I32(static_cast<std::int32_t>(tables.size()));
  for (const sTable& table : tables) {
    b.I32(1).I32(table.highFirst).I32(0).I32(static_cast<std::int32_t>(table.entries.size()));
    for (const sEntry& e : table.entries) b.I32(2).I32(e.used).I32(e.value).I32(1).Str(e.name);
  }
  return b.data;
}

sTable FreeTable(int highFirst, int entries = 20) {
  return {highFirst, std::vector<sEntry>(static_cast<std::size_t>(entries), sEntry{0, "", 0})};
}

std::vector<sTable> FreshTables() {
  return {FreeTable(1), FreeTable(1), FreeTable(0), FreeTable(1), FreeTable(1)};
}

// The boxes shown while it lives, each answered by its default button.
class cBoxRecorder {
 public:
  cBoxRecorder() {
    s_Texts.clear();
    platform::SetMessageBoxHandler(&Answer);
  }
  ~cBoxRecorder() { platform::SetMessageBoxHandler(nullptr); }
  cBoxRecorder(const cBoxRecorder&) = delete;
  cBoxRecorder& operator=(const cBoxRecorder&) = delete;
  static std::vector<std::string> s_Texts;

 private:
  static int Answer(const std::string& text, const std::string&, int type) {
    s_Texts.push_back(text);
    return platform::DefaultAnswer(type);
  }
};
std::vector<std::string> cBoxRecorder::s_Texts;

class RankingFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    for (const char* f :
         {"user_data", "user_data\\story", "user_data\\challenge", "user_data\\free"})
      ASSERT_TRUE(platform::MakeHostFolder(f));
  }
  static constexpr const char* kStage = "data\\stg4\\abc.stg4_003";
  static constexpr const char* kFile = "user_data/free/abc.stg4_003rkg";
  int Load(cRanking& r) { return LoadRanking(r, 2, kStage, 0, 0, 0); }
  int Save(cRanking& r) { return SaveRanking(r, 2, kStage, 0, 0, 0); }
  cTempFolder folder;
};

TEST_F(RankingFiles, ReadAndWrittenBackByteForByte) {
  const Bytes empty = RankingFile(821, FreshTables());
  EXPECT_EQ(empty.size(), 2096u);
  cRanking fresh;
  ASSERT_EQ(Save(fresh), 1);
  EXPECT_EQ(ReadBytes(kFile), empty);

  // Names are the player's cp932 bytes, a trail byte 0x5C included, never converted.
  std::vector<sTable> tables = FreshTables();
  tables[0].entries[0] = {1, "ABC", 98765};
  tables[0].entries[1] = {1, "\x95\x5c\x83\x41", -3};
  tables[2].entries[0] = {1, "x", 6012};
  tables[4].entries[19] = {1, "\xff\xfe", 2147483647};
  const Bytes named = RankingFile(821, tables);
  WriteBytes(kFile, named);
  cRanking loaded;
  ASSERT_EQ(Load(loaded), 1);
  EXPECT_EQ(loaded.m_Tables[0].m_Entries[1].m_strName, "\x95\x5c\x83\x41");
  EXPECT_EQ(loaded.m_Tables[0].m_Entries[1].m_nValue, -3);
  ASSERT_TRUE(platform::RemoveHostFile(kFile));
  ASSERT_EQ(Save(loaded), 1);
  EXPECT_EQ(ReadBytes(kFile), named);
}

TEST_F(RankingFiles, OlderAndShortFilesLoadAsFiveTables) {
  struct sCase {
    const char* what;
    int version;
    std::vector<sTable> tables;
    std::vector<int> wantFlags;
    std::vector<int> wantCounts;
  } cases[] = {
      {"three tables of version 180",
       180,
       {FreeTable(1, 3), FreeTable(0), FreeTable(0, 0)},
       {1, 0, 0, 1, 1},
       {3, 20, 0, 20, 20}},
      {"seven tables of version 180",
       180,
       {FreeTable(0), FreeTable(0), FreeTable(0), FreeTable(0), FreeTable(0), FreeTable(1),
        FreeTable(1)},
       {0, 0, 0, 1, 1},
       {20, 20, 20, 20, 20}},
      {"two tables of version 821",
       821,
       {FreeTable(0, 0), FreeTable(0, 7)},
       {0, 0, 0, 1, 1},
       {0, 7, 20, 20, 20}},
      {"no table of version 821", 821, {}, {1, 1, 0, 1, 1}, {20, 20, 20, 20, 20}},
      {"six tables of version 821",
       821,
       {FreeTable(0), FreeTable(0), FreeTable(1), FreeTable(0), FreeTable(0), FreeTable(1, 2)},
       {0, 0, 1, 0, 0, 1},
       {20, 20, 20, 20, 20, 2}},
  };
  for (const sCase& c : cases) {
    WriteBytes(kFile, RankingFile(c.version, c.tables));
    cRanking loaded;
    ASSERT_EQ(Load(loaded), 1) << c.what;
    ASSERT_EQ(loaded.m_Tables.size(), c.wantFlags.size()) << c.what;
    for (std::size_t i = 0; i < c.wantFlags.size(); ++i) {
      EXPECT_EQ(loaded.m_Tables[i].m_bHighFirst, c.wantFlags[i]) << c.what << " table " << i;
      EXPECT_EQ(loaded.m_Tables[i].m_Entries.size(), static_cast<std::size_t>(c.wantCounts[i]))
          << c.what << " table " << i;
    }
  }
}

// A file that cannot be read shows five empty tables; registering over it never destroys it
// and never passes for saved. A missing file is simply written.
TEST_F(RankingFiles, UnreadableFilesAreKeptUntilRemoved) {
  std::vector<sTable> tables = FreshTables();
  tables[0].entries[0] = {1, "AAA", 500};
  const Bytes good = RankingFile(821, tables);
  Bytes newer = good;
  newer[0] = 0x36;  // version 822
  Bytes countBeyond = good;
  for (int i : {12, 13, 14}) countBeyond[i] = 0xFF;  // the table count
  Bytes longName = RankingFile(821, {{1, {{1, "AAA", 5}}}});
  longName[longName.size() - 8] = 0x40;  // the name's length
  const Bytes cases[] = {newer, Bytes(good.begin(), good.end() - 3), countBeyond, longName,
                         Bytes{1, 2}};
  for (const Bytes& bytes : cases) {
    WriteBytes(kFile, bytes);
    cBoxRecorder boxes;
    cRanking ranking;
    ranking.m_Tables[1].AddEntry("old", 1);
    EXPECT_EQ(Load(ranking), 0);
    EXPECT_EQ(ranking.m_Tables.size(), 5u);
    EXPECT_EQ(ranking.m_Tables[1].FindRank(-100), 0);

    ranking.m_Tables[0].AddEntry("BBB", 900);
    EXPECT_EQ(Save(ranking), 0);
    EXPECT_EQ(ReadBytes(kFile), bytes);
    EXPECT_EQ(cBoxRecorder::s_Texts.size(), 1u);
  }
  // Once the player removes it, the next registration writes a new file without a word.
  ASSERT_TRUE(platform::RemoveHostFile(kFile));
  cBoxRecorder boxes;
  cRanking ranking;
  EXPECT_EQ(Load(ranking), 0);
  ranking.m_Tables[0].AddEntry("CCC", 7);
  EXPECT_EQ(Save(ranking), 1);
  EXPECT_TRUE(cBoxRecorder::s_Texts.empty());
  cRanking back;
  ASSERT_EQ(Load(back), 1);
  EXPECT_EQ(back.m_Tables[0].m_Entries[0].m_strName, "CCC");
}

bool FailReplace(const std::string&) { return false; }

class cReplaceFault {
 public:
  cReplaceFault() { platform::SetReplaceFaultHook(&FailReplace); }
  ~cReplaceFault() { platform::SetReplaceFaultHook(nullptr); }
  cReplaceFault(const cReplaceFault&) = delete;
  cReplaceFault& operator=(const cReplaceFault&) = delete;
};

TEST_F(RankingFiles, AWriteThatFailsIsAFailureAndKeepsTheOldFile) {
  cRanking ranking;
  ASSERT_EQ(Save(ranking), 1);
  const Bytes before = ReadBytes(kFile);
  ranking.m_Tables[0].AddEntry("DDD", 10);
  {
    cReplaceFault fault;
    EXPECT_EQ(Save(ranking), 0);
  }
  EXPECT_EQ(ReadBytes(kFile), before);
  // Modes without ranking files neither read nor write one.
  EXPECT_EQ(SaveRanking(ranking, 3, kStage, 0, 0, 0), 0);
  EXPECT_EQ(LoadRanking(ranking, 3, kStage, 0, 0, 0), 0);
  EXPECT_EQ(ranking.m_Tables[0].m_Entries[0].m_bUsed, 0);
}

TEST(RankingPath, FolderByModeNameWithoutFolderAndNoDotOfItsOwn) {
  const std::string longName = "data\\" + std::string(240, 'a') + ".stg4";
  struct sCase {
    int mode;
    std::string stage;
    int variant, a, b;
    const char* want;  // null: no path
  } cases[] = {
      {2, "data\\stg4\\abc.stg4_003", 0, 0, 0, "user_data\\free\\abc.stg4_003rkg"},
      {2, "abc.stg4_003", 0, 0, 0, "user_data\\free\\abc.stg4_003rkg"},
      {2, "data/stg4/abc.stg4", 1, 5, 2, "user_data\\free\\abc.stg4rkg"},
      {1, "data\\stg4\\c01-1.stg4", 1, 5, 2, "user_data\\challenge\\c01-1.stg4rkg"},
      {0, "data\\stg4\\abc.", 1, 5, 2, "user_data\\story\\abc_c005_2.rkg"},
      {0, "abc.stg4", 1, 1234, 0, "user_data\\story\\abc.stg4_c1234_0rkg"},
      {0, "abc.", 0, 5, 2, "user_data\\story\\abc.rkg"},
      {2, "data\\stg4\\\x95\x5c.stg4", 0, 0, 0, "user_data\\free\\\x95\x5c.stg4rkg"},
      {3, "abc.stg4", 0, 0, 0, nullptr},
      {-1, "abc.stg4", 0, 0, 0, nullptr},
      {2, longName, 0, 0, 0, nullptr},
  };
  for (const sCase& c : cases) {
    std::string path = "untouched";
    const int made = MakeRankingPath(path, c.mode, c.stage, c.variant, c.a, c.b);
    EXPECT_EQ(made, c.want ? 1 : 0) << c.stage;
    EXPECT_EQ(path, c.want ? c.want : "untouched") << c.stage;
  }
}

// A table from values best first; nullopt is a free entry.
cRankTable Table(int highFirst, const std::vector<std::optional<int>>& values) {
  cRankTable table;
  table.m_bHighFirst = highFirst;
  for (const std::optional<int>& v : values) {
    cRankEntry& e = table.m_Entries.emplace_back();
    e.m_bUsed = v.has_value();
    e.m_nValue = v.value_or(0);
  }
  return table;
}

std::vector<std::optional<int>> Values(const cRankTable& table) {
  std::vector<std::optional<int>> out;
  for (const cRankEntry& e : table.m_Entries)
    out.push_back(e.m_bUsed ? std::optional<int>(e.m_nValue) : std::nullopt);
  return out;
}

TEST(RankTable, PlacingAndRegisteringValues) {
  using V = std::vector<std::optional<int>>;
  const auto none = std::nullopt;
  V full;
  for (int i = 0; i < 19; ++i) full.push_back(1000 - i);
  full.push_back(100);
  V fullAfter101 = full;
  fullAfter101[19] = 101;
  V allFreeAfter(20, none);
  allFreeAfter[0] = -7;
  struct sCase {
    const char* what;
    int highFirst;
    V before;
    int value;
    int want;
    V after;
  } cases[] = {
      {"all free", 1, V(20, none), -7, 0, allFreeAfter},
      {"a tie ranks below", 1, {300, 200, none}, 200, 2, {300, 200, 200}},
      {"full, equal to the last", 1, full, 100, -1, full},
      {"full, above the last", 1, full, 101, 19, fullAfter101},
      {"lower first, best time", 0, {500, 700, 900}, 400, 0, {400, 500, 700}},
      {"lower first, a tie", 0, {500, 700, 900}, 700, 2, {500, 700, 700}},
      {"lower first, slowest", 0, {500, 700, 900}, 901, -1, {500, 700, 900}},
      {"a free entry between", 1, {300, none, 100}, -50, 1, {300, -50, none}},
      {"a free entry between, a better value", 1, {300, none, 100}, 400, 0, {400, 300, none}},
      {"no entries", 1, {}, 5, -1, {}},
  };
  for (const sCase& c : cases) {
    cRankTable table = Table(c.highFirst, c.before);
    EXPECT_EQ(table.FindRank(c.value), c.want) << c.what;
    table.AddEntry("NEW", c.value);
    EXPECT_EQ(Values(table), c.after) << c.what;
    if (c.want >= 0) {
      EXPECT_EQ(table.m_Entries[c.want].m_strName, "NEW") << c.what;
    }
  }
}

TEST(RankTable, RegistrationsKeepTwentyEntriesInOrder) {
  cRanking ranking;
  cRankTable& times = ranking.m_Tables[2];
  for (int i = 0; i < 200; ++i) times.AddEntry("T", (i * 37) % 200 - 300);
  ASSERT_EQ(times.m_Entries.size(), 20u);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(times.m_Entries[i].m_bUsed, 1);
    EXPECT_EQ(times.m_Entries[i].m_nValue, -300 + i) << i;  // the 20 lowest of all
  }
  // Resetting a table keeps its first 20 entries and the count; the order flag is cleared.
  times.m_Entries.resize(25);
  times.Reset();
  EXPECT_EQ(times.m_Entries.size(), 20u);
  EXPECT_EQ(times.m_Entries[19].m_nValue, -281);
  EXPECT_EQ(times.m_bHighFirst, 0);
  cRankTable few = Table(1, {8});
  few.Reset();
  std::vector<std::optional<int>> want(20, std::nullopt);
  want[0] = 8;
  EXPECT_EQ(Values(few), want);
}

}  // namespace
