#include "flows/shot_cmds.h"

#include "content/command.h"
#include "content/command_tables.h"
#include "content/condition.h"
#include "content/flow.h"
#include "flows/flow_run.h"
#include "foundation/play_math.h"
#include "foundation/report.h"
#include "media/sound.h"
#include "objects/chara_base.h"
#include "objects/chara_flows.h"
#include "objects/play_units.h"
#include "objects/shot.h"
#include "objects/shot_fire.h"
#include "play/play_scene.h"
#include "play/spawn.h"
#include "project/database.h"
#include "project/sword_type.h"

namespace {

// The shot record of the command, or null: a damaged command without one does nothing.
cEdShot* ShotOf(const cCmdRun& run) { return run.m_pCmd ? run.m_pCmd->m_pShot.get() : nullptr; }

// The command's sound, unless it is for the view only and the character is outside it.
void PlayCmdSound(const cCharaBase& chara, const cEdCmd& cmd) {
  if (cmd.m_bSoundOnScreen && !chara.m_bOnScreen) return;
  PlayDatabaseSound(cmd.m_sSound);
}

// Acts at the command's first sub-step and then every tenth of a second.
template <class Act>
void EveryTenth(cCharaBase* chara, cCmdRun& run, Act act) {
  cEdShot* def = ShotOf(run);
  if (!chara || !def) return;
  if (run.m_nCount == 0) {
    PlayCmdSound(*chara, *run.m_pCmd);
    act(*chara, *def);
  }
  run.m_nCount = run.m_nCount + 1;
  if (run.m_nCount >= g_nHitLevel6) run.m_nCount = 0;
}

// ---- flow operations ----

int s_nStartDepth = 0;
bool s_bStartDepthReported = false;

void StartNested(cFlowRun& flow, cCharaBase& owner) {
  if (s_nStartDepth >= kMaxNestedFlowStarts) {
    if (!s_bStartDepthReported) {
      s_bStartDepthReported = true;
      Report("flows start one another deeper than %d: the deeper start was left out",
             kMaxNestedFlowStarts);
    }
    return;
  }
  ++s_nStartDepth;
  flow.Start(&owner);
  --s_nStartDepth;
}

void ApplyFlowOp(int op, cCharaBase& owner, cFlowRun& flow) {
  switch (op) {
    case FLOWOP_START:
      flow.Stop(&owner);
      owner.RemoveOneShotAnime(flow.m_nSerial);
      StartNested(flow, owner);
      flow.m_bInterrupted = 1;
      break;
    case FLOWOP_STOP:
      flow.Stop(&owner);
      owner.RemoveOneShotAnime(flow.m_nSerial);
      flow.m_bInterrupted = 1;
      break;
    case FLOWOP_PAUSE:
      flow.Pause();
      owner.StopOneShotAnime(flow.m_nSerial);
      flow.m_bInterrupted = 1;
      break;
    case FLOWOP_RESUME:
      flow.Resume();
      owner.ResumeOneShotAnime(flow.m_nSerial);
      break;
    case FLOWOP_DELETE:
      owner.m_bFlowDeleteReq = 1;
      flow.m_bDeleteReq = 1;
      flow.m_bInterrupted = 1;
      break;
    case FLOWOP_STOP_FOR_GOOD:
      flow.StopForever(&owner);
      owner.RemoveOneShotAnime(flow.m_nSerial);
      flow.m_bInterrupted = 1;
      break;
    default:
      break;
  }
}

}  // namespace

void ResetFlowStartReport() { s_bStartDepthReported = false; }

void ExecCmd_Shot(cCharaBase* chara, cCmdRun& run) {
  EveryTenth(chara, run, [&run](cCharaBase& c, cEdShot& def) {
    if (g_pPlayScene) FireShot(g_pPlayScene->m_ShotList, c, run, def);
  });
}

void ExecCmd_SummonBlock(cCharaBase* chara, cCmdRun& run) {
  EveryTenth(chara, run,
             [&run](cCharaBase& c, cEdShot& def) { SummonBlockFromPalette(c, run, def); });
}

void ExecCmd_SummonChara(cCharaBase* chara, cCmdRun& run) {
  EveryTenth(chara, run,
             [&run](cCharaBase& c, cEdShot& def) { SummonCharaFromPalette(c, run, def); });
}

void ExecCmd_SummonItem(cCharaBase* chara, cCmdRun& run) {
  EveryTenth(chara, run,
             [&run](cCharaBase& c, cEdShot& def) { SummonItemFromPalette(c, run, def); });
}

void ExecCmd_Sword(cCharaBase* chara, cCmdRun& run) {
  cEdShot* def = ShotOf(run);
  if (!chara || !def) return;
  if (run.m_nCount == 0 && g_pPlayScene) {
    PlayCmdSound(*chara, *run.m_pCmd);
    const auto number = static_cast<std::int8_t>(def->m_nGuide);
    cVector<cDbSwordType>& types = g_DataBase.m_SwordType;
    // A number outside the table is reported by the table and takes entry 0.
    const cDbSwordType* type = types.empty() ? nullptr : &types[number];
    cShotList& list = g_pPlayScene->m_ShotList;
    if (!type || type->m_Frames.empty()) {
      Report("Sword type %d has no frames: no sword", number);
    } else if (!RunTimeListFull(list.size())) {
      sVolley volley{};
      volley.nCellWidth = type->m_Frames.data()[0].m_nWidth;
      volley.nCellHeight = type->m_Frames.data()[0].m_nHeight;
      volley.sCopyIndex = def->m_nSizeFactor;
      cShot temp;
      temp.SetUp(g_pPlayScene->m_nShotNo, *chara, kSwordCmdKind, *def, volley);
      cShot& sword = AddShotToList(list, temp);
      g_pPlayScene->m_nShotNo = AddWrap32(g_pPlayScene->m_nShotNo, 1);
      sword.m_pTarget = nullptr;
      if (sword.m_pOwner) {
        const sShotLink link{&sword, kOwnerSlot};
        if (!HasShotLink(sword.m_pOwner->m_ShotLinks, link))
          sword.m_pOwner->m_ShotLinks.push_back(link);
      }
    }
  }
  run.m_nCount = AddWrap32(run.m_nCount, 1);
}

void ExecCmd_FlowOp(cCharaBase* chara, cCmdRun& run) {
  if (!chara || !run.m_pCmd) return;
  cEdCmd& cmd = *run.m_pCmd;
  if (cmd.m_pCondList && cmd.m_pCondList->m_bEnabled &&
      !CheckConditions(cmd.m_pCondList->m_Conds, cmd.m_pCondList->m_nMode, chara))
    return;
  const int op = CmdParam(cmd, 0), sel = CmdParam(cmd, 1), whose = CmdParam(cmd, 3);
  cCharaBase* owner = chara;
  if (whose >= 1 && whose <= 4) {
    owner = chara->m_Targets[whose - 1];
    if (!owner) return;
  }
  cFlowRun* self = CurFlow();
  auto& runs = chara->m_FlowRuns;
  switch (sel) {
    case FLOWSEL_THIS:
      if (self) ApplyFlowOp(op, *chara, *self);
      break;
    case FLOWSEL_OTHERS:
      // By index: a flow started here may change the lists it runs over.
      for (std::size_t i = 0; i < runs.size(); ++i)
        if (&runs.data()[i] != self) ApplyFlowOp(op, *chara, runs.data()[i]);
      break;
    case FLOWSEL_BY_ID: {
      const auto id = static_cast<std::int8_t>(CmdParam(cmd, 2));
      auto& theirs = owner->m_FlowRuns;
      for (std::size_t i = 0; i < theirs.size();) {
        cFlowRun& flow = theirs.data()[i];
        if (!flow.m_pFlow || flow.m_pFlow->m_nID == 0 || flow.m_pFlow->m_nID != id) {
          ++i;
          continue;
        }
        if (op == FLOWOP_DELETE && owner != chara) {
          // Removed at once: the flow that moves into its place is looked at next.
          RemoveFlow(*owner, static_cast<int>(i));
          continue;
        }
        ApplyFlowOp(op, *owner, flow);
        ++i;
      }
      break;
    }
    default:
      break;
  }
}
