#pragma once
// Aiming from one screen point at another (or away from it), corrected for a screen that
// scrolls by itself; and the searches that pick a character out of a group list or out of
// the links another object keeps to a character. Points are screen coordinates of the
// 640x480 view; an object's point is the centre of its graphic cell as its last screen
// rectangle placed it. Speeds are pixels per sub-step.
#include <cstdint>

#include "foundation/containers.h"

class cObject;
class cCharaBase;
struct sTargetRef;

// 1/sqrt(2), worked out once: the share of a speed that each axis of a diagonal takes.
extern const double g_dDiagonal;

// The centre of an object's graphic cell on the screen, from its last screen rectangle.
std::int32_t CellCentreX(const cObject& object);
std::int32_t CellCentreY(const cObject& object);

// A velocity of speed s from (fromX, fromY) toward (toX, toY): a negative speed flees the
// point unless noFlee is set (then it aims away along the line). The facing request is
// 1 left, 2 right, 0 neither; a partner that keeps its place on a scrolling screen while the
// mover does not is led (the intercept), and when that has no answer the call gives up and
// leaves the request as it was. 1 when arrivalTest is set and the point is within |s| on
// both axes.
int CalcAimVelocity(double& vx, double& vy, std::int32_t& faceReq, const cObject* partner,
                    double fromX, double fromY, double toX, double toY, double s,
                    int moverScreenBound, int noFlee, int arrivalTest);
// Along one axis only: the other velocity is 0. 1 when arrivalTest is set and the point is
// strictly nearer than |s|.
int CalcMoveTowardX(double& vx, double& vy, std::int32_t& faceReq, const cObject* partner,
                    double from, double to, double s, int moverScreenBound, int arrivalTest);
int CalcMoveTowardY(double& vx, double& vy, std::int32_t& faceReq, const cObject* partner,
                    double from, double to, double s, int moverScreenBound, int arrivalTest);

// How FindNearestChara chooses its candidates.
enum eNearestMode : std::int32_t {
  NEAREST_SCREEN_FIRST = 0,  // "全範囲（画面内のキャラ優先）"
  NEAREST_ALL = 1,           // "全範囲"
  NEAREST_SCREEN = 2,        // "画面内"
};

// The filters every search shares, in order: the character ID, a character variable
// compared with a value (the variable on the left, an eCompareOp), skip the object whose
// number is ownNumber, skip invincibility kinds 1 and 2, skip block characters.
//
// The nearest candidate by Manhattan distance from (x, y); among equal distances the first
// in the list. A mode outside eNearestMode finds nothing.
cCharaBase* FindNearestChara(std::int32_t x, std::int32_t y, const cList<cCharaBase*>& list,
                             int mode, int idTest, std::int8_t id, int varTest, std::int16_t var,
                             std::int32_t value, std::int32_t compare, int skipSelf,
                             int skipInvincible1, int skipInvincible2, int skipBlockChara,
                             std::int32_t ownNumber);
// The search of the shots' guidance: on screen only when the stage lets only objects on the
// screen hit, else the screen first; characters of invincibility kind 2 are skipped.
cCharaBase* FindNearestDefault(std::int32_t x, std::int32_t y, const cList<cCharaBase*>& list);
// The first character of the list that passes the filters and is not finished.
cCharaBase* FindCharaByStatus(const cList<cCharaBase*>& list, int idTest, std::int8_t id,
                              int varTest, std::int16_t var, std::int32_t value,
                              std::int32_t compare, int skipSelf, int skipInvincible1,
                              int skipInvincible2, int skipBlockChara, std::int32_t ownNumber);
// The newest link of the slot (of the group, or of any group) whose object passes the
// filters and is not finished.
cCharaBase* FindLinkedCharaByStatus(const cVector<sTargetRef>& links, int slot, int group,
                                    int allGroups, int idTest, std::int8_t id, int varTest,
                                    std::int16_t var, std::int32_t value, std::int32_t compare,
                                    int skipSelf, int skipInvincible1, int skipInvincible2,
                                    int skipBlockChara, std::int32_t ownNumber);
