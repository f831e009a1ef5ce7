#pragma once
// The hero, the player's character: element 0 of g_Heroes is followed by the camera, picks up
// items, runs item commands and is watched by the death checks. It walks by its own rules
// (speed per sub-step, speed blocks, jumps whose height the player controls by holding a key),
// keeps an item pick-up box, defers flow changes that items ask for while its own flows run,
// and can show its boxes.
#include <cstdint>

#include "content/command.h"
#include "flows/flow_run.h"
#include "foundation/containers.h"
#include "objects/chara_base.h"

class cInputState;

// Kinds of the box display: the collision box, hit box A (against characters), the pick-up
// box, hit box B (against shots).
enum eHitRectKind : std::int32_t {
  HITRECT_COLLISION = 0,
  HITRECT_HIT_A = 1,
  HITRECT_PICKUP = 2,
  HITRECT_HIT_B = 3,
};

// One entry of the box display list.
struct sHitRect {
  std::int32_t nKind = 0;     // eHitRectKind
  std::int32_t nMode = 0;     // 0 none, 1 a frame one pixel thick, 2 filled
  std::int32_t nPalette = 0;  // 208 + 4 x colour number
  std::int32_t nX = 0, nY = 0;
  std::int32_t nWidth = 0, nHeight = 0;
  std::int32_t nCounter = 0;  // 0 to 31
};

class cHero : public cCharaBase {
 public:
  cHero();
  cHero(const cHero& other);
  ~cHero() override;

  void OnScaled(int scale) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;
  int OnPosChangedX() override { return FollowCameraX(); }
  int OnPosChangedY() override { return FollowCameraY(); }
  int MoveStepX() override;
  int MoveStepY() override;
  // One sub-step of the hero's flows, then the flow changes items asked for meanwhile; 1 when
  // HP is gone.
  int RunFlows(int deathRun) override;
  void Jump(cCmdRun* run) override;

  // Builds the hero from a definition (a scale of 0 is repaired to 1 in the definition itself)
  // at map pixel (x, y).
  void SetUpFromDef(int number, cEdChara& def, double x, double y, int extra);
  // The collision box of the present fly state: offset and size in the 32x32 cell.
  void GetBlockBox(int& offsetX, int& offsetY, int& width, int& height) const;
  void SetFlyMode(int kind, int rescale, int save, int restore);
  void BuildHitRects();
  // The camera follows the hero (unless the axis scrolls by itself); then the clamp of the fly
  // state.
  int FollowCameraX();
  int FollowCameraY();
  // The hero's own screen rectangle (moving with the auto-scroll in its own way).
  void UpdateScreenRect();
  void KeepPrevFloor() { m_pPrevFloorKey = m_pFloorKey; }
  // 1 while the grace period after a fly-mode change lasts (the saved position comes back
  // once when a restore was asked for).
  int RestoreIfBlocked();
  int HasNotPicked(int number) const;
  void RemovePicked(int number);
  // Runs an item's commands on the hero: 0 play goes on, 2 the hero is defeated, or the first
  // other non-zero answer of a command.
  int RunItemCmds(CmdVector& cmds);
  // A flow change asked for while the hero's flows run: it runs once they have run.
  void QueueItemCmd(const cEdCmd& cmd) { m_PendingItemCmds.push_back(cmd); }
  // A picked-up item's icon rising over the hero for 30 frames.
  void AddTextObject(int iconKind, int iconIndex, int iconCell);
  // The darkness mask over the screen, with its hole on the hero.
  void DrawLight(DDSURFACEDATA* target);

  cInputState* m_pInput = nullptr;
  std::int32_t m_nJumpHold = 0;
  std::int32_t m_bJumpHoldOk = 0;
  std::int32_t m_bNoJump = 0;
  double m_dBlockAccelUnit = 0;
  std::int32_t m_bJumpRun = 0;
  std::int32_t m_bPosSaved = 0;
  double m_SavedPos[4] = {0, 0, 0, 0};  // x, y, right, bottom
  std::int32_t m_bRestorePending = 0;
  cList<std::int32_t> m_PickedItems;
  std::int32_t m_nBlockEffect = 0;
  double m_dBlockEffectValue = 0;
  std::int32_t m_nBlockEffectTime = 0;
  std::int32_t m_nItemBlockWait = 0;
  sHitBox m_PickupBox;
  cVector<sHitRect> m_HitRects;
  cVector<cEdCmd> m_PendingItemCmds;
  cList<sArrange> m_PendingArranges;
};

// The height in half-blocks of a jump whose height follows the running speed: p2 at or above
// the threshold p1, p4 at or below p3 (thresholds in tenths of a pixel per frame), in between
// in proportion.
int JumpHeightBySpeed(int p1, int p2, int p3, int p4, double speed);
