#include "content/flow.h"

#include <gtest/gtest.h>

#include "foundation/shell_services.h"
#include "tests/content/fake_refs.h"
#include "tests/support/record_bytes.h"

namespace {

class FlowTest : public ::testing::Test {
 protected:
  cEdFlow ReadFlow(const std::vector<std::uint8_t>& bytes) {
    cEdFlow flow;
    EXPECT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { flow.Read(f); }));
    return flow;
  }
  cFakeRefs refs;
};

TEST_F(FlowTest, LayoutFollowsTheVersionGates) {
  cEdFlow flow;
  const struct {
    int version, bindings, strings;
  } cases[] = {{675, 8, 0}, {676, 8, 1}, {762, 9, 1}, {767, 10, 1}, {821, 10, 1}};
  for (const auto& c : cases) {
    flow.SetupItems(c.version);
    EXPECT_EQ(static_cast<int>(flow.Items().size()), c.bindings) << c.version;
    EXPECT_EQ(static_cast<int>(flow.StrItems().size()), c.strings) << c.version;
  }
  flow.SetupItems(g_nDataVersion);
}

// A version-131 flow laid by hand: eight bytes, no name, then three empty lists.
TEST_F(FlowTest, ReadsAHandLaidOldFlow) {
  cBytes b;
  b.I32(131).I32(8).U8(4).U8(2).U8(0).U8(1).U8(1).U8(11).U8(3).U8(1).I32(0);
  b.I32(0).I32(0).I32(0);
  cEdFlow flow = ReadFlow(b.data);
  EXPECT_EQ(flow.m_nID, 4);
  EXPECT_EQ(flow.m_nGroup, 0) << "groups apply to always-flows only";
  EXPECT_EQ(flow.m_nCondMode, 1);
  EXPECT_EQ(flow.m_nTrigger, 14);
  EXPECT_EQ(flow.m_nKeyTolerance, 3);
  EXPECT_EQ(flow.m_bKeyRepeat, 1);
}

TEST_F(FlowTest, TriggersOfOlderVersions) {
  const struct {
    int version, trigger, group, wantTrigger, wantGroup;
  } cases[] = {
      {131, 11, 0, 14, 0}, {132, 11, 0, 13, 0}, {131, 10, 0, 12, 0}, {163, 5, 2, 7, 2},
      {164, 5, 0, 5, 0},   {761, 18, 0, 21, 0}, {762, 18, 0, 18, 0}, {150, 0, 3, 0, 3},
      {150, 3, 3, 3, 0},   {100, 20, 0, 26, 0}, {821, 22, 1, 22, 1},
  };
  for (const auto& c : cases) {
    cEdFlow stored;
    stored.m_nTrigger = static_cast<std::int8_t>(c.trigger);
    stored.m_nGroup = static_cast<std::int8_t>(c.group);
    cEdFlow flow = ReadFlow(FileAtVersion(c.version, [&](cDataFile& f) { stored.Write(f); }));
    EXPECT_EQ(flow.m_nTrigger, c.wantTrigger) << c.version << " trigger " << c.trigger;
    EXPECT_EQ(flow.m_nGroup, c.wantGroup) << c.version << " trigger " << c.trigger;
  }
}

TEST_F(FlowTest, NameIsNotKeptAndListsAre) {
  cEdFlow stored;
  stored.m_strName = "走る";
  stored.m_nTargetSlot = 2;
  stored.m_Conds.resize(2);
  stored.m_Conds[1].m_nKind = COND_STAGE_VAR;
  stored.m_KeyConds.resize(1);
  stored.m_KeyConds[0].m_Keys.resize(12);
  stored.m_KeyConds[0].m_Keys[11] = KEY_PRESSED;
  stored.m_KeyConds[0].m_sMaxFrames = 30;
  stored.m_Cmds.resize(1);
  stored.m_Cmds[0].m_nKind = CMD_SOUND;
  refs.m_Sizes[REF_SOUND] = 1;
  cEdFlow flow = ReadFlow(FileAtVersion(821, [&](cDataFile& f) { stored.Write(f); }));
  EXPECT_TRUE(flow.m_strName.empty());
  EXPECT_EQ(flow.m_nTargetSlot, 2);
  ASSERT_EQ(flow.m_Conds.size(), 2u);
  EXPECT_EQ(flow.m_Conds[1].m_nKind, COND_STAGE_VAR);
  ASSERT_EQ(flow.m_KeyConds.size(), 1u);
  EXPECT_EQ(flow.m_KeyConds[0].m_Keys.size(), 12u) << "the stored number of keys is kept";
  EXPECT_EQ(flow.m_KeyConds[0].m_Keys[11], KEY_PRESSED);
  EXPECT_EQ(flow.m_KeyConds[0].m_sMaxFrames, 30);
  ASSERT_EQ(flow.m_Cmds.size(), 1u);
  EXPECT_EQ(flow.m_Cmds[0].m_Params.size(), 1u) << "commands are validated as they are read";
  EXPECT_EQ(cEdKeyCond().m_Keys.size(), 19u);

  // Copies are deep: the commands of a copied flow are its own.
  cEdFlow copy = flow;
  NewMove(copy.m_Cmds[0].m_pMove);
  EXPECT_FALSE(flow.m_Cmds[0].m_pMove);
  flow = flow;
  EXPECT_EQ(flow.m_Cmds.size(), 1u);
}

TEST_F(FlowTest, TestPlayOnlyFlowsAreRemovedInOrder) {
  FlowVector flows(4);
  for (int i = 0; i < 4; ++i) flows[i].m_nID = static_cast<std::int8_t>(i + 1);
  flows[1].m_bTestPlayOnly = 1;
  flows[3].m_bTestPlayOnly = 2;
  RemoveTestPlayOnlyFlows(flows);
  ASSERT_EQ(flows.size(), 2u);
  EXPECT_EQ(flows[0].m_nID, 1);
  EXPECT_EQ(flows[1].m_nID, 3);
}

TEST_F(FlowTest, DamagedKeyConditionsFailTheFlow) {
  cBytes b;
  b.I32(821).I32(10);
  for (int i = 0; i < 10; ++i) b.U8(0);
  b.I32(1).Str("");                                                      // name
  b.I32(0);                                                              // conditions
  b.I32(1).I32(5).U8(0).I16(0).I16(0).U8(0).U8(0).I32(0).I32(50).U8(1);  // 50 keys, 1 stored
  cEdFlow flow;
  flow.m_nID = 9;
  EXPECT_FALSE(ReadFromBytes(b.data, [&](cDataFile& f) { ReadRecordChecked(flow, f); }));
  EXPECT_EQ(flow.m_nID, 9) << "a damaged file leaves the flow as it was";
}

}  // namespace
