#pragma once
// A character's flows at run time: building the running flows from the character's own copy
// of its definition, keeping them in step when flows are added or removed, starting idle flows
// when a trigger happens, testing the flows' key-input conditions against the player's input
// histories, and playing each command's animation so that its stop frame meets the command.
// (FireTrigger and FireTriggerEx, members of the character base, are built here too.)
#include <cstdint>

#include "content/command.h"
#include "flows/flow_run.h"
#include "foundation/containers.h"

class cCharaBase;
class cEdKeyCond;
class cFlowRun;
class cInputState;

// Commands a loop expansion may make of one command list; a list that would grow past it is
// refused as lack of memory (authors use huge counts as "for ever").
inline constexpr std::int64_t kMaxExpandedCmds = 10000000;

// Replaces every loop command (kind 39, or 24 in an item's list) by copies of the block it
// repeats. false when a list would pass kMaxExpandedCmds: the list stays as expanded so far.
bool ExpandLoops(CmdVector& cmds);
// ExpandLoops, reporting a refused expansion as lack of memory (the stage set-up's message
// while a stage is being set up) and asking the main window to close.
bool ExpandLoopsOrReport(CmdVector& cmds);

// Builds idle runs for flows. Without insert, flows is the character's own flow list and the
// runs are made anew; with insert, copies of flows go into the character's list before index
// (at the end for -1 or an index outside it). The number of flows given.
int SetupFlows(cCharaBase& chara, FlowVector& flows, int insert, int index);
// Copies the runs of another character and points them at this character's own flows.
void AssignFlowRuns(cCharaBase& chara, const FlowRunVector& other);
void RebindFlowRuns(cCharaBase& chara);
// Recomputes what the character keeps about its runs as a whole, the mask of their triggers
// (m_nFlowTriggerMask) and whether any has animations (m_bFlowAnimes); after any change to the
// runs or to what they point at.
void RefreshFlowSummary(cCharaBase& chara);
// Whether the mask, the animation mark and every run's trigger match the flows they stand for.
bool FlowSummaryCurrent(const cCharaBase& chara);
void RemoveFlow(cCharaBase& chara, int index);
// ID 0 removes every flow and gives 0; another ID removes its flows and gives the index of the
// first one removed, or -1.
int RemoveFlowsById(cCharaBase& chara, int id);
// Once a frame, before the sub-steps: the per-frame trigger latches are cleared.
void ResetFlowTriggers(cCharaBase& chara);

// Key-input conditions. The input tests 0 to 9 are the direction histories, 10 to 18 the
// button histories.
int CheckKeyConds(cCharaBase& chara, cFlowRun& run);
int MatchKeySequence(cCharaBase& chara, cFlowRun& run);
// One condition at the present frame only (the hero's jump key).
int CheckKeyCond(const cEdKeyCond& cond, const cInputState& input);
// The first direction test (0 to 9) whose newest run is on; 0 when none is.
int FirstPressedKey(const cInputState& input);

// Where the key-sequence test stands in one input test's history: a run and the frames into
// it, counted back from the run's newest frame.
struct sKeyCursor {
  std::int32_t nRun = 0;
  std::int32_t nFrames = 0;
};
inline constexpr int kKeyTests = 19;
using KeyCursors = sKeyCursor[kKeyTests];

void InitKeyCursors(KeyCursors& cursors, const cInputState& input);
// Moves every cursor back (older) or forward (newer) by k frames.
void MoveKeyCursorsBack(KeyCursors& cursors, const cInputState& input, int k);
void MoveKeyCursorsForward(KeyCursors& cursors, const cInputState& input, int k);
// Whether a condition holds at the cursors; hold receives the frames the match covers.
int MatchKeyCond(const cEdKeyCond& cond, const KeyCursors& cursors, const cInputState& input,
                 int facingLeft, std::int32_t& hold);

// The flow animations due at the flows' present step start as one-shot animations.
void UpdateFlowAnimes(cCharaBase& chara);

// Puts an object into target slot 0 to 3 and keeps the back-references in step. With clear 0
// a null object changes nothing; with clear 1 it empties the slot.
void SetTarget(cCharaBase& chara, int slot, cCharaBase* object, int clear);

// Set while a stage is being set up: lack of memory then gets the set-up's own message.
extern std::int32_t g_bInStageSetup;
