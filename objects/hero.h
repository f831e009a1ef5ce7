#pragma once
// The hero, a player-controlled character. (Its own behaviour is completed by a later issue;
// for now it is the character base.)
#include "objects/chara_base.h"

class cHero : public cCharaBase {
 public:
  cHero() = default;
  cHero(const cHero& other) : cCharaBase() { Copy(other); }
};
