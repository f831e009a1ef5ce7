#include "objects/chara.h"

#include <algorithm>
#include <cassert>

#include "content/command.h"
#include "content/command_tables.h"
#include "content/flow.h"
#include "flows/flow_run.h"
#include "foundation/play_math.h"
#include "media/sound.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "play/play_scene.h"
#include "play/scroll_axis.h"
#include "project/stage.h"
#include "project/system_data.h"

cChara::cChara() = default;

cChara::cChara(const cChara& other) : cCharaBase() {
  Copy(other);  // the view and activation flags with it
  m_DropItem = other.m_DropItem;
  m_nMarkCounter = other.m_nMarkCounter;
}

cChara::~cChara() = default;

cCharaBase* FindCharaByNumber(int number) {
  for (cHero& hero : g_Heroes)
    if (hero.m_nNumber == number) return &hero;
  for (cChara& chara : g_CharaList)
    if (chara.m_nNumber == number) return &chara;
  return nullptr;
}

double AutoScrollX() {
  const cScrollAxis& axis = ScrollAxisX();
  return axis.m_bAtLimit ? 0.0 : axis.m_dSpeed;
}

double AutoScrollY() {
  const cScrollAxis& axis = ScrollAxisY();
  return axis.m_bAtLimit ? 0.0 : axis.m_dSpeed;
}

namespace {

void ScaleBox(sHitBox& box, int s) {
  box.m_nOffsetX = s * box.m_nBaseOffsetX;
  box.m_nOffsetY = s * box.m_nBaseOffsetY;
  box.m_nWidth = s * box.m_nBaseWidth;
  box.m_nHeight = s * box.m_nBaseHeight;
}

void SetBoxCentred(sHitBox& box, int width, int height, int cellOffsetX, int cellOffsetY) {
  box.m_nOffsetX = box.m_nBaseOffsetX = 16 - width / 2 - cellOffsetX;
  box.m_nOffsetY = box.m_nBaseOffsetY = 16 - height / 2 - cellOffsetY;
  box.m_nWidth = box.m_nBaseWidth = width;
  box.m_nHeight = box.m_nBaseHeight = height;
}

}  // namespace

void PlaceHitBoxX(sHitBox& box, double x) {
  box.m_Rect.m_dLeft = AddWrap32(TruncToInt32(x), box.m_nOffsetX);
  box.m_Rect.m_dRight = box.m_Rect.m_dLeft + box.m_nWidth - 1;
}

void PlaceHitBoxY(sHitBox& box, double y) {
  box.m_Rect.m_dTop = AddWrap32(TruncToInt32(y), box.m_nOffsetY);
  box.m_Rect.m_dBottom = box.m_Rect.m_dTop + box.m_nHeight - 1;
}

void ScaleHitBox(sHitBox& box, int s) { ScaleBox(box, s); }

void SetHitBoxCentred(sHitBox& box, int width, int height, int cellOffsetX, int cellOffsetY) {
  SetBoxCentred(box, width, height, cellOffsetX, cellOffsetY);
}

void cChara::OnScaled(int s) {
  if (m_Def.m_bNoHitBox) {
    for (sHitBox* box : {&m_HitBoxA, &m_HitBoxB}) {
      box->m_nOffsetX = box->m_nOffsetY = 0;
      box->m_nWidth = m_nWidth;
      box->m_nHeight = m_nHeight;
    }
    return;
  }
  ScaleBox(m_HitBoxA, s);
  ScaleBox(m_HitBoxB, s);
}

void cChara::UpdateHitBoxX() {
  PlaceHitBoxX(m_HitBoxA, m_dX);
  PlaceHitBoxX(m_HitBoxB, m_dX);
}

void cChara::UpdateHitBoxY() {
  PlaceHitBoxY(m_HitBoxA, m_dY);
  PlaceHitBoxY(m_HitBoxB, m_dY);
}

int cChara::OnPosChangedX() { return ClampX(CLAMP_MAP); }
int cChara::OnPosChangedY() { return ClampY(CLAMP_MAP); }

void cChara::InitFromDef(int number, cEdChara& def, const cItem* item, double x, double y,
                         int copyIndex, cCharaBase* /*owner: linked by InitTargets*/) {
  if (def.m_nScale == 0) def.m_nScale = 1;
  Reset(&def, x, y, copyIndex);
  const cStage& st = g_Stage;
  const bool block = m_Def.m_bNoHitBox != 0;
  const bool flies = m_Def.m_nFlyMode != MOVE_GROUND;
  int w = 32, h = 32, offsetX = 0, offsetY = 0;
  if (!block) {
    w = flies ? st.m_nCharaFlyW : st.m_nCharaW;
    h = flies ? st.m_nCharaFlyH : st.m_nCharaH;
    const int bottom = flies ? st.m_bCharaFlyBottom : st.m_bCharaBottom;
    offsetX = (32 - w) >> 1;
    offsetY = bottom ? 32 - h : (32 - h) >> 1;
  }
  SetUpBase(number, m_Def.m_nControl, m_Def.m_nInput, m_Def.m_nGroup, m_Def.m_sGraphic, nullptr,
            0, offsetX, offsetY, w, h, 32, 32, m_Def.m_nFacing, m_Def.m_nFlyMode, copyIndex);
  if (block) {
    SetBoxCentred(m_HitBoxA, 32, 32, 0, 0);
    SetBoxCentred(m_HitBoxB, 32, 32, 0, 0);
  } else {
    switch (m_Def.m_nHitSize) {
      case 0:
        if (flies)
          SetHitBoxA(st.m_bCharaFlyHitBottom, st.m_nCharaFlyHitW, st.m_nCharaFlyHitH);
        else
          SetHitBoxA(st.m_bCharaHitBottom, st.m_nCharaHitW, st.m_nCharaHitH);
        break;
      case 1:
        SetHitBoxA(0, st.m_nCharaShotHitW, st.m_nCharaShotHitH);
        break;
      case 2:  // a computer character's own shot box
        SetHitBoxA(0, st.m_nComputerShotW, st.m_nComputerShotH);
        break;
      case 3:
        SetHitBoxA(0, 32, 32);
        break;
      default:  // hit box A stays as it was
        break;
    }
    SetBoxCentred(m_HitBoxB, st.m_nCharaShotHitW, st.m_nCharaShotHitH, offsetX, offsetY);
  }
  Scale(m_Def.m_nScale, 1);
  m_bActivated = 0;
  m_nMarkCounter = 0;
  if (item) {
    m_DropItem = *item;
  } else {
    m_DropItem = cItem();
    m_DropItem.m_nGraphic = 0;
  }
  switch (m_Def.m_nActiveRange) {
    case 1: m_bIgnoreX = 0; m_bIgnoreY = 1; break;
    case 2: m_bIgnoreX = 1; m_bIgnoreY = 0; break;
    case 3: m_bIgnoreX = 1; m_bIgnoreY = 1; break;
    default: m_bIgnoreX = 0; m_bIgnoreY = 0; break;
  }
  m_bInSight = 0;
  m_bActivatedOnce = 0;
  m_Anime.Set(flies ? 0 : 1, 1);
  SetupFlows(*this, m_Def.m_Flows, 0, -1);
}

int cChara::MoveStepX() {
  if (m_dPushX != 0) {
    m_dVX = m_dPushX;
  } else if (m_dInertiaX != 0) {
    ApplyFriction(m_dInertiaX, m_bFrictionX);
    m_dVX = m_dVX + m_dInertiaX;
  }
  const int code = MoveX(CLAMP_MAP);
  OnPosChangedX();
  return code == MOVE_AT_MAP_EDGE ? MOVE_BELOW_SCROLL : code;
}

int cChara::MoveStepY() {
  ApplyPushY();
  if (m_dPushY == 0 && m_bNoGravity && m_dInertiaY != 0) {
    ApplyFriction(m_dInertiaY, m_bFrictionY);
    m_dVY = m_dVY + m_dInertiaY;
  }
  const int code = MoveY(CLAMP_MAP);
  OnPosChangedY();
  if (m_bNoGravity) {
    if (code == MOVE_AT_MAP_EDGE || code == MOVE_AT_MAP_BOTTOM) return MOVE_FELL;
  } else if (code == MOVE_BELOW_STAGE || code == MOVE_AT_MAP_BOTTOM) {
    return MOVE_CRUSHED;
  }
  return code;
}

void BeginFlowPass(cCharaBase& chara) {
  CurChara() = &chara;
  if (g_pPlayScene) g_pPlayScene->m_bCheckDefeats = 0;
}

int RunCharaFlowPass(cCharaBase& chara, int defeatMode, int checkRemove) {
  for (std::size_t i = 0; i < chara.m_FlowRuns.size(); ++i) {
    cFlowRun* run = &chara.m_FlowRuns.data()[i];
    if (!run->m_bRunning) continue;
    if (run->m_Cmds.empty()) {
      run->Stop(&chara);
      continue;
    }
    if (run->m_bPaused || run->m_bStopForever) continue;
    assert(run->TriggerCurrent() && "a run missed a change of its flow");
    const int trigger = run->m_nTrigger;
    if (defeatMode && trigger != TRIGGER_DEAD) continue;
    if (run->Step()) {
      run = &chara.m_FlowRuns.data()[i];  // the step may have added flows
      run->Stop(&chara);
    }
    if (checkRemove && chara.m_bRemoveReq) return 1;
    if (!defeatMode && trigger != TRIGGER_DEAD && chara.m_HP.m_nValue <= 0) return 1;
  }
  return 0;
}

void FinishFlowPass(cCharaBase& chara) {
  if (chara.m_bFlowDeleteReq) {
    for (int i = static_cast<int>(chara.m_FlowRuns.size()) - 1; i >= 0; --i)
      if (chara.m_FlowRuns.data()[i].m_bDeleteReq) RemoveFlow(chara, i);
    chara.m_bFlowDeleteReq = 0;
  }
  if (chara.m_bGroupStopped) {
    const std::size_t n = std::min(chara.m_StoppedGroups.size(), chara.m_RunningGroups.size());
    for (std::size_t g = 0; g < n; ++g) {
      if (chara.m_StoppedGroups.data()[g]) {
        chara.m_StoppedGroups.data()[g] = 0;
        chara.m_RunningGroups.data()[g] = 0;
      }
    }
    chara.m_bGroupStopped = 0;
  }
}

int cChara::RunFlows(int defeatMode) {
  cFlowContextGuard context;  // every return gives back the context found
  BeginFlowPass(*this);
  if (m_bScreenBound && !g_SystemData.m_bScrollCarry) {
    m_dVX = AutoScrollX();
    if (m_bNoGravity) m_dVY = AutoScrollY();
  } else {
    m_dVX = 0;
    if (m_bNoGravity) m_dVY = 0;
  }
  m_bGravityOff = 0;
  m_bFrictionX = m_bFrictionY = 1;
  m_bHiddenThisStep = 0;
  m_bMoving = 0;
  if (m_nAirTimer > 0) --m_nAirTimer;
  UpdateFlowAnimes(*this);
  if (RunCharaFlowPass(*this, defeatMode, 1)) return 1;
  CurChara() = nullptr;
  CurFlow() = nullptr;
  CurCmd() = nullptr;
  FinishFlowPass(*this);
  if (!m_bMoving && m_dInertiaX == 0 && m_dInertiaY == 0) m_Anime.Change(m_bNoGravity ? 2 : 0, 1);
  return m_HP.m_nValue <= 0 ? 1 : 0;
}

namespace {

bool JumpBusy(const cCharaBase& c) {
  return c.m_bAirLock || c.m_bHeadBumped || c.m_bKnockedBack || c.m_nAirTimer;
}

void JumpSound(const cCharaBase& c, const cEdCmd* cmd, bool checkScreen) {
  if (!cmd) return;
  if (checkScreen && cmd->m_bSoundOnScreen && !c.m_bOnScreen) return;
  PlayDatabaseSound(cmd->m_sSound);
}

}  // namespace

void cChara::Jump(cCmdRun* run) {
  if (!run) return;
  if (g_SystemData.bCompatJump) {
    if (!JumpBusy(*this)) {
      run->m_bBegun = 1;
      JumpSound(*this, run->m_pCmd, false);
      m_dVY = run->m_dSpeed;
      m_bJumping = 1;
      m_bRiseEnded = 1;
      m_bRiding = 0;
    }
    return;
  }
  if (!run->m_bBegun) {
    if (!JumpBusy(*this)) {
      run->m_bBegun = 1;
      JumpSound(*this, run->m_pCmd, true);
      m_dVY = run->m_dSpeed;
      m_bJumping = 1;
      m_bRiseEnded = 1;
      m_bRiding = 0;
    } else if (run->m_nCount >= 4 * g_nHitLevel) {
      run->m_bBegun = 1;
      m_bHeadBumped = m_bKnockedBack = 0;
      run->m_nRemain = 0;
    }
    return;
  }
  if (IsOnGround()) {
    m_bHeadBumped = m_bKnockedBack = 0;
    run->m_nRemain = 0;
  }
}

namespace {

// The character's activation switch, or null when it has none or its number lies outside the
// switches (such a number sets and tests nothing).
std::uint8_t* ActivationSwitch(const sPassDef& def, cVector<std::uint8_t>& switches) {
  if (!def.bSetSwitch || def.sSwitch < 0 || def.sSwitch >= static_cast<int>(switches.size()))
    return nullptr;
  return &switches.data()[def.sSwitch];
}

}  // namespace

int cChara::CheckAppear(cVector<std::uint8_t>& switches) {
  m_bInSight = IsOnScreenAxes(m_bIgnoreX, m_bIgnoreY);
  if (m_bInSight)
    if (std::uint8_t* own = ActivationSwitch(PassDef(), switches)) *own = 1;
  return m_bInSight;
}

int cChara::CheckActive(cVector<std::uint8_t>& switches) {
  const sPassDef& def = PassDef();
  const std::uint8_t* own = ActivationSwitch(def, switches);
  const bool bySwitch = own && *own != 0;
  const bool ground = m_bNoGravity == 0;
  if (!(m_bInSight || bySwitch || (ground && m_bJumping) ||
        (ground && m_bActivatedOnce && m_bAirLock)))
    return 0;
  m_bActivatedOnce = 1;
  if (def.nActiveOpt == 1) m_bIgnoreX = m_bIgnoreY = 1;
  UpdateScreenRect();
  return 1;
}

void cChara::DrawMarkIcon(DDSURFACEDATA* target) {
  if (!m_DropItem.m_bCarried || !m_bOnScreen || m_Def.m_bTransparent ||
      m_DropItem.m_Def.m_bHidden)
    return;
  if (++m_nMarkCounter >= 96) m_nMarkCounter = 0;
  if (m_nMarkCounter < 64) return;
  const int x = m_Rect.m_nLeft + m_Rect.m_nWidth / 2 - m_DropItem.m_Rect.m_nWidth / 4;
  const int y = m_Rect.m_nTop - m_DropItem.m_Rect.m_nHeight / 2;
  DrawGraphicIcon(target, x, y, m_DropItem.m_Def.m_nGraphicKind, m_DropItem.m_Def.m_sGraphic,
                  m_DropItem.m_Def.m_sGraphicFrame);
}
