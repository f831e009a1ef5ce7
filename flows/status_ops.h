#pragma once
// Status conditions and status operations: the statuses of a character, a few values of the
// running game and the common and stage variables, tested against and changed by a value
// from a constant, a random draw, another status or a variable.
#include <cstdint>

#include "content/condition.h"

class cCharaBase;
class cEdCmd;

// The statuses of a character, by index.
enum eStatus : int {
  STATUS_CHARA_VAR = 0,  // "キャラ変数"
  STATUS_HP = 1,
  STATUS_SP = 2,
  STATUS_MAX_HP = 3,         // "最大HP"
  STATUS_MAX_SP = 4,         // "最大SP"
  STATUS_CHARA_ID = 5,       // "キャラID"
  STATUS_Z = 6,              // "Z座標"
  STATUS_MARK = 7,           // "マーク番号"
  STATUS_SIGHT = 8,          // "視界範囲(hbl)"
  STATUS_POWER = 9,          // "体当たりの威力"
  STATUS_IMPACT = 10,        // "体当たりの衝撃"
  STATUS_DEFENCE = 11,       // "防御力"
  STATUS_IMPACT_RESIST = 12, // "衝撃耐性"
  STATUS_STOP = 13,          // "止まりやすさ"
  STATUS_SCORE = 14,         // "倒したら獲得するスコア"
  STATUS_COUNT = 15
};

// The game values under the "システム" object.
enum eSysValue : int {
  SYS_TIME = 0,      // "時間"
  SYS_SCROLL_X = 1,  // "横スクロール速度"
  SYS_SCROLL_Y = 2,  // "縦スクロール速度"
  SYS_SCORE = 3,     // "スコア"
  SYS_LIVES = 4,     // "残り人数"
  SYS_COUNT = 5
};

enum eVarScope : int {
  VAR_COMMON = 0,  // "コモン変数"
  VAR_STAGE = 1,   // "ステージ変数"
};

// How an HP or SP operation reads its value.
enum eCalcMode : int {
  CALC_NORMAL = 0,              // "通常の計算"
  CALC_PERCENT_OF_MAX = 1,      // "最大値に対する％で指定"
  CALC_PERCENT_OF_CURRENT = 2,  // "現在値に対する％で指定"
};

// Where a status is stored: the field and its width (4 int32, 2 int16, 0 a signed byte).
struct sStatusField {
  void* pField = nullptr;
  std::int32_t nWidth = 4;
};
template <class T>
sStatusField FieldOf(T& field) {
  static_assert(sizeof(T) == 4 || sizeof(T) == 2 || sizeof(T) == 1);
  return {static_cast<void*>(&field), sizeof(T) == 1 ? 0 : static_cast<std::int32_t>(sizeof(T))};
}
// The field of status (eStatus) of a character; for STATUS_CHARA_VAR, variable number
// varNumber (a bad number is the variables' bounds failure). No field for an index outside
// the table.
sStatusField StatusField(cCharaBase& chara, int status, int varNumber);
std::int32_t ReadStatusField(const sStatusField& field);
void WriteStatusField(const sStatusField& field, std::int32_t value);

// The field of a game value (eSysValue), or null for an index outside the table. The time
// without a running stage is a field of its own.
std::int32_t* SystemValueField(int value);
// The lives as scripts and conditions read them: unlimited lives read 100 (0 in projects
// that keep the older reading).
std::int32_t ReadLives();
bool LivesUnlimited();

// The common (scope 0) or stage (scope 1) variables; null for another scope. Without a
// running stage the stage variables are an empty list.
cVector<std::int32_t>* VariableList(int scope);

// The character in a status object's place: itself, a target slot, or none (the system, an
// empty slot, a code outside the table).
cCharaBase* StatusObject(cCharaBase& chara, int object);

// 1 when the status condition (condition kind 4) holds for the character. The value it
// compared with is kept in the condition's constant.
int EvalStatusCond(cEdCond& cond, cCharaBase& chara);
// The status operation (character kind 22, item kind 7).
void ExecStatusOperation(cCharaBase* chara, cEdCmd& cmd);

// A character's sight after it changed: its range in pixels and, for the player's
// characters, the light surfaces.
void ApplySight(cCharaBase& chara);
// Asks the play loop for its defeat checks after the current flow pass.
void RequestDefeatChecks();
