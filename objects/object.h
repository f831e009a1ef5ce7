#pragma once
// The base of every object that lives in a running stage (characters, the heroes, items,
// shots and swords): identity, facing, graphic and sequencer, the collision box in map pixels,
// speeds per sub-step, and the primitives of the object physics that the subclasses and the
// play scene combine each sub-step.
#include <cstdint>

#include "foundation/containers.h"
#include "media/anime.h"
#include "objects/play_units.h"

class cCharaBase;
class cCmdRun;
class cEraseArea;

// Where the graphic cell lies on the 640x480 screen, and its geometry (scaled, then unscaled).
struct sDrawRect {
  std::int32_t m_nLeft = 0, m_nTop = 0, m_nRight = 0, m_nBottom = 0;
  std::int32_t m_nOffsetX = 0, m_nOffsetY = 0;  // cell corner to collision box corner
  std::int32_t m_nWidth = 0, m_nHeight = 0;     // cell size
  std::int32_t m_nBaseOffsetX = 0, m_nBaseOffsetY = 0;
  std::int32_t m_nBaseWidth = 0, m_nBaseHeight = 0;
};

// A rectangle in map pixels (closed on both axes).
struct sDRect {
  double m_dLeft = 0, m_dTop = 0, m_dRight = 0, m_dBottom = 0;

  void Clear() { *this = sDRect{}; }
  void Copy(const sDRect& other) { *this = other; }
  // Neither lies strictly left of, right of, above or below the other.
  bool Overlaps(const sDRect& other) const {
    return !(m_dRight < other.m_dLeft || other.m_dRight < m_dLeft || m_dBottom < other.m_dTop ||
             other.m_dBottom < m_dTop);
  }
};

// The definition's fly option.
enum eMoveKind : std::int32_t {
  MOVE_GROUND = 0,
  MOVE_FLY_THROUGH = 1,  // "ON (ブロックをすり抜ける)"
  MOVE_FLY = 2,          // "ON (ブロックに当たる)"
  MOVE_FLY_DIE = 3,      // "ON (ブロックに当たると即死)"
};

enum eBlockPass : std::int8_t {
  BLOCKPASS_THROUGH = 0,
  BLOCKPASS_COLLIDE = 1,
  BLOCKPASS_DIE = 2,
};

// Contact codes of the clamps and moves.
enum eMoveResult : std::int32_t {
  MOVE_INSIDE = 0,          // inside the scroll range
  MOVE_OUT_OF_SCROLL = 1,   // partly outside the scroll range (y: above it)
  MOVE_IN_MARGIN = 2,       // partly in the stage margins (y: above the stage area)
  MOVE_AT_MAP_EDGE = 3,     // clamped at the map's left or right edge (y: its top)
  MOVE_BELOW_SCROLL = 4,    // y: below the scroll range (x: reported by characters for 3)
  MOVE_BELOW_STAGE = 5,     // y: below the stage area
  MOVE_AT_MAP_BOTTOM = 6,   // y: clamped at the map's bottom
  MOVE_CRUSHED = 7,         // added by the characters' vertical step
  MOVE_FELL = 8,
};

// Clamp modes: the scroll range, the stage area, the whole map.
enum eClampMode : int { CLAMP_SCROLL = 0, CLAMP_STAGE = 1, CLAMP_MAP = 2 };

class cObject {
 public:
  cObject();
  cObject(const cObject& other);
  virtual ~cObject();

  // ---- virtual operations, in slot order ----
  // Copies every field of the object part of another object.
  virtual void CopyFrom(const cObject& other);
  // Changes the integer scale factor (1 = normal size): sizes, then position, then OnScaled.
  virtual void Scale(int newScale, int oldScale);
  virtual void OnScaled(int scale) {}
  virtual void AdjustYForScale(int newScale, int oldScale) {}
  virtual void UpdateHitBoxX() {}
  virtual void UpdateHitBoxY() {}
  virtual void SetCentre(int x, int y) {}
  virtual void SetCentreAndStop(int x, int y, cCmdRun* run) {}
  virtual void SetCentreX(int x) {}
  virtual void SetCentreXAndStop(int x, cCmdRun* run) {}
  virtual void SetCentreY(int y) {}
  virtual void SetCentreYAndStop(int y, cCmdRun* run) {}

  // ---- operations ----
  // Stores identity, graphic, sizes (each both scaled and unscaled), facing and move kind;
  // life unlimited; with an animation table, starts sequence startRun (forced). Speeds and
  // the present, on-screen and appearance flags are cleared; the position is not touched.
  void SetUpBase(int number, int control, int input, int group, int graphic,
                 const AnimeRuns* anime, int startRun, int offsetX, int offsetY, int width,
                 int height, int cellWidth, int cellHeight, int facing, int moveKind,
                 int copyIndex);
  void SetMoveKind(int kind);
  // Both axes' adjustment to a new scale: x keeps the horizontal centre, then y by the
  // subclass.
  void AdjustForScale(int newScale, int oldScale);
  void AdjustXForScale(int newScale, int oldScale);

  // Holds the box inside the mode's area and reports the contact (eMoveResult); then
  // refreshes the right (bottom) edge, the hit boxes and the corner cells.
  int ClampX(int mode);
  int ClampY(int mode);
  // The speed limited to the speed limit (a NaN speed counts as 0), added, then clamped.
  int MoveX(int mode);
  int MoveY(int mode);
  void ApplyGravity();
  // Friction on value (an inertial speed) toward 0 without crossing it.
  void ApplyFriction(double& value, int enabled);

  // Recomputes the screen position of the graphic cell from the camera.
  void UpdateScreenRect();
  int IsOnScreen() const;
  int IsOnScreenAxes(int ignoreX, int ignoreY) const;
  int IsInStage(int wholeMap) const;
  int InRect(double left, double top, double right, double bottom) const;
  // 1 when a corner cell of the box blocks the object's group (the first one decides).
  int HitBlockCorners();
  int HitBlockCornersEx(int unused);
  int IsFarOffScreen(const cEraseArea& area) const;
  int GetFacingSign() const { return m_nFacing != 0 ? 1 : -1; }

  // A movement command's velocity toward the point (x, y) or along one axis to it, from the
  // centre of the graphic cell; with stop, the command's move record may snap the cell onto
  // the point on arrival (then non-zero).
  int MoveToward(cCmdRun& run, cObject* partner, double x, double y, int screenBound,
                 int stop);
  int MoveTowardX(cCmdRun& run, cObject* partner, double x, int screenBound, int stop);
  int MoveTowardY(cCmdRun& run, cObject* partner, double y, int screenBound, int stop);
  // The point on this object a movement command aims at: the cell centre plus the command's
  // offset, on each axis that its move record does not lock.
  void GetAttachPos(double& x, double& y, const cCmdRun& run) const;
  // The nearest character of the list for a shot's guidance, from the cell centre.
  cCharaBase* FindNearestFromCentre(const cList<cCharaBase*>& list) const;

  // ---- fields ----
  // First those that the passes over every character read each sub-step (presence, life,
  // the box, the screen rectangle), so that they share the cache lines of the list node.
  std::int32_t m_bPresent = 0;
  std::int32_t m_bOnScreen = 0;
  std::int32_t m_nLife = 0;  // 2147483647: unlimited
  std::int32_t m_bNoGravity = 0;
  double m_dX = 0, m_dY = 0;  // top-left of the collision box, map pixels
  double m_dRight = 0, m_dBottom = 0;
  std::int32_t m_bScreenBound = 0;
  std::int8_t m_bAppeared = 0;
  std::int8_t m_nBlockPass = 0;  // eBlockPass
  sDrawRect m_Rect;
  std::int32_t m_nWidth = 0, m_nHeight = 0;  // collision size, scaled
  std::int32_t m_nLeftCell = 0, m_nTopCell = 0, m_nRightCell = 0, m_nBottomCell = 0;
  std::int32_t m_nNumber = 0;
  std::int32_t m_nFacing = 0;  // 0 left, 1 right
  std::int16_t m_sCopyIndex = 0;
  std::int32_t m_nGraphic = 0;
  cAnime m_Anime;
  std::int32_t m_nControl = 0;  // 0 player, 1 computer
  std::int32_t m_nInput = 0;
  std::int32_t m_nGroup = 0;  // 0 to 7
  double m_dVX = 0, m_dVY = 0;  // pixels per sub-step
  double m_dInertiaX = 0, m_dInertiaY = 0;
  double m_dDecel = 0;
  std::int32_t m_bFrictionX = 0, m_bFrictionY = 0;
  std::int32_t m_nBaseWidth = 0, m_nBaseHeight = 0;

 protected:
  cObject& operator=(const cObject&) = default;
};

// The per-sub-step displacement of a sine motion of amplitude a and frequency f (degrees per
// phase unit); the phase runs through 360 x N per cycle and advances by step.
double CalcWavePos(double amplitude, int frequency, double& phase, double step, double offset);
// Its acceleration, with the same phase update.
double CalcWaveAccel(double amplitude, int frequency, double& phase, double step,
                     double offset);
