#pragma once
// The inheritance of property groups: a block, character or item definition may name a base
// definition of its kind in the common or the stage palette and take groups of its
// properties from it, one inherit flag per group. Each table holds, per group, the copy of
// that group's fields from the base.
#include "content/block.h"
#include "content/chara.h"
#include "content/item.h"

using BlockInheritFn = void (*)(cEdBlock& dest, const cEdBlock& base);
using CharaInheritFn = void (*)(cEdChara& dest, const cEdChara& base);
using ItemInheritFn = void (*)(cEdItem& dest, const cEdItem& base);

extern const BlockInheritFn g_BlockInheritFunc[kBlockInheritGroups];
extern const CharaInheritFn g_CharaInheritFunc[kCharaInheritGroups];
extern const ItemInheritFn g_ItemInheritFunc[kItemInheritGroups];
