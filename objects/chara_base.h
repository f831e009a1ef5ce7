#pragma once
// The common part of every character (computer characters and heroes): a private copy of its
// definition, the run-time flows, four target slots and an owner with the back-references
// that keep them safe when objects go, HP and SP, the movement and contact state, variables,
// immunity, one-shot animations, the character effect and two hit boxes.
#include <cassert>
#include <cstdint>
#include <list>

#include "content/chara.h"
#include "flows/flow_run.h"
#include "foundation/containers.h"
#include "objects/object_lists.h"
#include "objects/object.h"
#include "play/chara_effect.h"

class cCharaBase;
class cItem;
class cMapCell;
class cShot;
class cEdCond;
class cEdMove;
struct DDSURFACEDATA;
struct sGraphicSrc;

// Another object's reference to a character: slot 0 to 3, the object holds it in target
// slot tg1 to tg4; 4, the object has it as its owner.
struct sTargetRef {
  cCharaBase* pObject = nullptr;
  std::int32_t nSlot = 0;
  bool operator==(const sTargetRef&) const = default;
};
inline constexpr int kOwnerSlot = 4;
inline constexpr int kTargetSlots = 4;

// A shot that refers to a character: kind 0 as its target, 4 as its owner.
struct sShotLink {
  cShot* pShot = nullptr;
  std::int32_t nKind = 0;
};

// A hit box: the rectangle in map pixels, then its place relative to the collision box's
// corner and its size (scaled, then unscaled).
struct sHitBox {
  sDRect m_Rect;
  std::int32_t m_nOffsetX = 0, m_nOffsetY = 0, m_nWidth = 0, m_nHeight = 0;
  std::int32_t m_nBaseOffsetX = 0, m_nBaseOffsetY = 0, m_nBaseWidth = 0, m_nBaseHeight = 0;
  void Clear() { *this = sHitBox{}; }
};

// An animation that plays on top of the character.
class cOneShotAnime {
 public:
  cAnime m_Anime;
  std::int32_t m_bStart = 1;
  std::int32_t m_nFramesLeft = 0;
  std::int32_t m_nHoldFrames = 0;
  std::int32_t m_nKey = 0;  // serial of the flow instance that started it
  std::int32_t m_bPaused = 0;
};

// HP or SP with its gauge animation (50 pixels long).
struct sStatus {
  std::int32_t m_nValue = 0;
  std::int32_t m_nGauge = 0;  // frames left to show the gauge
  double m_dChange = 0;       // the last change x 50 / maximum
  double m_dStep = 0;         // change / 60
  std::int32_t m_nBar = 0;    // value x 50 / maximum
};

// Immunity against one attacker.
struct sImmunity {
  std::int32_t m_nKey = 0;   // the attacker's object number
  std::int32_t m_nLeft = 0;  // sub-steps
};

// Counts every change that can alter which characters are solid or where they stand in their
// list: a character made, copied, set up from a definition or destroyed. Caches kept over the
// character list compare it.
extern std::uint64_t g_nCharaChangeCount;

// The settings of a character's definition that the passes over every character read each
// sub-step, kept beside its flags so that a pass need not reach into the definition.
struct sPassDef {
  std::uint8_t bSolid = 0;      // no hit box
  std::uint8_t bConds = 0;      // it has appearance conditions
  std::uint8_t bSetSwitch = 0;  // it sets and tests activation switch sSwitch
  std::uint8_t nActiveOpt = 0;
  std::int16_t sSwitch = 0;
  bool operator==(const sPassDef&) const = default;
};
inline sPassDef PassDefOf(const cEdChara& def) {
  sPassDef p;
  p.bSolid = def.m_bNoHitBox != 0 ? 1 : 0;
  p.bConds = def.m_Conds.empty() ? 0 : 1;
  p.bSetSwitch = def.m_bSetSwitch;
  p.nActiveOpt = def.m_nActiveOpt;
  p.sSwitch = def.m_sSwitch;
  return p;
}

inline constexpr int kFlowGroups = 27;
inline constexpr int kCharaVariables = 9;

class cCharaBase : public cObject {
 public:
  cCharaBase();
  cCharaBase(const cCharaBase&) = delete;
  ~cCharaBase() override;

  // ---- virtual operations after those of cObject ----
  void AdjustYForScale(int newScale, int oldScale) override;
  void SetCentre(int x, int y) override;
  void SetCentreAndStop(int x, int y, cCmdRun* run) override;
  void SetCentreX(int x) override;
  void SetCentreXAndStop(int x, cCmdRun* run) override;
  void SetCentreY(int y) override;
  void SetCentreYAndStop(int y, cCmdRun* run) override;
  // Copies every field of another character except the no-unlink flag; the flow runs are
  // pointed at this character's own definition copy.
  virtual void Copy(const cCharaBase& other);
  // The item given to the hero on defeat.
  virtual cItem* GetDropItem() { return nullptr; }
  virtual int OnPosChangedX() { return 0; }
  virtual int OnPosChangedY() { return 0; }
  virtual int MoveStepX() { return 0; }
  virtual int MoveStepY() { return 0; }
  // One frame of the flows; 1 when the character is to be defeated.
  virtual int RunFlows(int defeatMode) { return 0; }
  virtual void Jump(cCmdRun* run) {}

  // ---- construction, links, placement ----
  void Reset(const cEdChara* def, double spawnX, double spawnY, int copyIndex);
  void SetAnimeSet(int set, int force);
  void SetHitBoxA(int bottomAligned, int width, int height);
  void InitTargets(cCharaBase* owner);
  void UnlinkReferences();
  void SetBlockPos(int column, int row);
  void SetBlockPosX(int column);
  void SetBlockPosY(int row);
  void RemoveOneShotAnime(int key);
  void StopOneShotAnime(int key);
  void ResumeOneShotAnime(int key);

  // ---- flow triggers (the flow set-up completes them) ----
  void FireTrigger(int trigger);
  void FireTriggerEx(int trigger, cCharaBase* partner, int id);

  // ---- movement ----
  double JumpSpeed(double height) const;
  double JumpSpeedFromHalfBlocks(std::int8_t halfBlocks) const;
  int JumpTimeTenths(std::int8_t halfBlocks) const;
  void ClearContacts() {
    m_bContactLeft = m_bContactRight = m_bContactTop = m_bContactBottom = 0;
  }
  void ApplyCharaGravity();
  int IsOnGround();
  void OnLand();
  void OnHitCeiling();
  void Unride(int dismount);
  void SavePos() {
    m_SavedExtent.m_dLeft = m_dX;
    m_SavedExtent.m_dTop = m_dY;
    m_SavedExtent.m_dRight = m_dRight;
    m_SavedExtent.m_dBottom = m_dBottom;
  }
  void RestorePos();
  void ApplyKnockback(int strength, double dirX, double dirY);
  void KnockbackFromChara(const cCharaBase& attacker);
  void KnockbackFromShot(const cShot& shot);
  void ApplyPushY();
  void DecayPushX();
  void DecayPushY();

  // ---- movement commands: a move record turned into a velocity ----
  // The run's angle: angle + per copy x copy index, mirrored for a character placed facing
  // right, brought below 360.
  void InitMoveAngle(cCmdRun& run);
  // The run's target offset in pixels, mirrored for a character placed facing right.
  void InitMoveTarget(cCmdRun& run);
  // A direction choice (eMoveDir) to a direction code 2, 3, 6 to 11 (other choices as given);
  // the input choice reads the running flow's first key, or with liveInput the character's
  // input record now. Without allowDiagonals the diagonals fold onto left and right.
  int ResolveMoveDir(int choice, int liveInput, int allowDiagonals);
  // The velocity of a direction choice; the facing request (1 left, 2 right) is written only
  // while the facing is not fixed.
  void DirToVelocity(double speed, int choice, double& vx, double& vy, std::int32_t& request);
  void AngleDirToVelocity(double speed, int choice, int angle, double& vx, double& vy,
                          std::int32_t& request);
  // The run's velocity and request toward a point given as the move record says; with the
  // arrival count on, the run's remaining sub-steps become the steps to the point.
  void AimAtPoint(double speed, int tx, int ty, const cEdMove& move, cCmdRun& run);
  // The ground move's velocity and turn: after leaving a solid character, or at a ledge.
  void ProbeGroundTurn(const cCmdRun& run, double& vx, double& vy, std::int32_t& request);
  // The run's velocity toward (x, y) along the axes the move record leaves free.
  void MoveTowardTarget(cCmdRun& run, const cEdMove& move, cCharaBase* target, double x,
                        double y);
  // The velocity that brings a character leaving the screen back toward it.
  void CalcAvoidOffscreen(const cCmdRun& run, const cEdMove& move, double& vx, double& vy);
  // The common step of the moves: the facing request, then the velocity added (or, for an
  // inertial move, the acceleration), then the walking animation.
  void ApplyCmdMove(double vx, double vy, int request, cCmdRun& run, const cEdMove& move,
                    int forceFacing);
  // The animation of a moving character: the walking run, or the flying one.
  void ShowMoveAnime();

  // ---- statuses ----
  int AddHP(int change, int force, int withGauge);
  void StartHPGauge(int change);
  int AddSP(int change, int withGauge);
  void StartSPGauge(int change);
  void StartInvincible();
  void AddImmunity(int key);
  void TickImmunity();
  int IsInvincible() const;
  int IsImmuneTo(int key) const;
  int TakeDamage(cCharaBase& attacker);
  int TakeShotDamage(cShot& shot);
  void FireAttackTriggers(cCharaBase& attacker);
  void FireShotTriggers(cShot& shot);
  int OnDead();
  int CheckStatusCond(const cEdCond& cond);
  int CheckStateCond(const cEdCond& cond);
  int CheckDistanceCond(const cEdCond& cond);
  void DrawDistanceArea(DDSURFACEDATA* target, const cEdCond& cond, int counter);

  // ---- drawing, once per frame (frozen: the frame is drawn without time passing) ----
  // Steps the animations; the frame to show: the newest one-shot animation that is not
  // paused, else the base animation.
  int UpdateAnimes(int frozen);
  // The graphic offset of the character's state (flying, without hit box, invincible); sets
  // the source's blend for the invincible colour.
  int GetGraphicOffset(sGraphicSrc& src) const;
  // Draws the character through its running character effect, then its icon.
  void Draw(DDSURFACEDATA* target, int frozen);
  // The finishing of a finished character; 1 once it may be removed.
  int RunEndEffect(DDSURFACEDATA* target, int frozen);
  // Advances the running character effect without drawing; the handler's result.
  int RunCharaEffect(int frozen);
  // The small HP and SP gauges above the cell while a change shows.
  void DrawHPGauge(DDSURFACEDATA* target);
  void DrawSPGauge(DDSURFACEDATA* target);

  // The copy of the definition's pass settings. Reset and Copy, the only writers of m_Def
  // during play, keep it; debug builds check it where it is read.
  const sPassDef& PassDef() const {
    assert(m_PassDef == PassDefOf(m_Def) && "the pass settings follow the definition");
    return m_PassDef;
  }

  // Signed readings of the definition's bytes.
  std::int8_t Impact() const { return static_cast<std::int8_t>(m_Def.m_nImpact); }
  std::int8_t ImpactResist() const { return static_cast<std::int8_t>(m_Def.m_nImpactResist); }

  // ---- fields ----
  // First those that the passes over every character read each sub-step, together.
  std::int32_t m_bFinished = 0;
  sPassDef m_PassDef;  // read through PassDef()
  // The view and activation of a computer character (a hero leaves them alone).
  std::int32_t m_bInSight = 0;
  std::int32_t m_bActivated = 0;
  std::int32_t m_bIgnoreX = 0, m_bIgnoreY = 0;
  std::int32_t m_bActivatedOnce = 0;
  std::int32_t m_bAirLock = 0;
  std::int32_t m_bJumping = 0;
  std::int32_t m_nInvincibleTimer = 0;
  std::int32_t m_bContactLeft = 0, m_bContactRight = 0, m_bContactTop = 0, m_bContactBottom = 0;
  std::int32_t m_bRiding = 0;
  std::int32_t m_bAnchorX = 0, m_bAnchorY = 0;
  // Then what a character's flow pass reads and sets of it each sub-step, together.
  FlowRunVector m_FlowRuns;
  // Bit t set when some run's flow has trigger t (0 to 31): a trigger no flow waits for is
  // answered without walking the runs. Kept by RefreshFlowSummary wherever runs change.
  std::uint32_t m_nFlowTriggerMask = 0;
  // Some run has animations to start (sFlowAnime entries); without any, the runs are not
  // walked for them. Kept with the mask.
  std::uint8_t m_bFlowAnimes = 0;
  std::int32_t m_bGroupStopped = 0, m_bFlowDeleteReq = 0;
  std::int32_t m_bMoving = 0;
  std::int32_t m_bGravityOff = 0;
  std::int32_t m_nAirTimer = 0;
  std::int32_t m_bRemoveReq = 0;
  std::int32_t m_bHiddenThisStep = 0;
  sStatus m_HP;
  cList<sImmunity> m_Immunity;
  sDRect m_SavedExtent;
  std::int32_t m_nBlockSide = -1;  // side of the last block contact: 0 left, 1 right
  std::int32_t m_bRiseEnded = 0;
  // The hit boxes: placed with the position at each step, read by the attack hits. In a node
  // of the character list each lies on a cache line of its own.
  sHitBox m_HitBoxA, m_HitBoxB;
  std::int32_t m_bNoUnlink = 0;    // a probe copy: the destructor leaves the links alone
  cVector<cCharaBase*> m_Targets;  // tg1 to tg4
  cCharaBase* m_pOwner = nullptr;
  cVector<sTargetRef> m_BackRefs;
  cVector<sShotLink> m_ShotLinks;
  std::int32_t m_bOwnerNotify = 0;
  std::uint8_t m_nOwnerNotifySlot = 0;
  cEdChara m_Def;
  std::int32_t m_nFlowSerial = 0;
  cVector<std::uint8_t> m_RunningGroups, m_StoppedGroups, m_StartedGroups;
  double m_dSpawnX = 0, m_dSpawnY = 0;
  double m_dPushX = 0, m_dPushY = 0;
  std::int32_t m_bKnockedBack = 0;
  double m_dAppliedPushY = 0;
  std::int32_t m_bHeadBumped = 0;
  cMapCell* m_pGroundBlock = nullptr;
  cMapCell* m_pFloorKey = nullptr;
  cMapCell* m_pPrevFloorKey = nullptr;
  std::int32_t m_nFlyChangeTimer = 0;
  std::int32_t m_nAnchorLeft = 0, m_nAnchorTop = 0;
  std::int32_t m_nFinishWait = 0;
  std::int32_t m_bDismounted = 0;
  std::int32_t m_nRiddenNumber = 0;
  sDRect m_RiddenBox;
  sStatus m_SP;
  cVector<std::int32_t> m_Vars;
  cList<cOneShotAnime> m_OneShotAnime;
  cCharaEffect m_CharaEffect;
  std::int32_t m_nSightRange = 0;  // pixels
  std::int32_t m_nAnimeSet = 0;  // the animation set the sequencer was built from

 protected:
  cCharaBase& operator=(const cCharaBase&) = default;
};

// The source of a graphic: the surfaces for the object's facing and the other one, the pair
// that drawing uses, the cell layout of a dedicated bitmap and the cell's corner.
struct sGraphicSrc {
  DDSURFACEDATA* pA = nullptr;
  DDSURFACEDATA* pB = nullptr;
  DDSURFACEDATA* pAOther = nullptr;
  DDSURFACEDATA* pBOther = nullptr;
  DDSURFACEDATA* pDraw = nullptr;
  DDSURFACEDATA* pDrawOther = nullptr;
  std::int32_t bOwnCellSize = 0;
  std::uint8_t nCellBlocks = 1;
  std::int32_t nSrcX = 0, nSrcY = 0;
  // Drawn through the blend pair {ARGB colour, colour operation} (the Direct3D behaviour).
  std::int32_t bBlend = 0;
  int Blend[2] = {0, 0};
};

// Graphic source modes: 1 an object (its facing, frame offset added), 2 an item's cell.
enum eGraphicSrcMode : int { GRAPHIC_SRC_PLAIN = 0, GRAPHIC_SRC_OBJECT = 1, GRAPHIC_SRC_ITEM = 2 };

void SetGraphicSource(sGraphicSrc& out, int mode, int kind, int number, int frame,
                      const cObject* object, int frameOffset);
// A 16x16 icon of a graphic at (x, y) with the colour key.
void DrawGraphicIcon(DDSURFACEDATA* target, int x, int y, int kind, int number, int frame);
// Entry of the system surfaces, or null outside them.
DDSURFACEDATA* SystemSurfaceEntry(int entry);
// The character or shot sheet entry to draw from (the second copy in DirectDraw mode).
int SelectSheetSurface(int entry, int preferSecond);
// The work surfaces through which character effects draw: slot 0 the mark sheet, 1 the
// screen-sized work surface, 2 the large work surface (the screen-sized one in DirectDraw).
void SelectCharaSurfaces();
int CharaWorkSurface(int slot);

// Takes a character out of the play scene's group list it is in: its group's, or list 0 for
// a group beyond the lists (where a summon put it).
void LeaveGroupList(cCharaBase& chara);
// The character list's node removal: unlinks the character, takes it out of its group list
// and the character list, and gives the next node.
class cChara;
cCharaList::iterator EraseCharaNode(cCharaList::iterator node);

// Hero 0, the player's character, or null before a stage has one.
cCharaBase* FirstHero();

// Push speeds that cover 16 x |strength| pixels, split along the direction.
void CalcPushSpeeds(double& pushX, double& pushY, int strength, double dirX, double dirY);

// Draws the distance areas of every character on screen (checking a stage).
void DrawDistanceAreas(DDSURFACEDATA* target);

// At 8 bits with the palette animation on, the palette itself cycles the box and area
// colours; otherwise drawing steps through them.
bool PaletteAnimates();
