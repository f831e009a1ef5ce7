#pragma once
// Stored tests of the game state (conditions) and switchable lists of them.
//
// Blocks, characters, items and flows carry vectors of conditions; a flow-operation command
// carries a cCondList. The tests themselves need the running stage, which installs them
// through SetConditionServices; until then every condition that needs it tests false.
#include <cstdint>
#include <memory>

#include "foundation/containers.h"
#include "foundation/file_data.h"

enum eCondKind : int {
  COND_NONE = 0,
  COND_COMMON_VAR = 1,
  COND_STAGE_VAR = 2,
  COND_CHARA_VAR = 3,
  COND_STATUS = 4,
  COND_STATUS2 = 5,
  COND_STATUS3 = 6,
  COND_DISTANCE = 7,
};

enum eCondMode : int {
  COND_MODE_ALL = 0,  // "全ての条件が真なら成立"
  COND_MODE_ANY = 1,  // "1つ以上の条件が真なら成立"
};

// The object a status condition looks at.
enum eStatusObj : int {
  STATUS_OBJ_SELF = 0,
  STATUS_OBJ_TARGET1 = 1,
  STATUS_OBJ_TARGET2 = 2,
  STATUS_OBJ_TARGET3 = 3,
  STATUS_OBJ_TARGET4 = 4,
  STATUS_OBJ_SYSTEM = 5,
};

// Where the right-hand side of a status condition comes from.
enum eValueSource : int {
  VALUE_CONSTANT = 0,
  VALUE_RANDOM = 1,
  VALUE_STATUS = 2,
  VALUE_VARIABLE = 3,
};

// Items of the status-2 test (kind 5).
enum eStatus2Item : int {
  STATUS2_VANISH = 0,      // "消滅"
  STATUS2_CLEAR = 1,       // "透明"
  STATUS2_FIX_DIR = 2,     // "向き固定"
  STATUS2_FLY = 3,         // "飛行"
  STATUS2_INVINCIBLE = 4,  // "無敵"
  STATUS2_GIANT = 5,       // "巨大化"
  STATUS2_SYNC_SCROLL = 6  // "オートスクロールとシンクロ"
};

// Items of the state test (kind 6).
enum eStateItem : int {
  STATE_FACING_LEFT = 0,   // "左向き"
  STATE_FACING_RIGHT = 1,  // "右向き"
  STATE_ON_BLOCK = 2,      // "ブロックに乗っている(ブロックキャラも含む)"
  STATE_ON_SCREEN = 3,     // "画面内にいる"
  STATE_EXISTS = 4,        // "存在している"
};

// Axes of the distance test (kind 7).
enum eDistanceAxis : int {
  AXIS_HORIZONTAL = 0,  // "横"
  AXIS_FRONT = 1,       // "前"
  AXIS_BACK = 2,        // "後"
  AXIS_VERTICAL = 3,    // "縦"
  AXIS_FRONT_Y = 4,     // "前Y"
  AXIS_BACK_Y = 5,      // "後Y"
  AXIS_CIRCLE = 6,      // "円"
};

class cEdCond : public cFileData {
 public:
  cEdCond();

  std::int8_t m_nKind = 0;           // eCondKind
  std::int32_t m_nConst = 0;         // value compared with; distance in half-blocks
  std::int32_t m_nRandLow = 0;       // random operand: one end
  std::int32_t m_nRandHigh = 0;      // random operand: the other end
  std::int8_t m_nObject = 0;         // eStatusObj; distance: 0 the hero, 1-4 targets
  std::int8_t m_nItem = 0;           // status, status-2 or state item
  std::int8_t m_nLeftSide = 0;       // status: 0 a status of the object, 1 a variable
  std::int8_t m_nLeftScope = 0;      // variable on the left: 0 common, 1 stage
  std::int16_t m_nIndex = 0;         // variable index; status-2: the compared value
  std::int8_t m_nSource = 0;         // eValueSource of the right side
  std::int8_t m_nOperandObject = 0;  // eStatusObj of a status operand
  std::int8_t m_nOperandItem = 0;    // status item of a status operand
  std::int8_t m_nOperandScope = 0;   // variable operand: 0 common, 1 stage
  std::int16_t m_nOperandIndex = 0;  // operand variable index; distance: extra pixels
  std::int8_t m_nOperator = 0;       // eCompareOp; state: 1 negates; distance: 1 outside
  std::int8_t m_bPercent = 0;        // the operand is a percentage
  std::int8_t m_nAxis = 0;           // eDistanceAxis

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;

  // Brings a condition stored by an older editor to the current numbering.
  void Upgrade(int version);
};

using CondVector = cVector<cEdCond>;

// Reads a condition vector: a 32-bit count, then each condition. On a damaged file the
// vector is left as it was.
bool ReadCondList(CondVector& list, cDataFile& file);
void WriteCondList(CondVector& list, cDataFile& file);

class cCondList : public cFileData {
 public:
  cCondList();

  std::int8_t m_bEnabled = 0;  // 0: the list is not tested and passes
  std::int8_t m_nMode = 0;     // eCondMode
  CondVector m_Conds;

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
};

// Replaces the list held by a command with a new, cleared one.
void NewCondList(std::shared_ptr<cCondList>& list);

// ---- evaluation ----------------------------------------------------------------------

// The character a condition is tested for (the hero for blocks and items).
class cCharaBase;

// The tests that need the running stage. Stage play installs them; while a service is not
// installed the conditions that need it test false.
struct sConditionServices {
  // The common (kind 1), stage (kind 2) or subject's character (kind 3) variable at index.
  std::int32_t (*pReadVariable)(int kind, int index, cCharaBase* subject) = nullptr;
  // Kinds 4 to 7: 1 when the condition holds for the subject. A status test may keep the
  // operand it computed in the condition's constant.
  int (*pTestObject)(cEdCond& cond, cCharaBase* subject) = nullptr;
};
void SetConditionServices(const sConditionServices& services);
const sConditionServices& ConditionServices();

// 1 when one condition holds for the subject; kind 0 and unknown kinds give 0.
int CheckCondition(cEdCond& cond, cCharaBase* subject);
// Mode 0: 1 when every condition holds (an empty list holds). Mode 1: 1 when one holds (an
// empty list does not). Any other mode: 0.
int CheckConditions(CondVector& conds, int mode, cCharaBase* subject);
// The appearance rule of blocks, characters, items and flows: a thing without conditions is
// there; one whose check-once list has passed before is there without a test; otherwise the
// list decides, and a pass sets the latch (whether or not the check-once switch is on).
template <class Latch>
int CheckLatchedConditions(CondVector& conds, int mode, int once, Latch& latch,
                           cCharaBase* subject) {
  if (conds.empty()) return 1;
  if (once && latch) return 1;
  if (!CheckConditions(conds, mode, subject)) return 0;
  latch = 1;
  return 1;
}
// A command's list: a missing or disabled list passes.
int CheckCondList(cCondList* list, cCharaBase* subject);
