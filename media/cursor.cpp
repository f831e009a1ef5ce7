#include "media/cursor.h"

#include <algorithm>

cCursor g_Cursor;

namespace {
constexpr int kLeft = 1, kRight = 2, kUp = 4, kDown = 8;
}

cCursor::cCursor() { Reset(); }

void cCursor::Relink() {
  const int n = Depth();
  m_pCur = &m_Levels[n - 1];
  m_pPrev = n >= 2 ? &m_Levels[n - 2] : nullptr;
}

void cCursor::Reset() {
  m_Levels.assign(1, sCursorLevel{});
  Relink();
}

void cCursor::Push(int copy) {
  m_Levels.push_back(sCursorLevel{});
  const int n = Depth();
  if (copy == 1 && n >= 2) m_Levels[n - 1] = m_Levels[n - 2];
  Relink();
}

void cCursor::Pop(int mode) {
  if (Depth() < 2) return;
  const sCursorLevel closed = m_Levels[Depth() - 1];
  m_Levels.pop_back();
  Relink();
  if (mode == 0)
    *m_pCur = sCursorLevel{};
  else if (mode == 2)
    *m_pCur = closed;
}

void cCursor::MoveGrid(int keys, int x0, int y0, int px, int py, int columns, int rows) {
  if (columns < 0 || rows < 0) return;
  sCursorLevel& c = *m_pCur;
  if (keys & kLeft)
    --c.column;
  else if (keys & kRight)
    ++c.column;
  if (keys & kUp)
    --c.row;
  else if (keys & kDown)
    ++c.row;
  if (c.row < 0) c.row = rows - 1;
  if (c.row >= rows) c.row = 0;
  if (c.column < 0) c.column = columns - 1;
  if (c.column >= columns) c.column = 0;
  // An empty grid (0 rows or columns) keeps its cursor on the first cell rather than at -1.
  c.row = std::max(c.row, 0);
  c.column = std::max(c.column, 0);
  c.x = x0 + px * c.column;
  c.y = y0 + py * c.row;
}

void cCursor::MoveList(int keys, int vertical, int* top, int origin, int pitch, int fixed,
                       int visible, int total, int paging) {
  int scratch = 0;
  int& t = top ? *top : scratch;
  sCursorLevel& c = *m_pCur;
  int& i = vertical ? c.row : c.column;
  if (keys & kUp) {
    if (i - t < 1) --t;
    --i;
  } else if (keys & kDown) {
    if (i - t >= visible - 1) ++t;
    ++i;
  }
  if (paging) {
    if (keys & kRight) {
      if (t == total - visible) {
        i = total - 1;
      } else {
        t += visible - 1;
        i += visible - 1;
      }
    } else if (keys & kLeft) {
      if (t != 0) {
        t -= visible - 1;
        i -= visible - 1;
      } else {
        i = 0;
      }
    }
  }
  if (i > total - 1) i = total - 1;
  if (i < 0) i = 0;
  if (t < 0)
    t = 0;
  else if (t > std::max(total - visible, 0))
    t = std::max(total - visible, 0);
  const int along = origin + pitch * (i - t);
  if (vertical) {
    c.y = along;
    c.x = fixed;
  } else {
    c.x = along;
    c.y = fixed;
  }
}
