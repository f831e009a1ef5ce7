#pragma once
// One shot or one sword swing of a character. A shot flies by its own rules (a base velocity,
// an optional acceleration, a guidance, a lifetime and a range); a sword stays beside its owner
// and plays the frames of its sword type, then ends. The play scene keeps every shot in its
// shot list and points at it from the list of its group.
#include <cassert>
#include <cstdint>

#include "content/shot.h"
#include "foundation/containers.h"
#include "objects/chara_base.h"
#include "objects/object.h"
#include "objects/object_lists.h"

struct DDSURFACEDATA;
class cDbSwordFrame;

// The volley record a firing operation hands to the formations and to cShot::SetUp.
struct sVolley {
  std::int16_t sCopyIndex = 0;  // becomes the object's copy index
  double dSpeed = 0;            // pixels per frame
  std::int32_t nAngle = 0;      // degrees
  std::int32_t nRange = 0;      // half-blocks
  std::int32_t nLifetime = 0;   // tenths of a second
  double dVX = 0, dVY = 0;      // pixels per frame
  std::int32_t nSpawnX = 0, nSpawnY = 0;  // top-left corner of the next object
  std::int32_t nBaseX = 0, nBaseY = 0;
  std::int32_t nStepX = 0, nStepY = 0;
  std::int32_t nRowStepX = 0, nRowStepY = 0;
  std::int32_t nCellWidth = 0, nCellHeight = 0;
  std::int32_t nLaunchX = 0, nLaunchY = 0;
  std::int32_t nDirection = 0;
};

// The switches of a shot's definition that the passes over every shot read each sub-step,
// kept beside the shot's state so that a pass need not reach into the definition.
struct sShotTraits {
  std::int8_t nGuide = 0;
  std::int8_t bRange = 0;
  std::int8_t bLifetime = 0;
  std::int8_t bPassesBlocks = 0;  // ShotPassesBlocks
  std::int8_t bBreakable = 0;     // ShotBreakable
  bool operator==(const sShotTraits&) const = default;
};
sShotTraits ShotTraitsOf(const cEdShot& def);

// Command kinds that make shot objects.
inline constexpr int kShotCmdKind = 11;
inline constexpr int kSwordCmdKind = 12;

class cShot : public cObject {
 public:
  cShot();
  cShot(const cShot& other);
  ~cShot() override;
  cShot& operator=(const cShot&) = delete;

  void OnScaled(int scale) override;
  // The vertical centre stays.
  void AdjustYForScale(int newScale, int oldScale) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;

  // Makes a shot (command kind 11) or a sword (12) of owner ready from a definition (a scale
  // of 0 is repaired to 1 in the definition itself) and a volley record.
  void SetUp(int number, cCharaBase& owner, int kind, cEdShot& def, const sVolley& volley);
  // One sub-step of the shot's own rules; 1 when it is to be removed.
  int Update();
  int UpdateSword();
  // The acceleration along a velocity (m_dAccel per sub-step).
  void CalcShotAccel(double& ax, double& ay, double vx, double vy) const;
  // The horizontal clamp to the whole map (a shot wider than the margin is never moved);
  // 3 when it was held at the map's side, else 0.
  int ClampX();
  int MoveX();
  int MoveY();
  // 1 when a map block stops the shot.
  int HitBlocks();
  void Draw(DDSURFACEDATA* target, int bStopped);
  // Removes the shot's links from its target and owner and forgets both.
  void Unlink();

  // The guidance toward an object: aiming once, and homing.
  void AimOnce(cObject& object);
  void AimAt(cObject& object);

  // The copy of the definition's switches. SetUp, the copy, and the range's end (the only
  // writers of m_Def during play) keep it; one who writes m_Def otherwise calls KeepTraits.
  // Debug builds check it where it is read.
  const sShotTraits& Traits() const {
    assert(m_Traits == ShotTraitsOf(m_Def) && "the shot's switches follow its definition");
    return m_Traits;
  }
  void KeepTraits() { m_Traits = ShotTraitsOf(m_Def); }

  // ---- fields ----
  // First those that the passes over every shot read each sub-step, right after the object's
  // own, so that they take as few cache lines as they can: the flight's state, then the
  // removal mark, the definition's switches and the hit box, which the hits read together.
  std::int32_t m_bIsShot = 0;
  std::int32_t m_nLifeLeft = 0;
  std::int32_t m_nRangeLeft = 0;
  std::int32_t m_bAccel = 0;
  std::int32_t m_bGuideDone = 0;
  std::int32_t m_nStep = 0;
  double m_dBaseVX = 0, m_dBaseVY = 0;
  std::int32_t m_bVanish = 0;  // set through MarkShotForRemoval
  sShotTraits m_Traits;  // read through Traits()
  // The hit trigger of the definition (ShotHitTriggerId, ShotHitTrigger), read on a meeting.
  std::int8_t m_cHitTriggerId = 0;
  std::int32_t m_bHitTrigger = 0;
  sHitBox m_HitBox;
  // Then the rest.
  std::int32_t m_nOwnerNumber = 0;
  std::int32_t m_nSwordFrame = 0;
  std::int32_t m_nGuideStart = 0;
  std::int32_t m_nGuideEnd = 0;
  double m_dAccel = 0;
  double m_dAimSpeed = 0;
  double m_dWavePhase = 0;
  double m_dWaveSin = 0, m_dWaveCos = 0;
  cList<cCharaBase*> m_HitCharas;
  cEdShot m_Def;                    // the shot's own copy of its definition
  cCharaBase* m_pTarget = nullptr;  // target character, or none
  cCharaBase* m_pOwner = nullptr;   // owner character, or none

  // Where AddShotToList put the shot (never copied with it): its list and its node there, and
  // the group list that holds its pointer (none when none) with that node. They let the shot
  // leave both lists without a search.
  cShotList* m_pInList = nullptr;
  cShotList::iterator m_ListPos{};
  cList<cShot*>* m_pInGroup = nullptr;
  cList<cShot*>::iterator m_GroupPos{};

 private:
  void RunGuide();
  void GuideAim(int kind);
  void GuideWave();
  void GuideFall();
  // The sword type's frame the sword shows, or null when the type has no such frame.
  const cDbSwordFrame* SwordFrame() const;
};

// The run-time meanings of the shot definition's stored fields: the record keeps its stored
// layout, and play reads the fields whose stored names say nothing of their use through
// these names.
inline int ShotBaseObject(const cEdShot& d) { return d.m_byReserved4; }
inline int ShotAimFlag(const cEdShot& d) { return d.m_byReserved6; }
inline int ShotAimSlot(const cEdShot& d) { return d.m_nTargetSlot; }
inline int ShotRotateFlag(const cEdShot& d) { return d.m_byReserved12; }
inline int ShotVanishOnHit(const cEdShot& d) { return d.m_byReserved27; }
inline int ShotTargetSlot(const cEdShot& d) { return d.m_nTargetSlot2; }
inline int ShotScreenBound(const cEdShot& d) { return d.m_bHoming; }
inline int ShotPassesBlocks(const cEdShot& d) { return d.m_nBlockMode == 1; }
inline int ShotPassesCharas(const cEdShot& d) { return d.m_byReserved45; }
inline int ShotPassesSolidCharas(const cEdShot& d) { return d.m_byReserved46; }
inline int ShotBreakable(const cEdShot& d) { return d.m_byReserved47; }
inline int ShotClashStrength(const cEdShot& d) { return d.m_nVanishValue; }
inline int ShotBlockChangeKind(const cEdShot& d) { return d.m_nBlockSummonMode; }
inline int ShotRefuseOnHero(const cEdShot& d) { return d.m_byReserved56; }
inline int ShotRefuseOnChara(const cEdShot& d) { return d.m_byReserved57; }
inline int ShotGroupChoice(const cEdShot& d) { return d.m_byReserved60; }
inline int ShotReverseFacing(const cEdShot& d) { return d.m_byReserved61; }
inline int ShotNoScore(const cEdShot& d) { return d.m_byReserved62; }
// The hit trigger: the owner hears of the shot's hits (its flows of the hit trigger start with
// this ID).
inline int ShotHitTrigger(const cEdShot& d) { return d.m_byReserved63; }
inline std::int8_t ShotHitTriggerId(const cEdShot& d) { return d.m_byReserved64; }
// Summons: the life switch and the life time in tenths of a second.
inline int SummonLifeOn(const cEdShot& d) { return d.m_bRange; }
inline int SummonLifeTime(const cEdShot& d) { return d.m_sRange; }

// The shot animation: 0 frames 0, 1, 2 for 7 ticks each, then the end; 1 frames 0 and 1 for
// 8 ticks each, looping.
const AnimeRuns& ShotAnimeRuns();

// Appends a copy of the shot to the list and a pointer to the copy to the list of its group
// in the play scene; the copy.
cShot& AddShotToList(cShotList& list, const cShot& shot);
// Removes the shot from its group's list and from the list; the next node.
cShotList::iterator EraseShot(cShotList& list, cShotList::iterator node);
// Removes the shot at this address from its group's list and from the list, when the list
// holds it.
void EraseShotAt(cShotList& list, cShot& shot);
int HasShotLink(const cVector<sShotLink>& links, const sShotLink& link);
// Marks a shot for removal with the finished shots of the attack hits (a shot that a command
// removes while the hits are under way).
void MarkShotForRemoval(cShot& shot);
// Whether a shot was marked since the last call, so that the attack hits look for the marked
// shots only then; the note is cleared.
bool TakeShotMarks();

// The nearest character of a group for the aiming guidance (none when there is none).
cCharaBase* NearestCharaForShot(const cShot& shot, int group);
