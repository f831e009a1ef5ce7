#pragma once
// A computer-controlled or placed character. (Its own behaviour is completed by a later
// issue; for now it is the character base.)
#include "objects/chara_base.h"

class cChara : public cCharaBase {
 public:
  cChara() = default;
  // Builds a list node from a character (links are set afterwards by InitTargets).
  cChara(const cChara& other) : cCharaBase() { Copy(other); }
};
