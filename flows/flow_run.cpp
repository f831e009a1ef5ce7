#include "flows/flow_run.h"

#include <cassert>

#include "content/chara.h"
#include "content/command.h"
#include "content/flow.h"
#include "content/move.h"
#include "flows/cmd_dispatch.h"
#include "flows/cmd_params.h"
#include "foundation/message_box.h"
#include "foundation/play_math.h"
#include "objects/chara_base.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"
#include "project/system_data.h"

namespace {

// The context when no play scene exists.
struct sDetachedContext {
  cCharaBase* pChara = nullptr;
  cFlowRun* pFlow = nullptr;
  cCmdRun* pCmd = nullptr;
};
sDetachedContext s_Detached;

bool IsParallel(const cEdCmd& cmd) { return cmd.m_bParallel == 1; }

std::uint8_t MoveTraitsOf(const cEdMove* move) {
  if (!move) return 0;
  std::uint8_t traits = 0;
  auto set = [&traits](bool on, eMoveTrait trait) {
    if (on) traits = static_cast<std::uint8_t>(traits | trait);
  };
  set(move->m_bKeepFacing != 0, MOVETRAIT_KEEP_FACING);
  set(move->m_bSpeedLimit != 0, MOVETRAIT_SPEED_LIMIT);
  set(move->m_bAnimeWithMove != 0, MOVETRAIT_ANIME_WITH_MOVE);
  set(move->m_bTurnWithChara != 0, MOVETRAIT_TURN_WITH_CHARA);
  set(move->m_bLockX != 0, MOVETRAIT_LOCK_X);
  set(move->m_bLockY != 0, MOVETRAIT_LOCK_Y);
  set(move->m_nMode == 0, MOVETRAIT_MODE_0);
  set(move->m_nMode == 1, MOVETRAIT_MODE_1);
  return traits;
}

}  // namespace

cCharaBase*& CurChara() { return g_pPlayScene ? g_pPlayScene->m_pCurChara : s_Detached.pChara; }
cFlowRun*& CurFlow() { return g_pPlayScene ? g_pPlayScene->m_pCurFlow : s_Detached.pFlow; }
cCmdRun*& CurCmd() { return g_pPlayScene ? g_pPlayScene->m_pCurCmd : s_Detached.pCmd; }

int FlowGroup(const cEdFlow& flow) {
  return flow.m_nGroup > 0 && flow.m_nGroup < kFlowGroups ? flow.m_nGroup : 0;
}

std::int32_t CmdParam(const cEdCmd& cmd, int n) {
  return n >= 0 && n < static_cast<int>(cmd.m_Params.size()) ? cmd.m_Params.data()[n] : 0;
}

bool IsKeyWaitMessage(const cEdCmd& cmd) {
  return cmd.m_nKind == CMD_MESSAGE && CmdParam(cmd, 15) == 0 && CmdParam(cmd, 6) == 0;
}

// ---- cCmdRun ----------------------------------------------------------------------------

void cCmdRun::Reset() {
  m_nRemain = m_nDuration;
  m_bDone = 0;
  m_nCount = 0;
  m_bBegun = 0;
  m_dPhaseX = 0;
  m_dPhaseY = 0;
  if (m_pCmd && m_pCmd->m_nKind != CMD_ARRANGE) {
    cFlowRun* flow = CurFlow();
    ApplyFlowArranges(*m_pCmd, CurChara(), flow);
    if (flow) flow->m_Arranges.clear();
  }
  if (m_pCmd) ReadTraits();
}

void cCmdRun::ReadTraits() {
  m_pTraitsOf = m_pCmd;
  m_nCmdKind = m_pCmd->m_nKind;
  m_bCmdParallel = IsParallel(*m_pCmd);
  m_bCmdKeyWait = IsKeyWaitMessage(*m_pCmd);
  m_pMove = m_pCmd->m_pMove.get();
  m_nMoveTraits = MoveTraitsOf(m_pMove);
}

bool cCmdRun::TraitsCurrent() const {
  return m_pTraitsOf == m_pCmd && m_nCmdKind == m_pCmd->m_nKind &&
         m_bCmdParallel == IsParallel(*m_pCmd) && m_bCmdKeyWait == IsKeyWaitMessage(*m_pCmd) &&
         m_pMove == m_pCmd->m_pMove.get() && m_nMoveTraits == MoveTraitsOf(m_pMove);
}

int cCmdRun::Exec() {
  CurCmd() = this;
  ExecCmd(CurChara(), *this);
  // The count wraps as a 32-bit counter does: a duration of INT32_MIN runs on.
  m_nRemain = SubWrap32(m_nRemain, 1);
  if (m_nRemain > 0) return 0;
  m_nRemain = 0;
  return 1;
}

void cCmdRun::CalcMoveTime(const cEdCmd& cmd, int copyIndex) {
  const cEdMove* move = cmd.m_pMove.get();
  if (!move) return;
  std::int32_t distance = move->m_sDistance;
  if (move->m_sDistanceClone != 0)
    distance = AddWrap32(distance, MulWrap32(copyIndex, move->m_sDistanceClone));
  if (move->m_nDistanceUnit != 1) distance = MulWrap32(distance, 16);  // half-blocks
  switch (move->m_nTimeMode) {
    case 1:  // time and distance: the speed follows (a duration of 0 gives an infinite speed)
      m_dSpeed = static_cast<double>(distance) / static_cast<double>(m_nDuration);
      break;
    case 2: {  // speed and distance: the duration follows
      std::int32_t duration = TruncToInt32(static_cast<double>(distance) / m_dSpeed);
      if (duration < 0 && !g_SystemData.bCompatMoveTime) duration = NegWrap32(duration);
      m_nDuration = duration;
      break;
    }
    default:
      break;
  }
}

// ---- cFlowRun ---------------------------------------------------------------------------

std::uint64_t g_nFlowStarts = 0;

void cFlowRun::Start(cCharaBase* owner) {
  ++g_nFlowStarts;
  m_bRunning = 1;
  m_nCursor = 0;
  m_nSteps = 0;
  m_bKeyWaitMsg = 0;
  for (cCmdRun& cmd : m_Cmds) cmd.m_bDone = 0;
  m_bStarted = 1;
  if (!m_pFlow) return;
  const int group = FlowGroup(*m_pFlow);
  if (m_pFlow->m_nTrigger == TRIGGER_ALWAYS && group != 0 && owner) {
    owner->m_RunningGroups[group] = 1;
    owner->m_StartedGroups[group] = 1;
  }
  if (m_Cmds.empty() || m_pFlow->m_nTrigger != TRIGGER_BEFORE_STAGE_START) return;

  // Before the stage starts: the immediate commands (parallel, kind 16 and above) run once,
  // in order, for the owner. The context is the owner's while they run and is given back
  // afterwards, so that starting such a flow from another character's command leaves that
  // command's context intact.
  {
    cFlowContextGuard keep;
    CurChara() = owner;
    CurFlow() = this;
    m_bInterrupted = 0;
    for (m_nCursor = 0; m_nCursor < static_cast<int>(m_Cmds.size()); ++m_nCursor) {
      cCmdRun& cmd = m_Cmds[m_nCursor];
      if (!cmd.m_pCmd || cmd.m_pCmd->m_nKind < CMD_FLOW_OP || !IsParallel(*cmd.m_pCmd)) continue;
      cmd.Reset();
      if (!cmd.Exec()) ErrBoxDebugF("使用時間0なので、ここにくることはあり得ないはず！");
      if (m_bInterrupted) break;
      cmd.m_bDone = 1;
    }
  }
  Stop(owner);
}

int cFlowRun::Step() {
  CurFlow() = this;
  m_bInterrupted = 0;
  const int count = static_cast<int>(m_Cmds.size());
  if (count == 0) return 1;
  for (int i = 0; i <= m_nCursor; ++i) {
    if (i >= count) continue;
    cCmdRun& cmd = m_Cmds.data()[i];
    if (cmd.m_bDone) continue;
    if (cmd.m_nRemain == 0) cmd.Reset();
    if (!cmd.m_pCmd) continue;
    cmd.KeepTraits();
    const bool parallel = cmd.m_bCmdParallel != 0;
    if (!parallel && !cmd.m_bCmdKeyWait) m_bKeyWaitMsg = 0;
    if (parallel) {
      if (cmd.Exec()) {
        cmd.m_bDone = 1;
        if (i == count - 1) return 1;
      }
      if (i == m_nCursor) ++m_nCursor;
      if (m_bInterrupted) return 0;
      continue;
    }
    if (!cmd.Exec()) {
      if (m_bInterrupted) return 0;
      continue;
    }
    cmd.m_bDone = 1;
    if (IsKeyWaitMessage(*cmd.m_pCmd)) m_bKeyWaitMsg = 1;
    if (i == count - 1) return 1;
    ++m_nCursor;
    break;
  }
  // A command is done only once the cursor has reached it: the last one is looked at only then.
  assert((m_nCursor >= count - 1 || !m_Cmds.data()[count - 1].m_bDone) &&
         "a command ahead of the cursor is done");
  if (m_nCursor >= count - 1 && m_Cmds.data()[count - 1].m_bDone) return 1;
  m_nSteps = AddWrap32(m_nSteps, 1);
  return 0;
}

void cFlowRun::CutCommands(cCharaBase* owner) {
  for (cCmdRun& cmd : m_Cmds) cmd.m_nRemain = 0;
  if (!m_pFlow || !owner) return;
  const int group = FlowGroup(*m_pFlow);
  if (group != 0) {
    owner->m_StoppedGroups[group] = 1;
    owner->m_bGroupStopped = 1;
  }
}

void cFlowRun::Stop(cCharaBase* owner) {
  if (!m_bRunning) return;
  m_bRunning = 0;
  m_Arranges.clear();
  CutCommands(owner);
}

void cFlowRun::StopForever(cCharaBase* owner) {
  m_bStopForever = 1;
  if (m_bRunning) CutCommands(owner);
}

void cFlowRun::PointAt(cEdFlow* flow) {
  m_pFlow = flow;
  m_nTrigger = flow ? flow->m_nTrigger : 0;
}

bool cFlowRun::TriggerCurrent() const { return m_nTrigger == (m_pFlow ? m_pFlow->m_nTrigger : 0); }

void cFlowRun::Repoint(cEdChara& def) {
  cEdFlow& flow = def.m_Flows[m_nIndex];
  PointAt(&flow);
  m_KeyConds.clear();
  for (cEdKeyCond& cond : flow.m_KeyConds) m_KeyConds.push_back(&cond);
  const std::size_t n = std::min(m_Cmds.size(), flow.m_Cmds.size());
  for (std::size_t k = 0; k < n; ++k) {
    m_Cmds.data()[k].m_pCmd = &flow.m_Cmds.data()[k];
    m_Cmds.data()[k].m_pTraitsOf = nullptr;
  }
}
