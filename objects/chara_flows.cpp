#include "objects/chara_flows.h"

#include <algorithm>
#include <cassert>

#include "content/chara.h"
#include "content/flow.h"
#include "content/key_condition.h"
#include "flows/flow_run.h"
#include "foundation/message_box.h"
#include "foundation/play_math.h"
#include "foundation/shell_services.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "objects/play_units.h"
#include "play/appearance.h"
#include "play/input.h"
#include "play/play_scene.h"
#include "project/database.h"
#include "project/system_data.h"

std::int32_t g_bInStageSetup = 0;

namespace {

bool IsLoopCmd(const cEdCmd& cmd) {
  return cmd.m_nCmdSet == CMDSET_ITEM ? cmd.m_nKind == 24 : cmd.m_nKind == CMD_LOOP;
}

// (base + per copy x copy index) in 32-bit arithmetic.
std::int32_t PerCopy(std::int32_t base, std::int32_t perCopy, std::int32_t copyIndex) {
  return AddWrap32(base, MulWrap32(perCopy, copyIndex));
}

void ReportFlowMemoryFailure() {
  if (g_bInStageSetup) {
    ErrBoxF("メモリ不足により、ステージの初期設定に失敗しました！");
    PostCloseToMainWindow();
  } else {
    OutOfMemory();
  }
}

// The circle: radius, start and end angle scaled by N, the sense turned for a character
// placed facing right, then the speed or the duration from the angle to travel.
void PrepareCircle(cCmdRun& run, const cEdMove& move, const cCharaBase& chara, int copy) {
  const std::int32_t n = g_nHitLevel;
  std::int32_t added = 0;
  if (chara.m_Def.m_nFacing == 1) {
    if (move.m_bMirrorTargetX) {
      if (run.m_cDir <= 1) run.m_cDir ^= 1;
      added = 180;
    }
    if (move.m_bMirrorTargetY && run.m_cDir <= 1) run.m_cDir ^= 1;
  }
  const std::int32_t radius =
      std::clamp(PerCopy(move.m_sHomingLag, move.m_sHomingLagClone, copy), 0, 20);
  run.m_nMoveArg1 = radius * 16 * n;
  run.m_nMoveArg2 =
      MulWrap32(AddWrap32(added, PerCopy(move.m_sAngle, move.m_sAngleClone, copy)), n);
  run.m_nMoveArg3 =
      MulWrap32(AddWrap32(added, PerCopy(move.m_sDistance, move.m_sDistanceClone, copy)), n);
  const std::int32_t span = move.m_sDistance > move.m_sAngle
                                ? SubWrap32(run.m_nMoveArg3, run.m_nMoveArg2)
                                : SubWrap32(run.m_nMoveArg2, run.m_nMoveArg3);
  if (move.m_nTimeMode == 0) {
    run.m_dSpeed = static_cast<double>(span) / static_cast<double>(run.m_nDuration) / g_dHitLevel;
  } else if (move.m_nTimeMode == 1) {
    const std::int32_t duration =
        TruncToInt32(static_cast<double>(span) / run.m_dSpeed / g_dHitLevel);
    run.m_nDuration = duration < 0 ? NegWrap32(duration) : duration;
  }
}

// Durations, speeds and the preparation of the command's kind.
void PrepareCmdRun(cCmdRun& run, cEdCmd& cmd, cCharaBase& chara) {
  const std::int32_t copy = chara.m_sCopyIndex;
  const std::int32_t n = g_nHitLevel;
  run.m_pCmd = &cmd;
  run.m_nDuration = MulWrap32(MulWrap32(PerCopy(cmd.m_sTime, cmd.m_sTimeClone, copy), n), 6);
  const cEdMove* move = cmd.m_pMove.get();
  if (move) {
    run.m_dSpeed = PerCopy(move->m_sSpeed, move->m_sSpeedClone, copy) * 0.1 / g_dHitLevel;
    if (move->m_bSpeedLimit) run.m_dMaxSpeed = move->m_sSpeedLimit * 0.1 / g_dHitLevel;
    run.m_cDir = static_cast<std::uint8_t>(move->m_nDirection);
  }
  switch (cmd.m_nKind) {
    case CMD_MOVE_LINE:
    case CMD_MOVE_GROUND:
    case CMD_MOVE_RUSH:
    case CMD_MOVE_AVOID_OFFSCREEN:
      if (move && move->m_nTimeMode != 0) run.CalcMoveTime(cmd, copy);
      break;
    case CMD_MOVE_CIRCLE:
      if (move) PrepareCircle(run, *move, chara, copy);
      break;
    case CMD_MOVE_HOMING:
      if (move) {
        run.m_nMoveArg1 = MulWrap32(PerCopy(move->m_sHomingLag, move->m_sHomingLagClone, copy), n);
        if (move->m_nTimeMode != 0) run.CalcMoveTime(cmd, copy);
      }
      break;
    case CMD_JUMP: {
      const auto height = static_cast<std::int8_t>(CmdParam(cmd, 2));
      run.m_dSpeed = chara.JumpSpeedFromHalfBlocks(height);
      // The jump's time is written into the character's own copy of the command, where the
      // animation lead-in reads it.
      cmd.m_sTime = static_cast<std::int16_t>(chara.JumpTimeTenths(height));
      run.m_nDuration = MulWrap32(MulWrap32(cmd.m_sTime, n), 6);
      break;
    }
    default:
      break;
  }
}

// The lead-in of each command's animation: it starts early enough for its stop frame to
// meet the command's start, or with the flow, skipping what it cannot show.
void BuildFlowAnimes(cFlowRun& run) {
  const std::int32_t n = g_nHitLevel;
  std::int32_t waited = 0;  // T: the waiting commands' durations before command k
  for (std::size_t k = 0; k < run.m_Cmds.size(); ++k) {
    const cCmdRun& cmdRun = run.m_Cmds.data()[k];
    const cEdCmd& cmd = *cmdRun.m_pCmd;
    const int anime = cmd.m_sAnime;
    const bool playsAnime = anime != 0 && (!cmd.m_pMove || cmd.m_pMove->m_bAnimeWithMove) &&
                            anime > 0 && anime < static_cast<int>(g_DataBase.m_Anime.size());
    if (playsAnime) {
      std::int32_t tenths = 0;
      for (const cDbAnimeFrame& frame : g_DataBase.m_Anime.data()[anime].m_Frames) {
        if (frame.m_bLock) break;
        tenths = AddWrap32(tenths, frame.m_nTime);
      }
      const std::int32_t play = MulWrap32(tenths, 6);
      const std::int32_t lead = MulWrap32(play, n);  // G, in sub-steps
      const auto hold = static_cast<std::int16_t>(cmd.m_sTime * 6);
      const std::int32_t holdFlag = cmd.m_nKind != CMD_JUMP && cmd.m_nKind != CMD_SWORD;
      std::int32_t remain = lead;
      bool full = false;
      for (std::size_t j = k; j-- > 0;) {
        const cCmdRun& before = run.m_Cmds.data()[j];
        if (before.m_pCmd->m_bParallel == 1) continue;
        remain = SubWrap32(remain, before.m_nDuration);
        if (remain <= 0) {
          full = true;
          break;
        }
      }
      sFlowAnime entry;
      entry.sAnime = static_cast<std::int16_t>(anime);
      entry.sHold = hold;
      entry.bHold = holdFlag;
      if (full) {
        entry.nStart = entry.nStart2 = SubWrap32(waited, lead);
        entry.sPlay = static_cast<std::int16_t>(play);
      } else {
        const std::int32_t skip = std::min(remain / n, play);
        entry.sSkip = static_cast<std::int16_t>(skip);
        entry.sPlay = static_cast<std::int16_t>(play - skip);
      }
      run.m_Animes.push_back(entry);
    }
    if (cmd.m_bParallel != 1) waited = AddWrap32(waited, cmdRun.m_nDuration);
  }
}

// The history of input test t (0 to 9 directions, 10 to 18 buttons).
const cVector<sInputRun>* History(const cInputState& input, int t) {
  const auto& group = t < kDirectionTests ? input.m_DirHistories : input.m_ButtonHistories;
  const int index = t < kDirectionTests ? t : t - kDirectionTests;
  if (index < 0 || index >= static_cast<int>(group.size())) return nullptr;
  return &group.data()[index];
}

int RunCount(const cVector<sInputRun>* history) {
  return history ? std::min(static_cast<int>(history->size()), kHistoryLength) : 0;
}

// Relative-to-facing conditions read left as right while the character faces left.
int SwapFacing(int test) {
  switch (test) {
    case 1:
      return 2;
    case 2:
      return 1;
    case 5:
      return 7;
    case 7:
      return 5;
    case 6:
      return 8;
    case 8:
      return 6;
    default:
      return test;
  }
}

cInputState& KeyInput() { return GetInput(g_Heroes.empty() ? 0 : g_Heroes.front().m_nInput); }

}  // namespace

// ---- loops and set-up --------------------------------------------------------------------

bool ExpandLoops(CmdVector& cmds) {
  for (;;) {
    const auto loop = std::find_if(cmds.begin(), cmds.end(), IsLoopCmd);
    if (loop == cmds.end()) return true;
    const std::int64_t at = loop - cmds.begin();
    const std::int64_t size = static_cast<std::int64_t>(cmds.size());
    const std::int64_t count = CmdParam(*loop, 0);
    std::int64_t length = CmdParam(*loop, 1);
    length = std::min(length, size - at - 1);
    const std::int64_t copies = length > 0 ? std::max<std::int64_t>(count - 1, 0) : 0;
    if (size - 1 + copies * length > kMaxExpandedCmds) return false;
    CmdVector expanded;
    expanded.reserve(static_cast<std::size_t>(size - 1 + copies * length));
    expanded.insert(expanded.end(), std::make_move_iterator(cmds.begin()),
                    std::make_move_iterator(cmds.begin() + at));
    const auto blockBegin = cmds.begin() + at + 1;
    const auto blockEnd = blockBegin + std::max<std::int64_t>(length, 0);
    for (std::int64_t c = 0; c < copies; ++c) expanded.insert(expanded.end(), blockBegin, blockEnd);
    expanded.insert(expanded.end(), std::make_move_iterator(blockBegin),
                    std::make_move_iterator(cmds.end()));
    cmds.swap(expanded);
  }
}

bool ExpandLoopsOrReport(CmdVector& cmds) {
  if (ExpandLoops(cmds)) return true;
  ReportFlowMemoryFailure();
  return false;
}

int SetupFlows(cCharaBase& chara, FlowVector& flows, int insert, int index) {
  FlowVector& own = chara.m_Def.m_Flows;
  const int count = static_cast<int>(flows.size());
  int first = 0;
  if (!insert) {
    for (cEdFlow& flow : flows) ExpandLoopsOrReport(flow.m_Cmds);
    chara.m_FlowRuns.clear();
    chara.m_FlowRuns.resize(own.size());
  } else {
    // The definition copy receives copies; the item's own flows are left as they are.
    FlowVector added = flows;
    for (cEdFlow& flow : added) ExpandLoopsOrReport(flow.m_Cmds);
    if (index >= 0 && index < static_cast<int>(own.size())) {
      first = index;
    } else {
      first = static_cast<int>(chara.m_FlowRuns.size());
      index = static_cast<int>(own.size());
    }
    own.insert(own.begin() + index, std::make_move_iterator(added.begin()),
               std::make_move_iterator(added.end()));
    chara.m_FlowRuns.insert(
        chara.m_FlowRuns.begin() + std::min<std::size_t>(first, chara.m_FlowRuns.size()),
        static_cast<std::size_t>(count), cFlowRun());
  }
  for (int j = 0; j < count; ++j) {
    const int at = first + j;
    if (at >= static_cast<int>(chara.m_FlowRuns.size()) || at >= static_cast<int>(own.size()))
      break;
    cFlowRun& run = chara.m_FlowRuns.data()[at];
    cEdFlow& flow = own.data()[at];
    run.m_nIndex = at;
    run.PointAt(&flow);
    run.m_nSerial = chara.m_nFlowSerial;
    chara.m_nFlowSerial = AddWrap32(chara.m_nFlowSerial, 1);
    run.m_KeyConds.clear();
    for (cEdKeyCond& cond : flow.m_KeyConds) run.m_KeyConds.push_back(&cond);
    run.m_Cmds.assign(flow.m_Cmds.size(), cCmdRun());
    for (std::size_t k = 0; k < flow.m_Cmds.size(); ++k)
      PrepareCmdRun(run.m_Cmds.data()[k], flow.m_Cmds.data()[k], chara);
    if (insert) run.m_nKeyEdge = flow.m_bKeyRepeat == 0 ? 1 : 0;
  }
  for (int j = 0; j < count && first + j < static_cast<int>(chara.m_FlowRuns.size()); ++j)
    BuildFlowAnimes(chara.m_FlowRuns.data()[first + j]);
  if (insert) RebindFlowRuns(chara);
  else RefreshFlowSummary(chara);
  return count;
}

void RebindFlowRuns(cCharaBase& chara) {
  for (std::size_t i = 0; i < chara.m_FlowRuns.size(); ++i) {
    cFlowRun& run = chara.m_FlowRuns.data()[i];
    run.m_nIndex = static_cast<std::int32_t>(i);
    run.Repoint(chara.m_Def);
  }
  RefreshFlowSummary(chara);
}

namespace {

std::uint32_t TriggerMaskOf(const cCharaBase& chara) {
  std::uint32_t mask = 0;
  for (const cFlowRun& run : chara.m_FlowRuns) {
    if (!run.m_pFlow) continue;
    const int trigger = run.m_pFlow->m_nTrigger;
    if (trigger >= 0 && trigger < 32) mask |= std::uint32_t{1} << trigger;
  }
  return mask;
}

std::uint8_t HasFlowAnimes(const cCharaBase& chara) {
  for (const cFlowRun& run : chara.m_FlowRuns)
    if (!run.m_Animes.empty()) return 1;
  return 0;
}

}  // namespace

void RefreshFlowSummary(cCharaBase& chara) {
  chara.m_nFlowTriggerMask = TriggerMaskOf(chara);
  chara.m_bFlowAnimes = HasFlowAnimes(chara);
}

bool FlowSummaryCurrent(const cCharaBase& chara) {
  for (const cFlowRun& run : chara.m_FlowRuns)
    if (!run.TriggerCurrent()) return false;
  return chara.m_nFlowTriggerMask == TriggerMaskOf(chara) &&
         chara.m_bFlowAnimes == HasFlowAnimes(chara);
}

void AssignFlowRuns(cCharaBase& chara, const FlowRunVector& other) {
  chara.m_FlowRuns = other;
  RebindFlowRuns(chara);
}

void RemoveFlow(cCharaBase& chara, int index) {
  if (chara.m_FlowRuns.empty()) return;
  cFlowRun& run = chara.m_FlowRuns[index];
  run.Stop(&chara);
  chara.RemoveOneShotAnime(run.m_nSerial);
  const int at = run.m_nIndex;
  if (at >= 0 && at < static_cast<int>(chara.m_Def.m_Flows.size()))
    chara.m_Def.m_Flows.erase(chara.m_Def.m_Flows.begin() + at);
  if (at >= 0 && at < static_cast<int>(chara.m_FlowRuns.size()))
    chara.m_FlowRuns.erase(chara.m_FlowRuns.begin() + at);
  RebindFlowRuns(chara);
}

int RemoveFlowsById(cCharaBase& chara, int id) {
  auto& runs = chara.m_FlowRuns;
  auto& flows = chara.m_Def.m_Flows;
  int first = -1;
  if (id != 0) {
    for (std::size_t i = 0; i < runs.size();) {
      cFlowRun& run = runs.data()[i];
      if (!run.m_pFlow || run.m_pFlow->m_nID == 0 || run.m_pFlow->m_nID != id) {
        ++i;
        continue;
      }
      run.Stop(&chara);
      chara.RemoveOneShotAnime(run.m_nSerial);
      if (first < 0) first = static_cast<int>(i);
      if (i < flows.size()) flows.erase(flows.begin() + static_cast<std::ptrdiff_t>(i));
      runs.erase(runs.begin() + static_cast<std::ptrdiff_t>(i));
      // The flows after it moved: the runs follow them before the walk goes on.
      RebindFlowRuns(chara);
    }
  } else {
    for (cFlowRun& run : runs) run.Stop(&chara);
    runs.clear();
    flows.clear();
    chara.m_OneShotAnime.clear();
    first = 0;
  }
  RebindFlowRuns(chara);
  return first;
}

void ResetFlowTriggers(cCharaBase& chara) {
  for (cFlowRun& run : chara.m_FlowRuns) {
    run.m_bTriggered = 0;
    run.m_bStarted = 0;
  }
  std::fill(chara.m_StartedGroups.begin(), chara.m_StartedGroups.end(), 0);
}

// ---- triggers ---------------------------------------------------------------------------

void cCharaBase::FireTrigger(int trigger) { FireTriggerEx(trigger, nullptr, 0); }

void cCharaBase::FireTriggerEx(int trigger, cCharaBase* partner, int id) {
  assert(FlowSummaryCurrent(*this) && "a run or the trigger mask missed a change of flows");
  // No flow waits for this trigger: nothing would happen.
  if (trigger >= 0 && trigger < 32 && (m_nFlowTriggerMask & (std::uint32_t{1} << trigger)) == 0)
    return;
  // A trigger fired from inside a command gives that command its context back.
  cFlowContextGuard keep;
  CurChara() = this;
  // The once-a-frame latch: tested first by projects from 525 to before 744, after the
  // other tests from 744 on, and not at all before 525.
  const bool latchFirst = g_SystemData.bCompatTriggerStart2 && !g_SystemData.bCompatTriggerStart;
  const bool latchLast = !g_SystemData.bCompatTriggerStart2;
  for (std::size_t i = 0; i < m_FlowRuns.size(); ++i) {
    cFlowRun& run = m_FlowRuns.data()[i];
    if (run.m_nTrigger != trigger || !run.m_pFlow) continue;
    const cEdFlow* flow = run.m_pFlow;
    if (latchFirst) {
      if (run.m_bTriggered) continue;
      run.m_bTriggered = 1;
    }
    if (run.m_bRunning || run.m_bPaused || run.m_bStopForever || run.m_bStarted) continue;
    const int group = FlowGroup(*flow);
    if (trigger == TRIGGER_ALWAYS && group != 0 &&
        (m_RunningGroups[group] || m_StartedGroups[group]))
      continue;
    if (id >= 1 && flow->m_nID != id) continue;
    if (latchLast) {
      if (run.m_bTriggered) continue;
      run.m_bTriggered = 1;
    }
    // The conditions first: the key conditions keep state of their own and are tested only
    // when the conditions hold.
    if (flow->m_bPartnerAsTarget && partner) {
      const int slot = flow->m_nTargetSlot;
      cCharaBase* kept =
          slot >= 0 && slot < static_cast<int>(m_Targets.size()) ? m_Targets.data()[slot] : nullptr;
      SetTarget(*this, slot, partner, 1);
      if (!CheckFlowConditions(*this, run) || !CheckKeyConds(*this, run)) {
        SetTarget(*this, slot, kept, 1);
        continue;
      }
    } else if (!CheckFlowConditions(*this, run) || !CheckKeyConds(*this, run)) {
      continue;
    }
    run.m_nFirstKey = FirstPressedKey(m_nControl == 0 ? GetInput(m_nInput) : GetInput(0));
    run.Start(this);
  }
  // Outside any command the context ends empty, as the guard found it.
}

// ---- key conditions ---------------------------------------------------------------------

int CheckKeyConds(cCharaBase& chara, cFlowRun& run) {
  if (run.m_KeyConds.empty() || !run.m_pFlow) return 1;
  if (run.m_pFlow->m_bKeyRepeat) {
    const int r = MatchKeySequence(chara, run);
    run.m_nKeyState = r != 0;
    return r;
  }
  run.m_nKeyState = 0;
  const int r = MatchKeySequence(chara, run);
  if (r == 0) {
    run.m_nKeyEdge = 0;
    return 0;
  }
  const bool held = r == 1 && run.m_nKeyEdge == 1;
  run.m_nKeyEdge = 1;
  if (held) {
    // Still held from an earlier match: no other flow of the group starts this frame either.
    const int group = FlowGroup(*run.m_pFlow);
    if (run.m_pFlow->m_nTrigger == TRIGGER_ALWAYS && group != 0) {
      chara.m_RunningGroups[group] = 1;
      chara.m_StoppedGroups[group] = 1;
      chara.m_bGroupStopped = 1;
    }
    return 0;
  }
  return 1;
}

void InitKeyCursors(KeyCursors& cursors, const cInputState& input) {
  for (int t = 0; t < kKeyTests; ++t) {
    const cVector<sInputRun>* history = History(input, t);
    cursors[t].nRun = 0;
    cursors[t].nFrames = RunCount(history) > 0 ? history->data()[0].nFrames : 0;
  }
}

void MoveKeyCursorsBack(KeyCursors& cursors, const cInputState& input, int k) {
  for (int t = 0; t < kKeyTests; ++t) {
    const cVector<sInputRun>* history = History(input, t);
    const int runs = RunCount(history);
    sKeyCursor& c = cursors[t];
    c.nFrames = SubWrap32(c.nFrames, k);
    while (c.nFrames < 0 && c.nRun + 1 < runs) {
      ++c.nRun;
      c.nFrames = AddWrap32(c.nFrames, history->data()[c.nRun].nFrames);
    }
    if (c.nFrames == 0 && c.nRun + 1 < runs) {
      ++c.nRun;
      c.nFrames = history->data()[c.nRun].nFrames;
    }
  }
}

void MoveKeyCursorsForward(KeyCursors& cursors, const cInputState& input, int k) {
  for (int t = 0; t < kKeyTests; ++t) {
    const cVector<sInputRun>* history = History(input, t);
    const int runs = RunCount(history);
    sKeyCursor& c = cursors[t];
    c.nFrames = AddWrap32(c.nFrames, k);
    while (c.nRun < runs && c.nFrames > history->data()[c.nRun].nFrames) {
      const std::int32_t length = history->data()[c.nRun].nFrames;
      // At the newest run the cursor stays; a newest run of no frames would never let go.
      if (c.nRun == 0 && length <= 0) break;
      c.nFrames = SubWrap32(c.nFrames, length);
      if (c.nRun > 0) --c.nRun;
    }
  }
}

int MatchKeyCond(const cEdKeyCond& cond, const KeyCursors& cursors, const cInputState& input,
                 int facingLeft, std::int32_t& hold) {
  const int states = std::min(static_cast<int>(cond.m_Keys.size()), kKeyTests);
  int matches = 0, failures = 0;
  bool any = false;
  std::int32_t d = 0;
  for (int t = 0; t < states; ++t) {
    const int state = cond.m_Keys.data()[t];
    if (state == KEY_IGNORE) continue;
    int test = t;
    if (t < kDirectionTests && cond.m_bFacingRelative && facingLeft) test = SwapFacing(t);
    const cVector<sInputRun>* history = History(input, test);
    const sKeyCursor& c = cursors[test];
    bool ok = false;
    const std::int32_t f = c.nFrames;
    if (c.nRun >= 0 && c.nRun < RunCount(history)) {
      const bool on = history->data()[c.nRun].nState != 0;
      if (state == KEY_PRESSED)
        ok = on && (cond.m_bAnyDuration ? f > 0 : cond.m_sMinFrames <= f && f <= cond.m_sMaxFrames);
      else if (state == KEY_RELEASED)
        ok = !on && f >= 1;
    }
    if (!ok) {
      ++failures;
      continue;
    }
    ++matches;
    switch (cond.m_nMode) {
      case KEYCOND_ALL:
        d = any ? std::min(d, f) : f;
        break;
      case KEYCOND_ANY:
        d = any ? std::max(d, f) : f;
        break;
      default:
        d = f;
        break;
    }
    any = true;
  }
  hold = d;
  switch (cond.m_nMode) {
    case KEYCOND_ALL:
      return failures == 0;
    case KEYCOND_ANY:
      return matches >= 1;
    case KEYCOND_ONE:
      return matches == 1;
    default:
      return 0;
  }
}

int MatchKeySequence(cCharaBase& chara, cFlowRun& run) {
  const int count = static_cast<int>(run.m_KeyConds.size());
  if (count == 0 || !run.m_pFlow) return 1;
  const cInputState& input = KeyInput();
  cCharaBase* current = CurChara() ? CurChara() : &chara;
  const int facingLeft = current->m_nFacing == 0;
  const int tolerance = run.m_pFlow->m_nKeyTolerance;
  KeyCursors cursors;
  InitKeyCursors(cursors, input);
  for (int c = count - 1; c >= 0; --c) {
    const cEdKeyCond* cond = run.m_KeyConds.data()[c];
    std::int32_t hold = 0;
    if (c == count - 1) {
      if (!MatchKeyCond(*cond, cursors, input, facingLeft, hold)) return 0;
      if (run.m_pFlow->m_bKeyRepeat && run.m_nKeyState) return 1;
    } else if (!MatchKeyCond(*cond, cursors, input, facingLeft, hold)) {
      if (tolerance == 0) return 0;
      bool matched = false;
      int taken = 0;
      while (taken < tolerance) {
        MoveKeyCursorsBack(cursors, input, 1);
        ++taken;
        if (MatchKeyCond(*cond, cursors, input, facingLeft, hold)) {
          matched = true;
          break;
        }
      }
      if (!matched) {
        MoveKeyCursorsForward(cursors, input, taken + 1);
        if (!MatchKeyCond(*cond, cursors, input, facingLeft, hold)) return 0;
        if (!g_SystemData.bCompatCharaFlows) {
          std::int32_t unused = 0;
          if (MatchKeyCond(*run.m_KeyConds.data()[c + 1], cursors, input, facingLeft, unused))
            return 0;
        }
      }
    }
    if (c == 0) return 1;
    MoveKeyCursorsBack(cursors, input, hold);
  }
  return 1;
}

int CheckKeyCond(const cEdKeyCond& cond, const cInputState& input) {
  const int states = std::min(static_cast<int>(cond.m_Keys.size()), kKeyTests);
  int matches = 0, failures = 0;
  for (int t = 0; t < states; ++t) {
    const int state = cond.m_Keys.data()[t];
    if (state == KEY_IGNORE) continue;
    const cVector<sInputRun>* history = History(input, t);
    const bool on = RunCount(history) > 0 && history->data()[0].nState != 0;
    const bool ok = (state == KEY_PRESSED && on) || (state == KEY_RELEASED && !on);
    if (ok && cond.m_nMode == KEYCOND_ANY) return 1;
    ok ? ++matches : ++failures;
  }
  switch (cond.m_nMode) {
    case KEYCOND_ALL:
      return failures == 0;
    case KEYCOND_ANY:
      return 0;
    case KEYCOND_ONE:
      return matches == 1;
    default:
      return 0;
  }
}

int FirstPressedKey(const cInputState& input) {
  for (int t = 0; t < kDirectionTests; ++t) {
    const cVector<sInputRun>* history = History(input, t);
    if (RunCount(history) > 0 && history->data()[0].nState != 0) return t;
  }
  return 0;
}

// ---- flow animations --------------------------------------------------------------------

void UpdateFlowAnimes(cCharaBase& chara) {
  assert(chara.m_bFlowAnimes == HasFlowAnimes(chara) && "the runs' animations changed unseen");
  if (!chara.m_bFlowAnimes) return;
  for (cFlowRun& run : chara.m_FlowRuns) {
    if (!run.m_bRunning || run.m_bPaused) continue;
    for (const sFlowAnime& entry : run.m_Animes) {
      if (entry.nStart != run.m_nSteps) continue;
      if (entry.sAnime < 0 || entry.sAnime >= static_cast<int>(g_AnimeSequences.size())) continue;
      cOneShotAnime& shot = chara.m_OneShotAnime.emplace_back();
      AnimeRuns runs;
      runs.push_back(g_AnimeSequences.data()[entry.sAnime]);
      shot.m_Anime.Init(runs);
      shot.m_bStart = 1;
      shot.m_nFramesLeft = entry.sPlay;
      shot.m_nHoldFrames = entry.sHold;
      shot.m_nKey = run.m_nSerial;
      shot.m_bPaused = 0;
      shot.m_Anime.Set(0, 1);
      if (entry.sSkip) shot.m_Anime.AddTicks(entry.sSkip);
      if (entry.sHold > 1 && entry.bHold) {
        const AnimeRun& frames = shot.m_Anime.Runs().data()[0];
        for (std::size_t e = 0; e < frames.size(); ++e) {
          if (frames.data()[e].nFrame >= 0 && frames.data()[e].bLock) {
            shot.m_Anime.LengthenEntry(0, static_cast<int>(e), entry.sHold - 1);
            break;
          }
        }
      }
    }
  }
}

// ---- target slots -----------------------------------------------------------------------

void SetTarget(cCharaBase& chara, int slot, cCharaBase* object, int clear) {
  if (slot < 0 || slot >= kTargetSlots) return;
  if (!clear && !object) return;
  if (chara.m_Targets.size() < static_cast<std::size_t>(kTargetSlots))
    chara.m_Targets.resize(kTargetSlots, nullptr);
  cCharaBase*& held = chara.m_Targets.data()[slot];
  const sTargetRef ref{&chara, slot};
  if (held) {
    auto& refs = held->m_BackRefs;
    refs.erase(std::remove(refs.begin(), refs.end(), ref), refs.end());
    held = nullptr;
  }
  if (!object) return;
  held = object;
  if (std::find(object->m_BackRefs.begin(), object->m_BackRefs.end(), ref) ==
      object->m_BackRefs.end())
    object->m_BackRefs.push_back(ref);
}
