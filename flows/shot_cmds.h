#pragma once
// The executors of the command kinds that fire shots, swing a sword, summon blocks,
// characters or items (kinds 11 to 15), and start, stop, pause, resume or delete flows
// (kind 16).
class cCharaBase;
class cCmdRun;

// The flow operations and their selections are eFlowOp and eFlowSel of the command tables.

// Flows started inside one another's start stop at this depth, with one line in the report
// log per stage.
inline constexpr int kMaxNestedFlowStarts = 1000;
// A new stage may report a start too deep again.
void ResetFlowStartReport();

void ExecCmd_Shot(cCharaBase* chara, cCmdRun& run);
void ExecCmd_Sword(cCharaBase* chara, cCmdRun& run);
void ExecCmd_SummonBlock(cCharaBase* chara, cCmdRun& run);
void ExecCmd_SummonChara(cCharaBase* chara, cCmdRun& run);
void ExecCmd_SummonItem(cCharaBase* chara, cCmdRun& run);
void ExecCmd_FlowOp(cCharaBase* chara, cCmdRun& run);
