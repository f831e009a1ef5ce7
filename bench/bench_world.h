#pragma once
// The empty world the play-object benchmarks step in: gravity 0.5, hit level 10, a map of
// width x height cells with both camera axes bound, the view's top-left at (viewCol, viewRow).
#include "play/map_cells.h"
#include "play/scroll_axis.h"
#include "project/stage.h"

inline void SetUpBenchWorld(cScrollAxis& x, cScrollAxis& y, int width, int height, int viewCol,
                            int viewRow) {
  g_Stage.m_dGravity = 0.5;
  g_Stage.SetSpeedLevel(10);
  x.SetUpX(width, width * 32);
  y.SetUpY(height, height * 32);
  x.SetLimits(0, 0, 0, 0);
  y.SetLimits(0, 0, 0, 0);
  x.m_dPos = 320 + viewCol * 32;
  y.m_dPos = 320 + viewRow * 32;
  BindScrollAxes(&x, &y);
  ResetMapCells(width, height);
}
