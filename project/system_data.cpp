#include "project/system_data.h"

#include <algorithm>

cSystemData g_SystemData;

namespace {

BgmCountSource g_pfnBgmCount = nullptr;

// A compatibility flag and the first data version whose files hold it; files older than
// that were made by editors with the older behaviour, so reading one sets the flag.
struct sCompatFlag {
  std::int32_t cSystemData::*pFlag;
  int nVersion;
};

constexpr sCompatFlag kCompatFlags[] = {
    {&cSystemData::bCompatTriggerStart, 525}, {&cSystemData::bCompatShot, 555},
    {&cSystemData::bCompatBlockChange, 637},  {&cSystemData::bCompatCharaFlows, 669},
    {&cSystemData::bCompatBlockPushOut, 677}, {&cSystemData::bCompatMoveTime, 695},
    {&cSystemData::bCompatSpare696, 696},     {&cSystemData::bCompatStageSetup, 697},
    {&cSystemData::bCompatWarp, 721},         {&cSystemData::bCompatCharge, 728},
    {&cSystemData::bCompatObjectBase, 733},   {&cSystemData::bCompatTriggerStart2, 744},
    {&cSystemData::bCompatJump, 749},         {&cSystemData::bCompatCodeReduce, 752},
    {&cSystemData::bCompatAttackHit1, 763},   {&cSystemData::bCompatAttackHit2, 763},
    {&cSystemData::bCompatSpawn, 768},        {&cSystemData::bCompatMoveLine, 773},
    {&cSystemData::bCompatCeiling, 781},      {&cSystemData::bCompatDistance, 782},
    {&cSystemData::bCompatMoveLine2, 783},    {&cSystemData::bCompatBlockHit, 793},
    {&cSystemData::bCompatExecutor, 805},     {&cSystemData::bCompatSolidPush, 808},
    {&cSystemData::bCompatSolidPush2, 818},   {&cSystemData::bCompatFlyMode, 818},
    {&cSystemData::bCompatLifeRead, 819},
};

// Grows a list to length (new elements as built by their constructors); never shortens it.
template <class T>
void GrowTo(cVector<T>& list, int length) {
  if (static_cast<int>(list.size()) < length) list.resize(static_cast<std::size_t>(length));
}

// Inserts value at index of a list of the given length: the entries from index on move up
// by one and the last one falls off, so that entries keep their fixed roles.
template <class T>
void InsertFixed(cVector<T>& list, int length, int index, const T& value) {
  list.resize(static_cast<std::size_t>(length));
  std::move_backward(list.begin() + index, list.end() - 1, list.end());
  list[index] = value;
}

cIniKey IntKey(const char* name, std::int32_t value) {
  cIniKey key;
  key.SetInt(name, value);
  return key;
}

// Short lists get the default entries they lack, since the program addresses their entries
// by fixed roles.
template <class T>
void PadFrom(cVector<T>& list, const cVector<T>& defaults) {
  for (std::size_t i = list.size(); i < defaults.size(); ++i) list.push_back(defaults[i]);
}

// Counts displayed characters of cp932 text: a double-byte character is one, a line feed none.
int CountDisplayChars(const std::string& text) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<std::uint8_t>(text[i]);
    if (c == '\n') continue;
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (lead && i + 1 < text.size()) ++i;
    ++count;
  }
  return count;
}

}  // namespace

void SetSystemBgmCountSource(BgmCountSource source) { g_pfnBgmCount = source; }

cSystemData::cSystemData() {
  SetupItems(g_nDataVersion);
  SetDefault();
}

void cSystemData::SetupItems(int v) {
  ClearItems();
  AddString(&m_strTitle);
  if (v >= 185) AddInt(&m_bExtendLives);
  AddInt(&m_nExtendScore);
  AddInt(&m_bPauseHidesStage);
  AddInt(&m_bFontIcons);
  if (v >= 205) AddInt(&m_nFontFace);
  if (v >= 170) AddInt(&m_bFontCentre);
  if (v >= 113) AddInt(&m_bKeepTestPlayFlows);
  if (v >= 184) AddInt(&m_bRecordReplay);
  if (v >= 157) AddInt(&m_bTitleMenuPictures);
  if (v >= 821) AddInt(&m_bNewStorySlot);
  AddInt(&m_bStoryLivesCarry);
  if (v >= 191) {
    AddInt(&m_bStoryRetryMenu);
    AddInt(&m_bMapShowLives);
  }
  AddInt(&m_nChallengeCount);
  AddInt(&m_bChallengeAllOpen);
  if (v >= 167) {
    AddInt(&m_bMapShowScore);
    AddInt(&m_bSlotShowTotal);
  }
  if (v >= 188) AddInt(&m_bStoryRestoreVars);
  if (v >= 224) AddInt(&m_bStoryPauseRetry);
  if (v >= 167) {
    AddInt(&m_bChallengeShowHiScore);
    AddInt(&m_bChallengeShowTotal);
  }
  if (v >= 188) AddInt(&m_bChallengeRestoreVars);
  if (v >= 224) AddInt(&m_bChallengePauseRetry);
  if (v >= 188) AddInt(&m_bFreeRestoreVars);
  if (v >= 192) AddInt(&m_bTestRestoreVars);
  if (v >= 187) {
    AddInt(&m_nColourMode);
    AddByte(m_TransColour, 3);
  }
  if (v >= 214) AddInt(&m_bScrollCarry);
  if (v >= 221 && v <= 259) AddInt(&g_nDummy);  // a setting of those versions, since dropped
  if (v >= 261) AddInt(&m_bCompatScaleY);
  if (v >= 272) AddInt(&m_bClearEndsFrame);
  if (v >= 287) AddInt(&m_bCharaColourAnim);
  if (v >= 515) AddInt(&m_nMenuColourStep);
  if (v >= 289) AddInt(&m_bPaletteCycle);
  if (v >= 757) AddInt(&m_bStoryPauseMap);
  for (const sCompatFlag& flag : kCompatFlags) {
    if (v >= flag.nVersion) AddInt(&(this->*flag.pFlag));
  }
  if (v >= 670) {
    AddInt(&m_nBppD3D);
    AddInt(&m_nBppDD);
  }
}

void cSystemData::SetDefault() {
  Clear();
  m_nExtendScore = 100;
  m_bPauseHidesStage = 1;
  m_nFontFace = kDefaultFontFace;
  m_bRecordReplay = 1;
  m_bTitleMenuPictures = 1;
  m_bNewStorySlot = 1;
  m_bStoryLivesCarry = 1;
  m_bStoryRetryMenu = 1;
  m_bMapShowLives = 1;
  m_nChallengeCount = 40;
  m_bChallengeAllOpen = 1;
  m_bMapShowScore = 1;
  m_bSlotShowTotal = 1;
  m_bStoryRestoreVars = 1;
  m_bStoryPauseRetry = 1;
  m_bChallengeShowHiScore = 1;
  m_bChallengeShowTotal = 1;
  m_bChallengeRestoreVars = 1;
  m_bChallengePauseRetry = 1;
  m_bFreeRestoreVars = 1;
  m_nMenuColourStep = 16;
  m_bStoryPauseMap = 1;
  m_nBppDD = 2;

  m_InheritAllowed.assign(kInheritItemCount, 0);
  for (int item : {0, 1, 13, 14, 16, 17, 19, 20, 21}) m_InheritAllowed[item] = 1;
  m_InheritReset.assign(kInheritItemCount, 0);
  m_InheritReset[11] = m_InheritReset[12] = 1;

  m_DisplayItems.assign(kDisplayItemCount, cSysDisplayItem());
  const struct {
    const char* caption;
    int cells;
  } items[kDisplayItemCount] = {{"スコア", 4}, {"スコア", 3}, {"HP", 0}, {"SP", 0}, {"人", 2}};
  for (int i = 0; i < kDisplayItemCount; ++i) {
    m_DisplayItems[i].m_bShow = 1;
    m_DisplayItems[i].m_bIcon = 1;
    m_DisplayItems[i].m_strCaption = items[i].caption;
    m_DisplayItems[i].m_nValueCells = items[i].cells;
  }

  m_nStartLives = {5, 5, 5, 99};
  m_bUnlimitedLives = {1, 1, 1, 1};
  m_RankingSets.assign(kPlayModeCount, cRankingGenreSet());
  for (int mode = 0; mode < 3; ++mode) {
    m_RankingSets[mode].m_bRanking = 1;
    m_RankingSets[mode].m_Genres.assign(kRankingGenreCount, 1);
  }

  m_Texts = {"ワールド",
             "ステージ",
             "スコア",
             "ハイスコア",
             "トータルスコア",
             "スコア",
             "残り時間",
             "クリア時間",
             "残りHP",
             "残りSP",
             "ステージに挑む",
             "やっぱりやめる",
             "セーブする",
             "やっぱりやめる",
             "オートセーブＯＮ",
             "オートセーブＯＦＦ",
             "保存先が不明です！一度は「セーブ」して下さい！",
             "タイトルへ戻る",
             "やっぱりやめる",
             "しゅうりょう",
             "つづける",
             "リトライ",
             "マップへ戻る",
             "リトライ",
             "マップへ戻る",
             "Vキーでジャンルの切り替え",
             "スペースキーでタイトルへ戻る",
             "スペースキーで終了",
             "F3キーでランキングへ登録"};
  m_SystemSounds.assign(kSystemSoundCount, std::string());
  m_nSceneBgm.assign(kSceneBgmCount, 0);
  m_bSceneBgmLoop.assign(kSceneBgmCount, 1);

  m_TitleMenu.clear();
  for (const char* caption : {"はじめから", "つづきから", "チャレンジ", "フリー", "リプレイ",
                              "オプション", "しゅうりょう"})
    m_TitleMenu.emplace_back(1, caption);
  m_MapMenu.clear();
  for (const char* caption : {"セーブ", "オートセーブ", "もどる", "タイトルへ"})
    m_MapMenu.emplace_back(1, caption);
  m_OptionMenu.clear();
  for (const char* caption : {"BGM", "SE", "ランキング登録", "ランキング登録名", "もどる", ""})
    m_OptionMenu.emplace_back(1, caption);
  m_RankingModeNames = {"手動登録（登録名入力）", "手動登録（登録名固定）",
                        "自動登録（登録名入力）", "自動登録（登録名固定）"};

  m_IniKeys.assign(kIniKeyCount, cIniKey());
  m_IniKeys[0].SetInt("Direct3D", 2);
  m_IniKeys[1].SetInt("WindowMode", 0);
  m_IniKeys[2].SetInt("Bpp", 0);
  m_IniKeys[3].SetInt("VSync", 2);
  m_IniKeys[4].SetInt("D3D_FontCache", 0);
  m_IniKeys[5].SetInt("DD_FontCache", 1);
  m_IniKeys[6].SetInt("DD_VideoStretch", 0);
  m_IniKeys[7].SetInt("ShowFps", 1);
  m_IniKeys[8].SetString("FreeStage", "");
  m_IniKeys[9].SetInt("English", 0);
}

void cSystemData::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  ReadLists(file, version);
  if (file.Failed()) return;
  Upgrade(version);
  RepairLists();
  ClampIndices();
}

void cSystemData::ReadLists(cDataFile& file, int v) {
  // A list younger than the file is not in it and keeps what it holds.
  ReadValueList(file, m_InheritAllowed, "inherit allowed") &&
      (v < 501 || ReadValueList(file, m_InheritReset, "inherit reset")) &&
      ReadRecordList(file, m_DisplayItems, "display items") &&
      ReadValueList(file, m_nStartLives, "start lives") &&
      (v < 191 || ReadValueList(file, m_bUnlimitedLives, "unlimited lives")) &&
      (v < 186 || ReadRecordList(file, m_RankingSets, "ranking settings")) &&
      ReadStringList(file, m_Texts, "texts") &&
      ReadStringList(file, m_SystemSounds, "system sounds") &&
      ReadValueList(file, m_nSceneBgm, "scene music") &&
      (v < 202 || ReadValueList(file, m_bSceneBgmLoop, "scene music loop")) &&
      ReadRecordList(file, m_TitleMenu, "title menu") &&
      ReadRecordList(file, m_MapMenu, "map menu") &&
      ReadRecordList(file, m_OptionMenu, "option menu") &&
      (v < 674 || ReadStringList(file, m_RankingModeNames, "ranking mode names")) &&
      ReadRecordList(file, m_IniKeys, "System.ini keys");
}

// Brings a file of an older version to the current meaning, step by step in version order
// (later steps rely on the list positions earlier ones leave).
void cSystemData::Upgrade(int v) {
  if (v >= kDataVersion) return;
  if (v < 113) m_bKeepTestPlayFlows = 0;
  if (v < 157) m_bTitleMenuPictures = 0;
  if (v < 167)
    m_bMapShowScore = m_bSlotShowTotal = m_bChallengeShowHiScore = m_bChallengeShowTotal = 1;
  if (v < 168) InsertFixed<std::uint8_t>(m_InheritAllowed, kInheritItemCount, 16, 1);
  if (v < 169) {
    GrowTo(m_MapMenu, kMapMenuCount);
    InsertFixed(m_MapMenu, kMapMenuCount, 1, cCmd(1, "オートセーブ"));
    InsertFixed<std::string>(m_Texts, kSystemTextCount, 12,
                             "保存先が不明です！一度は「セーブ」して下さい！");
    InsertFixed<std::string>(m_Texts, kSystemTextCount, 12, "オートセーブＯＦＦ");
    InsertFixed<std::string>(m_Texts, kSystemTextCount, 12, "オートセーブＯＮ");
  }
  if (v < 170) m_bFontCentre = 0;
  if (v < 181) {
    const int sets = std::min<int>(kPlayModeCount, static_cast<int>(m_RankingSets.size()));
    for (int i = 0; i < sets; ++i) {
      cVector<std::uint8_t>& genres = m_RankingSets[i].m_Genres;
      genres.resize(kRankingGenreCount, 0);
      genres[3] = genres[4] = 0;
    }
    InsertFixed<std::string>(m_Texts, kSystemTextCount, 8, "残りHP");
    InsertFixed<std::string>(m_Texts, kSystemTextCount, 9, "残りSP");
  }
  if (v < 184) m_bRecordReplay = 1;
  if (v < 185) m_bExtendLives = 1;
  if (v < 187) {
    m_nColourMode = 0;
    m_TransColour[0] = 0;
    m_TransColour[1] = 177;
    m_TransColour[2] = 0;
  }
  if (v < 188) m_bStoryRestoreVars = m_bChallengeRestoreVars = m_bFreeRestoreVars = 1;
  if (v < 191) {
    m_bUnlimitedLives = {0, 0, 0, 1};
    m_bStoryRetryMenu = 0;
    m_bMapShowLives = 0;
  }
  if (v < 192) m_bTestRestoreVars = 1;
  if (v < 193) {
    InsertFixed<std::string>(m_Texts, kSystemTextCount, 22, "リトライ");
    InsertFixed<std::string>(m_Texts, kSystemTextCount, 23, "マップへ戻る");
  }
  if (v < 201) InsertFixed<std::uint8_t>(m_InheritAllowed, kInheritItemCount, 14, 0);
  if (v < 202) m_bSceneBgmLoop.assign(kSceneBgmCount, 1);
  if (v < 205) m_nFontFace = kDefaultFontFace;
  if (v < 210) InsertFixed<std::uint8_t>(m_InheritAllowed, kInheritItemCount, 9, 0);
  if (v < 214) m_bScrollCarry = 1;
  if (v < 224) m_bStoryPauseRetry = m_bChallengePauseRetry = 0;
  if (v < 261) m_bCompatScaleY = 1;
  if (v < 272) m_bClearEndsFrame = 0;
  if (v < 286) {
    InsertFixed(m_IniKeys, kIniKeyCount, 0, IntKey("Direct3D", 1));
    if (m_IniKeys[3].m_nDefault >= 3) m_IniKeys[3].m_nDefault = 2;
  }
  if (v < 287) m_bCharaColourAnim = 0;
  if (v < 289) m_bPaletteCycle = m_nColourMode == 0 ? 1 : 0;
  if (v < 501) m_InheritReset.assign(kInheritItemCount, 0);
  if (v < 515) m_nMenuColourStep = 16;
  for (const sCompatFlag& flag : kCompatFlags) {
    if (v < flag.nVersion) this->*flag.pFlag = 1;
  }
  if (v < 637) bCompatBlockChange = v <= 616 ? 1 : 0;
  if (v < 567) InsertFixed(m_IniKeys, kIniKeyCount, 4, IntKey("DD_VideoStretch", 0));
  if (v < 568) {
    InsertFixed(m_IniKeys, kIniKeyCount, 4, IntKey("D3D_FontCache", 0));
    InsertFixed(m_IniKeys, kIniKeyCount, 5, IntKey("DD_FontCache", 1));
  }
  if (v < 587) {
    m_DisplayItems.resize(kDisplayItemCount);
    for (int item : {2, 3}) {
      m_DisplayItems[item].m_nWarnLevel = 33;
      m_DisplayItems[item].m_bWarnPercent = 1;
    }
  }
  if (v < 670) {
    m_nBppD3D = 0;
    m_nBppDD = 2;
  }
  if (v < 672) {
    m_IniKeys.resize(kIniKeyCount);
    m_IniKeys[9] = IntKey("English", 0);
  }
  if (v < 756) InsertFixed<std::string>(m_Texts, kSystemTextCount, 22, "マップへ戻る");
  if (v < 757) m_bStoryPauseMap = 0;
  if (v < 821) m_bNewStorySlot = 0;
}

// The program addresses these lists by fixed roles and the font face by its table, so a
// damaged file must not leave them short or out of range.
void cSystemData::RepairLists() {
  static const cSystemData defaults;
  PadFrom(m_InheritAllowed, defaults.m_InheritAllowed);
  PadFrom(m_InheritReset, defaults.m_InheritReset);
  PadFrom(m_DisplayItems, defaults.m_DisplayItems);
  PadFrom(m_nStartLives, defaults.m_nStartLives);
  PadFrom(m_bUnlimitedLives, defaults.m_bUnlimitedLives);
  PadFrom(m_RankingSets, defaults.m_RankingSets);
  for (cRankingGenreSet& set : m_RankingSets) GrowTo(set.m_Genres, kRankingGenreCount);
  PadFrom(m_Texts, defaults.m_Texts);
  PadFrom(m_SystemSounds, defaults.m_SystemSounds);
  PadFrom(m_nSceneBgm, defaults.m_nSceneBgm);
  PadFrom(m_bSceneBgmLoop, defaults.m_bSceneBgmLoop);
  PadFrom(m_TitleMenu, defaults.m_TitleMenu);
  PadFrom(m_MapMenu, defaults.m_MapMenu);
  PadFrom(m_OptionMenu, defaults.m_OptionMenu);
  PadFrom(m_RankingModeNames, defaults.m_RankingModeNames);
  PadFrom(m_IniKeys, defaults.m_IniKeys);
  if (m_nFontFace < 0 || m_nFontFace >= kFontFaceCount) m_nFontFace = kDefaultFontFace;
}

void cSystemData::ClampIndices() {
  if (!g_pfnBgmCount) return;
  const int count = g_pfnBgmCount();
  for (auto& bgm : m_nSceneBgm) {
    // A negative number names no music either; 0 is silence.
    if (bgm < 0 || bgm >= count) bgm = 0;
  }
}

void cSystemData::Write(cDataFile& file) {
  ClampIndices();
  cFileData::Write(file);
  WriteValueList(file, m_InheritAllowed);
  WriteValueList(file, m_InheritReset);
  WriteRecordList(file, m_DisplayItems);
  WriteValueList(file, m_nStartLives);
  WriteValueList(file, m_bUnlimitedLives);
  WriteRecordList(file, m_RankingSets);
  WriteStringList(file, m_Texts);
  WriteStringList(file, m_SystemSounds);
  WriteValueList(file, m_nSceneBgm);
  WriteValueList(file, m_bSceneBgmLoop);
  WriteRecordList(file, m_TitleMenu);
  WriteRecordList(file, m_MapMenu);
  WriteRecordList(file, m_OptionMenu);
  WriteStringList(file, m_RankingModeNames);
  WriteRecordList(file, m_IniKeys);
}

// ---- the text functions ----------------------------------------------------------------

int CountRankingGenres(const cSystemData& system, int playMode) {
  if (playMode < 0 || playMode >= static_cast<int>(system.m_RankingSets.size())) return 0;
  const cRankingGenreSet& set = system.m_RankingSets[playMode];
  if (!set.m_bRanking) return 0;
  return static_cast<int>(
      std::count_if(set.m_Genres.begin(), set.m_Genres.end(), [](std::uint8_t g) { return g; }));
}

namespace {
// The widest of the system texts first .. first + count - 1, in displayed characters.
int WidestSysText(int first, int count) {
  const cVector<std::string>& texts = g_SystemData.m_Texts;
  int widest = 0;
  for (int i = std::max(first, 0); i < first + count && i < static_cast<int>(texts.size()); ++i)
    widest = std::max(widest, CountDisplayChars(texts[i]));
  return widest;
}
}  // namespace

int GetSysTextBlockX(int x, int first, int count, int cursorColumn) {
  return x - ((WidestSysText(first, count) + (cursorColumn ? 1 : 0)) * 16) / 2;
}

bool BuildSysTextBlock(int first, int count, int cursorColumn, std::string& text, int& width,
                       int& height) {
  text.clear();
  width = height = 0;
  if (count <= 0) return false;
  const cVector<std::string>& texts = g_SystemData.m_Texts;
  for (int i = first; i < first + count; ++i) {
    if (cursorColumn) text += ' ';
    if (i >= 0 && i < static_cast<int>(texts.size())) text += texts[i];
    text += '\n';
  }
  width = (WidestSysText(first, count) + (cursorColumn ? 1 : 0)) * 16;
  height = count * 16;
  return true;
}

int IsBelowDisplayThreshold(int item, int value, int maximum) {
  const cVector<cSysDisplayItem>& items = g_SystemData.m_DisplayItems;
  if (item < 0 || item >= static_cast<int>(items.size())) return 0;
  const cSysDisplayItem& d = items[item];
  if (!d.m_bWarnPercent) return d.m_nWarnLevel >= value ? 1 : 0;
  // A gauge without a maximum (no SP, say) has no percentage to warn about.
  if (maximum <= 0) return 0;
  return static_cast<double>(d.m_nWarnLevel) >=
                 static_cast<double>(value) * 100.0 / static_cast<double>(maximum)
             ? 1
             : 0;
}
