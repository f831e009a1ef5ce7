#pragma once
// The executors of the command kinds that move or turn the character running them (kinds 2
// to 10): each adds this sub-step's velocity to the character's speed, which the character's
// physics integrates in the same sub-step, so parallel moves add up.
class cCharaBase;
class cCmdRun;

// The direction choices of a move record.
enum eMoveDir : int {
  MOVEDIR_FORWARD = 0,
  MOVEDIR_BACK = 1,
  MOVEDIR_LEFT = 2,
  MOVEDIR_RIGHT = 3,
  MOVEDIR_FORWARD_Y = 4,
  MOVEDIR_BACK_Y = 5,
  MOVEDIR_UP = 6,
  MOVEDIR_DOWN = 7,
  MOVEDIR_UP_LEFT = 8,
  MOVEDIR_DOWN_LEFT = 9,
  MOVEDIR_UP_RIGHT = 10,
  MOVEDIR_DOWN_RIGHT = 11,
  MOVEDIR_INPUT = 12,
};

void ExecCmd_MoveLine(cCharaBase* chara, cCmdRun& run);
void ExecCmd_MoveGround(cCharaBase* chara, cCmdRun& run);
void ExecCmd_MoveCircle(cCharaBase* chara, cCmdRun& run);
void ExecCmd_MoveCharge(cCharaBase* chara, cCmdRun& run);
void ExecCmd_MoveHoming(cCharaBase* chara, cCmdRun& run);
void ExecCmd_MoveAvoidOffscreen(cCharaBase* chara, cCmdRun& run);
void ExecCmd_MoveDisable(cCharaBase* chara, cCmdRun& run);
void ExecCmd_Turn(cCharaBase* chara, cCmdRun& run);
void ExecCmd_Jump(cCharaBase* chara, cCmdRun& run);
