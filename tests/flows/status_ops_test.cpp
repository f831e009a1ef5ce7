#include "flows/status_ops.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "content/command.h"
#include "foundation/status_arith.h"
#include "objects/play_units.h"
#include "project/system_data.h"
#include "tests/flows/script_world.h"

namespace {

class StatusOpsTest : public cScriptWorld {
 protected:
  // A status operation on a status of an object with a constant; further parameters as
  // (index, value) pairs.
  static cEdCmd Op(int object, int status, int op, int constant,
                   std::initializer_list<std::pair<int, int>> more = {}) {
    cEdCmd cmd;
    cmd.m_nKind = CMD_STATUS_OP;
    cmd.m_Params.assign(18, 0);
    cmd.m_Params[3] = object;
    cmd.m_Params[4] = status;
    cmd.m_Params[5] = op;
    cmd.m_Params[7] = constant;
    for (const auto& [n, v] : more) cmd.m_Params[n] = v;
    return cmd;
  }
  void Do(cEdCmd cmd) { ExecStatusOperation(&me, cmd); }
  // A status condition on a status of an object against a constant.
  static cEdCond Cond(int object, int status, int compare, int constant, int percent = 0) {
    cEdCond c;
    c.m_nKind = COND_STATUS;
    c.m_nObject = static_cast<std::int8_t>(object);
    c.m_nItem = static_cast<std::int8_t>(status);
    c.m_nOperator = static_cast<std::int8_t>(compare);
    c.m_nConst = constant;
    c.m_bPercent = static_cast<std::int8_t>(percent);
    return c;
  }
};

TEST_F(StatusOpsTest, Conditions) {
  me.m_Def.m_nMaxHP = 300;
  cEdCond half = Cond(STATUS_OBJ_SELF, STATUS_HP, COMPARE_AT_LEAST, 50, 1);
  me.m_HP.m_nValue = 149;
  EXPECT_EQ(EvalStatusCond(half, me), 0);
  me.m_HP.m_nValue = 150;
  EXPECT_EQ(EvalStatusCond(half, me), 1);

  // Compared in the status's own width: a byte ID against 300 is against 44.
  me.m_Def.m_nCharaId = 44;
  cEdCond id = Cond(STATUS_OBJ_SELF, STATUS_CHARA_ID, COMPARE_EQUAL, 300);
  EXPECT_EQ(EvalStatusCond(id, me), 1);
  // Percent forms of statuses without a maximum compare with 0.
  me.m_Def.m_nScore = 0;
  cEdCond score = Cond(STATUS_OBJ_SELF, STATUS_SCORE, COMPARE_EQUAL, 70, 1);
  EXPECT_EQ(EvalStatusCond(score, me), 1);
  // An empty target slot is false; a status outside the table is true.
  cEdCond empty = Cond(STATUS_OBJ_TARGET1, STATUS_HP, COMPARE_AT_LEAST, 0);
  EXPECT_EQ(EvalStatusCond(empty, me), 0);
  cEdCond unknown = Cond(STATUS_OBJ_SELF, 40, COMPARE_EQUAL, 1);
  EXPECT_EQ(EvalStatusCond(unknown, me), 1);
  cEdCond target = Cond(STATUS_OBJ_TARGET2, STATUS_HP, COMPARE_EQUAL, 50);
  EXPECT_EQ(EvalStatusCond(target, me), 1);

  // The value compared with stays in the condition; reading STOP sets the deceleration.
  other.m_Def.m_sStopEase = 40;
  other.m_dDecel = 0;
  cEdCond stop = Cond(STATUS_OBJ_SELF, STATUS_HP, COMPARE_AT_LEAST, 0);
  stop.m_nSource = VALUE_STATUS;
  stop.m_nOperandObject = STATUS_OBJ_TARGET2;
  stop.m_nOperandItem = STATUS_STOP;
  me.m_HP.m_nValue = 40;
  EXPECT_EQ(EvalStatusCond(stop, me), 1);
  EXPECT_EQ(stop.m_nConst, 40);
  EXPECT_EQ(other.m_dDecel, PercentToAccel(40));
  // The sight of a computer-controlled character cannot be read.
  other.m_nControl = 1;
  stop.m_nOperandItem = STATUS_SIGHT;
  EXPECT_EQ(EvalStatusCond(stop, me), 0);

  // Variables and game values on the left.
  g_PlayData.m_CommonVar[5] = 8;
  cEdCond var = Cond(STATUS_OBJ_SELF, 0, COMPARE_DIVISIBLE, 4);
  var.m_nLeftSide = 1;
  var.m_nLeftScope = VAR_COMMON;
  var.m_nIndex = 5;
  EXPECT_EQ(EvalStatusCond(var, me), 1);
  var.m_nLeftScope = 2;
  EXPECT_EQ(EvalStatusCond(var, me), 0);
  g_PlayData.m_nLives = kUnlimitedLives;
  cEdCond lives = Cond(STATUS_OBJ_SYSTEM, SYS_LIVES, COMPARE_EQUAL, 100);
  EXPECT_EQ(EvalStatusCond(lives, me), 1);
  g_SystemData.bCompatLifeRead = 1;
  EXPECT_EQ(EvalStatusCond(lives, me), 0);
}

TEST_F(StatusOpsTest, Operations) {
  // HP by 10 % of its maximum, forced through invincibility, capped at the maximum.
  me.m_Def.m_nMaxHP = 250;
  me.m_HP.m_nValue = 200;
  me.m_nInvincibleTimer = 10;
  const cEdCmd heal = Op(STATUS_OBJ_SELF, STATUS_HP, ASSIGN_ADD, 10, {{15, CALC_PERCENT_OF_MAX}});
  Do(heal);
  EXPECT_EQ(me.m_HP.m_nValue, 225);
  Do(heal);
  Do(heal);
  EXPECT_EQ(me.m_HP.m_nValue, 250);
  me.m_HP.m_nValue = 100;
  Do(Op(STATUS_OBJ_SELF, STATUS_HP, ASSIGN_ADD, 10, {{15, CALC_PERCENT_OF_MAX}, {17, 1}}));
  EXPECT_EQ(me.m_HP.m_nValue, 100);  // invincible characters left alone

  struct Row {
    int status, start, op, constant, want;
  } rows[] = {
      {STATUS_DEFENCE, 999999, ASSIGN_MUL, 3000, 999999},
      {STATUS_DEFENCE, 999999, ASSIGN_MUL, 4295, 28409},
      {STATUS_DEFENCE, 77, ASSIGN_DIV, 0, 77},
      {STATUS_CHARA_ID, 50, ASSIGN_PERCENT, 50, 0},
      {STATUS_CHARA_ID, 5, ASSIGN_SET, 300, 44},  // cut to a byte, then clamped
      {STATUS_IMPACT, 10, ASSIGN_MUL, 52, 8},
      {STATUS_STOP, 200, ASSIGN_PERCENT, 200, 0},
      {STATUS_MARK, 3, ASSIGN_ADD, 1000, 119},
      {STATUS_POWER, 5, ASSIGN_SUB, 2000000, -999999},
  };
  for (const Row& r : rows) {
    const sStatusField field = StatusField(me, r.status, 0);
    WriteStatusField(field, r.start);
    Do(Op(STATUS_OBJ_SELF, r.status, r.op, r.constant));
    EXPECT_EQ(ReadStatusField(field), r.want) << r.status << " " << r.start;
  }

  // Lowering another character's maximum to 0 asks for the defeat checks.
  Do(Op(STATUS_OBJ_TARGET2, STATUS_MAX_HP, ASSIGN_SET, 0));
  EXPECT_EQ(other.m_HP.m_nValue, 0);
  EXPECT_EQ(m_Scene.m_bCheckDefeats, 1);
  m_Scene.m_bCheckDefeats = 0;
  Do(Op(STATUS_OBJ_TARGET1, STATUS_HP, ASSIGN_SET, 0));  // an empty slot: nothing
  EXPECT_EQ(m_Scene.m_bCheckDefeats, 0);

  // Lives: untouched while unlimited, else 0 to 99.
  g_PlayData.m_nLives = kUnlimitedLives;
  Do(Op(STATUS_OBJ_SYSTEM, SYS_LIVES, ASSIGN_SET, 5));
  EXPECT_EQ(g_PlayData.m_nLives, kUnlimitedLives);
  g_PlayData.m_nLives = 3;
  Do(Op(STATUS_OBJ_SYSTEM, SYS_LIVES, ASSIGN_ADD, 500));
  EXPECT_EQ(g_PlayData.m_nLives, 99);

  // A variable from a random draw and a percent of the variable itself.
  g_PlayData.m_CommonVar[7] = 40;
  Do(Op(0, 0, ASSIGN_ADD, 0, {{0, 1}, {1, VAR_COMMON}, {2, 7}, {6, VALUE_RANDOM}, {8, 5}, {9, 5}}));
  EXPECT_EQ(g_PlayData.m_CommonVar[7], 45);
  Do(Op(0, 0, ASSIGN_SET, 50, {{0, 1}, {1, VAR_STAGE}, {2, 3}, {14, 1}}));
  EXPECT_EQ(m_Scene.m_StageVar[3], 0);  // 50 % of 0
  m_Scene.m_StageVar[3] = 90;
  Do(Op(0, 0, ASSIGN_SET, 50, {{0, 1}, {1, VAR_STAGE}, {2, 3}, {14, 1}}));
  EXPECT_EQ(m_Scene.m_StageVar[3], 45);
}

}  // namespace
