#pragma once
// Command dispatch: the executors of the 40 character command kinds and the handlers of the
// 25 item command kinds. Item kind k (2 to 24) is character kind k + 15 and shares its body;
// item kind 1 changes the hero's flows.
//
// The hero's item-command list runner keeps this contract: m_bItemMsg := 0 before the first
// command (the first message of a list is not a continued one, every later one is); before
// each command other than an arrange (item kind 23) the hero's pending arrange entries are
// applied to it and emptied; the handler at its kind runs with the hero; after each command
// the list ends with 2 when the hero's HP is 0 or less, else with the handler's answer when it
// is not 0; after the last command the answer is 2 when the HP is 0 or less, else 0. Answers 1
// (the stage is cleared) and 2 (the hero is defeated) are the play scene's stage-end requests.
#include <cstdint>

#include "content/command_tables.h"

class cCharaBase;
class cCmdRun;
class cEdCmd;

// An executor: one sub-step of a flow command for the character that runs it.
using CmdExecutor = void (*)(cCharaBase* chara, cCmdRun& run);
// An item-command handler: 0 to go on with the list, otherwise the list's answer.
using ItemCmdHandler = int (*)(cCharaBase* chara, cEdCmd& cmd);

extern CmdExecutor CmdExecFunc[CMD_KIND_COUNT];
extern ItemCmdHandler ItemCmdFunc[ITEMCMD_KIND_COUNT];

// The commands run so far: by any character, and by characters whose definition makes them
// blocks. A command moves, resizes or turns only the character that runs it (others it makes,
// removes or changes in their status), so that a count that stayed the same says that no box
// of a character changed meanwhile through a command.
extern std::uint64_t g_nCmdRunCount;
extern std::uint64_t g_nSolidCmdRunCount;
// The characters that ran the latest commands: the one of command n (counted from 0) at
// n % kCmdRunnerLog, for the last kCmdRunnerLog commands.
constexpr std::uint64_t kCmdRunnerLog = 64;
extern const cCharaBase* g_CmdRunners[kCmdRunnerLog];

// Runs the executor of the instance's kind (a kind outside the table runs nothing).
void ExecCmd(cCharaBase* chara, cCmdRun& run);
// Runs the handler of the command's item kind; 0 for a kind outside the table.
int ExecItemCmd(cCharaBase* chara, cEdCmd& cmd);

// Item kind 1: parameter 0 picks add (0), change (1) or delete (2) of the flows whose ID is
// parameter 1 (0: every flow); the command's nested flows are added or put in their place.
// Taken by the hero while its own flows run (bDeferred 0), the change waits in the hero's
// queue until its flow pass ends.
void ItemCmd_FlowOperation(cCharaBase* chara, cEdCmd& cmd, int bDeferred);
