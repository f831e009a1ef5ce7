#pragma once
// The numeric parameters of commands that an arrange command may change at run time: their
// names and ranges by command kind, where each lives in the command, and the queue of
// arrange entries that the next command of the same flow (or item) takes.
#include <cstdint>
#include <string>

#include "foundation/containers.h"

class cCharaBase;
class cEdCmd;
class cFlowRun;
class cHero;
struct sArrange;

// One changeable parameter: its name and range.
class cCmdParamInfo {
 public:
  void Set(const char* name, std::int32_t min, std::int32_t max);

  std::string m_strName;
  std::int32_t m_nMin = 0;
  std::int32_t m_nMax = 0;
};

// The changeable parameters of each character command kind (40 lists, most of them empty),
// filled once at start-up.
extern cVector<cVector<cCmdParamInfo>> g_CmdParamInfo;
void InitCmdParamInfo();

// Parameter n of a command of its kind, read widened to int32 and written back in its field's
// own width; 0 when the command has no such parameter (a list too short, a missing move or
// shot record, an index beyond the kind's parameters).
using CmdParamGetter = int (*)(cEdCmd& cmd, int n, std::int32_t& value);
using CmdParamSetter = int (*)(cEdCmd& cmd, int n, std::int32_t value);
// By character command kind; null for kinds without changeable parameters (kinds 3, 4 and 7
// have entries that reach nothing).
extern const CmdParamGetter CmdParamGet[40];
extern const CmdParamSetter CmdParamSet[40];

// The arrange command (character kind 38, item kind 23): queues its entry on the running
// flow, or on the player's hero for an item command.
void ExecArrange(cCharaBase* chara, cEdCmd& cmd);
// Applies one entry to a command (the command definition the character owns, so the change
// stays for its later runs).
void ApplyArrange(cEdCmd& cmd, const sArrange& entry, cCharaBase* chara);
// Every entry queued on the flow (none for a null flow), in order.
void ApplyFlowArranges(cEdCmd& cmd, cCharaBase* chara, cFlowRun* flow);
// Every entry queued on the hero by item commands, in order.
void ApplyHeroArranges(cEdCmd& cmd, cHero& hero);
