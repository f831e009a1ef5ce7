#include "flows/run_code.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/close_request.h"
#include "project/system_data.h"
#include "tests/flows/script_world.h"

namespace {

class RunCodeTest : public cScriptWorld {
 protected:
  // Runs a text with fresh variables: C1 = 42, C3 = 4, the rest 0.
  int Run(const std::string& text, int older = 0) {
    g_PlayData.m_CommonVar.assign(1001, 0);
    g_PlayData.m_CommonVar[1] = 42;
    g_PlayData.m_CommonVar[3] = 4;
    g_SystemData.bCompatCodeReduce = older;
    s_Boxes.clear();
    g_nCodeError = 0;
    return EvalCodeText(text, &me);
  }
  std::int32_t C(int n) { return g_PlayData.m_CommonVar[n]; }
};

TEST_F(RunCodeTest, ValuesStoresAndMessages) {
  ErrorLogOn();
  struct Row {
    const char* text;
    int older;      // the older reduction
    int value;      // what the text gives
    int error;      // the error flag afterwards
    int var, want;  // common variable var holds want afterwards (var 0: not checked)
    const char* box;
  } rows[] = {
      {"C5 = 7 + 2 * 3", 0, 13, 0, 5, 13, nullptr},
      {"C5 = 7 + 2 * 3", 1, 13, 0, 5, 13, nullptr},
      {"1 + 2 + 3", 0, 6, 0, 0, 0, nullptr},
      {"1 + 2 + 3", 1, 5, 0, 0, 0, nullptr},
      {"20 - 8 - 2", 0, 10, 0, 0, 0, nullptr},
      {"20 - 8 - 2", 1, 6, 0, 0, 0, nullptr},
      {"7 / 2", 0, 3, 0, 0, 0, nullptr},
      {"-7 / 2", 0, -3, 0, 0, 0, nullptr},
      {"-7 % 3", 0, -1, 0, 0, 0, nullptr},
      {"C1 = (2 + 3) * 4", 0, 20, 0, 1, 20, nullptr},
      {"C1 = rand(3, 3)", 0, 3, 0, 1, 3, nullptr},
      {"C1 = rand(C3 - 1 , (1 + 2))", 0, 3, 0, 1, 3, nullptr},
      {"C1=5", 0, 42, 0, 1, 42, nullptr},  // one token: the variable C1
      {"C1 = 3.5", 0, 5, 0, 1, 5, nullptr},
      {"C1 = C3 * C3 - 1", 0, 15, 0, 1, 15, nullptr},
      {"C1 = 5000000", 0, 999999, 0, 1, 999999, nullptr},
      {"2147483647 + 1", 0, INT_MIN, 0, 0, 0, nullptr},
      {"-2147483648 / -1", 0, INT_MIN, 0, 0, 0, nullptr},
      {"-2147483648 % -1", 0, 0, 0, 0, 0, nullptr},
      {"65536 * 65536", 0, 0, 0, 0, 0, nullptr},
      {"99999999999", 0, INT_MAX, 0, 0, 0, nullptr},
      {"abc", 0, 0, 0, 0, 0, nullptr},
      {"", 0, 0, 0, 0, 0, nullptr},
      {"foo(2) + 1", 0, 1, 0, 0, 0, nullptr},  // no such function: a literal without digits
      {"C1 = 10 / 0", 0, 0, 1, 1, 42, "0除算が行われました！(C1 = 10 / 0)"},
      {"C1 = (10 / 0)", 0, 0, 1, 1, 0, "0除算が行われました！(10 / 0)"},
      {"C1 = 10 % 0", 0, 0, 1, 1, 42, "0除算が行われました！(C1 = 10 % 0)"},
      {"5 = C1", 0, 0, 1, 1, 42, "代入先が不正です！"},
      {"C1 = C2 = 3", 0, 0, 1, 1, 0, "代入先が不正です！"},  // C1 took C2 first
      {"tg1.hp = 0", 0, 0, 1, 0, 0, nullptr},
      {"C1 = tg2.5", 0, 5, 0, 1, 5, nullptr},  // target 2 is there
      {"C1 = tg3.5", 0, 0, 1, 1, 42, nullptr},
      {"foo.hp = 1", 0, 0, 1, 0, 0, "オブジェクト \"foo.\" が認識できません！"},
      {"my.foo.hp", 0, 0, 1, 0, 0, "オブジェクト \"foo.\" が認識できません！"},
      {"C5000 = 1", 0, 0, 1, 0, 0, "変数の識別エラー（未定義？）"},
      {"S-1 = 1", 0, 0, 1, 0, 0, "変数の識別エラー（未定義？）"},
      {"+ 5", 0, 0, 1, 0, 0, "演算子のエラー（未定義？）"},
      {"C1 = 5 *", 0, 0, 1, 1, 42, "演算子のエラー（未定義？）"},
      {"sys.hp", 0, 0, 1, 0, 0, "ステータスの識別エラー（未定義？）"},
      {"C1 = rand(1)", 0, 0, 1, 1, 42, "関数 rand の引数が不正です！"},
      {"C1 = rand(1, 2", 0, 0, 1, 1, 42, "関数 rand で\")\"が見つかりません！"},
      {"C1 = (1 + 2", 0, 0, 1, 1, 42, "\")\"が見つかりません！"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.text) + (r.older ? " (older)" : ""));
    EXPECT_EQ(Run(r.text, r.older), r.value);
    EXPECT_EQ(g_nCodeError, r.error);
    if (r.var) {
      EXPECT_EQ(C(r.var), r.want);
    }
    if (r.box) {
      ASSERT_EQ(s_Boxes.size(), 1u);
      EXPECT_EQ(s_Boxes[0], r.box);
    } else {
      EXPECT_TRUE(s_Boxes.empty());
    }
  }
  // A script mistake leaves its trace in the report and goes on without closing the game.
  const std::string report = Report();
  EXPECT_NE(report.find("err V[5000] ( 1001 , 4 )"), std::string::npos);
  EXPECT_NE(report.find("err V[-1] ( 1001 , 4 )"), std::string::npos);
  EXPECT_FALSE(platform::IsCloseRequested());
}

TEST_F(RunCodeTest, InternalErrorsAreSilentWithoutTheErrorLog) {
  for (const char* text : {"C5000 = 1", "+ 5", "sys.hp"}) {
    EXPECT_EQ(ExecCode(text, &me), 0) << text;
    EXPECT_EQ(g_nCodeError, 1);
  }
  EXPECT_TRUE(s_Boxes.empty());
}

TEST_F(RunCodeTest, RandomCallsStayInTheirRange) {
  for (int i = 0; i < 200; ++i) {
    Run("C1 = rand(6, 1)");
    ASSERT_GE(C(1), 1);
    ASSERT_LE(C(1), 6);
  }
}

TEST_F(RunCodeTest, StatusesAndTheirSideEffects) {
  EXPECT_EQ(ExecCode("my.hp = my.hp + 10", &me), 1);
  EXPECT_EQ(me.m_HP.m_nValue, 100);
  EXPECT_GT(me.m_HP.m_nGauge, 0);
  EXPECT_EQ(me.m_HP.m_dChange, 5 * 50 / 100.0);  // the gauge shows +5

  EXPECT_EQ(Run("my.cid = 300"), 99);
  EXPECT_EQ(me.m_Def.m_nCharaId, 99);
  EXPECT_EQ(Run("my.imp = -50"), -20);
  EXPECT_EQ(me.Impact(), -20);
  // Operands are read before anything is assigned: v1 takes v8's value from before.
  EXPECT_EQ(Run("my.v8 = 7 my.v1 = my.v8"), 0);
  EXPECT_EQ(me.m_Vars[8], 7);
  EXPECT_EQ(me.m_Vars[1], 0);
  EXPECT_EQ(Run("tg2.mark = 500"), 119);
  EXPECT_EQ(other.m_Def.m_sMark, 119);

  // A lower maximum holds HP inside it; another character's HP at 0 asks for the defeats.
  EXPECT_EQ(Run("my.mhp = 40"), 40);
  EXPECT_EQ(me.m_HP.m_nValue, 40);
  EXPECT_EQ(m_Scene.m_bCheckDefeats, 0);
  EXPECT_EQ(Run("my.hp = 0"), 0);
  EXPECT_EQ(m_Scene.m_bCheckDefeats, 0);
  EXPECT_EQ(Run("tg2.hp = -5"), 0);
  EXPECT_EQ(other.m_HP.m_nValue, 0);
  EXPECT_EQ(m_Scene.m_bCheckDefeats, 1);

  // Game values.
  m_Scene.m_nTime = 300;
  EXPECT_EQ(Run("time = time * 10"), 999);
  EXPECT_EQ(Run("score = -5"), 0);
  EXPECT_EQ(Run("C1 = life"), 3);
}

TEST_F(RunCodeTest, UnlimitedLives) {
  g_PlayData.m_nLives = kUnlimitedLives;
  Run("life = 5");
  EXPECT_EQ(g_PlayData.m_nLives, kUnlimitedLives);
  Run("C1 = life");
  EXPECT_EQ(C(1), 100);
  g_SystemData.bCompatLifeRead = 1;
  Run("C1 = life");
  EXPECT_EQ(C(1), 0);
}

TEST_F(RunCodeTest, DeepNestingIsRefusedOnce) {
  const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
  EXPECT_EQ(ExecCode("C1 = " + deep, &me), 0);
  EXPECT_EQ(g_nCodeError, 1);
  ASSERT_EQ(s_Boxes.size(), 1u);
  EXPECT_EQ(s_Boxes[0], "括弧の入れ子が深すぎます！");
  const std::string fine = std::string(200, '(') + "7" + std::string(200, ')');
  EXPECT_EQ(ExecCode("C1 = " + fine, &me), 1);
  EXPECT_EQ(C(1), 7);
}

}  // namespace
