#pragma once
// The executors of the command kinds that fire shots, swing a sword, summon blocks,
// characters or items (kinds 11 to 15), and start, stop, pause, resume or delete flows
// (kind 16).
class cCharaBase;
class cCmdRun;

// The flow operations and their selections are eFlowOp and eFlowSel of the command tables.

// Flows started inside one another's start stop at this depth.
inline constexpr int kMaxNestedFlowStarts = 1000;

void ExecCmd_Shot(cCharaBase* chara, cCmdRun& run);
void ExecCmd_Sword(cCharaBase* chara, cCmdRun& run);
void ExecCmd_SummonBlock(cCharaBase* chara, cCmdRun& run);
void ExecCmd_SummonChara(cCharaBase* chara, cCmdRun& run);
void ExecCmd_SummonItem(cCharaBase* chara, cCmdRun& run);
void ExecCmd_FlowOp(cCharaBase* chara, cCmdRun& run);
