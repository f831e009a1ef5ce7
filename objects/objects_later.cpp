// STAND-INS: minimal bodies of what later parts build (see objects_later.h). Each goes when
// its part is built.
#include "objects/objects_later.h"

#include "flows/flow_run.h"
#include "objects/chara_base.h"
#include "play/chara_effect.h"

void cCharaEffect::Clear() { *this = cCharaEffect(); }
void cCharaEffect::Start(int entry, int mode, int option) {
  m_nEntry = entry;
  m_nMode = mode;
  m_nOption = option;
  m_bRunning = entry != 0;
}

sShotAttack ShotAttack(const cShot&) { return {}; }
