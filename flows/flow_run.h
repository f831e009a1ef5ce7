#pragma once
// The run-time records of flows: one running flow of a character (cFlowRun) and one running
// command of it (cCmdRun), with the operations that start, step, pause and stop a flow, and
// reset and execute one command. Every time here counts sub-steps: a flow is stepped once per
// sub-step, and a command of d tenths of a second lasts d x 6 x N sub-steps.
#include <cassert>
#include <cstdint>

#include "foundation/containers.h"
#include "foundation/node_pool.h"

class cCharaBase;
class cEdChara;
class cEdCmd;
class cEdFlow;
class cEdKeyCond;
class cEdMove;

// One queued arrange entry: the arrange command's five parameters (the character command
// kind whose parameter changes, the parameter's index, the assignment operator, the source
// scope and the source variable).
struct sArrange {
  std::int32_t nKind = 0;
  std::int32_t nParam = 0;
  std::int32_t nOperator = 0;
  std::int32_t nScope = 0;
  std::int32_t nVariable = 0;
};

// When a command's animation starts within its flow, so that the animation's stop frame meets
// the start of the command.
struct sFlowAnime {
  std::int32_t nStart = 0;  // the flow's step count at which the animation starts
  std::int32_t nStart2 = 0;
  std::int16_t sAnime = 0;  // entry of the database's animation table
  std::int16_t sSkip = 0;   // frames skipped at the start (a late lead-in)
  std::int16_t sPlay = 0;   // frames played
  std::int16_t sHold = 0;   // frames the stop frame is held
  std::int32_t bHold = 0;   // 1 unless the command is a jump or a sword
};

struct sSamplePoint {
  double dX = 0;
  double dY = 0;
};

// What the move commands read of a command's move at every sub-step, as bits of
// cCmdRun::m_nMoveTraits.
enum eMoveTrait : std::uint8_t {
  MOVETRAIT_KEEP_FACING = 1 << 0,
  MOVETRAIT_SPEED_LIMIT = 1 << 1,
  MOVETRAIT_ANIME_WITH_MOVE = 1 << 2,
  MOVETRAIT_TURN_WITH_CHARA = 1 << 3,
  MOVETRAIT_LOCK_X = 1 << 4,
  MOVETRAIT_LOCK_Y = 1 << 5,
  MOVETRAIT_MODE_0 = 1 << 6,
  MOVETRAIT_MODE_1 = 1 << 7,
};

// One running command. The fields after m_nRemain are the executors' own state between
// sub-steps; each kind uses some of them. What a flow's step reads of every command comes
// first, within 32 bytes, and what the walking and flying moves read follows, within 64.
class cCmdRun {
 public:
  // Prepares the command for a new run: its whole duration ahead, its state cleared, and the
  // arrange entries queued by the current flow applied to its definition.
  void Reset();
  // One sub-step of the command's executor; 1 when the command has finished.
  int Exec();
  // For moves that fix two of time, speed and distance: derives the third (time mode 1 the
  // speed, 2 the duration).
  void CalcMoveTime(const cEdCmd& cmd, int copyIndex);
  // The kind, parallel mark, key wait and move of m_pCmd (not null), read again when m_pCmd
  // points elsewhere than when they were read.
  void KeepTraits() {
    if (m_pTraitsOf != m_pCmd) ReadTraits();
    assert(TraitsCurrent() && "a command changed after its traits were read");
  }
  void ReadTraits();
  bool TraitsCurrent() const;
  bool HasMoveTrait(eMoveTrait trait) const { return (m_nMoveTraits & trait) != 0; }

  cEdCmd* m_pCmd = nullptr;  // the command inside the character's own copy of its flow
  // What the flow's step and the dispatch read of m_pCmd, kept here so that a waiting command
  // is stepped without looking at its definition: read for m_pTraitsOf, and again by Reset
  // (after the arranges changed the command's parameters).
  const cEdCmd* m_pTraitsOf = nullptr;
  std::int32_t m_bDone = 0;
  std::int32_t m_nRemain = 0;    // sub-steps left; 0 before the command starts
  std::uint8_t m_cDir = 0;       // direction choice of a move, sense of a circle
  std::int8_t m_nCmdKind = 0;
  std::uint8_t m_bCmdParallel = 0;  // the parallel mark is 1
  std::uint8_t m_bCmdKeyWait = 0;   // IsKeyWaitMessage
  std::int32_t m_nDuration = 0;     // sub-steps
  const cEdMove* m_pMove = nullptr;  // m_pCmd's move, or null
  double m_dSpeed = 0;               // pixels per sub-step
  std::uint8_t m_nMoveTraits = 0;   // eMoveTrait bits of *m_pMove
  std::int32_t m_bBegun = 0;
  std::int32_t m_nFaceReq = 0;  // 0 none, 1 face left, 2 face right
  std::int32_t m_nLastFacing = 0;
  double m_dVelX = 0, m_dVelY = 0;
  double m_dMaxSpeed = 0;
  std::int32_t m_nCount = 0;
  std::int32_t m_nTargetX = 0, m_nTargetY = 0;
  std::int32_t m_nAngle = 0;
  std::int32_t m_nMoveArg1 = 0;  // circle: radius x N; homing: lag in sub-steps
  std::int32_t m_nMoveArg2 = 0, m_nMoveArg3 = 0;  // circle: start and end angle x N
  cList<sSamplePoint> m_Samples;
  double m_dPhaseX = 0, m_dPhaseY = 0;
};

// A flow's command runs and a character's flow runs: arrays cut from the array pool in the
// order they are made, so that those of the characters of a stage lie in the order of its
// list, each character's together.
using CmdRunVector = cVector<cCmdRun, cArrayPool<cCmdRun>>;

// How many times any flow was started; a caller that fired triggers compares it to learn
// whether anything more than the triggers' bookkeeping happened.
extern std::uint64_t g_nFlowStarts;

// One flow of a character, run from its first command to its last. Each run starts on a cache
// line, so that the walks over a character's runs read one line of each.
class alignas(64) cFlowRun {
 public:
  // Starts the flow from its first command. A flow that runs before the stage starts does its
  // immediate commands here, at once, and is stopped again.
  void Start(cCharaBase* owner);
  // One sub-step; 1 when the flow's last command has finished (the caller then stops it).
  int Step();
  void Stop(cCharaBase* owner);
  void Pause() { m_bPaused = 1; }
  void Resume() { m_bPaused = 0; }
  // Never stepped or started again; a running flow's commands are cut as by Stop.
  void StopForever(cCharaBase* owner);
  // Points the run at the flow of its index in a definition copy (the character's own copy
  // after the character was copied or its flow list changed).
  void Repoint(cEdChara& def);
  // Points the run at a flow (or none) and keeps the flow's trigger at hand.
  void PointAt(cEdFlow* flow);
  // Whether m_nTrigger is the trigger of the flow the run points at.
  bool TriggerCurrent() const;

  // What the triggers and the steps read of every run comes first, within 64 bytes.
  cEdFlow* m_pFlow = nullptr;
  CmdRunVector m_Cmds;
  // The trigger of m_pFlow (0 without a flow), read where the runs are walked so that a flow
  // is looked at only when its trigger is the one wanted. Set by PointAt.
  std::int32_t m_nTrigger = 0;
  std::int32_t m_nCursor = 0;
  std::int32_t m_nSteps = 0;
  std::uint8_t m_bRunning = 0;
  std::uint8_t m_bPaused = 0;
  std::uint8_t m_bStopForever = 0;
  std::uint8_t m_bStarted = 0;
  std::uint8_t m_bTriggered = 0;
  std::uint8_t m_bInterrupted = 0;
  std::uint8_t m_bKeyWaitMsg = 0;
  std::uint8_t m_bDeleteReq = 0;

  std::int32_t m_nIndex = 0;
  std::int32_t m_nSerial = 0;
  std::int32_t m_nFirstKey = 0;
  std::uint8_t m_bCondPassed = 0;
  cVector<cEdKeyCond*> m_KeyConds;
  std::int32_t m_nKeyState = 0;
  std::int32_t m_nKeyEdge = 0;
  cVector<sFlowAnime> m_Animes;
  cList<sArrange> m_Arranges;

 private:
  // Cuts every command (each starts afresh when the flow reaches it again) and marks the
  // flow's group as stopped.
  void CutCommands(cCharaBase* owner);
};

using FlowRunVector = cVector<cFlowRun, cArrayPool<cFlowRun>>;

// The context commands run in: the character whose flows or triggers run, its flow and the
// command. They are the play scene's fields; without a play scene (tools, tests) a context of
// their own stands in.
cCharaBase*& CurChara();
cFlowRun*& CurFlow();
cCmdRun*& CurCmd();

// Keeps the three context fields as found and gives them back when it goes: a trigger fired
// or flows run from inside a command leave the outer command's context as it was.
class cFlowContextGuard {
 public:
  cFlowContextGuard() : m_pChara(CurChara()), m_pFlow(CurFlow()), m_pCmd(CurCmd()) {}
  ~cFlowContextGuard() {
    CurChara() = m_pChara;
    CurFlow() = m_pFlow;
    CurCmd() = m_pCmd;
  }
  cFlowContextGuard(const cFlowContextGuard&) = delete;
  cFlowContextGuard& operator=(const cFlowContextGuard&) = delete;

 private:
  cCharaBase* m_pChara;
  cFlowRun* m_pFlow;
  cCmdRun* m_pCmd;
};

// A message command that waits for the advance key (its close choice and timer mode both 0).
bool IsKeyWaitMessage(const cEdCmd& cmd);

// The flow's exclusive group, 1 to 26; a value outside the group tables counts as none.
int FlowGroup(const cEdFlow& flow);

// Parameter n of a command; 0 for one a damaged record lacks.
std::int32_t CmdParam(const cEdCmd& cmd, int n);
