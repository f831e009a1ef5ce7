#pragma once
// The movement settings of a command: direction or target, angle, target coordinates, speed,
// distance and time with their increases per clone value, homing, speed limit and target slot.
#include <boost/shared_ptr.hpp>
#include <cstdint>

#include "foundation/file_data.h"

class cEdMove : public cFileData {
 public:
  cEdMove();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  // The values a move made new starts from (after the clear, which zeroes everything).
  void SetDefaults();

  std::int8_t m_nMode = 0;
  std::int8_t m_nDirection = 0;
  std::int16_t m_sAngle = 0;
  std::int16_t m_sAngleClone = 0;
  std::int8_t m_bMirrorAngle = 0;
  std::int8_t m_bMoveX = 0;
  std::int8_t m_bMoveY = 0;
  std::int16_t m_sTargetBlockX = 0;
  std::int16_t m_sTargetBlockY = 0;
  std::int16_t m_sTargetDotX = 0;
  std::int16_t m_sTargetDotY = 0;
  std::int8_t m_nCoordOrigin = 0;
  std::int8_t m_bCountArrival = 0;
  std::int8_t m_bLockX = 0;
  std::int8_t m_bLockY = 0;
  std::int8_t m_bMirrorTargetX = 0;
  std::int8_t m_bMirrorTargetY = 0;
  std::int8_t m_bTurnWithChara = 0;
  std::int8_t m_bStopAtTarget = 0;
  std::int8_t m_bKeepFacing = 0;
  std::int8_t m_nTimeMode = 0;
  std::int16_t m_sSpeed = 0;
  std::int16_t m_sSpeedClone = 0;
  std::int16_t m_sDistance = 0;
  std::int16_t m_sDistanceClone = 0;
  std::int8_t m_nDistanceUnit = 0;
  std::int16_t m_sHomingLag = 0;
  std::int16_t m_sHomingLagClone = 0;
  std::int8_t m_bSpeedLimit = 0;
  std::int16_t m_sSpeedLimit = 0;
  double m_dAccelFactor = 0;
  std::int8_t m_bAnimeWithMove = 0;
  std::int8_t m_nTargetSlot = 0;
};

using MovePtr = boost::shared_ptr<cEdMove>;

// Puts a new move with its defaults into the pointer, releasing the one it held.
void NewMove(MovePtr& move);
