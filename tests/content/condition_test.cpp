#include "content/condition.h"

#include <gtest/gtest.h>

#include "tests/support/record_bytes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The 17 fields of a condition as files from version 110 on hold them.
struct sFields {
  std::int8_t kind, object, item, left, source, opObject, opItem, op;
  std::int32_t constant = 0;
};

Bytes CurrentLayout(const sFields& f) {
  return cBytes()
      .I32(17)
      .U8(f.kind)
      .I32(f.constant)
      .I32(-1)
      .I32(2)  // kind, constant, random ends
      .U8(f.object)
      .U8(f.item)
      .U8(f.left)
      .U8(1)     // object, item, left side, scope
      .I16(300)  // index
      .U8(f.source)
      .U8(f.opObject)
      .U8(f.opItem)
      .U8(1)    // operand
      .I16(-5)  // operand index
      .U8(f.op)
      .U8(1)
      .U8(6)  // operator, percent, axis
      .I32(0)
      .data;
}

TEST(ConditionTest, UpgradesOfOlderEditors) {
  struct sCase {
    const char* name;
    int version;
    sFields stored;
    sFields expected;
  };
  // kind, object, item, left, source, opObject, opItem, op
  const std::vector<sCase> cases = {
      {"distance before kinds were inserted",
       150,
       {5, 3, 0, 1, 0, 4, 0, 0},
       {7, 0, 0, 0, 1, 1, 0, 0}},
      {"distance of version 700", 700, {7, 3, 0, 1, 0, 4, 0, 1}, {7, 3, 0, 0, 1, 1, 0, 1}},
      {"distance of version 746", 746, {7, 3, 0, 1, 0, 4, 0, 1}, {7, 3, 0, 1, 0, 4, 0, 1}},
      {"status of the old system object",
       160,
       {4, 2, 12, 0, 0, 0, 0, 2},
       {4, 5, 12, 0, 0, 0, 0, 2}},
      {"status of target 1", 160, {4, 1, 12, 0, 0, 0, 0, 2}, {4, 1, 14, 0, 0, 0, 0, 2}},
      {"status between the thresholds", 180, {4, 0, 7, 0, 0, 0, 0, 2}, {4, 0, 8, 0, 0, 0, 0, 2}},
      {"status with a variable on the left",
       160,
       {4, 3, 12, 1, 0, 0, 0, 2},
       {4, 6, 12, 1, 0, 0, 0, 2}},
      {"status operand", 160, {4, 0, 1, 0, 2, 3, 11, 2}, {4, 0, 1, 0, 2, 6, 13, 2}},
      {"status of version 767", 767, {4, 2, 12, 0, 2, 3, 11, 2}, {4, 2, 12, 0, 2, 3, 11, 2}},
      {"state item 2 of version 160", 160, {6, 0, 2, 0, 0, 0, 0, 1}, {6, 0, 2, 0, 0, 0, 0, 0}},
      {"state item 2 of version 161", 161, {6, 0, 2, 0, 0, 0, 0, 1}, {6, 0, 2, 0, 0, 0, 0, 1}},
      {"status 2 item 6", 209, {5, 3, 6, 0, 0, 0, 0, 0}, {5, 6, 7, 0, 0, 0, 0, 0}},
      {"status 2 item 6 of the old system",
       209,
       {5, 2, 6, 0, 0, 0, 0, 0},
       {5, 5, 6, 0, 0, 0, 0, 0}},
      {"unknown kind raised with the others",
       110,
       {9, 1, 1, 1, 1, 1, 1, 1},
       {11, 1, 1, 1, 1, 1, 1, 1}},
      {"unknown kind kept", 821, {9, 1, 1, 1, 1, 1, 1, 1}, {9, 1, 1, 1, 1, 1, 1, 1}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.name);
    cEdCond cond;
    ASSERT_TRUE(ReadRecordBytes(cond, c.version, CurrentLayout(c.stored)));
    const sFields& e = c.expected;
    EXPECT_EQ(cond.m_nKind, e.kind);
    EXPECT_EQ(cond.m_nObject, e.object);
    EXPECT_EQ(cond.m_nItem, e.item);
    EXPECT_EQ(cond.m_nLeftSide, e.left);
    EXPECT_EQ(cond.m_nSource, e.source);
    EXPECT_EQ(cond.m_nOperandObject, e.opObject);
    EXPECT_EQ(cond.m_nOperandItem, e.opItem);
    EXPECT_EQ(cond.m_nOperator, e.op);
  }
}

TEST(ConditionTest, ShortLayoutOfTheFirstEditors) {
  // Version 100: kind, constant, two discarded int16 values, operator, percent, axis.
  cEdCond cond;
  const Bytes v100 = cBytes().I32(7).U8(1).I32(-8).I16(11).I16(12).U8(3).U8(1).U8(2).I32(0).data;
  ASSERT_TRUE(ReadRecordBytes(cond, 100, v100));
  EXPECT_EQ(cond.m_nKind, 1);
  EXPECT_EQ(cond.m_nConst, -8);
  EXPECT_EQ(cond.m_nOperator, 3);
  EXPECT_EQ(cond.m_bPercent, 1);
  EXPECT_EQ(cond.m_nAxis, 2);
  EXPECT_EQ(cond.m_nObject, 0);
  EXPECT_EQ(cond.m_nIndex, 0);

  // Before version 43 there is no percent byte.
  cEdCond older;
  const Bytes v42 = cBytes().I32(6).U8(2).I32(4).I16(0).I16(0).U8(5).U8(1).I32(0).data;
  ASSERT_TRUE(ReadRecordBytes(older, 42, v42));
  EXPECT_EQ(older.m_nOperator, 5);
  EXPECT_EQ(older.m_bPercent, 0);
  EXPECT_EQ(older.m_nAxis, 1);

  // Written back in the current layout, and read again unchanged.
  const Bytes written = WriteRecordBytes(cond);
  EXPECT_EQ(written, cBytes()
                         .I32(17)
                         .U8(1)
                         .I32(-8)
                         .I32(0)
                         .I32(0)
                         .U8(0)
                         .U8(0)
                         .U8(0)
                         .U8(0)
                         .I16(0)
                         .U8(0)
                         .U8(0)
                         .U8(0)
                         .U8(0)
                         .I16(0)
                         .U8(3)
                         .U8(1)
                         .U8(2)
                         .I32(0)
                         .data);
  cEdCond again;
  ASSERT_TRUE(ReadRecordBytes(again, 821, written));
  EXPECT_EQ(WriteRecordBytes(again), written);
}

TEST(ConditionTest, CurrentLayoutRoundTrips) {
  const Bytes stored = CurrentLayout({4, 3, 9, 1, 2, 4, 8, 5, 77});
  cEdCond cond;
  ASSERT_TRUE(ReadRecordBytes(cond, 821, stored));
  EXPECT_EQ(cond.m_nConst, 77);
  EXPECT_EQ(cond.m_nRandLow, -1);
  EXPECT_EQ(cond.m_nIndex, 300);
  EXPECT_EQ(cond.m_nOperandIndex, -5);
  EXPECT_EQ(WriteRecordBytes(cond), stored);
}

TEST(ConditionTest, ListsByVersion) {
  const Bytes oneCond = cBytes().I32(1).Raw(CurrentLayout({1, 0, 0, 0, 0, 0, 0, 2, 3})).data;
  const Bytes withConds = cBytes().I32(2).U8(1).U8(1).I32(0).Raw(oneCond).data;

  cCondList list;
  ASSERT_TRUE(ReadRecordBytes(list, 766, withConds));
  EXPECT_EQ(list.m_bEnabled, 1);
  EXPECT_EQ(list.m_nMode, 1);
  ASSERT_EQ(list.m_Conds.size(), 1u);
  EXPECT_EQ(list.m_Conds[0].m_nConst, 3);

  // Before 766 a list carried no conditions, whatever its enabled byte says.
  cCondList old;
  old.m_Conds.resize(2);
  ASSERT_TRUE(ReadRecordBytes(old, 765, cBytes().I32(2).U8(1).U8(0).I32(0).data));
  EXPECT_EQ(old.m_bEnabled, 1);
  EXPECT_TRUE(old.m_Conds.empty());
  EXPECT_EQ(WriteRecordBytes(old), cBytes().I32(2).U8(1).U8(0).I32(0).I32(0).data);

  // A count the file cannot hold, or a condition cut short, leaves the vector as it was.
  for (const Bytes& bad : {cBytes().I32(1000).data, cBytes().I32(-1).data,
                           Bytes(oneCond.begin(), oneCond.end() - 3)}) {
    CondVector conds(1);
    conds[0].m_nConst = 42;
    DataFilePtr file = DataFileFromBytes("bad", cBytes().I32(821).Raw(bad).data);
    EXPECT_FALSE(ReadCondList(conds, *file));
    ASSERT_EQ(conds.size(), 1u);
    EXPECT_EQ(conds[0].m_nConst, 42);
  }

  std::shared_ptr<cCondList> held = std::make_shared<cCondList>(list);
  NewCondList(held);
  EXPECT_EQ(held->m_bEnabled, 0);
  EXPECT_TRUE(held->m_Conds.empty());
}

// Variables of a pretend stage: common, stage and character variables by kind.
std::int32_t g_Vars[4][4] = {{}, {0, 5, 0, -6}, {0, 0, 9, 0}, {1, 0, 0, 0}};
int g_nObjectTests = 0;

std::int32_t ReadVar(int kind, int index, cCharaBase*) { return g_Vars[kind][index]; }
int TestObject(cEdCond& cond, cCharaBase*) {
  ++g_nObjectTests;
  return cond.m_nConst;
}

cEdCond Cond(int kind, int index, int op, int constant) {
  cEdCond cond;
  cond.m_nKind = static_cast<std::int8_t>(kind);
  cond.m_nIndex = static_cast<std::int16_t>(index);
  cond.m_nOperator = static_cast<std::int8_t>(op);
  cond.m_nConst = constant;
  return cond;
}

TEST(ConditionTest, Evaluation) {
  SetConditionServices({});
  CondVector needsStage = {Cond(1, 1, 0, 5)};
  EXPECT_EQ(CheckConditions(needsStage, 0, nullptr), 0);  // nothing installed: false

  SetConditionServices({ReadVar, TestObject});
  const cEdCond yes = Cond(1, 1, 2, 5);  // common 1 (5) >= 5
  const cEdCond no = Cond(2, 2, 5, 9);   // stage 2 (9) < 9
  struct sCase {
    const char* name;
    CondVector conds;
    int mode;
    int expected;
  };
  const std::vector<sCase> cases = {
      {"all, empty", {}, 0, 1},
      {"any, empty", {}, 1, 0},
      {"all", {yes, Cond(3, 0, 0, 1)}, 0, 1},
      {"all, one fails", {yes, no}, 0, 0},
      {"any, one holds", {no, yes}, 1, 1},
      {"any, none holds", {no, no}, 1, 0},
      {"other mode", {yes}, 2, 0},
      {"divisible, negative value", {Cond(1, 3, 6, 3)}, 0, 1},
      {"kind 0", {Cond(0, 0, 0, 0)}, 0, 0},
      {"unknown kind", {Cond(8, 0, 0, 0)}, 1, 0},
      {"object test", {Cond(7, 0, 0, 1), Cond(4, 0, 0, 1)}, 0, 1},
  };
  for (sCase c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckConditions(c.conds, c.mode, nullptr), c.expected);
  }

  cCondList list;
  list.m_Conds = {no};
  EXPECT_EQ(CheckCondList(&list, nullptr), 1);  // disabled
  list.m_bEnabled = 1;
  EXPECT_EQ(CheckCondList(&list, nullptr), 0);
  EXPECT_EQ(CheckCondList(nullptr, nullptr), 1);
  SetConditionServices({});
}

}  // namespace
