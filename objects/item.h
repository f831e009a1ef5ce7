#pragma once
// An item lying in a running stage: placed by the stage, dropped or summoned at run time, or
// carried by a placed character as the item it gives on defeat. Each item has its own copy of
// its definition, so that commands may change one item without touching the palette. Items
// are weightless and pass through blocks.
#include <cstdint>

#include "content/item.h"
#include "objects/object.h"

struct DDSURFACEDATA;

class cItem : public cObject {
 public:
  cItem();
  cItem(const cItem& other);
  cItem& operator=(const cItem& other);
  ~cItem() override;

  // The item keeps its feet on its cell: y moves up by the growth of the box below the cell's
  // top.
  void AdjustYForScale(int newScale, int oldScale) override;

  // Builds the item from a definition (a scale of 0 is repaired to 1 in the definition
  // itself); carried items are active at once and keep scale 1. false when the loop expansion
  // of the item's commands was refused.
  bool SetUpFromDef(int number, cEdItem& def, int carried);
  // Places the item on a stage cell (column and row from the stage's top-left cell); the
  // vertical clamp's code.
  int SetBlockPos(int column, int row);
  // Draws the item at its screen rectangle; frozen: the animation stands still.
  void Draw(DDSURFACEDATA* target, int frozen);

  cEdItem m_Def;             // the item's own copy of its definition
  std::int32_t m_bCarried = 0;  // carried by a character: never picked up from the stage
};

// The drawing layer of an item (the pass of the objects in which it is drawn when the stage
// draws in layers). An item definition has no layer of its own: items are drawn in the first
// pass, behind the characters of the later ones.
inline int ItemDrawLayer(const cEdItem&) { return 0; }

// The item animation: frames 0 and 1 for 15 ticks each, looping, both locked.
const AnimeRuns& ItemAnimeRuns();
