#include "project/database.h"

#include <gtest/gtest.h>

#include "foundation/report.h"
#include "platform/host_file.h"
#include "tests/support/record_bytes.h"
#include "tests/support/scoped_value.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

template <class T>
void WriteTable(int table, cVector<T> elements) {
  DataFilePtr file = DataFileOpenWrite(DbTablePath(table));
  file->WriteInt(static_cast<std::int32_t>(elements.size()));
  for (T& element : elements) element.Write(*file);
  ASSERT_TRUE(DataFileClose(file));
}

template <class T>
cVector<T> Named(int count, const char* prefix) {
  cVector<T> elements(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) elements[i].m_strName = prefix + std::to_string(i);
  return elements;
}

// A complete set of tables, each with entries named after its file.
void WriteAllTables() {
  WriteTable(DB_ANIME_SET, Named<cDbAnimeSet>(3, "set"));
  WriteTable(DB_ANIME, Named<cDbAnime>(1, "anime"));
  WriteTable(DB_BMP_CHARA_EXC, Named<cDbBmpCharaExc>(3, "bmp"));
  WriteTable(DB_SWORD_TYPE, Named<cDbSwordType>(3, "sword"));
  WriteTable(DB_EFFECT, Named<cDbEffect>(3, "effect"));
  cVector<cDbCharaEffect> chara = Named<cDbCharaEffect>(3, "chara");
  chara[0].m_nKind = 5;
  WriteTable(DB_CHARA_EFFECT, chara);
  cVector<cDbScrEffect> screen = Named<cDbScrEffect>(3, "screen");
  screen[0].m_nKind = 9;
  WriteTable(DB_SCR_EFFECT, screen);
  WriteTable(DB_PICTURE, Named<cDbPicture>(3, "picture"));
  WriteTable(DB_SOUND, Named<cDbSound>(3, "sound"));
  WriteTable(DB_BGM, Named<cDbBgm>(3, "bgm"));
}

// The name of entry 0 of a table; the default entries have none, except the Anime table's.
std::string FirstName(const cDataBase& db, int table) {
  cDataBase& d = const_cast<cDataBase&>(db);
  switch (table) {
    case DB_ANIME_SET:
      return d.m_AnimeSet[0].m_strName;
    case DB_ANIME:
      return d.m_Anime[0].m_strName;
    case DB_BMP_CHARA_EXC:
      return d.m_BmpCharaExc[0].m_strName;
    case DB_SWORD_TYPE:
      return d.m_SwordType[0].m_strName;
    case DB_EFFECT:
      return d.m_Effect[0].m_strName;
    case DB_CHARA_EFFECT:
      return d.m_CharaEffect[0].m_strName;
    case DB_SCR_EFFECT:
      return d.m_ScrEffect[0].m_strName;
    case DB_PICTURE:
      return d.m_Picture[0].m_strName;
    case DB_SOUND:
      return d.m_Sound[0].m_strName;
    default:
      return d.m_Bgm[0].m_strName;
  }
}

class DataBaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    ASSERT_TRUE(platform::MakeHostFolder("data"));
    ASSERT_TRUE(platform::MakeHostFolder("data\\database"));
    WriteAllTables();
  }
  cTempFolder folder;
};

TEST_F(DataBaseTest, Defaults) {
  cDataBase db;
  const int sizes[DB_TABLE_COUNT] = {1, 2, 2, 1, 2, 2, 2, 2, 2, 2};
  for (int t = 0; t < DB_TABLE_COUNT; ++t) EXPECT_EQ(db.TableSize(t), sizes[t]) << t;
  EXPECT_EQ(db.m_Anime[0].m_strName, "なし");
  EXPECT_EQ(db.m_Anime[1].m_strName, "アクションA");
  EXPECT_EQ(db.m_AnimeSet[0].m_Anime.size(), 4u);
  EXPECT_EQ(db.m_SwordType[0].m_Frames[0].m_nTime, 1);
  EXPECT_EQ(db.m_Bgm[1].m_nVolume, 100);
  EXPECT_TRUE(db.m_CharaEffectWork.empty());
  EXPECT_EQ(db.ClampIndex(DB_BGM, 1), 1);
  EXPECT_EQ(db.ClampIndex(DB_BGM, 2), 0);
  EXPECT_EQ(db.ClampIndex(DB_BGM, -1), 0);
  EXPECT_EQ(db.ClampIndex(DB_TABLE_COUNT, 0), 0);
}

TEST_F(DataBaseTest, LoadsEveryTable) {
  cDataBase db;
  ASSERT_EQ(db.Load(), 1);
  for (int t = 0; t < DB_TABLE_COUNT; ++t) {
    EXPECT_EQ(db.TableSize(t), t == DB_ANIME ? 1 : 3) << t;
    EXPECT_NE(FirstName(db, t), "") << t;
  }
  EXPECT_EQ(db.m_Anime[0].m_strName, "anime0");  // cut to the file's one entry
  EXPECT_EQ(db.m_CharaEffect[0].m_nKind, 0);     // entry 0 is always no effect
  EXPECT_EQ(db.m_ScrEffect[0].m_nKind, 0);
  EXPECT_EQ(db.m_CharaEffect[1].m_nKind, 1);
  db.CopyEffectWork();
  EXPECT_EQ(db.m_ScrEffectWork.size(), 3u);
  EXPECT_EQ(db.m_ScrEffectWork[2].m_strName, "screen2");
}

TEST_F(DataBaseTest, ATableLoadsOnItsOwn) {
  cDataBase db;
  ASSERT_EQ(db.LoadTable(DB_SOUND), 1);
  for (int t = 0; t < DB_TABLE_COUNT; ++t)
    EXPECT_EQ(db.TableSize(t), t == DB_SOUND ? 3 : cDataBase().TableSize(t)) << t;
  EXPECT_EQ(db.m_Sound[2].m_strName, "sound2");
  for (int table : {-1, static_cast<int>(DB_TABLE_COUNT)}) EXPECT_EQ(db.LoadTable(table), 0);
}

TEST_F(DataBaseTest, AFailedTableStopsTheLoadAndKeepsItsDefaults) {
  enum eSpoil { MISSING, NEWER, TRUNCATED, BAD_COUNT, TOO_MANY_FIELDS };
  struct sCase {
    int table;
    eSpoil spoil;
  };
  const std::vector<sCase> cases = {{DB_EFFECT, MISSING},
                                    {DB_ANIME_SET, NEWER},
                                    {DB_BGM, TRUNCATED},
                                    {DB_SWORD_TYPE, BAD_COUNT},
                                    {DB_PICTURE, TOO_MANY_FIELDS}};
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << DbTablePath(c.table) << " spoilt " << c.spoil);
    WriteAllTables();
    const std::string path = DbTablePath(c.table);
    Bytes bytes = ReadBytes("data/database/" + path.substr(path.rfind('\\') + 1));
    switch (c.spoil) {
      case MISSING:
        platform::RemoveHostFile(path);
        break;
      case NEWER:
        bytes[0] = 0x36;
        break;  // version 822
      case TRUNCATED:
        bytes.resize(bytes.size() - 2);
        break;
      case BAD_COUNT:
        bytes[4] = 0xFF;
        bytes[5] = 0xFF;
        break;
      case TOO_MANY_FIELDS:
        bytes[8] = 9;
        break;
    }
    if (c.spoil != MISSING) platform::ReplaceHostFile(path, bytes.data(), bytes.size());

    cDataBase db;
    db.m_CharaEffect[0].m_nKind = 3;
    // Left by an earlier refusal: the flag must not colour this message.
    cScopedGlobal leftNewer(g_bNewerDataFile, 1);
    EXPECT_EQ(db.Load(), 0);
    for (int t = 0; t < DB_TABLE_COUNT; ++t) {
      if (t < c.table)
        EXPECT_NE(FirstName(db, t), "") << "read before the failure: " << t;
      else
        EXPECT_EQ(db.TableSize(t), cDataBase().TableSize(t)) << "kept defaults: " << t;
    }
    // Entry 0 is not fixed up after a failure: it holds what it held or what was read.
    EXPECT_EQ(db.m_CharaEffect[0].m_nKind, c.table <= DB_CHARA_EFFECT ? 3 : 5);

    const std::string report = ReadText("Report_Game.txt");
    const std::string failed = Utf8(u8"の読み込みに失敗しました！");
    const std::string newer = Utf8(u8"ソフトより上位のバージョンのファイルは使用できません。");
    const std::size_t at = report.rfind(failed);
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(report.rfind(path, at), std::string::npos);
    EXPECT_EQ(report.find(newer, at) != std::string::npos, c.spoil == NEWER);
  }
}

TEST_F(DataBaseTest, TablesAreReadOverTheirEntries) {
  // A Bgm.dat of version 813 stores no volume: entries already there keep theirs, entries
  // the file adds take the default.
  const Bytes bgm = cBytes()
                        .I32(813)
                        .I32(3)
                        .I32(1)
                        .I32(0)
                        .I32(2)
                        .Str("a")
                        .Str("a.mid")
                        .I32(1)
                        .I32(0)
                        .I32(2)
                        .Str("b")
                        .Str("b.mid")
                        .I32(1)
                        .I32(0)
                        .I32(2)
                        .Str("c")
                        .Str("c.ogg")
                        .data;
  WriteBytes("data/database/Bgm.dat", bgm);
  // An empty table keeps an entry 0 for every reference to fall back to.
  WriteBytes("data/database/Sound.dat", cBytes().I32(821).I32(0).data);
  cDataBase db;
  db.m_Bgm[0].m_nVolume = 55;
  ASSERT_EQ(db.Load(), 1);
  ASSERT_EQ(db.m_Bgm.size(), 3u);
  EXPECT_EQ(db.m_Bgm[0].m_nVolume, 55);
  EXPECT_EQ(db.m_Bgm[2].m_nVolume, 100);
  EXPECT_EQ(db.m_Bgm[2].m_strFile, "c.ogg");
  ASSERT_EQ(db.m_Sound.size(), 1u);
  EXPECT_EQ(db.m_Sound[0].m_strFile, "");
}

TEST_F(DataBaseTest, CarriageReturnsAreStripped) {
  cVector<cDbPicture> pictures(2);
  pictures[1].m_strName = "two\r\nlines";
  WriteTable(DB_PICTURE, pictures);
  cScopedGlobal stripCR(g_bStripCR, 1);
  cDataBase db;
  ASSERT_EQ(db.Load(), 1);
  EXPECT_EQ(db.m_Picture[1].m_strName, "two\nlines");
}

TEST(AnimeFrameTableTest, StepsLocksAndTerminators) {
  cVector<cDbAnime> anime(4);
  anime[0].m_Frames.resize(2);
  anime[0].m_Frames[1].m_nCell = 7;
  anime[1].m_Frames.resize(4);
  for (int k = 0; k < 4; ++k) {
    anime[1].m_Frames[k].m_nCell = 10 + k;
    anime[1].m_Frames[k].m_nTime = k + 1;
  }
  anime[1].m_Frames[2].m_bLock = 1;
  anime[2].m_Frames.clear();
  anime[3].m_Frames[0].m_nTime = 0x7FFFFFFF;
  AnimeRuns runs;
  runs.resize(9);
  BuildAnimeFrameTable(anime, runs);
  ASSERT_EQ(runs.size(), 4u);

  auto steps = [&](int i) {
    std::vector<std::vector<int>> out;
    for (const sAnimeFrame& f : runs[i]) out.push_back({f.nFrame, f.nDuration, f.bLock});
    return out;
  };
  using Steps = std::vector<std::vector<int>>;
  EXPECT_EQ(steps(0), (Steps{{0, 0, 1}, {7, 0, 1}, {-2, 0, 1}}));
  EXPECT_EQ(steps(1), (Steps{{10, 6, 0}, {11, 12, 0}, {12, 18, 1}, {13, 24, 1}, {-4, 0, 0}}));
  EXPECT_EQ(steps(2), (Steps{{-4, 0, 0}}));
  EXPECT_EQ(runs[3][0].nDuration, 0x7FFFFFFF);

  // The sequences play as the sequencer runs them: a one-shot animation ends with -4.
  cAnime player;
  player.Init(runs);
  player.Set(1, 1);
  int last = 0;
  for (int tick = 0; tick < 6 * 10; ++tick) last = player.Update();
  EXPECT_EQ(last, -4);
  EXPECT_EQ(player.Set(2, 1), 1);
  EXPECT_EQ(player.Update(), -4);
}

}  // namespace
