// The movement commands on small stages: velocities by direction, angle and point, the
// facing they request, the ground move's turn at ledges, the circle, inertial moves, the
// move that keeps a character on the screen, the turn and the jump's count.
#include "flows/move_cmds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "content/command.h"
#include "content/command_tables.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"
#include "foundation/play_math.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "play/input.h"
#include "tests/objects/play_world.h"

namespace {

class MoveCmdTest : public cPlayWorld {
 protected:
  void SetUp() override {
    MakeMap(20, 10);
    g_Inputs.assign(1, cInputState());
  }

  // A move command of kind with speed in tenths of a pixel per frame.
  static cEdCmd Move(int kind, int dir, int speed = 10, int tenths = 10) {
    cEdCmd cmd;
    cmd.m_nKind = static_cast<std::int8_t>(kind);
    cmd.m_sTime = static_cast<std::int16_t>(tenths);
    cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, kind), 0);
    NewMove(cmd.m_pMove);
    cmd.m_pMove->m_nDirection = static_cast<std::int8_t>(dir);
    cmd.m_pMove->m_sSpeed = static_cast<std::int16_t>(speed);
    return cmd;
  }

  // A character at map column and row (stage cells), its flow holding cmd, set up.
  cChara& Make(const cEdCmd& cmd, int flyMode = MOVE_GROUND, int facing = 0, int fixed = 1,
               int column = 5, int row = 5) {
    cEdChara def;
    def.m_nFlyMode = static_cast<std::uint8_t>(flyMode);
    def.m_nFacing = static_cast<std::uint8_t>(facing);
    def.m_bFixedFacing = static_cast<std::uint8_t>(fixed);
    cEdFlow flow;
    flow.m_Cmds.push_back(cmd);
    def.m_Flows.push_back(flow);
    cChara& c = g_CharaList.emplace_back();
    c.InitFromDef(static_cast<int>(g_CharaList.size()), def, nullptr, 0, 0, 0, nullptr);
    c.SetBlockPos(column, row);
    c.m_dSpawnX = c.m_dX;
    c.m_dSpawnY = c.m_dY;
    c.UpdateScreenRect();
    SetupFlows(c, c.m_Def.m_Flows, 0, 0);
    return c;
  }
  static cCmdRun& Run(cChara& c) { return c.m_FlowRuns[0].m_Cmds[0]; }

  // One sub-step of the command as the flow pass runs it, from a standing start: the
  // velocity it adds.
  static void Step(cChara& c) {
    c.m_dVX = 0;
    if (c.m_bNoGravity) c.m_dVY = 0;
    CurChara() = &c;
    cCmdRun& run = Run(c);
    if (run.m_nRemain == 0) run.Reset();
    run.Exec();
    CurChara() = nullptr;
  }

  cScopedValue<cVector<cInputState>> m_Inputs{g_Inputs};
  cScopedHeroes m_Heroes;
  cScopedValue<cCharaList> m_Charas{g_CharaList, {}};
};

TEST_F(MoveCmdTest, LineByDirectionGivesSpeedAndFacing) {
  const double k = 1.0 / std::sqrt(2.0);
  struct sCase {
    int dir, fly, facing, fixed;
    double vx, vy;
    int facingAfter;
  };
  const sCase cases[] = {
      {MOVEDIR_LEFT, MOVE_GROUND, 1, 0, -1, 0, 0},     // turns left
      {MOVEDIR_LEFT, MOVE_GROUND, 1, 1, -1, 0, 1},     // facing fixed: keeps it
      {MOVEDIR_UP_RIGHT, MOVE_GROUND, 0, 0, 1, 0, 1},  // no diagonals on the ground
      {MOVEDIR_UP_RIGHT, MOVE_FLY, 0, 0, k, -k, 1},
      {MOVEDIR_UP, MOVE_GROUND, 0, 0, 0, 0, 0},
      {MOVEDIR_DOWN, MOVE_FLY, 1, 0, 0, 1, 1},
      {MOVEDIR_FORWARD, MOVE_GROUND, 1, 0, 1, 0, 1},
      {MOVEDIR_BACK, MOVE_GROUND, 1, 0, -1, 0, 0},
      {MOVEDIR_BACK_Y, MOVE_FLY, 1, 0, 0, -1, 1},
      {13, MOVE_FLY, 1, 0, 0, 0, 1},  // not a direction: nothing
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "dir " << c.dir << " fly " << c.fly);
    g_Stage.SetSpeedLevel(2);  // 20 tenths per frame at 2 sub-steps: 1 px per sub-step
    ASSERT_EQ(g_nHitLevel, 2);
    cChara& ch = Make(Move(CMD_MOVE_LINE, c.dir, 20), c.fly, c.facing, c.fixed);
    Step(ch);
    EXPECT_DOUBLE_EQ(ch.m_dVX, c.vx);
    if (c.fly) {
      EXPECT_DOUBLE_EQ(ch.m_dVY, c.vy);
    }
    EXPECT_EQ(ch.m_nFacing, c.facingAfter);
    EXPECT_EQ(ch.m_bMoving, 1);
  }
}

TEST_F(MoveCmdTest, LineByAngleRisesOnlyWhenFlying) {
  for (int fly : {MOVE_GROUND, MOVE_FLY}) {
    cEdCmd cmd = Move(CMD_MOVE_LINE, MOVEDIR_LEFT, 30);
    cmd.m_pMove->m_sAngle = 30;
    cChara& ch = Make(cmd, fly);
    ch.m_dVY = 0;
    Step(ch);
    EXPECT_NEAR(ch.m_dVX, -3.0 * std::sqrt(3.0) / 2, 1e-12);
    EXPECT_NEAR(Run(ch).m_dVelY, fly ? -1.5 : 0.0, 1e-12);
  }
  // Mirrored for a character placed facing right: 360 - 30.
  cEdCmd cmd = Move(CMD_MOVE_LINE, MOVEDIR_LEFT, 30);
  cmd.m_pMove->m_sAngle = 30;
  cmd.m_pMove->m_bMirrorAngle = 1;
  cChara& ch = Make(cmd, MOVE_FLY, 1);
  Step(ch);
  EXPECT_EQ(Run(ch).m_nAngle, 330);
}

TEST_F(MoveCmdTest, PointMoveCountsStepsToArrival) {
  cEdCmd cmd = Move(CMD_MOVE_LINE, 0, 20, 100);
  cmd.m_pMove->m_nMode = 1;
  cmd.m_pMove->m_nCoordOrigin = 1;  // from the character
  cmd.m_pMove->m_sTargetDotX = -30;
  cmd.m_pMove->m_sTargetDotY = 40;
  cmd.m_pMove->m_bMirrorTargetX = 0;
  cChara& ch = Make(cmd, MOVE_FLY, 0, 0);
  Step(ch);
  // 50 px at 2 px per sub-step: 25 steps; the first one is counted off already.
  EXPECT_EQ(Run(ch).m_nRemain, 24);
  EXPECT_DOUBLE_EQ(ch.m_dVX, -30.0 / 50 * 2);
  EXPECT_DOUBLE_EQ(ch.m_dVY, 40.0 / 50 * 2);
  EXPECT_EQ(ch.m_nFacing, 0);

  // Closer than one step, with stop at the target: it stands.
  cmd.m_pMove->m_sTargetDotX = 1;
  cmd.m_pMove->m_sTargetDotY = 0;
  cmd.m_pMove->m_bStopAtTarget = 1;
  cChara& near = Make(cmd, MOVE_FLY, 0, 0);
  Step(near);
  EXPECT_EQ(near.m_dVX, 0);
  EXPECT_EQ(Run(near).m_nFaceReq, 0);
}

TEST_F(MoveCmdTest, RemirrorAndAxisLocksFollowTheirVersions) {
  struct sCase {
    int mode783, compat773, moveMode;
    double xAfterTurn;  // -1: reversed
    int vySign;         // the vertical part after the turn: 0, or its sign
  };
  // A flyer moving left and down, locked on y, that is turned between its steps.
  const sCase cases[] = {
      {0, 0, 0, -1, 0},   // reversed; y locked
      {0, 1, 0, -1, -1},  // before 773 the lock is not applied
      {0, 0, 1, 1, 0},    // a point move is not reversed ...
      {1, 0, 1, -1, 0},   // ... except before 783
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode783 << c.compat773 << c.moveMode);
    g_SystemData.bCompatMoveLine2 = c.mode783;
    g_SystemData.bCompatMoveLine = c.compat773;
    cEdCmd cmd = Move(CMD_MOVE_LINE, MOVEDIR_DOWN_LEFT, static_cast<int>(10 * std::sqrt(2.0)));
    cmd.m_pMove->m_bLockY = 1;
    cmd.m_pMove->m_nMode = static_cast<std::int8_t>(c.moveMode);
    cmd.m_pMove->m_nCoordOrigin = 1;
    cmd.m_pMove->m_sTargetDotX = -10;
    cmd.m_pMove->m_sTargetDotY = 10;
    cmd.m_pMove->m_bMirrorTargetX = 0;
    cmd.m_pMove->m_sSpeed = 10;
    cChara& ch = Make(cmd, MOVE_FLY, 0, 1);
    Step(ch);
    const double vx = ch.m_dVX;
    EXPECT_LT(vx, 0);
    ch.m_nFacing = 1;
    Step(ch);
    EXPECT_DOUBLE_EQ(ch.m_dVX, vx * c.xAfterTurn);
    if (c.vySign == 0) {
      EXPECT_EQ(ch.m_dVY, 0);
    } else {
      EXPECT_LT(ch.m_dVY, 0);
    }
  }
}

// The switches a running move reads are those of the command it now stands for, after the
// character was copied from another or set up again from another definition.
TEST_F(MoveCmdTest, AMoveReadsTheSwitchesOfTheCommandItStandsFor) {
  g_SystemData.bCompatMoveLine = 0;
  cEdCmd locked = Move(CMD_MOVE_LINE, MOVEDIR_RIGHT);
  locked.m_pMove->m_bLockX = 1;
  const cEdCmd free = Move(CMD_MOVE_LINE, MOVEDIR_RIGHT);
  cChara& ch = Make(locked, MOVE_FLY);
  cChara& other = Make(free, MOVE_FLY);
  auto vx = [](cChara& c) {
    Step(c);
    EXPECT_TRUE(Run(c).TraitsCurrent());
    return c.m_dVX;
  };
  EXPECT_EQ(vx(ch), 0);
  EXPECT_GT(vx(other), 0);
  ch.Copy(other);
  EXPECT_GT(vx(ch), 0);
  cEdChara def = ch.m_Def;
  def.m_Flows[0].m_Cmds[0] = locked;
  ch.Reset(&def, 0, 0, 0);
  SetupFlows(ch, ch.m_Def.m_Flows, 0, -1);
  EXPECT_EQ(vx(ch), 0);
}

TEST_F(MoveCmdTest, GroundMoveTurnsAtALedgeEvenWithItsFacingFixed) {
  // Floor under columns 4 and 5 only; the character stands on column 5, facing right.
  PutSolid(4, 6);
  PutSolid(5, 6);
  struct sCase {
    int compat805, speed, left, right;
    int facingAfter;
  };
  const sCase cases[] = {
      {0, 10, 4, 5, 1},   // on the floor: walks on
      {0, 10, 5, 6, 0},   // right foot over the gap: turns left
      {0, -10, 5, 6, 1},  // walking backward the turn swaps
      {1, -10, 5, 6, 0},  // not before 805
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.compat805 << " " << c.speed << " " << c.left);
    g_SystemData.bCompatExecutor = c.compat805;
    cChara& ch = Make(Move(CMD_MOVE_GROUND, 0, c.speed), MOVE_GROUND, 1, 1);
    ch.m_dY = 5 * 32 + 320 + 32 - ch.m_nHeight;  // standing on row 6
    ch.m_dBottom = ch.m_dY + ch.m_nHeight - 1;
    ch.m_nLeftCell = c.left + 10;
    ch.m_nRightCell = c.right + 10;
    Step(ch);
    EXPECT_DOUBLE_EQ(ch.m_dVX, c.speed / 10.0);  // this step still goes the old way
    EXPECT_EQ(ch.m_nFacing, c.facingAfter);
  }
  // A flyer gets nothing.
  cChara& flyer = Make(Move(CMD_MOVE_GROUND, 0, 10), MOVE_FLY);
  Step(flyer);
  EXPECT_EQ(flyer.m_dVX, 0);
}

TEST_F(MoveCmdTest, GroundMoveOffASolidCharacterTurnsAndMakesUpItsMove) {
  cChara& platform = Make(Move(CMD_WAIT, 0), MOVE_FLY);
  platform.m_dX = 400;
  cChara& ch = Make(Move(CMD_MOVE_GROUND, 0, 10), MOVE_GROUND, 1);
  ch.m_bDismounted = 1;
  ch.m_nRiddenNumber = platform.m_nNumber;
  ch.m_RiddenBox.m_dLeft = 403;  // the platform went 3 px left meanwhile
  Step(ch);
  EXPECT_DOUBLE_EQ(ch.m_dVX, -1 + 2 * -3.0);
  EXPECT_EQ(ch.m_nFacing, 0);
  EXPECT_EQ(ch.m_bDismounted, 0);
}

TEST_F(MoveCmdTest, CircleOfFourHalfBlocksClosesIn180SubSteps) {
  cEdCmd cmd = Move(CMD_MOVE_CIRCLE, 1, 0);
  cmd.m_pMove->m_sHomingLag = 4;  // radius in half-blocks
  cmd.m_pMove->m_nTimeMode = 1;
  cmd.m_pMove->m_sSpeed = 20;  // 2 degrees per sub-step
  cmd.m_pMove->m_sDistance = 360;
  cChara& ch = Make(cmd, MOVE_FLY);
  Run(ch).m_dSpeed = 2;
  double x = 0, y = 0, far = 0;
  for (int i = 0; i < 180; ++i) {
    Step(ch);
    x += ch.m_dVX;
    y += ch.m_dVY;
    far = std::max(far, std::hypot(x, y));
  }
  EXPECT_NEAR(x, 0, 1e-9);
  EXPECT_NEAR(y, 0, 1e-9);
  EXPECT_NEAR(far, 128, 0.05);  // the diameter of a 64-px circle
}

TEST_F(MoveCmdTest, InertialMoveAcceleratesAndReversesByTheTurnFactor) {
  cEdCmd cmd = Move(CMD_MOVE_LINE, MOVEDIR_RIGHT, 60);
  cmd.m_pMove->m_bSpeedLimit = 1;
  cmd.m_pMove->m_sSpeedLimit = 3;  // 0.3 px
  cmd.m_pMove->m_dAccelFactor = 4;
  cChara& ch = Make(cmd, MOVE_GROUND, 0, 0);
  const double a = PerFrameToPerSubStep(6.0);
  ch.m_dInertiaX = -0.2;
  ch.m_bFrictionX = 1;
  Step(ch);
  EXPECT_DOUBLE_EQ(ch.m_dInertiaX, -0.2 + a * 4);  // reversing: the factor, friction stays
  EXPECT_EQ(ch.m_bFrictionX, 1);
  EXPECT_EQ(ch.m_dVX, 0);  // the command adds no plain velocity
  ch.m_dInertiaX = 0.25;
  ch.m_bFrictionX = 1;
  Step(ch);
  EXPECT_DOUBLE_EQ(ch.m_dInertiaX, 0.3);  // held at the limit
  EXPECT_EQ(ch.m_bFrictionX, 0);
}

TEST_F(MoveCmdTest, NaNVelocityAddsNothing) {
  // A move of no distance in no time has the speed 0 / 0.
  cChara& ch = Make(Move(CMD_MOVE_LINE, MOVEDIR_UP_LEFT, 10), MOVE_FLY);
  Run(ch).m_dSpeed = NAN;
  ch.m_dVY = 0;
  Step(ch);
  EXPECT_EQ(ch.m_dVX, 0);
  EXPECT_EQ(ch.m_dVY, 0);
}

TEST_F(MoveCmdTest, ChargeAimsOnceAndStandsWithoutATarget) {
  cEdCmd charge = Move(CMD_MOVE_RUSH, 0, 20);
  charge.m_pMove->m_nTargetSlot = 1;
  cChara& lonely = Make(charge, MOVE_FLY);
  for (int i = 0; i < 3; ++i) {
    Step(lonely);
    EXPECT_EQ(lonely.m_dVX, 0);
    EXPECT_EQ(lonely.m_dVY, 0);
    EXPECT_EQ(lonely.m_bMoving, i > 0);  // the first step makes no move step
  }
  // A target straight to the right, the course turned by 45 degrees: down and right, or
  // before 728 down and left.
  charge.m_pMove->m_sAngle = 45;
  charge.m_pMove->m_bMirrorAngle = 0;
  for (int compat : {0, 1}) {
    g_SystemData.bCompatCharge = compat;
    cChara& ch = Make(charge, MOVE_FLY, 0, 1, 5, 5);
    cChara& target = Make(Move(CMD_WAIT, 0), MOVE_FLY, 0, 1, 8, 5);
    SetTarget(ch, 1, &target, 0);
    Step(ch);
    const double k = 2 * std::sqrt(0.5);
    EXPECT_NEAR(ch.m_dVX, compat ? -k : k, 1e-12) << compat;
    EXPECT_NEAR(ch.m_dVY, k, 1e-12) << compat;
    target.m_dY += 100;  // the course stays
    target.UpdateScreenRect();
    Step(ch);
    EXPECT_NEAR(ch.m_dVY, k, 1e-12);
  }
}

TEST_F(MoveCmdTest, HomingWithALagSteersWhereTheTargetWas) {
  cEdCmd homing = Move(CMD_MOVE_HOMING, 0, 10, 100);
  homing.m_pMove->m_sHomingLag = 6;
  cChara& ch = Make(homing, MOVE_FLY, 0, 1, 5, 5);
  cChara& target = Make(Move(CMD_WAIT, 0), MOVE_FLY, 0, 1, 12, 5);
  // An empty slot: it waits without counting.
  Step(ch);
  EXPECT_EQ(Run(ch).m_nCount, 0);
  SetTarget(ch, 0, &target, 0);
  std::vector<double> vy;
  for (int i = 0; i <= 12; ++i) {
    Step(ch);
    vy.push_back(ch.m_dVY);
    target.m_Rect.m_nTop += 10;  // the target falls 10 px per sub-step
  }
  EXPECT_EQ(vy[0], 0);   // level with it at the start
  EXPECT_EQ(vy[5], 0);   // the course is kept between samples
  EXPECT_EQ(vy[6], 0);   // aims where it was 6 sub-steps ago
  EXPECT_GT(vy[12], 0);  // and then where it was at sub-step 6
  EXPECT_EQ(vy[11], vy[6]);
}

TEST_F(MoveCmdTest, AvoidOffscreenMarginsFollowTheAutoScroll) {
  cEdCmd cmd = Move(CMD_MOVE_AVOID_OFFSCREEN, MOVEDIR_LEFT, 10);
  cChara& ch = Make(cmd, MOVE_FLY);
  // The screen still: beyond x 608 the character is sent left.
  ch.m_Rect.m_nLeft = 609;
  Step(ch);
  EXPECT_DOUBLE_EQ(ch.m_dVX, -1);
  ch.m_Rect.m_nLeft = 608;
  Step(ch);
  EXPECT_EQ(ch.m_dVX, 0);
  // Scrolling at 2 px: the margin widens by |2 + 1| and the scroll is added.
  m_Axes.x.m_dSpeed = 2;
  m_Axes.x.m_dPos = 100;
  m_Axes.x.m_nMapSize = 2000;
  ch.m_Rect.m_nLeft = 606;
  Step(ch);
  EXPECT_DOUBLE_EQ(ch.m_dVX, 2 - 1.0);
  ch.m_Rect.m_nLeft = 605;
  Step(ch);
  EXPECT_EQ(ch.m_dVX, 0);
  EXPECT_EQ(Run(ch).m_nCount, 4);
}

TEST_F(MoveCmdTest, DisableStopsEveryMovement) {
  cChara& ch = Make(Move(CMD_MOVE_STOP, 0), MOVE_GROUND);
  ch.m_dVY = 3;
  ch.m_dInertiaX = 1;
  ch.m_dPushX = 2;
  ch.m_dAppliedPushY = 1;
  ch.m_bAnchorX = 1;
  Step(ch);
  EXPECT_EQ(ch.m_dVY, 0);
  EXPECT_EQ(ch.m_dInertiaX, 0);
  EXPECT_EQ(ch.m_dPushX, 0);
  EXPECT_EQ(ch.m_dAppliedPushY, 0);
  EXPECT_EQ(ch.m_bGravityOff, 1);
  EXPECT_EQ(ch.m_bAnchorX, 0);
}

TEST_F(MoveCmdTest, TurnFacesTargetsAndBlockSidesEveryTenthOfASecond) {
  cEdCmd turn = Move(CMD_TURN, 0);
  struct sCase {
    int choice;
    double targetDx;  // the target's centre from the character's, none when NaN
    int blockSide;
    int want;
  };
  const sCase cases[] = {
      {0, NAN, -1, 0}, {1, NAN, -1, 1}, {2, 0, -1, 0},  // equal centres: left
      {3, 0, -1, 1},   {4, 5, -1, 1},   {5, 5, -1, 0},
      {10, NAN, 1, 1}, {11, NAN, 1, 0}, {10, NAN, -1, 1},  // none: unchanged
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.choice);
    turn.m_Params[0] = c.choice;
    cChara& ch = Make(turn, MOVE_GROUND, 1, 1);
    cChara& target = Make(Move(CMD_WAIT, 0));
    target.m_dX = ch.m_dX + (std::isnan(c.targetDx) ? 0 : c.targetDx);
    target.m_nWidth = ch.m_nWidth;
    const int slot = c.choice >= 2 && c.choice <= 9 ? (c.choice - 2) / 2 : 0;
    SetTarget(ch, slot, &target, 0);
    ch.m_nBlockSide = c.blockSide;
    Step(ch);
    EXPECT_EQ(ch.m_nFacing, c.want);
    EXPECT_EQ(Run(ch).m_nCount, 1);
  }
  // An empty slot: no count, tried again; a facing that is not fixed: nothing.
  turn.m_Params[0] = 2;
  cChara& lonely = Make(turn, MOVE_GROUND, 1, 1);
  Step(lonely);
  EXPECT_EQ(Run(lonely).m_nCount, 0);
  cChara& free = Make(turn, MOVE_GROUND, 1, 0);
  Step(free);
  EXPECT_EQ(free.m_nFacing, 1);
  // It acts at its start, then every 6 x N sub-steps.
  turn.m_Params[0] = 0;
  cChara& ch = Make(turn, MOVE_GROUND, 1, 1);
  int turns = 0;
  for (int i = 0; i < 12; ++i) {
    ch.m_nFacing = 1;
    Step(ch);
    turns += ch.m_nFacing == 0;
  }
  EXPECT_EQ(turns, 2);
}

TEST_F(MoveCmdTest, JumpCountsItsSubSteps) {
  cEdCmd jump = Move(CMD_JUMP, 0);
  cChara& ch = Make(jump, MOVE_GROUND);
  ch.m_bAirLock = 1;  // cannot start: after 4 x N sub-steps it gives up
  ch.m_bAnchorY = 1;
  for (int i = 0; i < 4; ++i) Step(ch);
  EXPECT_EQ(Run(ch).m_nCount, 4);
  EXPECT_EQ(ch.m_bAnchorY, 0);
  Step(ch);
  EXPECT_EQ(Run(ch).m_nRemain, 0);  // ended
}

TEST_F(MoveCmdTest, MovesWithoutTheirRecordDoNothing) {
  for (int kind : {CMD_MOVE_LINE, CMD_MOVE_GROUND, CMD_MOVE_CIRCLE, CMD_MOVE_AVOID_OFFSCREEN}) {
    cEdCmd cmd = Move(kind, MOVEDIR_LEFT);
    cChara& ch = Make(cmd);
    Run(ch).m_pCmd->m_pMove.reset();
    Run(ch).m_nMoveArg1 = 16;
    ch.m_bAnchorX = 1;
    Step(ch);
    EXPECT_EQ(ch.m_dVX, 0) << kind;
    EXPECT_EQ(ch.m_bAnchorX, 1) << kind;
  }
}

}  // namespace
