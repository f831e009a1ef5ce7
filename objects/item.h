#pragma once
// An item placed in a stage or carried by a character. (Completed by a later issue; for now
// it is the play-object base.)
#include "objects/object.h"

class cItem : public cObject {
 public:
  cItem() = default;
  cItem(const cItem& other) = default;
};
