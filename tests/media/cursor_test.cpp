#include "media/cursor.h"

#include <gtest/gtest.h>

namespace {

constexpr int L = 1, R = 2, U = 4, D = 8;

TEST(Cursor, GridMovesWrapAndPlaceTheMarker) {
  struct Case {
    const char* name;
    int columns, rows;
    std::vector<int> keys;
    int column, row;
  };
  const Case cases[] = {
      {"right wraps to the first column", 3, 2, {R, R, R}, 0, 0},
      {"left wraps to the last column", 3, 2, {L}, 2, 0},
      {"up on one row stays", 3, 1, {U}, 0, 0},
      {"down then down wraps", 1, 2, {D, D}, 0, 0},
      {"left wins over right, up over down", 4, 4, {L | R | U | D}, 3, 3},
      {"diagonal", 4, 4, {R | D, R | D}, 2, 2},
      {"negative rows: nothing moves", 3, -1, {R, D}, 0, 0},
      {"an empty grid keeps the first cell", 0, 0, {L, U}, 0, 0},
  };
  for (const Case& c : cases) {
    cCursor cursor;
    for (int k : c.keys) cursor.MoveGrid(k, 100, 50, 20, 10, c.columns, c.rows);
    EXPECT_EQ(cursor.m_pCur->column, c.column) << c.name;
    EXPECT_EQ(cursor.m_pCur->row, c.row) << c.name;
    if (c.columns >= 0 && c.rows >= 0) {
      EXPECT_EQ(cursor.m_pCur->x, 100 + 20 * c.column) << c.name;
      EXPECT_EQ(cursor.m_pCur->y, 50 + 10 * c.row) << c.name;
    }
  }
}

TEST(Cursor, ListScrollsPagesAndStopsAtTheEnds) {
  struct Case {
    const char* name;
    int visible, total, paging;
    int top, index;  // start
    std::vector<int> keys;
    int endTop, endIndex;
  };
  const Case cases[] = {
      {"down within the window", 5, 20, 0, 0, 0, {D, D}, 0, 2},
      {"down past the window scrolls", 5, 20, 0, 0, 4, {D}, 1, 5},
      {"up past the window scrolls", 5, 20, 0, 3, 3, {U}, 2, 2},
      {"stops at the top", 5, 20, 0, 0, 0, {U, U}, 0, 0},
      {"stops at the bottom", 5, 20, 0, 15, 19, {D}, 15, 19},
      {"short list keeps its top", 5, 3, 0, 0, 0, {D, D, D, D, U}, 0, 1},
      {"page right", 5, 20, 1, 0, 1, {R}, 4, 5},
      {"page right at the last page goes to the end", 5, 20, 1, 15, 17, {R}, 15, 19},
      {"page left", 5, 20, 1, 8, 9, {L}, 4, 5},
      {"page left on the first page goes to the start", 5, 20, 1, 0, 3, {L}, 0, 0},
      {"no paging ignores left and right", 5, 20, 0, 0, 1, {R, L}, 0, 1},
      {"empty list", 5, 0, 1, 0, 0, {D, R}, 0, 0},
  };
  for (const Case& c : cases) {
    cCursor cursor;
    cursor.m_pCur->row = c.index;
    int top = c.top;
    for (int k : c.keys) cursor.MoveList(k, 1, &top, 40, 16, 200, c.visible, c.total, c.paging);
    EXPECT_EQ(top, c.endTop) << c.name;
    EXPECT_EQ(cursor.m_pCur->row, c.endIndex) << c.name;
    EXPECT_EQ(cursor.m_pCur->y, 40 + 16 * (c.endIndex - c.endTop)) << c.name;
    EXPECT_EQ(cursor.m_pCur->x, 200) << c.name;
  }
}

TEST(Cursor, HorizontalListMovesTheColumn) {
  cCursor cursor;
  int top = 0;
  cursor.MoveList(D, 0, &top, 10, 30, 77, 4, 10, 0);
  EXPECT_EQ(cursor.m_pCur->column, 1);
  EXPECT_EQ(cursor.m_pCur->row, 0);
  EXPECT_EQ(cursor.m_pCur->x, 40);
  EXPECT_EQ(cursor.m_pCur->y, 77);
}

TEST(Cursor, LevelsPushPopAndReset) {
  cCursor cursor;
  EXPECT_EQ(cursor.m_pPrev, nullptr);
  cursor.MoveGrid(R | D, 0, 0, 1, 1, 4, 4);  // parent at (1, 1)

  cursor.Push(1);  // the copy starts where the parent is
  EXPECT_EQ(cursor.m_pCur->column, 1);
  ASSERT_NE(cursor.m_pPrev, nullptr);
  cursor.MoveGrid(R, 0, 0, 1, 1, 4, 4);
  cursor.Pop(1);
  EXPECT_EQ(cursor.m_pCur->column, 1);
  EXPECT_EQ(cursor.m_pCur->row, 1);

  cursor.Push(0);
  EXPECT_EQ(cursor.m_pCur->column, 0);
  cursor.MoveGrid(L, 0, 0, 1, 1, 4, 4);
  cursor.Pop(2);  // the sub-menu's place goes to the parent
  EXPECT_EQ(cursor.m_pCur->column, 3);
  EXPECT_EQ(cursor.m_pCur->row, 0);

  // Deep stacks keep the pointers on live levels while the storage grows.
  for (int i = 0; i < 40; ++i) cursor.Push(1);
  EXPECT_EQ(cursor.Depth(), 41);
  EXPECT_EQ(cursor.m_pPrev + 1, cursor.m_pCur);
  cursor.Pop(0);
  EXPECT_EQ(cursor.m_pCur->column, 0);

  cursor.Reset();
  EXPECT_EQ(cursor.Depth(), 1);
  EXPECT_EQ(cursor.m_pPrev, nullptr);
  cursor.Pop(2);  // the last level is never closed
  EXPECT_EQ(cursor.Depth(), 1);
}

}  // namespace
