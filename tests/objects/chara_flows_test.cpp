#include "objects/chara_flows.h"

#include <gtest/gtest.h>

#include <list>
#include <set>
#include <string>
#include <vector>

#include "content/flow.h"
#include "content/key_condition.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"
#include "objects/chara.h"
#include "platform/close_request.h"
#include "play/input.h"
#include "tests/objects/play_world.h"

namespace {

cEdCmd MakeCmd(int kind, int tenths = 0, bool parallel = false, int set = CMDSET_CHARA) {
  cEdCmd cmd;
  cmd.m_nCmdSet = static_cast<std::int8_t>(set);
  cmd.m_nKind = static_cast<std::int8_t>(kind);
  cmd.m_sTime = static_cast<std::int16_t>(tenths);
  cmd.m_bParallel = parallel ? 1 : 0;
  cmd.m_Params.assign(CmdParamCount(set, kind), 0);
  return cmd;
}

cEdCmd Loop(int count, int length, int set = CMDSET_CHARA) {
  cEdCmd cmd = MakeCmd(set == CMDSET_CHARA ? CMD_LOOP : 24, 0, false, set);
  cmd.m_Params.resize(2);
  cmd.m_Params[0] = count;
  cmd.m_Params[1] = length;
  return cmd;
}

// The commands as letters: kinds 1 to 9 are A to I, a loop is '*'.
std::string Letters(const CmdVector& cmds) {
  std::string out;
  for (const cEdCmd& cmd : cmds)
    out += cmd.m_nKind == CMD_LOOP || (cmd.m_nCmdSet == CMDSET_ITEM && cmd.m_nKind == 24)
               ? '*'
               : static_cast<char>('A' + cmd.m_nKind - 1);
  return out;
}

CmdVector Cmds(const std::string& letters) {
  CmdVector out;
  for (char c : letters) out.push_back(MakeCmd(c - 'A' + 1));
  return out;
}

TEST(ExpandLoops, CopiesTheBlockAfterEachLoop) {
  struct sCase {
    std::vector<cEdCmd> before;
    std::string after;
  };
  auto with = [](std::vector<cEdCmd> front, const std::string& rest) {
    for (cEdCmd& c : Cmds(rest)) front.push_back(c);
    return front;
  };
  const sCase cases[] = {
      {with({Loop(3, 2)}, "ABC"), "ABABABC"},
      {with({Loop(0, 2)}, "ABC"), "ABC"},
      {with({Loop(1, 2)}, "ABC"), "ABC"},
      {with({Loop(3, 5)}, "AB"), "ABABAB"},  // a length past the end repeats what exists
      {with({Loop(4, -1)}, "AB"), "AB"},     // no block: only the loop goes
      {with({MakeCmd(3), Loop(2, 1)}, "A"), "CAA"},
      {with({Loop(2, 3), Loop(2, 1)}, "AB"), "AABAAB"},  // nested
  };
  for (const sCase& c : cases) {
    CmdVector cmds(c.before);
    EXPECT_TRUE(ExpandLoops(cmds));
    EXPECT_EQ(Letters(cmds), c.after) << Letters(CmdVector(c.before));
  }
  // An item's list loops with its own kind.
  CmdVector items{Loop(2, 1, CMDSET_ITEM), MakeCmd(4, 0, false, CMDSET_ITEM)};
  EXPECT_TRUE(ExpandLoops(items));
  EXPECT_EQ(items.size(), 2u);
}

TEST(ExpandLoops, ListsPastTheLimitAreRefused) {
  CmdVector cmds{Loop(5000, 2), MakeCmd(1), MakeCmd(2), MakeCmd(3)};
  EXPECT_TRUE(ExpandLoops(cmds));
  EXPECT_EQ(cmds.size(), 10001u);
  CmdVector huge{Loop(4, 3), Loop(1000000000, 1), MakeCmd(1), MakeCmd(2)};
  EXPECT_FALSE(ExpandLoops(huge));
  EXPECT_LE(static_cast<std::int64_t>(huge.size()), kMaxExpandedCmds);
}

class CharaFlowsTest : public cPlayWorld {
 protected:
  void SetUp() override {
    MakeMap(20, 15);
    g_Inputs.assign(1, cInputState());
  }
  // A character with the given flows, set up.
  cChara& Make(std::vector<cEdFlow> flows, int copyIndex = 0) {
    cChara& c = m_Charas.emplace_back();
    c.Reset(nullptr, 0, 0, copyIndex);
    c.m_Def.m_Flows = FlowVector(flows);
    SetupFlows(c, c.m_Def.m_Flows, 0, 0);
    return c;
  }
  static cEdFlow Flow(int trigger, std::vector<cEdCmd> cmds = {MakeCmd(CMD_WAIT, 1)}) {
    cEdFlow f;
    f.m_nTrigger = static_cast<std::int8_t>(trigger);
    f.m_Cmds = CmdVector(cmds);
    return f;
  }
  // Per input test, the frames (oldest first) in which it is on; the last frame is the
  // present. The histories are laid out newest run first.
  static void SetInput(const std::vector<std::set<int>>& frames) {
    cInputState& in = g_Inputs[0];
    for (int t = 0; t < kKeyTests; ++t) {
      std::vector<sInputRun> runs;
      for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
        const int on = it->count(t) ? 1 : 0;
        if (!runs.empty() && runs.back().nState == on)
          ++runs.back().nFrames;
        else
          runs.push_back({on, 1});
      }
      runs.resize(kHistoryLength, sInputRun{});
      auto& group = t < kDirectionTests ? in.m_DirHistories : in.m_ButtonHistories;
      group[t < kDirectionTests ? t : t - kDirectionTests] = cVector<sInputRun>(runs);
    }
  }
  static std::vector<std::set<int>> Frames(int count, std::set<int> on) {
    return std::vector<std::set<int>>(static_cast<std::size_t>(count), on);
  }
  static cEdKeyCond Press(std::vector<int> tests, int mode = KEYCOND_ALL) {
    cEdKeyCond k;
    k.m_Keys.assign(kKeyTests, KEY_IGNORE);
    for (int t : tests) k.m_Keys[t] = KEY_PRESSED;
    k.m_bAnyDuration = 1;
    k.m_nMode = static_cast<std::int8_t>(mode);
    return k;
  }

  cScopedValue<cVector<cInputState>> m_Inputs{g_Inputs};
  cScopedValue<cVector<cDbAnime>> m_Anime{g_DataBase.m_Anime};
  cScopedValue<AnimeRuns> m_Sequences{g_AnimeSequences};
  cScopedHeroes m_Heroes;
  cCharaList m_Charas;
};

TEST_F(CharaFlowsTest, SetUpGivesDurationsSpeedsAndSerials) {
  g_Stage.SetSpeedLevel(2);
  cEdCmd move = MakeCmd(CMD_MOVE_LINE, 10);
  move.m_sTimeClone = 5;
  NewMove(move.m_pMove);
  move.m_pMove->m_sSpeed = 10;
  move.m_pMove->m_sSpeedClone = 5;
  move.m_pMove->m_bSpeedLimit = 1;
  move.m_pMove->m_sSpeedLimit = 30;
  move.m_pMove->m_nDirection = 7;
  cChara& c = Make({Flow(TRIGGER_NONE, {move}), Flow(TRIGGER_NONE)}, 2);
  ASSERT_EQ(c.m_FlowRuns.size(), 2u);
  const cCmdRun& run = c.m_FlowRuns[0].m_Cmds[0];
  EXPECT_EQ(run.m_nDuration, 240);
  EXPECT_DOUBLE_EQ(run.m_dSpeed, 1.0);
  EXPECT_DOUBLE_EQ(run.m_dMaxSpeed, 1.5);
  EXPECT_EQ(run.m_cDir, 7);
  EXPECT_EQ(run.m_pCmd, &c.m_Def.m_Flows[0].m_Cmds[0]);
  EXPECT_EQ(c.m_FlowRuns[0].m_nSerial, 0);
  EXPECT_EQ(c.m_FlowRuns[1].m_nSerial, 1);
  EXPECT_EQ(c.m_FlowRuns[1].m_nIndex, 1);
  EXPECT_EQ(c.m_nFlowSerial, 2);
}

TEST_F(CharaFlowsTest, CirclePreparationForBothFacingsAndMirrors) {
  struct sCase {
    int facing, mirrorX, mirrorY, dir, timeMode;
    int wantDir, wantStart, wantEnd;
    double wantSpeed;
    int wantDuration;
  };
  const sCase cases[] = {
      {0, 1, 1, 0, 0, 0, 0, 90, 15.0, 6},     // facing left: no mirror
      {1, 1, 0, 0, 0, 1, 180, 270, 15.0, 6},  // x mirror: sense turned, 180 added
      {1, 1, 1, 0, 0, 0, 180, 270, 15.0, 6},  // y mirror turns it back
      {1, 0, 1, 1, 0, 0, 0, 90, 15.0, 6},
      {1, 1, 0, 2, 0, 2, 180, 270, 15.0, 6},  // the facing-dependent senses stay
      {0, 0, 0, 0, 1, 0, 0, 90, 1.0, 90},     // time mode 1: the duration from the speed
  };
  for (const sCase& c : cases) {
    cEdCmd cmd = MakeCmd(CMD_MOVE_CIRCLE, 1);
    NewMove(cmd.m_pMove);
    cEdMove& m = *cmd.m_pMove;
    m.m_sAngle = 0;
    m.m_sDistance = 90;
    m.m_sHomingLag = 25;  // radius: held to 20 half-blocks
    m.m_bMirrorTargetX = static_cast<std::int8_t>(c.mirrorX);
    m.m_bMirrorTargetY = static_cast<std::int8_t>(c.mirrorY);
    m.m_nDirection = static_cast<std::int8_t>(c.dir);
    m.m_nTimeMode = static_cast<std::int8_t>(c.timeMode);
    cChara& ch = m_Charas.emplace_back();
    ch.Reset(nullptr, 0, 0, 0);
    ch.m_Def.m_nFacing = static_cast<std::uint8_t>(c.facing);
    ch.m_Def.m_Flows = FlowVector({Flow(TRIGGER_NONE, {cmd})});
    SetupFlows(ch, ch.m_Def.m_Flows, 0, 0);
    const cCmdRun& run = ch.m_FlowRuns[0].m_Cmds[0];
    const std::string at = std::to_string(&c - cases);
    EXPECT_EQ(run.m_cDir, c.wantDir) << at;
    EXPECT_EQ(run.m_nMoveArg1, 320) << at;
    EXPECT_EQ(run.m_nMoveArg2, c.wantStart) << at;
    EXPECT_EQ(run.m_nMoveArg3, c.wantEnd) << at;
    EXPECT_DOUBLE_EQ(run.m_dSpeed, c.wantSpeed) << at;
    EXPECT_EQ(run.m_nDuration, c.wantDuration) << at;
  }
}

TEST_F(CharaFlowsTest, AnimationLeadInMeetsTheCommandOrStartsWithTheFlow) {
  // Animation 1: 2 tenths (12 frames) before its stop frame.
  g_DataBase.m_Anime.resize(2);
  g_DataBase.m_Anime[1].m_Frames.resize(2);
  g_DataBase.m_Anime[1].m_Frames[0].m_nTime = 2;
  g_DataBase.m_Anime[1].m_Frames[1].m_nTime = 1;
  g_DataBase.m_Anime[1].m_Frames[1].m_bLock = 1;
  BuildAnimeFrameTable(g_DataBase.m_Anime, g_AnimeSequences);
  cEdCmd act = MakeCmd(CMD_WAIT, 3);
  act.m_sAnime = 1;
  struct sCase {
    int waitTenths;
    int start, skip, play;
  };
  for (const sCase& c : {sCase{5, 18, 0, 12}, sCase{1, 0, 6, 6}}) {
    cChara& ch = Make(
        {Flow(TRIGGER_NONE, {MakeCmd(CMD_WAIT, 1, true), MakeCmd(CMD_WAIT, c.waitTenths), act})});
    cFlowRun& run = ch.m_FlowRuns[0];
    ASSERT_EQ(run.m_Animes.size(), 1u);
    const sFlowAnime& a = run.m_Animes[0];
    EXPECT_EQ(a.nStart, c.start);
    EXPECT_EQ(a.sSkip, c.skip);
    EXPECT_EQ(a.sPlay, c.play);
    EXPECT_EQ(a.sHold, 18);
    EXPECT_EQ(a.bHold, 1);
    // When the flow reaches the start, the animation plays on the character, its locked
    // frame held hold - 1 frames longer.
    run.Start(&ch);
    run.m_nSteps = c.start;
    UpdateFlowAnimes(ch);
    ASSERT_EQ(ch.m_OneShotAnime.size(), 1u);
    const cOneShotAnime& shot = ch.m_OneShotAnime.front();
    EXPECT_EQ(shot.m_nFramesLeft, c.play);
    EXPECT_EQ(shot.m_nKey, run.m_nSerial);
    EXPECT_EQ(shot.m_Anime.GetTick(), c.skip);
    EXPECT_EQ(shot.m_Anime.Runs()[0][1].nDuration, 6 + 17);
  }
}

// The flows' animations start however the character came by the flows that carry them: added
// by an item's flow change, copied from another character, and none once they are removed.
TEST_F(CharaFlowsTest, FlowAnimationsFollowTheFlowsAsTheyChange) {
  g_DataBase.m_Anime.resize(2);
  g_DataBase.m_Anime[1].m_Frames.resize(1);
  g_DataBase.m_Anime[1].m_Frames[0].m_nTime = 1;
  BuildAnimeFrameTable(g_DataBase.m_Anime, g_AnimeSequences);
  cEdCmd act = MakeCmd(CMD_WAIT, 3);
  act.m_sAnime = 1;
  cEdFlow animated = Flow(TRIGGER_NONE, {act});
  animated.m_nID = 5;
  auto change = [](cChara& ch, int op, std::vector<cEdFlow> flows) {
    cEdCmd cmd = MakeCmd(ITEMCMD_FLOW_CHANGE, 0, false, CMDSET_ITEM);
    cmd.m_Params.assign(2, 0);
    cmd.m_Params[0] = op;
    cmd.m_Params[1] = 5;
    cmd.m_Flows = FlowVector(flows);
    ItemCmd_FlowOperation(&ch, cmd, 0);
  };
  // How many animations the character's running flows start at their present step.
  auto started = [](cChara& ch) {
    EXPECT_TRUE(FlowSummaryCurrent(ch));
    ch.m_OneShotAnime.clear();
    for (cFlowRun& run : ch.m_FlowRuns) {
      if (!run.m_bRunning) run.Start(&ch);
      if (!run.m_Animes.empty()) run.m_nSteps = run.m_Animes[0].nStart;
    }
    UpdateFlowAnimes(ch);
    return ch.m_OneShotAnime.size();
  };

  cChara& ch = Make({Flow(TRIGGER_NONE)});
  EXPECT_EQ(started(ch), 0u);
  change(ch, 0, {animated});
  EXPECT_EQ(started(ch), 1u);
  cChara& copy = Make({Flow(TRIGGER_NONE)});
  copy.Copy(ch);
  EXPECT_EQ(started(copy), 1u);
  change(ch, 2, {});
  EXPECT_EQ(started(ch), 0u);
  cChara& other = Make({Flow(TRIGGER_NONE)});
  copy.Copy(other);
  EXPECT_EQ(started(copy), 0u);
}

// A flow with one key condition (button 1 pressed) that passes only while the button is on.
TEST_F(CharaFlowsTest, TriggerLatchPerCompatibility) {
  struct sCase {
    int compat525, compat744;
    bool startsAfterFailedTest;  // conditions failed at the first event of the frame
    bool startsAfterRunning;     // the flow was running at the first event
  };
  const sCase cases[] = {
      {0, 0, false, true},   // 744 and later: latched once past the other tests
      {0, 1, false, false},  // 525 to 743: latched first
      {1, 1, true, true},    // before 525: no latch
  };
  for (const sCase& c : cases) {
    cScopedValue a(g_SystemData.bCompatTriggerStart, c.compat525);
    cScopedValue b(g_SystemData.bCompatTriggerStart2, c.compat744);
    cEdFlow f = Flow(TRIGGER_TOUCH_BLOCK);
    f.m_KeyConds.push_back(Press({11}));
    cChara& ch = Make({f});
    cFlowRun& run = ch.m_FlowRuns[0];
    SetInput(Frames(5, {}));
    ch.FireTrigger(TRIGGER_TOUCH_BLOCK);
    EXPECT_EQ(run.m_bRunning, 0);
    SetInput(Frames(5, {11}));
    ch.FireTrigger(TRIGGER_TOUCH_BLOCK);
    EXPECT_EQ(run.m_bRunning != 0, c.startsAfterFailedTest) << c.compat525 << c.compat744;

    // Next frame: running at the first event, stopped before the second.
    ResetFlowTriggers(ch);
    run.Stop(&ch);
    run.Start(&ch);
    ResetFlowTriggers(ch);
    ch.FireTrigger(TRIGGER_TOUCH_BLOCK);
    run.Stop(&ch);
    run.m_nKeyEdge = 0;
    ch.FireTrigger(TRIGGER_TOUCH_BLOCK);
    EXPECT_EQ(run.m_bRunning != 0, c.startsAfterRunning) << c.compat525 << c.compat744;
  }
}

TEST_F(CharaFlowsTest, GroupsAndIdsSelectWhichFlowsStart) {
  cEdFlow grouped = Flow(TRIGGER_ALWAYS);
  grouped.m_nGroup = 3;
  cEdFlow first = Flow(TRIGGER_TOUCH_CHARA), second = Flow(TRIGGER_TOUCH_CHARA);
  first.m_nID = 1;
  second.m_nID = 2;
  cChara& ch = Make({grouped, grouped, first, second});
  ch.FireTrigger(TRIGGER_ALWAYS);
  EXPECT_EQ(ch.m_FlowRuns[0].m_bRunning, 1);
  EXPECT_EQ(ch.m_FlowRuns[1].m_bRunning, 0);
  EXPECT_EQ(ch.m_RunningGroups[3], 1);
  ch.FireTriggerEx(TRIGGER_TOUCH_CHARA, nullptr, 2);
  EXPECT_EQ(ch.m_FlowRuns[2].m_bRunning, 0);
  EXPECT_EQ(ch.m_FlowRuns[3].m_bRunning, 1);
}

TEST_F(CharaFlowsTest, PartnerSlotIsRestoredWhenTheFlowDoesNotStart) {
  cEdFlow f = Flow(TRIGGER_DAMAGED);
  f.m_bPartnerAsTarget = 1;
  f.m_nTargetSlot = 1;
  f.m_KeyConds.push_back(Press({11}));
  cChara& ch = Make({f});
  cChara& kept = m_Charas.emplace_back();
  cChara& partner = m_Charas.emplace_back();
  kept.Reset(nullptr, 0, 0, 0);
  partner.Reset(nullptr, 0, 0, 0);
  SetTarget(ch, 1, &kept, 1);
  SetInput(Frames(3, {}));
  ch.FireTriggerEx(TRIGGER_DAMAGED, &partner, 0);
  EXPECT_EQ(ch.m_Targets[1], &kept);
  EXPECT_TRUE(partner.m_BackRefs.empty());
  EXPECT_EQ(kept.m_BackRefs.size(), 1u);

  ResetFlowTriggers(ch);
  SetInput(Frames(3, {11}));
  ch.FireTriggerEx(TRIGGER_DAMAGED, &partner, 0);
  EXPECT_EQ(ch.m_FlowRuns[0].m_bRunning, 1);
  EXPECT_EQ(ch.m_Targets[1], &partner);
  EXPECT_TRUE(kept.m_BackRefs.empty());
  ASSERT_EQ(partner.m_BackRefs.size(), 1u);
  EXPECT_EQ(partner.m_BackRefs[0], (sTargetRef{&ch, 1}));
}

TEST_F(CharaFlowsTest, KeyConditionsAreNotTestedWhenTheConditionsFail) {
  cEdFlow f = Flow(TRIGGER_TOUCH_CHARA);
  cEdCond cond;
  cond.m_nKind = COND_COMMON_VAR;  // no stage services: it does not hold
  f.m_Conds.push_back(cond);
  f.m_KeyConds.push_back(Press({11}));
  cChara& ch = Make({f});
  ch.m_FlowRuns[0].m_nKeyEdge = 1;
  SetInput(Frames(3, {}));
  ch.FireTrigger(TRIGGER_TOUCH_CHARA);
  EXPECT_EQ(ch.m_FlowRuns[0].m_bRunning, 0);
  EXPECT_EQ(ch.m_FlowRuns[0].m_nKeyEdge, 1);  // a key test would have cleared it
}

// A command that fires another character's trigger reads its own context afterwards.
cCharaBase* s_Other = nullptr;
cCharaBase* s_SeenChara = nullptr;
cFlowRun* s_SeenFlow = nullptr;
void FireOther(cCharaBase*, cCmdRun&) {
  s_Other->FireTrigger(TRIGGER_TOUCH_BLOCK);
  s_SeenChara = CurChara();
  s_SeenFlow = CurFlow();
}

TEST_F(CharaFlowsTest, NestedTriggerGivesTheContextBack) {
  cScopedValue<CmdExecutor> exec(CmdExecFunc[CMD_TURN], FireOther);
  cChara& a = Make({Flow(TRIGGER_TOUCH_CHARA, {MakeCmd(CMD_TURN, 1)})});
  cChara& b = Make({Flow(TRIGGER_TOUCH_BLOCK)});
  s_Other = &b;
  a.FireTrigger(TRIGGER_TOUCH_CHARA);
  EXPECT_EQ(CurChara(), nullptr);
  EXPECT_EQ(CurFlow(), nullptr);
  CurChara() = &a;
  a.m_FlowRuns[0].Step();
  EXPECT_EQ(b.m_FlowRuns[0].m_bRunning, 1);
  EXPECT_EQ(s_SeenChara, &a);
  EXPECT_EQ(s_SeenFlow, &a.m_FlowRuns[0]);
  CurChara() = nullptr;
  CurFlow() = nullptr;
  CurCmd() = nullptr;
}

class KeySequenceTest : public CharaFlowsTest {
 protected:
  // down, down-right, right + button 1; gaps of nothing between them.
  void History(int gap1, int gap2) {
    std::vector<std::set<int>> frames = Frames(40, {});
    auto add = [&](int n, std::set<int> on) {
      for (int i = 0; i < n; ++i) frames.push_back(on);
    };
    add(3, {4});
    add(gap1, {});
    add(3, {8});
    add(gap2, {});
    add(2, {2, 11});
    SetInput(frames);
  }
  cFlowRun& Sequence(int tolerance) {
    cEdFlow f = Flow(TRIGGER_ALWAYS);
    f.m_nKeyTolerance = static_cast<std::int8_t>(tolerance);
    f.m_KeyConds.push_back(Press({4}));
    f.m_KeyConds.push_back(Press({8}));
    f.m_KeyConds.push_back(Press({2, 11}));
    m_Chara = &Make({f});
    return m_Chara->m_FlowRuns[0];
  }
  cChara* m_Chara = nullptr;
};

TEST_F(KeySequenceTest, ToleranceCountsFramesBetweenInputs) {
  struct sCase {
    int gap1, gap2, tolerance;
    int want;
  };
  for (const sCase& c : {sCase{0, 0, 0, 1}, sCase{1, 0, 0, 0}, sCase{2, 2, 2, 1}, sCase{0, 3, 2, 0},
                         sCase{3, 0, 2, 0}}) {
    cFlowRun& run = Sequence(c.tolerance);
    History(c.gap1, c.gap2);
    EXPECT_EQ(MatchKeySequence(*m_Chara, run), c.want) << c.gap1 << c.gap2 << c.tolerance;
  }
}

TEST_F(KeySequenceTest, RelativeConditionsFollowTheFacing) {
  cEdFlow f = Flow(TRIGGER_ALWAYS);
  cEdKeyCond right = Press({2});
  right.m_bFacingRelative = 1;
  f.m_KeyConds.push_back(right);
  cChara& ch = Make({f});
  SetInput(Frames(3, {1}));  // left held
  for (int facing : {0, 1}) {
    ch.m_nFacing = facing;
    cScopedValue<cCharaBase*> current(CurChara(), &ch);
    EXPECT_EQ(MatchKeySequence(ch, ch.m_FlowRuns[0]), facing == 0 ? 1 : 0) << facing;
  }
}

TEST_F(KeySequenceTest, EdgeFlowsWaitForAReleaseRepeatFlowsDoNot) {
  cEdFlow edge = Flow(TRIGGER_ALWAYS);
  edge.m_nGroup = 2;
  edge.m_KeyConds.push_back(Press({11}));
  cEdFlow repeat = edge;
  repeat.m_nGroup = 0;
  repeat.m_bKeyRepeat = 1;
  cChara& ch = Make({edge, repeat});
  SetInput(Frames(2, {11}));
  EXPECT_EQ(CheckKeyConds(ch, ch.m_FlowRuns[0]), 1);
  EXPECT_EQ(CheckKeyConds(ch, ch.m_FlowRuns[1]), 1);
  SetInput(Frames(3, {11}));  // still held a frame later
  EXPECT_EQ(CheckKeyConds(ch, ch.m_FlowRuns[0]), 0);
  EXPECT_EQ(ch.m_StoppedGroups[2], 1);
  EXPECT_EQ(ch.m_RunningGroups[2], 1);
  EXPECT_EQ(CheckKeyConds(ch, ch.m_FlowRuns[1]), 1);
  SetInput(Frames(1, {}));
  EXPECT_EQ(CheckKeyConds(ch, ch.m_FlowRuns[0]), 0);
  SetInput(Frames(1, {11}));
  EXPECT_EQ(CheckKeyConds(ch, ch.m_FlowRuns[0]), 1);  // pressed anew
}

TEST_F(KeySequenceTest, NewerProjectsRefuseAMatchThatIsReallyTheNextCondition) {
  // Buttons 1 and 2 pressed together: "1 then 2" matches one frame into the press only in
  // projects older than 669.
  std::vector<std::set<int>> frames = Frames(10, {});
  for (int i = 0; i < 3; ++i) frames.push_back({11, 12});
  for (int compat : {0, 1}) {
    cScopedValue flag(g_SystemData.bCompatCharaFlows, compat);
    cEdFlow f = Flow(TRIGGER_ALWAYS);
    f.m_nKeyTolerance = 1;
    f.m_KeyConds.push_back(Press({11}));
    f.m_KeyConds.push_back(Press({12}));
    cChara& ch = Make({f});
    SetInput(frames);
    EXPECT_EQ(MatchKeySequence(ch, ch.m_FlowRuns[0]), compat) << compat;
  }
}

TEST_F(KeySequenceTest, CursorsStopAtTheEndsOfTheHistory) {
  // Right after a reset every run holds no frames: moving forward from the newest run stops.
  cInputState& in = g_Inputs[0];
  in.Init();
  KeyCursors cursors;
  InitKeyCursors(cursors, in);
  MoveKeyCursorsForward(cursors, in, 2);
  EXPECT_EQ(cursors[0].nRun, 0);
  MoveKeyCursorsBack(cursors, in, 50);
  EXPECT_EQ(cursors[0].nRun, kHistoryLength - 1);
  // Back and forward by the same frames restores a cursor.
  SetInput({{1}, {1}, {}, {}, {}, {1}});
  InitKeyCursors(cursors, in);
  MoveKeyCursorsBack(cursors, in, 3);
  EXPECT_EQ(cursors[1].nRun, 1);
  EXPECT_EQ(cursors[1].nFrames, 1);
  MoveKeyCursorsForward(cursors, in, 3);
  EXPECT_EQ(cursors[1].nRun, 0);
  EXPECT_EQ(cursors[1].nFrames, 1);
  EXPECT_EQ(FirstPressedKey(in), 1);
}

TEST_F(CharaFlowsTest, ItemFlowChangeAddsReplacesAndDeletes) {
  cEdFlow a = Flow(TRIGGER_NONE), b = Flow(TRIGGER_NONE);
  a.m_nID = 1;
  b.m_nID = 2;
  cEdFlow added = Flow(TRIGGER_NONE, {Loop(2, 1), MakeCmd(CMD_WAIT, 1)});
  added.m_nID = 3;
  auto op = [&](int p0, int p1) {
    cEdCmd cmd = MakeCmd(ITEMCMD_FLOW_CHANGE, 0, false, CMDSET_ITEM);
    cmd.m_Params.resize(2);
    cmd.m_Params[0] = p0;
    cmd.m_Params[1] = p1;
    cmd.m_Flows.push_back(added);
    return cmd;
  };
  auto ids = [](cChara& ch) {
    std::string s;
    for (cFlowRun& r : ch.m_FlowRuns) {
      EXPECT_EQ(r.m_pFlow, &ch.m_Def.m_Flows[r.m_nIndex]);
      s += static_cast<char>('0' + r.m_pFlow->m_nID);
    }
    return s;
  };
  cChara& ch = Make({a, b, a});
  cEdCmd add = op(0, 0);
  ItemCmd_FlowOperation(&ch, add, 0);
  EXPECT_EQ(ids(ch), "1213");
  EXPECT_EQ(ch.m_FlowRuns[3].m_Cmds.size(), 2u);  // the loop expanded
  EXPECT_EQ(ch.m_FlowRuns[3].m_nKeyEdge, 1);
  EXPECT_EQ(add.m_Flows[0].m_Cmds.size(), 2u);  // the item's own flows unchanged
  cEdCmd change = op(1, 2);
  ItemCmd_FlowOperation(&ch, change, 0);
  EXPECT_EQ(ids(ch), "1313");
  cEdCmd remove = op(2, 1);
  ItemCmd_FlowOperation(&ch, remove, 0);
  EXPECT_EQ(ids(ch), "33");
  cEdCmd all = op(1, 0);
  ItemCmd_FlowOperation(&ch, all, 0);
  EXPECT_EQ(ids(ch), "3");
  EXPECT_EQ(ExecItemCmd(&ch, remove), 0);
  EXPECT_EQ(ids(ch), "3");
  EXPECT_EQ(RemoveFlowsById(ch, 7), -1);
}

TEST_F(CharaFlowsTest, FlowChangeTakenWhileTheHeroRunsItsFlowsWaits) {
  cHero& hero = m_Heroes.Add();
  hero.Reset(nullptr, 0, 0, 0);
  hero.m_Def.m_Flows = FlowVector({Flow(TRIGGER_NONE)});
  SetupFlows(hero, hero.m_Def.m_Flows, 0, 0);
  cEdCmd cmd = MakeCmd(ITEMCMD_FLOW_CHANGE, 0, false, CMDSET_ITEM);
  cmd.m_Flows.push_back(Flow(TRIGGER_NONE));
  {
    cScopedValue<cCharaBase*> current(CurChara(), &hero);
    ItemCmd_FlowOperation(&hero, cmd, 0);
    EXPECT_EQ(hero.m_FlowRuns.size(), 1u);
  }
  // The hero replays its queue after its flow pass.
  ASSERT_EQ(hero.m_PendingItemCmds.size(), 1u);
  ItemCmd_FlowOperation(&hero, hero.m_PendingItemCmds[0], 1);
  EXPECT_EQ(hero.m_FlowRuns.size(), 2u);
}

}  // namespace

namespace {

TEST_F(CharaFlowsTest, AFlowTooLongForMemoryClosesTheProgram) {
  platform::ResetCloseRequest();
  cEdFlow f = Flow(TRIGGER_NONE, {Loop(4, 3), Loop(1000000000, 1), MakeCmd(CMD_WAIT, 1)});
  cChara& ch = Make({f});
  EXPECT_TRUE(platform::IsCloseRequested());
  EXPECT_EQ(ch.m_FlowRuns.size(), 1u);
  platform::ResetCloseRequest();
}

}  // namespace

namespace {

TEST_F(CharaFlowsTest, OneFrameKeyTestByMode) {
  struct sCase {
    std::vector<int> pressed;  // tests with state "pressed"
    int released;              // a test with state "released", or -1
    int mode;
    std::set<int> on;  // what is held now
    int want;
  };
  const sCase cases[] = {
      {{11, 12}, -1, KEYCOND_ALL, {11, 12}, 1},
      {{11, 12}, -1, KEYCOND_ALL, {11}, 0},
      {{11, 12}, -1, KEYCOND_ANY, {12}, 1},
      {{11, 12}, -1, KEYCOND_ANY, {}, 0},
      {{11, 12}, -1, KEYCOND_ONE, {11}, 1},
      {{11, 12}, -1, KEYCOND_ONE, {11, 12}, 0},
      {{11}, 13, KEYCOND_ALL, {11}, 1},
      {{11}, 13, KEYCOND_ALL, {11, 13}, 0},
      {{11}, -1, 7, {11}, 0},  // an unknown mode holds nothing
  };
  for (const sCase& c : cases) {
    cEdKeyCond k = Press(c.pressed, c.mode);
    if (c.released >= 0) k.m_Keys[c.released] = KEY_RELEASED;
    SetInput(Frames(2, c.on));
    EXPECT_EQ(CheckKeyCond(k, g_Inputs[0]), c.want) << &c - cases;
  }
  // A condition stored with fewer states than tests ignores the missing ones.
  cEdKeyCond shortCond = Press({1});
  shortCond.m_Keys.resize(3);
  SetInput(Frames(2, {1, 11}));
  EXPECT_EQ(CheckKeyCond(shortCond, g_Inputs[0]), 1);
}

}  // namespace

namespace {

TEST_F(CharaFlowsTest, ACopiedCharacterRunsItsOwnFlows) {
  cChara& a =
      Make({Flow(TRIGGER_NONE, {MakeCmd(CMD_WAIT, 1), MakeCmd(CMD_WAIT, 2)}), Flow(TRIGGER_DEAD)});
  a.m_FlowRuns[1].m_KeyConds.clear();
  a.m_Def.m_Flows[1].m_KeyConds.push_back(Press({11}));
  RebindFlowRuns(a);
  cChara& b = m_Charas.emplace_back(a);
  ASSERT_EQ(b.m_FlowRuns.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    const cFlowRun& run = b.m_FlowRuns[i];
    EXPECT_EQ(run.m_pFlow, &b.m_Def.m_Flows[i]);
    for (std::size_t k = 0; k < run.m_Cmds.size(); ++k)
      EXPECT_EQ(run.m_Cmds[k].m_pCmd, &b.m_Def.m_Flows[i].m_Cmds[k]);
  }
  ASSERT_EQ(b.m_FlowRuns[1].m_KeyConds.size(), 1u);
  EXPECT_EQ(b.m_FlowRuns[1].m_KeyConds[0], &b.m_Def.m_Flows[1].m_KeyConds[0]);
  cChara c;
  c.Reset(nullptr, 0, 0, 0);
  c.m_Def = b.m_Def;
  AssignFlowRuns(c, b.m_FlowRuns);
  EXPECT_EQ(c.m_FlowRuns[0].m_Cmds[1].m_pCmd, &c.m_Def.m_Flows[0].m_Cmds[1]);
}

}  // namespace

namespace {

// A trigger reaches the flows that wait for it however the flow list changed: flows added,
// replaced and removed by an item's flow change, a flow deleted by another character's flow
// command, and a copied character.
TEST_F(CharaFlowsTest, TriggersFollowTheFlowsAsTheyChange) {
  auto flow = [](int id, int trigger) {
    cEdFlow f = Flow(trigger, {MakeCmd(CMD_WAIT, 10)});
    f.m_nID = static_cast<std::int8_t>(id);
    return f;
  };
  auto change = [](cChara& ch, int op, int id, std::vector<cEdFlow> flows) {
    cEdCmd cmd = MakeCmd(ITEMCMD_FLOW_CHANGE, 0, false, CMDSET_ITEM);
    cmd.m_Params.assign(2, 0);
    cmd.m_Params[0] = op;
    cmd.m_Params[1] = id;
    cmd.m_Flows = FlowVector(flows);
    ItemCmd_FlowOperation(&ch, cmd, 0);
  };
  // The IDs of the flows the trigger starts, stopped again afterwards.
  auto started = [](cChara& ch, int trigger) {
    EXPECT_TRUE(FlowSummaryCurrent(ch));
    ResetFlowTriggers(ch);
    ch.FireTrigger(trigger);
    std::string ids;
    for (cFlowRun& run : ch.m_FlowRuns) {
      if (run.m_bRunning) ids += static_cast<char>('0' + run.m_pFlow->m_nID);
      run.Stop(&ch);
    }
    ResetFlowTriggers(ch);
    return ids;
  };

  cChara& ch = Make({flow(1, TRIGGER_DEAD)});
  EXPECT_EQ(started(ch, TRIGGER_DAMAGED), "");
  change(ch, 0, 0, {flow(2, TRIGGER_DAMAGED), flow(3, TRIGGER_DAMAGED)});
  EXPECT_EQ(started(ch, TRIGGER_DAMAGED), "23");
  change(ch, 1, 2, {flow(4, TRIGGER_ATTACK_HIT)});
  EXPECT_EQ(started(ch, TRIGGER_DAMAGED), "3");
  EXPECT_EQ(started(ch, TRIGGER_ATTACK_HIT), "4");
  change(ch, 2, 3, {});
  EXPECT_EQ(started(ch, TRIGGER_DAMAGED), "");
  EXPECT_EQ(started(ch, TRIGGER_DEAD), "1");

  // Deleted by another character's flow command (the character in its target slot 1).
  cEdCmd del = MakeCmd(CMD_FLOW_OP, 0, true);
  del.m_Params[0] = FLOWOP_DELETE;
  del.m_Params[1] = FLOWSEL_BY_ID;
  del.m_Params[2] = 1;
  del.m_Params[3] = 1;
  cChara& other = Make({Flow(TRIGGER_NONE, {del})});
  SetTarget(other, 0, &ch, 0);
  {
    cFlowContextGuard keep;
    CurChara() = &other;
    CurFlow() = &other.m_FlowRuns[0];
    cCmdRun& run = other.m_FlowRuns[0].m_Cmds[0];
    run.Reset();
    run.Exec();
  }
  EXPECT_EQ(started(ch, TRIGGER_DEAD), "");
  EXPECT_EQ(started(ch, TRIGGER_ATTACK_HIT), "4");
  SetTarget(other, 0, nullptr, 1);

  // A copy answers its own flows' triggers.
  change(ch, 0, 0, {flow(5, TRIGGER_KNOCKED_BACK)});
  cChara& copy = m_Charas.emplace_back(ch);
  EXPECT_EQ(started(copy, TRIGGER_KNOCKED_BACK), "5");
  EXPECT_EQ(started(copy, TRIGGER_ATTACK_HIT), "4");
  cChara assigned;
  assigned.Copy(ch);
  EXPECT_EQ(started(assigned, TRIGGER_KNOCKED_BACK), "5");
}

}  // namespace
