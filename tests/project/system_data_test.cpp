#include "project/system_data.h"

#include <gtest/gtest.h>

#include "foundation/report.h"
#include "tests/support/temp_folder.h"
#include "tests/support/scoped_value.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Writes a system record as an editor of data version v would have: the header and bound
// fields of v, and only the lists that v has.
Bytes WriteAsVersion(cSystemData& rec, int v) {
  cScopedGlobal dataVersion(g_nDataVersion, v);
  cDataFile file("fixture");
  file.WriteInt(v);
  rec.cFileData::Write(file);
  WriteValueList(file, rec.m_InheritAllowed);
  if (v >= 501) WriteValueList(file, rec.m_InheritReset);
  WriteRecordList(file, rec.m_DisplayItems);
  WriteValueList(file, rec.m_nStartLives);
  if (v >= 191) WriteValueList(file, rec.m_bUnlimitedLives);
  if (v >= 186) WriteRecordList(file, rec.m_RankingSets);
  WriteStringList(file, rec.m_Texts);
  WriteStringList(file, rec.m_SystemSounds);
  WriteValueList(file, rec.m_nSceneBgm);
  if (v >= 202) WriteValueList(file, rec.m_bSceneBgmLoop);
  WriteRecordList(file, rec.m_TitleMenu);
  WriteRecordList(file, rec.m_MapMenu);
  WriteRecordList(file, rec.m_OptionMenu);
  if (v >= 674) WriteStringList(file, rec.m_RankingModeNames);
  WriteRecordList(file, rec.m_IniKeys);
  return file.Bytes();
}

int g_nTestBgmCount = 3;
int TestBgmCount() { return g_nTestBgmCount; }

class SystemDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    SetSystemBgmCountSource(nullptr);
  }
  void TearDown() override { SetSystemBgmCountSource(nullptr); }
  cTempFolder folder;
  cScopedGlobal<cSystemData> m_KeepSystem{g_SystemData};
};

TEST_F(SystemDataTest, DefaultsFollowTheTables) {
  cSystemData rec;
  EXPECT_EQ(rec.Items().size(), 63u);  // the colour is one binding of three bytes
  EXPECT_EQ(rec.StrItems().size(), 1u);
  EXPECT_EQ(rec.m_nExtendScore, 100);
  EXPECT_EQ(rec.m_nFontFace, 60);
  EXPECT_EQ(rec.m_bTestRestoreVars, 0);
  EXPECT_EQ(rec.m_nChallengeCount, 40);
  EXPECT_EQ(rec.m_nBppDD, 2);
  EXPECT_EQ(rec.bCompatLifeRead, 0);
  EXPECT_EQ(rec.m_InheritAllowed, (cVector<std::uint8_t>{1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                         1, 1, 0, 1, 1, 0, 1, 1, 1, 0, 0, 0}));
  EXPECT_EQ(rec.m_InheritReset[11] + rec.m_InheritReset[12], 2);
  ASSERT_EQ(rec.m_Texts.size(), 29u);
  EXPECT_EQ(rec.m_Texts[16], "保存先が不明です！一度は「セーブ」して下さい！");
  EXPECT_EQ(rec.m_Texts[28], "F3キーでランキングへ登録");
  EXPECT_EQ(rec.m_TitleMenu.size(), 7u);
  EXPECT_EQ(rec.m_MapMenu[1].m_strCaption, "オートセーブ");
  EXPECT_EQ(rec.m_OptionMenu.size(), 6u);
  EXPECT_EQ(rec.m_RankingSets[3].m_bRanking, 0);
  EXPECT_EQ(CountRankingGenres(rec, 0), 5);
  const char* names[] = {"Direct3D",     "WindowMode",      "Bpp",     "VSync",     "D3D_FontCache",
                         "DD_FontCache", "DD_VideoStretch", "ShowFps", "FreeStage", "English"};
  const int defaults[] = {2, 0, 0, 2, 0, 1, 0, 1, 0, 0};
  ASSERT_EQ(rec.m_IniKeys.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(rec.m_IniKeys[i].m_strName, names[i]);
    EXPECT_EQ(rec.m_IniKeys[i].m_nDefault, defaults[i]);
    EXPECT_EQ(rec.m_IniKeys[i].m_bString, i == 8 ? 1 : 0);
  }
}

TEST_F(SystemDataTest, RoundTripIsByteIdentical) {
  cSystemData rec;
  rec.m_strTitle = "ゲーム";
  rec.m_TransColour[1] = 200;
  rec.bCompatJump = 1;
  rec.m_Texts[3] = "a\r\nb";  // list texts keep their carriage returns
  rec.m_RankingSets[1].m_Genres = {1, 0, 1, 0, 1};
  rec.m_IniKeys[8].m_strDefault = "data\\stg4\\a.stg4";
  ASSERT_EQ(rec.SaveFile("System.dat"), 1);
  cSystemData back;
  {
    cScopedGlobal stripCR(g_bStripCR, 1);
    ASSERT_EQ(back.LoadFile("System.dat"), 1);
  }
  EXPECT_EQ(back.m_Texts[3], "a\r\nb");
  EXPECT_EQ(back.m_TransColour[1], 200);
  EXPECT_EQ(back.bCompatJump, 1);
  ASSERT_EQ(back.SaveFile("System2.dat"), 1);
  EXPECT_EQ(ReadBytes("System.dat"), ReadBytes("System2.dat"));
}

// A hand-laid file of version 168: twelve fields, three map menu entries, 21 texts and the
// six System.ini keys of that time.
TEST_F(SystemDataTest, Version168FileIsUpgraded) {
  cBytes f;
  f.I32(168).I32(12);
  for (int value : {250, 0, 1, 1, 0, 1, 20, 0, 0, 0, 0, 0}) f.I32(value);
  f.I32(1).Str("昔のゲーム");
  f.I32(23);
  for (int i = 0; i < 23; ++i) f.U8(static_cast<std::uint8_t>(i + 1));
  f.I32(5);
  for (int i = 0; i < 5; ++i) f.I32(3).I32(1).I32(0).I32(2).I32(1).Str("x");
  f.I32(4).I32(3).I32(3).I32(3).I32(9);
  f.I32(21);
  for (int i = 0; i < 21; ++i) f.Str("T" + std::to_string(i));
  f.I32(17);
  for (int i = 0; i < 17; ++i) f.I32(1);
  f.I32(4).I32(0).I32(0).I32(0).I32(0);
  f.I32(7);
  for (int i = 0; i < 7; ++i) f.I32(1).I32(1).I32(1).Str("t");
  f.I32(3);
  for (const char* caption : {"m0", "m1", "m2"}) f.I32(1).I32(0).I32(1).Str(caption);
  f.I32(6);
  for (int i = 0; i < 6; ++i) f.I32(1).I32(1).I32(1).Str("o");
  f.I32(6);
  const struct {
    const char* name;
    int value;
  } keys[] = {{"WindowMode", 1}, {"Bpp", 16},      {"VSync", 3},
              {"ShowFps", 0},    {"FreeStage", 0}, {"Old", 7}};
  for (const auto& key : keys) f.I32(2).I32(0).I32(key.value).I32(2).Str(key.name).Str("");
  WriteBytes("System.dat", f.data);

  cSystemData rec;
  ASSERT_EQ(rec.LoadFile("System.dat"), 1);
  EXPECT_EQ(rec.m_strTitle, "昔のゲーム");
  EXPECT_EQ(rec.m_nExtendScore, 250);
  EXPECT_EQ(rec.m_nChallengeCount, 20);
  EXPECT_EQ(rec.m_bExtendLives, 1);
  EXPECT_EQ(rec.m_bNewStorySlot, 0);
  EXPECT_EQ(rec.m_bStoryPauseMap, 0);
  EXPECT_EQ(rec.m_bScrollCarry, 1);
  EXPECT_EQ(rec.m_TransColour[1], 177);
  EXPECT_EQ(rec.bCompatBlockChange, 1);
  EXPECT_EQ(rec.bCompatLifeRead, 1);
  EXPECT_EQ(rec.m_bPaletteCycle, 1);
  EXPECT_EQ(rec.m_nFontFace, 60);

  // Inherit flags: 0 inserted at 14, then at 9.
  ASSERT_EQ(rec.m_InheritAllowed.size(), 25u);
  EXPECT_EQ(rec.m_InheritAllowed[9], 0);
  EXPECT_EQ(rec.m_InheritAllowed[10], 10);
  EXPECT_EQ(rec.m_InheritAllowed[15], 0);
  EXPECT_EQ(rec.m_InheritAllowed[24], 23);

  ASSERT_EQ(rec.m_MapMenu.size(), 4u);
  EXPECT_EQ(rec.m_MapMenu[1].m_strCaption, "オートセーブ");
  EXPECT_EQ(rec.m_MapMenu[1].m_bEnabled, 1);
  EXPECT_EQ(rec.m_MapMenu[2].m_strCaption, "m1");
  EXPECT_EQ(rec.m_MapMenu[3].m_strCaption, "m2");

  const std::vector<std::pair<int, std::string>> texts = {
      {7, "T7"},
      {8, "残りHP"},
      {9, "残りSP"},
      {10, "T8"},
      {14, "オートセーブＯＮ"},
      {15, "オートセーブＯＦＦ"},
      {16, "保存先が不明です！一度は「セーブ」して下さい！"},
      {17, "T12"},
      {22, "マップへ戻る"},
      {23, "リトライ"},
      {24, "マップへ戻る"},
      {25, "T17"},
      {28, "T20"}};
  ASSERT_EQ(rec.m_Texts.size(), 29u);
  for (const auto& [index, text] : texts) EXPECT_EQ(rec.m_Texts[index], text) << index;

  EXPECT_EQ(rec.m_bUnlimitedLives, (cVector<std::int32_t>{0, 0, 0, 1}));
  EXPECT_EQ(rec.m_DisplayItems[0].m_bShowValue, 1);
  EXPECT_EQ(rec.m_DisplayItems[2].m_nWarnLevel, 33);
  EXPECT_EQ(rec.m_DisplayItems[3].m_bWarnPercent, 1);
  EXPECT_EQ(rec.m_DisplayItems[0].m_strCaption, "x");

  const char* names[] = {"Direct3D",     "WindowMode",      "Bpp",     "VSync",     "D3D_FontCache",
                         "DD_FontCache", "DD_VideoStretch", "ShowFps", "FreeStage", "English"};
  const int values[] = {1, 1, 16, 2, 0, 1, 0, 0, 0, 0};
  ASSERT_EQ(rec.m_IniKeys.size(), 10u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(rec.m_IniKeys[i].m_strName, names[i]) << i;
    EXPECT_EQ(rec.m_IniKeys[i].m_nDefault, values[i]) << i;
  }
}

TEST_F(SystemDataTest, FieldLayoutFollowsTheVersion) {
  cSystemData rec;
  const struct {
    int version;
    std::size_t fields;
    bool dropped;  // the last binding is the setting those versions held and is gone
  } cases[] = {{220, 25, false}, {240, 28, true}, {260, 27, false}, {821, 63, false}};
  for (const auto& c : cases) {
    rec.SetupItems(c.version);
    ASSERT_EQ(rec.Items().size(), c.fields) << c.version;
    EXPECT_EQ(rec.Items()[c.fields - 1].pField == &g_nDummy, c.dropped) << c.version;
  }
}

TEST_F(SystemDataTest, UpgradesDependOnTheVersion) {
  const struct {
    int version;
    int direct3dFirst;  // 1: "Direct3D" was inserted with default 1 at 0
    int vsync;          // a stored VSync default of 3
    int blockChange;
  } cases[] = {{285, 1, 2, 1}, {286, 2, 3, 1}, {616, 2, 3, 1}, {620, 2, 3, 0}, {637, 2, 3, 0}};
  for (const auto& c : cases) {
    cSystemData source;
    source.m_IniKeys[3].m_nDefault = 3;
    if (c.version < 286) source.m_IniKeys.erase(source.m_IniKeys.begin());
    WriteBytes("System.dat", WriteAsVersion(source, c.version));
    cSystemData rec;
    ASSERT_EQ(rec.LoadFile("System.dat"), 1) << c.version;
    EXPECT_EQ(rec.m_IniKeys[0].m_strName, "Direct3D") << c.version;
    EXPECT_EQ(rec.m_IniKeys[0].m_nDefault, c.direct3dFirst) << c.version;
    EXPECT_EQ(rec.m_IniKeys[3].m_nDefault, c.vsync) << c.version;
    EXPECT_EQ(rec.bCompatBlockChange, c.blockChange) << c.version;
  }
}

TEST_F(SystemDataTest, OldFilesGetExactlyTheListLengthsOfTheirTime) {
  // Before 587 the display items, before 672 the System.ini keys are resized: a longer list
  // of such a file is cut too, not only a shorter one grown.
  const struct {
    int version;
    std::size_t displayItems;
    std::size_t iniKeys;
  } cases[] = {{586, 5, 10}, {671, 7, 10}, {672, 7, 12}};
  for (const auto& c : cases) {
    cSystemData source;
    source.m_DisplayItems.resize(7);
    source.m_IniKeys.resize(12);
    source.m_IniKeys[9].SetInt("Other", 4);
    WriteBytes("System.dat", WriteAsVersion(source, c.version));
    cSystemData rec;
    ASSERT_EQ(rec.LoadFile("System.dat"), 1) << c.version;
    EXPECT_EQ(rec.m_DisplayItems.size(), c.displayItems) << c.version;
    EXPECT_EQ(rec.m_IniKeys.size(), c.iniKeys) << c.version;
    EXPECT_EQ(rec.m_IniKeys[9].m_strName, c.version < 672 ? "English" : "Other") << c.version;
  }
}

TEST_F(SystemDataTest, MusicReferencesAreClampedToTheBgmTable) {
  SetSystemBgmCountSource(TestBgmCount);
  g_nTestBgmCount = 3;
  cSystemData rec;
  rec.m_nSceneBgm = {2, 3, -1, 0};
  rec.ClampIndices();
  EXPECT_EQ(rec.m_nSceneBgm, (cVector<std::int32_t>{2, 0, 0, 0}));
}

TEST_F(SystemDataTest, CurrentFileChangesOnlyByTheClamp) {
  cSystemData source;
  source.m_nSceneBgm = {1, 5, 0, 0};
  source.bCompatJump = 1;
  source.m_bNewStorySlot = 0;
  ASSERT_EQ(source.SaveFile("System.dat"), 1);
  SetSystemBgmCountSource(TestBgmCount);
  g_nTestBgmCount = 3;
  cSystemData rec;
  ASSERT_EQ(rec.LoadFile("System.dat"), 1);
  EXPECT_EQ(rec.m_nSceneBgm, (cVector<std::int32_t>{1, 0, 0, 0}));
  EXPECT_EQ(rec.bCompatJump, 1);
  EXPECT_EQ(rec.bCompatTriggerStart, 0);
  EXPECT_EQ(rec.m_bNewStorySlot, 0);
}

TEST_F(SystemDataTest, ShortListsAndBadFontFaceAreRepaired) {
  cSystemData source;
  source.m_Texts.resize(3);
  source.m_IniKeys.resize(2);
  source.m_DisplayItems.clear();
  source.m_RankingSets[0].m_Genres = {1};
  source.m_nFontFace = 500;
  ASSERT_EQ(source.SaveFile("System.dat"), 1);
  cSystemData rec;
  ASSERT_EQ(rec.LoadFile("System.dat"), 1);
  EXPECT_EQ(rec.m_Texts.size(), 29u);
  EXPECT_EQ(rec.m_Texts[28], "F3キーでランキングへ登録");
  EXPECT_EQ(rec.m_IniKeys.size(), 10u);
  EXPECT_EQ(rec.m_IniKeys[9].m_strName, "English");
  EXPECT_EQ(rec.m_DisplayItems.size(), 5u);
  EXPECT_EQ(rec.m_RankingSets[0].m_Genres, (cVector<std::uint8_t>{1, 0, 0, 0, 0}));
  EXPECT_EQ(rec.m_nFontFace, 60);
}

TEST_F(SystemDataTest, DamagedFilesLeaveTheRecordAsItWas) {
  cSystemData source;
  ASSERT_EQ(source.SaveFile("System.dat"), 1);
  const Bytes good = ReadBytes("System.dat");
  cSystemData rec;
  rec.m_strTitle = "loaded";
  rec.m_Texts[0] = "kept";
  // Truncated inside the lists, and a title whose length runs past the end of the file.
  Bytes truncated(good.begin(), good.begin() + static_cast<long>(good.size() / 2));
  WriteBytes("System.dat", truncated);
  EXPECT_EQ(rec.LoadFile("System.dat"), 0);
  const long titleLength = 4 + 4 + 63 * 4 + 4;
  Bytes huge = cBytes().Raw(Bytes(good.begin(), good.begin() + titleLength)).I32(0x7FFFFFF0).data;
  WriteBytes("System.dat", huge);
  EXPECT_EQ(rec.LoadFile("System.dat"), 0);
  WriteBytes("System.dat", cBytes().I32(822).data);
  EXPECT_EQ(rec.LoadFile("System.dat"), 0);
  EXPECT_EQ(rec.m_strTitle, "loaded");
  EXPECT_EQ(rec.m_Texts[0], "kept");
}

TEST(SystemTextForm, ReadsAndWritesTexts) {
  const struct {
    Bytes stored;
    const char* text;
  } reads[] = {
      {cBytes().I32(1).data, ""},
      {cBytes().I32(0).data, ""},
      {cBytes().I32(2).U8('a').U8(0).data, "a"},
      {cBytes().I32(4).U8('a').U8(0).U8('b').U8(0).data, "a"},
      {cBytes().I32(3).U8('\r').U8('x').U8(0).data, "\rx"},
  };
  for (const auto& r : reads) {
    cDataFile file("t", r.stored, kDataVersion);
    std::string text = "old";
    EXPECT_EQ(ReadString(text, file), 1);
    EXPECT_EQ(text, r.text);
    EXPECT_EQ(file.Remaining(), 0u);
  }
  for (const Bytes& bad : {cBytes().I32(6).U8('a').data, cBytes().I32(-1).data}) {
    cDataFile file("t", bad, kDataVersion);
    std::string text = "old";
    EXPECT_EQ(ReadString(text, file), 0);
    EXPECT_EQ(text, "old");
  }
  cDataFile out("t");
  WriteString("", out);
  WriteString("a", out);
  EXPECT_EQ(out.Bytes(), cBytes().I32(1).I32(2).U8('a').U8(0).data);
}

TEST(SystemTextFunctions, RankingGenresCount) {
  cSystemData rec;
  rec.m_RankingSets[1].m_bRanking = 1;
  rec.m_RankingSets[1].m_Genres = {1, 0, 1, 0, 0};
  rec.m_RankingSets[2].m_bRanking = 0;
  EXPECT_EQ(CountRankingGenres(rec, 1), 2);
  EXPECT_EQ(CountRankingGenres(rec, 2), 0);
  EXPECT_EQ(CountRankingGenres(rec, 3), 0);
  EXPECT_EQ(CountRankingGenres(rec, 9), 0);
}

TEST(SystemTextFunctions, WarningThreshold) {
  cScopedGlobal keepSystem(g_SystemData);
  g_SystemData.SetDefault();
  g_SystemData.m_DisplayItems[2].m_nWarnLevel = 33;
  g_SystemData.m_DisplayItems[2].m_bWarnPercent = 1;
  g_SystemData.m_DisplayItems[4].m_nWarnLevel = 2;
  const struct {
    int item, value, maximum, result;
  } cases[] = {{2, 33, 100, 1}, {2, 34, 100, 0}, {2, 1, 3, 0},   {2, 0, 0, 0},
               {4, 2, 0, 1},    {4, 3, 0, 0},    {7, 0, 100, 0}, {-1, 0, 100, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(IsBelowDisplayThreshold(c.item, c.value, c.maximum), c.result)
        << c.item << " " << c.value << "/" << c.maximum;
}

TEST(SystemTextFunctions, TextBlocks) {
  cScopedGlobal keepSystem(g_SystemData);
  g_SystemData.SetDefault();
  g_SystemData.m_Texts[5] = "100%d";
  // Texts 20 and 19 are "つづける" and "しゅうりょう": six characters at the widest.
  EXPECT_EQ(GetSysTextBlockX(320, 19, 2, 1), 264);
  EXPECT_EQ(GetSysTextBlockX(320, 19, 2, 0), 272);
  std::string text;
  int width = 0, height = 0;
  ASSERT_TRUE(BuildSysTextBlock(4, 2, 1, text, width, height));
  EXPECT_EQ(text, " トータルスコア\n 100%d\n");
  EXPECT_EQ(width, 8 * 16);
  EXPECT_EQ(height, 32);
  EXPECT_FALSE(BuildSysTextBlock(4, 0, 1, text, width, height));
  EXPECT_EQ(text, "");
}

}  // namespace
