#pragma once
// A character of a stage that is not a hero: placed by the stage or summoned at run time. It
// completes the character base with its set-up from a definition, its hit boxes, its movement
// sub-steps and their contact codes, the per-sub-step run of its flows, the jump command,
// activation by the view or a shared switch, and the item it gives the hero on defeat.
#include <cstdint>

#include "foundation/containers.h"
#include "objects/chara_base.h"
#include "objects/item.h"

class cChara : public cCharaBase {
 public:
  cChara();
  // Builds a list node as a copy of another character (links are set afterwards by
  // InitTargets).
  cChara(const cChara& other);
  ~cChara() override;

  void OnScaled(int scale) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;
  cItem* GetDropItem() override { return &m_DropItem; }
  int OnPosChangedX() override;
  int OnPosChangedY() override;
  // One sub-step of movement; an eMoveResult code (4 the map's side, 7 fell out below the
  // stage, 8 a flyer at the map's top or bottom).
  int MoveStepX() override;
  int MoveStepY() override;
  // One sub-step of the flows; 1 when the character is to be defeated (or removed).
  int RunFlows(int defeatMode) override;
  void Jump(cCmdRun* run) override;

  // Builds the character from a definition (a scale of 0 is repaired to 1 in the definition
  // itself) at a spawn position, carrying a copy of item when one is given.
  void InitFromDef(int number, cEdChara& def, const cItem* item, double x, double y,
                   int copyIndex, cCharaBase* owner);
  // The view test: 1 when in sight; a character in sight sets its activation switch.
  int CheckAppear(cVector<std::uint8_t>& switches);
  // 1 when the character activates this sub-step.
  int CheckActive(cVector<std::uint8_t>& switches);
  // The icon of the carried item above the character, frames 64 to 95 of every 96.
  void DrawMarkIcon(DDSURFACEDATA* target);

  // (The view and activation flags live with the other flags in cCharaBase.)
  cItem m_DropItem;  // given to the hero on defeat; carried when its m_bCarried is 1
  std::int32_t m_nMarkCounter = 0;
};

// The first hero with the object number, else the first character of the list with it, else
// none. Items and shots are not searched.
cCharaBase* FindCharaByNumber(int number);

// The x and y auto-scroll speeds per sub-step that objects moving with the screen take: 0 on
// an axis held at its limit.
double AutoScrollX();
double AutoScrollY();

// Shared by the characters and the hero.
// A hit box's rectangle from the collision box's corner: left (top) = trunc(x) + offset.
void PlaceHitBoxX(sHitBox& box, double x);
void PlaceHitBoxY(sHitBox& box, double y);
// Offsets and sizes := s x their unscaled values.
void ScaleHitBox(sHitBox& box, int s);
// A box of width x height centred on the 32x32 cell, relative to the collision box's corner.
void SetHitBoxCentred(sHitBox& box, int width, int height, int cellOffsetX, int cellOffsetY);
// Before the pass: the character becomes the current one, and the play scene's notice that
// commands may have defeated others is taken back (the check it asked for ran after the flows
// that set it).
void BeginFlowPass(cCharaBase& chara);
// Steps every running flow once (in defeat mode only the defeat flows); 1 as soon as the
// character is to be removed (with checkRemove) or, outside defeat mode, has no HP left after
// a flow that is not a defeat flow.
int RunCharaFlowPass(cCharaBase& chara, int defeatMode, int checkRemove);
// After the pass: the flows flagged for deletion go, and stopped groups are cleared.
void FinishFlowPass(cCharaBase& chara);
