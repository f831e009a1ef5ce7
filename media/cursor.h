#pragma once
// The cursor of every menu. Each open menu level keeps its own column, row and marker
// position in a stack, so a sub-menu opens with a cursor of its own and closing it returns
// to the parent's place. Each frame the menu passes the direction bits of the input
// (1 left, 2 right, 4 up, 8 down) to one of the two movers.
#include "foundation/containers.h"

struct sCursorLevel {
  int column = 0;
  int row = 0;
  int x = 0;  // marker position in pixels
  int y = 0;
};

class cCursor {
 public:
  cCursor();
  cCursor(const cCursor&) = delete;
  cCursor& operator=(const cCursor&) = delete;

  // Back to exactly one zeroed level.
  void Reset();
  // Opens a level: zeroed, or with copy 1 a copy of the level below.
  void Push(int copy);
  // Closes a level (never the last): mode 0 zeroes the level that becomes current, 1 leaves
  // it, 2 gives it the closed level's state.
  void Pop(int mode);
  // A grid of columns x rows that wraps at its edges; the marker at (x0 + px * column,
  // y0 + py * row).
  void MoveGrid(int keys, int x0, int y0, int px, int py, int columns, int rows);
  // A list of total entries of which visible show from top (kept by the caller); the list
  // stops at both ends, paging moves by visible - 1 on right and left.
  void MoveList(int keys, int vertical, int* top, int origin, int pitch, int fixed, int visible,
                int total, int paging);

  int Depth() const { return static_cast<int>(m_Levels.size()); }

  sCursorLevel* m_pCur = nullptr;   // the current level, always the last of the stack
  sCursorLevel* m_pPrev = nullptr;  // the level below it, null when there is only one

 private:
  // The stack may move its levels when it grows: the pointers are taken again after every
  // change.
  void Relink();
  cVector<sCursorLevel> m_Levels;
};

extern cCursor g_Cursor;
