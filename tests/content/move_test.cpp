#include "content/move.h"

#include <gtest/gtest.h>

#include "tests/support/record_bytes.h"

namespace {

TEST(MoveTest, LayoutFollowsTheVersionGates) {
  cEdMove move;
  const struct {
    int version, bindings, bytes;
  } cases[] = {{157, 28, 48}, {158, 29, 49}, {159, 30, 50}, {162, 32, 52},
               {766, 32, 52}, {767, 33, 53}, {821, 33, 53}};
  for (const auto& c : cases)
    EXPECT_EQ(LayoutAt(move, c.version), std::make_pair(c.bindings, c.bytes)) << c.version;
}

TEST(MoveTest, NewMoveHasItsDefaults) {
  MovePtr move;
  NewMove(move);
  ASSERT_TRUE(move);
  EXPECT_EQ(move->m_sSpeed, 10);
  EXPECT_EQ(move->m_dAccelFactor, 1.0);
  EXPECT_EQ(move->m_bMirrorAngle, 1);
  EXPECT_EQ(move->m_bMoveX, 1);
  EXPECT_EQ(move->m_bMoveY, 1);
  EXPECT_EQ(move->m_bCountArrival, 1);
  EXPECT_EQ(move->m_bMirrorTargetX, 1);
  EXPECT_EQ(move->m_bMirrorTargetY, 0);
  EXPECT_EQ(move->m_bTurnWithChara, 1);
  EXPECT_EQ(move->m_nTargetSlot, 0);
}

// A version-157 move laid by hand: 28 fields, no mirror angle, keep facing, distance unit,
// animation-with-move or target slot.
TEST(MoveTest, ReadsAVersion157MoveAndClearsTheLaterSwitches) {
  cBytes b;
  b.I32(157).I32(28);
  b.U8(1).U8(2).I16(30).I16(4);                       // mode, direction, angle, per clone
  b.U8(0).U8(1).I16(5).I16(6).I16(7).I16(8);          // move X/Y, target blocks and dots
  b.U8(2).U8(0).U8(1).U8(0).U8(0).U8(1).U8(0).U8(1);  // origin .. stop at target
  b.U8(2).I16(25).I16(3).I16(40).I16(2);              // time mode, speed, distance
  b.I16(9).I16(1).U8(1).I16(50).F64(0.5);             // homing, speed limit, acceleration
  b.I32(0);                                           // strings
  MovePtr move;
  NewMove(move);
  ASSERT_TRUE(ReadFromBytes(b.data, [&](cDataFile& f) { move->Read(f); }));
  EXPECT_EQ(move->m_nMode, 1);
  EXPECT_EQ(move->m_sAngle, 30);
  EXPECT_EQ(move->m_bMoveX, 0);
  EXPECT_EQ(move->m_sTargetDotY, 8);
  EXPECT_EQ(move->m_nCoordOrigin, 2);
  EXPECT_EQ(move->m_bMirrorTargetY, 1);
  EXPECT_EQ(move->m_bStopAtTarget, 1);
  EXPECT_EQ(move->m_nTimeMode, 2);
  EXPECT_EQ(move->m_sSpeed, 25);
  EXPECT_EQ(move->m_sDistanceClone, 2);
  EXPECT_EQ(move->m_sHomingLag, 9);
  EXPECT_EQ(move->m_sSpeedLimit, 50);
  EXPECT_EQ(move->m_dAccelFactor, 0.5);
  EXPECT_EQ(move->m_bMirrorAngle, 0);
  EXPECT_EQ(move->m_nDistanceUnit, 0);
  EXPECT_EQ(move->m_bKeepFacing, 0);
  EXPECT_EQ(move->m_bAnimeWithMove, 0);
}

TEST(MoveTest, AVersion170MoveKeepsItsStoredSwitches) {
  cEdMove stored;
  stored.m_bMirrorAngle = 0;
  stored.m_nDistanceUnit = 1;
  stored.m_bKeepFacing = 1;
  stored.m_bAnimeWithMove = 1;
  stored.m_nTargetSlot = 3;  // not stored before 767
  const auto bytes = FileAtVersion(170, [&](cDataFile& f) { stored.Write(f); });
  MovePtr move;
  NewMove(move);
  ASSERT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { move->Read(f); }));
  EXPECT_EQ(move->m_bMirrorAngle, 0);
  EXPECT_EQ(move->m_nDistanceUnit, 1);
  EXPECT_EQ(move->m_bKeepFacing, 1);
  EXPECT_EQ(move->m_bAnimeWithMove, 1);
  EXPECT_EQ(move->m_nTargetSlot, 0);
}

}  // namespace
