#pragma once
// One shot or one sword swing of a character. The play scene keeps every shot in its shot
// list and points at it from the list of its group; flight, hits and drawing are completed
// with the shots themselves.
#include "content/shot.h"
#include "objects/object.h"

class cCharaBase;
struct DDSURFACEDATA;

class cShot : public cObject {
 public:
  cShot() = default;
  cShot(const cShot& other) = default;

  // Draws the shot onto target; with bStopped nothing advances.
  void Draw(DDSURFACEDATA* target, int bStopped);

  cEdShot m_Def;                    // the shot's own copy of its definition
  cCharaBase* m_pTarget = nullptr;  // target character, or none
  cCharaBase* m_pOwner = nullptr;   // owner character, or none
};
