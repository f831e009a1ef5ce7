#include "content/move.h"

cEdMove::cEdMove() {
  SetupItems(g_nDataVersion);
  Clear();
}

void cEdMove::SetupItems(int version) {
  ClearItems();
  AddByte(&m_nMode);
  AddByte(&m_nDirection);
  AddShort(&m_sAngle);
  AddShort(&m_sAngleClone);
  if (version >= 158) AddByte(&m_bMirrorAngle);
  AddByte(&m_bMoveX);
  AddByte(&m_bMoveY);
  AddShort(&m_sTargetBlockX);
  AddShort(&m_sTargetBlockY);
  AddShort(&m_sTargetDotX);
  AddShort(&m_sTargetDotY);
  AddByte(&m_nCoordOrigin);
  AddByte(&m_bCountArrival);
  AddByte(&m_bLockX);
  AddByte(&m_bLockY);
  AddByte(&m_bMirrorTargetX);
  AddByte(&m_bMirrorTargetY);
  AddByte(&m_bTurnWithChara);
  AddByte(&m_bStopAtTarget);
  if (version >= 162) AddByte(&m_bKeepFacing);
  AddByte(&m_nTimeMode);
  AddShort(&m_sSpeed);
  AddShort(&m_sSpeedClone);
  AddShort(&m_sDistance);
  AddShort(&m_sDistanceClone);
  if (version >= 159) AddByte(&m_nDistanceUnit);
  AddShort(&m_sHomingLag);
  AddShort(&m_sHomingLagClone);
  AddByte(&m_bSpeedLimit);
  AddShort(&m_sSpeedLimit);
  AddDouble(&m_dAccelFactor);
  if (version >= 162) AddByte(&m_bAnimeWithMove);
  if (version >= 767) AddByte(&m_nTargetSlot);
}

void cEdMove::SetDefaults() {
  m_bMirrorAngle = 1;
  m_bMoveX = 1;
  m_bMoveY = 1;
  m_bCountArrival = 1;
  m_bMirrorTargetX = 1;
  m_bTurnWithChara = 1;
  m_sSpeed = 10;
  m_dAccelFactor = 1.0;
}

void cEdMove::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  const int version = file.Version();
  if (version < 158) m_bMirrorAngle = 0;
  if (version < 159) m_nDistanceUnit = 0;
  if (version < 162) {
    m_bKeepFacing = 0;
    m_bAnimeWithMove = 0;
  }
}

void NewMove(MovePtr& move) {
  MovePtr fresh(new cEdMove);
  fresh->SetDefaults();
  move = fresh;
}
