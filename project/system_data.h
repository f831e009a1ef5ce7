#pragma once
// The project's system record, "data\System.dat": the game's title, its menus and on-screen
// texts, the status-bar items, the ranking settings per play mode, the carry-over rules, the
// music of the menu scenes, the system sound files, the colour mode, the System.ini keys with
// their defaults, and the compatibility flags that keep projects made with older editors
// playing as they did.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"
#include "project/menu_command.h"
#include "project/system_elements.h"

// The lengths the program's fixed roles rely on.
inline constexpr int kInheritItemCount = 25;
inline constexpr int kDisplayItemCount = 5;
inline constexpr int kPlayModeCount = 4;
inline constexpr int kSystemTextCount = 29;
inline constexpr int kSystemSoundCount = 17;
inline constexpr int kSceneBgmCount = 4;
inline constexpr int kTitleMenuCount = 7;
inline constexpr int kMapMenuCount = 4;
inline constexpr int kOptionMenuCount = 6;
inline constexpr int kRankingModeCount = 4;
inline constexpr int kIniKeyCount = 10;
inline constexpr int kRankingGenreCount = 5;
inline constexpr int kFontFaceCount = 123;
inline constexpr int kDefaultFontFace = 60;

class cSystemData : public cFileData {
 public:
  cSystemData();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;

  void SetDefault();
  // Music references that point past the Bgm table become 0 (silence).
  void ClampIndices();

  // Bound fields, in file order.
  std::string m_strTitle;
  std::int32_t m_bExtendLives = 0;
  std::int32_t m_nExtendScore = 0;
  std::int32_t m_bPauseHidesStage = 0;
  std::int32_t m_bFontIcons = 0;
  std::int32_t m_nFontFace = 0;
  std::int32_t m_bFontCentre = 0;
  std::int32_t m_bKeepTestPlayFlows = 0;
  std::int32_t m_bRecordReplay = 0;
  std::int32_t m_bTitleMenuPictures = 0;
  std::int32_t m_bNewStorySlot = 0;
  std::int32_t m_bStoryLivesCarry = 0;
  std::int32_t m_bStoryRetryMenu = 0;
  std::int32_t m_bMapShowLives = 0;
  std::int32_t m_nChallengeCount = 0;
  std::int32_t m_bChallengeAllOpen = 0;
  std::int32_t m_bMapShowScore = 0;
  std::int32_t m_bSlotShowTotal = 0;
  std::int32_t m_bStoryRestoreVars = 0;
  std::int32_t m_bStoryPauseRetry = 0;
  std::int32_t m_bChallengeShowHiScore = 0;
  std::int32_t m_bChallengeShowTotal = 0;
  std::int32_t m_bChallengeRestoreVars = 0;
  std::int32_t m_bChallengePauseRetry = 0;
  std::int32_t m_bFreeRestoreVars = 0;
  std::int32_t m_bTestRestoreVars = 0;
  std::int32_t m_nColourMode = 0;             // 0 palette colours, 1 full colour
  std::uint8_t m_TransColour[3] = {0, 0, 0};  // red, green, blue
  std::int32_t m_bScrollCarry = 0;
  std::int32_t m_bCompatScaleY = 0;
  std::int32_t m_bClearEndsFrame = 0;
  std::int32_t m_bCharaColourAnim = 0;
  std::int32_t m_nMenuColourStep = 0;
  std::int32_t m_bPaletteCycle = 0;
  std::int32_t m_bStoryPauseMap = 0;
  // Compatibility flags: 1 selects the behaviour of older editors.
  std::int32_t bCompatTriggerStart = 0;
  std::int32_t bCompatShot = 0;
  std::int32_t bCompatBlockChange = 0;
  std::int32_t bCompatCharaFlows = 0;
  std::int32_t bCompatBlockPushOut = 0;
  std::int32_t bCompatMoveTime = 0;
  std::int32_t bCompatSpare696 = 0;
  std::int32_t bCompatStageSetup = 0;
  std::int32_t bCompatWarp = 0;
  std::int32_t bCompatCharge = 0;
  std::int32_t bCompatObjectBase = 0;
  std::int32_t bCompatTriggerStart2 = 0;
  std::int32_t bCompatJump = 0;
  std::int32_t bCompatCodeReduce = 0;
  std::int32_t bCompatAttackHit1 = 0;
  std::int32_t bCompatAttackHit2 = 0;
  std::int32_t bCompatSpawn = 0;
  std::int32_t bCompatMoveLine = 0;
  std::int32_t bCompatCeiling = 0;
  std::int32_t bCompatDistance = 0;
  std::int32_t bCompatMoveLine2 = 0;
  std::int32_t bCompatBlockHit = 0;
  std::int32_t bCompatExecutor = 0;
  std::int32_t bCompatSolidPush = 0;
  std::int32_t bCompatSolidPush2 = 0;
  std::int32_t bCompatFlyMode = 0;
  std::int32_t bCompatLifeRead = 0;
  std::int32_t m_nBppD3D = 0;  // full-screen Direct3D depth when Bpp is 0: 0 = 32, 1 = 16
  std::int32_t m_nBppDD = 0;   // full-screen DirectDraw depth: 0 = 32, 1 = 16, 2 = 8

  // Lists, in file order after the bound fields.
  cVector<std::uint8_t> m_InheritAllowed;   // per carry-over item: allowed in this project
  cVector<std::uint8_t> m_InheritReset;     // per carry-over item: cleared on reset
  cVector<cSysDisplayItem> m_DisplayItems;  // total score, stage score, HP, SP, lives
  cVector<std::int32_t> m_nStartLives;      // per play mode
  cVector<std::int32_t> m_bUnlimitedLives;  // per play mode
  cVector<cRankingGenreSet> m_RankingSets;  // per play mode
  cVector<std::string> m_Texts;
  cVector<std::string> m_SystemSounds;
  cVector<std::int32_t> m_nSceneBgm;  // per menu-scene music slot: Bgm index, 0 silence
  cVector<std::uint8_t> m_bSceneBgmLoop;
  cVector<cCmd> m_TitleMenu;
  cVector<cCmd> m_MapMenu;
  cVector<cCmd> m_OptionMenu;
  cVector<std::string> m_RankingModeNames;
  cVector<cIniKey> m_IniKeys;

 private:
  void ReadLists(cDataFile& file, int version);
  void Upgrade(int version);
  void RepairLists();
};

extern cSystemData g_SystemData;

// The number of records of the project database's Bgm table, against which the system
// record's music references are clamped. The database installs its source at start-up;
// until one is installed the references are left as stored.
using BgmCountSource = int (*)();
void SetSystemBgmCountSource(BgmCountSource source);

// How many ranking genres a play mode shows: 0 when its ranking is off or the mode is
// unknown, else the number of genres switched on.
int CountRankingGenres(const cSystemData& system, int playMode);

// The left edge of a block of the system texts first .. first + count - 1 centred on x, with
// room for a cursor column when asked.
int GetSysTextBlockX(int x, int first, int count, int cursorColumn);

// What the framed text box of such a block shows: its text, one line per system text (each
// after a blank when the cursor column is asked), and its size in pixels. False, and nothing
// to draw, when count is 0 or below. The text is to be drawn literally (a '%' stays a '%').
bool BuildSysTextBlock(int first, int count, int cursorColumn, std::string& text, int& width,
                       int& height);
// Draws that block at (x, y) on BackBuffer in the game font as one framed text box.
void DrawSysTextBlock(int x, int y, int first, int count, int cursorColumn);

// 1 when the value of a status-bar gauge has reached its warning threshold.
int IsBelowDisplayThreshold(int item, int value, int maximum);
