#include "objects/hero.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "content/block.h"
#include "content/command_tables.h"
#include "content/flow.h"
#include "flows/cmd_dispatch.h"
#include "flows/cmd_params.h"
#include "foundation/play_math.h"
#include "media/blit.h"
#include "media/sound.h"
#include "media/surface.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "play/input.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "play/scroll_axis.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

cHero::cHero() = default;

cHero::cHero(const cHero& other) : cCharaBase() {
  Copy(other);
  m_pInput = other.m_pInput;
  m_nJumpHold = other.m_nJumpHold;
  m_bJumpHoldOk = other.m_bJumpHoldOk;
  m_bNoJump = other.m_bNoJump;
  m_dBlockAccelUnit = other.m_dBlockAccelUnit;
  m_bJumpRun = other.m_bJumpRun;
  m_bPosSaved = other.m_bPosSaved;
  std::copy(std::begin(other.m_SavedPos), std::end(other.m_SavedPos), std::begin(m_SavedPos));
  m_bRestorePending = other.m_bRestorePending;
  m_PickedItems = other.m_PickedItems;
  m_nBlockEffect = other.m_nBlockEffect;
  m_dBlockEffectValue = other.m_dBlockEffectValue;
  m_nBlockEffectTime = other.m_nBlockEffectTime;
  m_nItemBlockWait = other.m_nItemBlockWait;
  m_PickupBox = other.m_PickupBox;
  m_HitRects = other.m_HitRects;
  m_PendingItemCmds = other.m_PendingItemCmds;
  m_PendingArranges = other.m_PendingArranges;
}

cHero::~cHero() = default;

void cHero::OnScaled(int s) {
  ScaleHitBox(m_HitBoxA, s);
  ScaleHitBox(m_HitBoxB, s);
  ScaleHitBox(m_PickupBox, s);
}

void cHero::UpdateHitBoxX() {
  PlaceHitBoxX(m_HitBoxA, m_dX);
  PlaceHitBoxX(m_HitBoxB, m_dX);
  PlaceHitBoxX(m_PickupBox, m_dX);
}

void cHero::UpdateHitBoxY() {
  PlaceHitBoxY(m_HitBoxA, m_dY);
  PlaceHitBoxY(m_HitBoxB, m_dY);
  PlaceHitBoxY(m_PickupBox, m_dY);
}

void cHero::SetUpFromDef(int number, cEdChara& def, double x, double y, int /*extra*/) {
  if (def.m_nScale == 0) def.m_nScale = 1;
  Reset(&def, x, y, 0);
  int offsetX = 0, offsetY = 0, w = 0, h = 0;
  GetBlockBox(offsetX, offsetY, w, h);
  SetUpBase(number, m_Def.m_nControl, m_Def.m_nInput, m_Def.m_nGroup, m_Def.m_sGraphic, nullptr,
            0, offsetX, offsetY, w, h, 32, 32, 1, MOVE_GROUND, 0);
  m_pInput = &GetInput(m_Def.m_nInput);
  SetFlyMode(m_Def.m_nFlyMode, 0, 0, 0);
  Scale(m_Def.m_nScale, 1);
  m_dBlockAccelUnit = 4.0 / g_dHitLevel;
  m_nFacing = m_Def.m_nFacing;
  m_nJumpHold = 0;
  m_bJumpHoldOk = 1;
  m_bNoJump = 0;
  m_bPosSaved = 0;
  m_bRestorePending = 0;
  m_nBlockEffect = 0;
  m_dBlockEffectValue = 0;
  m_nBlockEffectTime = 0;
  m_nItemBlockWait = 0;
  m_bHeadBumped = 0;
  BuildHitRects();
  m_PickedItems.clear();
  SetupFlows(*this, m_Def.m_Flows, 0, -1);
}

void cHero::GetBlockBox(int& offsetX, int& offsetY, int& width, int& height) const {
  const cStage& st = g_Stage;
  const bool flies = m_bNoGravity != 0;
  width = flies ? st.m_nHeroFlyW : st.m_nHeroW;
  height = flies ? st.m_nHeroFlyH : st.m_nHeroH;
  const int bottom = flies ? st.m_bHeroFlyBottom : st.m_bHeroBottom;
  offsetX = (32 - width) >> 1;
  offsetY = bottom ? 32 - height : (32 - height) >> 1;
}

void cHero::SetFlyMode(int kind, int rescale, int save, int restore) {
  const std::int32_t wasFlying = m_bNoGravity;
  const int oldKind = m_Def.m_nFlyMode;
  m_Def.m_nFlyMode = static_cast<std::uint8_t>(kind);
  SetMoveKind(kind);
  if (save) {
    m_bPosSaved = 1;
    m_SavedPos[0] = m_dX;
    m_SavedPos[1] = m_dY;
    m_SavedPos[2] = m_dRight;
    m_SavedPos[3] = m_dBottom;
  }
  if (kind != oldKind) {
    m_nFlyChangeTimer = 2;
    if (restore) m_bRestorePending = 1;
  }
  if (wasFlying && !m_bNoGravity) m_dVX = m_dVY = m_dInertiaX = m_dInertiaY = 0;
  if (m_bNoGravity && !g_SystemData.bCompatFlyMode) {
    m_bAirLock = 1;
    m_nAirTimer = g_nHitLevel8;
  }
  int offsetX = 0, offsetY = 0, w = 0, h = 0;
  GetBlockBox(offsetX, offsetY, w, h);
  m_nWidth = m_nBaseWidth = w;
  m_nHeight = m_nBaseHeight = h;
  m_Rect.m_nOffsetX = m_Rect.m_nBaseOffsetX = offsetX;
  m_Rect.m_nOffsetY = m_Rect.m_nBaseOffsetY = offsetY;
  m_Rect.m_nWidth = m_Rect.m_nBaseWidth = 32;
  m_Rect.m_nHeight = m_Rect.m_nBaseHeight = 32;
  const cStage& st = g_Stage;
  switch (m_Def.m_nHitSize) {
    case 0:
      if (m_bNoGravity)
        SetHitBoxA(st.m_bHeroFlyHitBottom, st.m_nHeroFlyHitW, st.m_nHeroFlyHitH);
      else
        SetHitBoxA(st.m_bHeroHitBottom, st.m_nHeroHitW, st.m_nHeroHitH);
      break;
    case 1:
      SetHitBoxA(0, st.m_nHeroHitBW, st.m_nHeroHitBH);
      break;
    case 2:  // the player's own shot box
      SetHitBoxA(0, st.m_nPlayerShotW, st.m_nPlayerShotH);
      break;
    case 3:
      SetHitBoxA(0, 32, 32);
      break;
    default:  // hit box A stays as it was
      break;
  }
  SetHitBoxCentred(m_HitBoxB, st.m_nHeroHitBW, st.m_nHeroHitBH, offsetX, offsetY);
  SetHitBoxCentred(m_PickupBox, st.m_nHeroBoxCW, st.m_nHeroBoxCH, offsetX, offsetY);
  if (rescale) {
    const int s = m_Def.m_nScale;
    m_nWidth *= s;
    m_nHeight *= s;
    m_Rect.m_nOffsetX *= s;
    m_Rect.m_nOffsetY *= s;
    m_Rect.m_nWidth *= s;
    m_Rect.m_nHeight *= s;
    for (sHitBox* box : {&m_HitBoxA, &m_HitBoxB, &m_PickupBox}) {
      box->m_nOffsetX *= s;
      box->m_nOffsetY *= s;
      box->m_nWidth *= s;
      box->m_nHeight *= s;
    }
  }
  BuildHitRects();
}

void cHero::BuildHitRects() {
  // The stage keeps the display settings in the order collision box, pick-up box, hit box B,
  // hit box A.
  struct sSource {
    int kind, setting, width, height;
  };
  const sSource sources[4] = {
      {HITRECT_COLLISION, 0, m_nWidth, m_nHeight},
      {HITRECT_PICKUP, 1, m_PickupBox.m_nWidth, m_PickupBox.m_nHeight},
      {HITRECT_HIT_A, 3, m_HitBoxA.m_nWidth, m_HitBoxA.m_nHeight},
      {HITRECT_HIT_B, 2, m_HitBoxB.m_nWidth, m_HitBoxB.m_nHeight},
  };
  m_HitRects.clear();
  for (const sSource& s : sources) {
    sHitRect r;
    r.nKind = s.kind;
    r.nMode = g_Stage.m_nShowMode[s.setting];
    r.nPalette = 208 + 4 * g_Stage.m_nShowColour[s.setting];
    r.nWidth = s.width;
    r.nHeight = s.height;
    m_HitRects.push_back(r);
  }
  std::stable_sort(m_HitRects.begin(), m_HitRects.end(), [](const sHitRect& a, const sHitRect& b) {
    return static_cast<std::int64_t>(a.nWidth) * a.nHeight >
           static_cast<std::int64_t>(b.nWidth) * b.nHeight;
  });
}

int cHero::FollowCameraX() {
  cScrollAxis& axis = ScrollAxisX();
  if (!axis.m_bAuto) {
    double camera = m_dX - (320 - (m_nWidth >> 1));
    if (axis.m_nMin > camera)
      camera = axis.m_nMin;
    else if (camera + 640 >= axis.m_nMax)
      camera = axis.m_nMax - 640;
    axis.m_dPos = camera;
  }
  const int code = ClampX(m_bNoGravity ? CLAMP_SCROLL : CLAMP_STAGE);
  m_dRight = m_dX + m_nWidth - 1;
  return code;
}

int cHero::FollowCameraY() {
  cScrollAxis& axis = ScrollAxisY();
  if (!axis.m_bAuto) {
    double camera = m_dY - (240 - (m_nHeight >> 1));
    if (axis.m_nMin > camera)
      camera = axis.m_nMin;
    else if (camera + 480 >= axis.m_nMax)
      camera = axis.m_nMax - 480;
    axis.m_dPos = camera;
  }
  return ClampY(m_bNoGravity ? CLAMP_SCROLL : CLAMP_STAGE);
}

void cHero::UpdateScreenRect() {
  const cScrollAxis& ax = ScrollAxisX();
  const cScrollAxis& ay = ScrollAxisY();
  std::int32_t left, top;
  if (ax.m_bAuto)
    left = SubWrap32(SubWrap32(TruncToInt32(m_dX), TruncToInt32(ax.m_dPos)), m_Rect.m_nOffsetX);
  else
    left = TruncToInt32(m_dX - ax.m_dPos - m_Rect.m_nOffsetX);
  if (ay.m_bAuto)
    top = SubWrap32(SubWrap32(TruncToInt32(m_dY), TruncToInt32(ay.m_dPos)), m_Rect.m_nOffsetY);
  else
    top = TruncToInt32(m_dY - ay.m_dPos - m_Rect.m_nOffsetY);
  m_Rect.m_nLeft = left;
  m_Rect.m_nTop = top;
  m_Rect.m_nRight = SubWrap32(AddWrap32(left, m_Rect.m_nWidth), 1);
  m_Rect.m_nBottom = SubWrap32(AddWrap32(top, m_Rect.m_nHeight), 1);
}

int cHero::MoveStepX() {
  if (m_dPushX != 0) {
    m_dVX = m_dPushX;
  } else if (m_dInertiaX != 0) {
    ApplyFriction(m_dInertiaX, m_bFrictionX);
    if (m_nBlockEffectTime != 0 && m_nBlockEffect == BLOCK_EFFECT_SPEED) {
      const double u = PerFrameToPerSubStep(m_dBlockAccelUnit);
      const double f = m_dBlockEffectValue;
      if (m_dInertiaX > 0) {
        m_dInertiaX = m_dInertiaX + u * (f - 1.0);
        if (m_dInertiaX < 0) m_dInertiaX = 0;
      } else {
        m_dInertiaX = m_dInertiaX - u * (f - 1.0);
        if (m_dInertiaX > 0) m_dInertiaX = 0;
      }
    }
    m_dVX = m_dVX + m_dInertiaX;
  }
  if (std::isnan(m_dVX)) m_dVX = 0;
  if (m_dVX > g_dSpeedMax) m_dVX = g_dSpeedMax;
  if (m_dVX < -g_dSpeedMax) m_dVX = -g_dSpeedMax;
  m_dX = m_dX + m_dVX;
  FollowCameraX();
  return 0;
}

int cHero::MoveStepY() {
  ApplyPushY();
  if (m_dPushY == 0 && m_bNoGravity && m_dInertiaY != 0) {
    ApplyFriction(m_dInertiaY, m_bFrictionY);
    m_dVY = m_dVY + m_dInertiaY;
  }
  const int code = MoveY(m_bNoGravity ? CLAMP_SCROLL : CLAMP_MAP);
  FollowCameraY();
  if (!m_bNoGravity && (code == MOVE_BELOW_STAGE || code == MOVE_AT_MAP_BOTTOM)) return MOVE_CRUSHED;
  return code;
}

int cHero::RunFlows(int deathRun) {
  cFlowContextGuard context;  // every return gives back the context found
  BeginFlowPass(*this);
  const double autoX = AutoScrollX();
  const double autoY = AutoScrollY();
  if (g_SystemData.m_bScrollCarry) {
    if (m_bNoGravity) {
      m_dVX = autoX;
      m_dVY = autoY;
    } else {
      m_dVX = 0;
    }
  } else if (m_bScreenBound) {
    m_dVX = autoX;
    if (m_bNoGravity) m_dVY = autoY;
  } else {
    m_dVX = 0;
    if (m_bNoGravity) m_dVY = 0;
  }
  m_bGravityOff = 0;
  m_bFrictionX = m_bFrictionY = 1;
  m_bHiddenThisStep = 0;
  m_bMoving = 0;
  m_bJumpRun = 0;
  if (m_nFlyChangeTimer > 0 && --m_nFlyChangeTimer == 0) m_bRestorePending = 0;
  UpdateFlowAnimes(*this);
  if (RunCharaFlowPass(*this, deathRun, 0)) return 1;
  CurChara() = nullptr;
  CurFlow() = nullptr;
  CurCmd() = nullptr;
  if (!m_PendingItemCmds.empty()) {
    cVector<cEdCmd> queue;
    queue.swap(m_PendingItemCmds);
    for (cEdCmd& cmd : queue) ItemCmd_FlowOperation(this, cmd, 1);
  }
  FinishFlowPass(*this);
  if (!m_bMoving && m_dInertiaX == 0 && m_dInertiaY == 0) m_Anime.Change(m_bNoGravity ? 2 : 0, 1);
  if (!m_bJumpRun) {
    m_nJumpHold = 0;
    m_bJumpHoldOk = 1;
    m_bHeadBumped = 0;
  }
  return m_HP.m_nValue <= 0 ? 1 : 0;
}

namespace {

int CmdParam(const cEdCmd* cmd, int i) {
  if (!cmd || i >= static_cast<int>(cmd->m_Params.size())) return 0;
  return cmd->m_Params.data()[i];
}

void PlayCmdSound(const cEdCmd* cmd) {
  if (cmd) PlayDatabaseSound(cmd->m_sSound);
}

int CurrentSubStep() { return g_pPlayScene ? g_pPlayScene->m_nSubStep : 0; }

}  // namespace

int JumpHeightBySpeed(int p1, int p2, int p3, int p4, double speed) {
  const double t1 = p1 / (10 * g_dHitLevel);
  const double t3 = p3 / (10 * g_dHitLevel);
  const double a = std::fabs(speed);
  if (a >= t1) return p2;
  if (a <= t3) return p4;
  return TruncToInt32((p2 - p4) * a / t1 + p4);
}

void cHero::Jump(cCmdRun* run) {
  if (!run || m_bNoGravity || m_bJumpRun) return;
  const cEdCmd* cmd = run->m_pCmd;
  const int kind = CmdParam(cmd, 0);
  cFlowRun* flow = CurFlow();
  const bool keyConds = flow && !flow->m_KeyConds.empty() && flow->m_KeyConds.back();
  bool held = kind == 0;
  if (!held && keyConds && m_pInput) held = CheckKeyCond(*flow->m_KeyConds.back(), *m_pInput) != 0;
  if (kind == 2) {
    const int height = JumpHeightBySpeed(CmdParam(cmd, 1), CmdParam(cmd, 2), CmdParam(cmd, 3),
                                         CmdParam(cmd, 4), m_dInertiaX);
    run->m_dSpeed = JumpSpeed(height * 16.0);
  }
  if (held && !m_bNoJump) {
    ++m_nJumpHold;
    if (m_nJumpHold >= run->m_nDuration && (!m_bRiseEnded || m_bRiding) && m_bJumpHoldOk &&
        !m_bHeadBumped && (m_dVY < 0 || m_bRiding)) {
      m_bRiseEnded = 1;
      m_bJumpHoldOk = 0;
    } else if (!m_bAirLock && m_nJumpHold <= g_nHitLevel && (!m_bRiseEnded || m_bRiding) &&
               m_bJumpHoldOk && !m_bHeadBumped && !m_bKnockedBack && !run->m_bBegun) {
      m_bJumping = 1;
      if (!m_bRiding) {
        m_dVY = run->m_dSpeed;
        run->m_bBegun = 1;
        PlayCmdSound(cmd);
      } else if (CurrentSubStep() == g_nHitLevel) {
        m_bRiding = 0;
        m_dVY = run->m_dSpeed * 1.0199999809265137;
        run->m_bBegun = 1;
        PlayCmdSound(cmd);
      }
    }
  } else {
    if (m_nJumpHold > 0 && m_nJumpHold < run->m_nDuration && !m_bRiseEnded && !m_bHeadBumped &&
        !m_bNoJump && !m_bKnockedBack) {
      m_bRiding = 0;
      if (m_dVY < 0) m_dVY = m_dVY * 0.3;
      m_bRiseEnded = 1;
    }
    m_nJumpHold = 0;
    m_bJumpHoldOk = 1;
    m_bHeadBumped = 0;
  }
  if (IsOnGround() && m_dVY >= 0) {
    if (!keyConds) {
      m_nJumpHold = 0;
      m_bJumpHoldOk = 1;
      m_bHeadBumped = m_bKnockedBack = 0;
      run->m_bBegun = 0;
    } else if (!held) {
      m_nJumpHold = 0;
      m_bJumpHoldOk = 1;
      m_bHeadBumped = m_bKnockedBack = 0;
      run->m_nRemain = 0;
    }
  }
  m_bJumpRun = 1;
}

int cHero::RestoreIfBlocked() {
  if (m_nFlyChangeTimer <= 0) return 0;
  if (m_bRestorePending && m_bPosSaved) {
    m_bRestorePending = 0;
    m_dX = m_SavedPos[0];
    m_dY = m_SavedPos[1];
    m_dRight = m_SavedPos[2];
    m_dBottom = m_SavedPos[3];
  }
  return 1;
}

int cHero::HasNotPicked(int number) const {
  return std::find(m_PickedItems.begin(), m_PickedItems.end(), number) == m_PickedItems.end();
}

void cHero::RemovePicked(int number) {
  auto it = std::find(m_PickedItems.begin(), m_PickedItems.end(), number);
  if (it != m_PickedItems.end()) m_PickedItems.erase(it);
}

int cHero::RunItemCmds(CmdVector& cmds) {
  if (g_pPlayScene) g_pPlayScene->m_bItemMsg = 0;
  for (std::size_t i = 0; i < cmds.size(); ++i) {
    cEdCmd& cmd = cmds.data()[i];
    // The queued arrange entries belong to the next command that is not an arrange, which
    // takes them whatever its kind.
    if (cmd.m_nKind != ITEMCMD_ARRANGE) {
      ApplyHeroArranges(cmd, *this);
      m_PendingArranges.clear();
    }
    const int result = ExecItemCmd(this, cmd);
    if (m_HP.m_nValue <= 0) return 2;
    if (result != 0) return result;
  }
  return m_HP.m_nValue <= 0 ? 2 : 0;
}

void cHero::DrawLight(DDSURFACEDATA* target) {
  if (!target || m_Def.m_nLight == 0) return;
  DDSURFACEDATA* light = &g_SystemSurface[kDarknessSurface];
  const int W = light->nWidth, H = light->nHeight;
  if (W < 640 || H < 480) return;
  const int r = m_nSightRange;
  std::int64_t sx = (W >> 1) - (m_Rect.m_nWidth >> 1) - static_cast<std::int64_t>(m_Rect.m_nLeft);
  std::int64_t sy = (H >> 1) - (m_Rect.m_nHeight >> 1) - static_cast<std::int64_t>(m_Rect.m_nTop);
  if (m_Def.m_nLight == 2 || m_Def.m_nLight == 4) {
    const int s = GetFacingSign();
    sx = sx + s * (m_Rect.m_nWidth >> 1) - static_cast<std::int64_t>(s) * r;
  }
  sx = std::clamp<std::int64_t>(sx, 0, W - 640);
  sy = std::clamp<std::int64_t>(sy, 0, H - 480);
  DDBlt(target, 0, 0, 640, 480, light, static_cast<int>(sx), static_cast<int>(sy), DDBLT_KEY);
}
