#pragma once
// The player's progress: where the cursor stands on the world map, which stages are cleared,
// lives and scores, the common variables #C1 to #C1000, the best result of every stage, the
// carried-over hero values, the challenge progress, the save slot and the ranking name. The
// same record is the whole content of a story save, of the challenge file and of the progress
// block of a replay file.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"
#include "platform/clock.h"
#include "project/carry_over.h"
#include "project/world_map.h"

class cStage;

enum ePlayMode : int {
  PLAY_MODE_STORY = 0,
  PLAY_MODE_CHALLENGE = 1,
  PLAY_MODE_FREE = 2,
  PLAY_MODE_REPLAY = 3,
};

// The play mode of the running game, as the scene manager knows it. Until it installs its
// answer the game counts as story play.
using PlayModeSource = int (*)();
void SetPlayModeSource(PlayModeSource source);
int CurrentPlayMode();

inline constexpr int kStageClearCount = 1000;
inline constexpr int kCommonVarCount = 1001;  // #C1 to #C1000; entry 0 is never read
inline constexpr std::int32_t kUnlimitedLives = 999999;

// The best result of one stage key played in story mode.
class cStageResult : public cFileData {
 public:
  std::string m_strFile;  // the stage name in its cut form
  std::string m_strKey;
  std::int32_t m_bVariant = 0;
  std::int32_t m_nVariantVar = 0;
  std::int32_t m_nVariantValue = 0;
  std::int32_t m_nValue = 0;

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
};

// One challenge stage: cleared, and its best total score.
class cStageClear : public cFileData {
 public:
  std::int32_t m_bCleared = 0;
  std::int32_t m_nBest = 0;

  void SetupItems(int version) override;
};

class cPlayData : public cFileData, public cWorldMapProgress {
 public:
  cPlayData();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;

  // The state of a new game.
  void Reset();
  // Brings the record within the loaded world map and project; run after every read and
  // before every write.
  void Validate();

  // Sets the stage fields from a stage file name, cut to its key form.
  void SetStageName(const char* name, int variant, int var, int value);
  // Keeps the best result per stage key.
  void RecordStageResult(const std::string& name, const std::string& key, int variant, int var,
                         int value, int result);
  std::int32_t GetStageResult(const std::string& key) const;
  // The result total over the stages the loaded world map still links to.
  void RecountStageResults();

  // The snapshot of the attempt: taken at stage set-up, restored by a retry or a miss.
  void KeepStageStart();
  void RestoreStageStart(int retry);

  void StartNextLap();
  void CycleRankingGenre(int playMode, int steps);
  void ClearCounters();

  // Carry-over of hero values between stages. Every caller uses slot 0.
  void StoreInherit(int slot, const cEdChara& hero, int hp, int sp, int effect, int effectMode,
                    int effectRepeat, int timeLeft, int lives, int stageBgm);
  void ApplyInherit(int slot, cEdChara& hero, cStage& stage);
  void GetInheritValues(int slot, std::int32_t& hp, std::int32_t& sp) const;
  void ResetInheritFlags();
  void ResetInheritSlots(int count);

  // Story saves and the challenge file. Each returns 1 on success. A save that fails is
  // reported and leaves the old file and its slot header as they were; a slot or challenge
  // file that does not load leaves this record as it was (a damaged or newer one is reported).
  int SaveSlot(int slot);
  int LoadSlot(int slot);
  int LoadChallenge();
  int SaveChallenge();

  // What the world map's links ask of the progress: flags and variables outside their lists
  // count as clear and 0, since link fields are used as the map stores them.
  bool IsFlagSet(int flag) const override;
  std::int32_t GetCommonVar(int number) const override;
  std::int32_t GetResultTotal() const override { return m_nResultTotal; }

  // Bound fields, in file order.
  std::int32_t m_bInherit = 0;
  std::int32_t m_nMapX = 0;
  std::int32_t m_nMapY = 0;
  // The file's slot for the map point being played; it is written as it was read and means
  // nothing: the point is m_nMapPoint, set again before each use.
  std::int32_t m_nMapPointSlot = 0;
  std::int32_t m_nLap = 0;
  std::string m_strStageName;
  std::string m_strStageKey;
  std::int32_t m_bVariant = 0;
  std::int32_t m_nVariantVar = 0;
  std::int32_t m_nVariantValue = 0;
  std::int32_t m_nStageNo = 0;
  std::int32_t m_nPartNo = 0;
  std::int32_t m_nEntryLives = 0;
  std::int32_t m_nLives = 0;
  std::int32_t m_nScore = 0;
  std::int32_t m_nTotalScore = 0;
  std::int32_t m_nResultTotal = 0;
  std::int32_t m_nTimeTotal = 0;
  std::int32_t m_nPlayTime = 0;  // hundredths of a second
  std::int32_t m_nHpTotal = 0;
  std::int32_t m_nSpTotal = 0;
  std::int32_t m_bMultiPart = 0;
  std::int32_t m_nStageBgm = 0;
  std::int32_t m_nStageBgmLoop = 0;
  std::int32_t m_nMapDir = 0;  // 0 down, 1 up, 2 left, 3 right
  std::int32_t m_bFromStage = 0;
  std::int32_t m_nMapReturnX = 0;
  std::int32_t m_nMapReturnY = 0;
  std::int32_t m_nChallengeOpen = 0;
  std::int32_t m_nSaveSlot = 0;  // 0-based, -1 none
  std::int32_t m_bAutoSave = 0;
  std::string m_strRankName;
  std::int32_t m_bShowRanking = 0;
  std::int32_t m_nRankGenre = 0;
  std::int32_t m_bStartPos = 0;
  std::int32_t m_nStartX = 0;
  std::int32_t m_nStartY = 0;
  std::int32_t m_nStartDir = 0;

  // Stored after the bound fields.
  platform::sSystemTime m_SaveTime;
  cVector<std::int32_t> m_InheritFlags;
  cVector<cInheritData> m_InheritSlots;
  cVector<cStageResult> m_Results;
  cVector<cStageClear> m_ChallengeClear;
  cVector<std::int32_t> m_StageClear;
  cVector<std::int32_t> m_CommonVar;

  // Never stored.
  std::int32_t m_nMapPoint = -1;  // index of the world-map point being played, -1 none
  cVector<std::int32_t> m_SavedVar;
  std::int32_t m_nSavedLives = 0;
  std::int32_t m_nSavedTotal = 0;

 private:
  void Upgrade(int version);
  // Lives of a loaded save under this project's rule for the play mode.
  void FixLoadedLives(int playMode);
  bool InheritItemOn(int item) const;
  cInheritData* InheritSlot(int slot);
};

// Appends the variant suffix of a stage key: "_c", the variable as three digits, "_" and the
// value, before a closing point (abc. with 5 and 2 gives abc_c005_2.). Nothing for variant 0.
void MakeStageVariantName(std::string& key, int variant, int var, int value);

// The live record of the running game, and its copies at the start of the current and of the
// previous attempt, which replay files store.
extern cPlayData g_PlayData;
extern cPlayData g_PlayDataAtStart;
extern cPlayData g_PrevPlayDataAtStart;
