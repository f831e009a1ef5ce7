#pragma once
// A small running stage for the tests of play objects: a map of cells with its two camera
// axes, the speed level and gravity, the compatibility flags the objects read, the database's
// animation sets and the heroes. Every global it changes is given back when it goes.
#include <gtest/gtest.h>

#include <utility>

#include "objects/hero.h"
#include "play/map_cells.h"
#include "play/play_scene.h"
#include "play/scroll_axis.h"
#include "project/database.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"

// Keeps a copy of a variable and puts it back on destruction.
template <class T>
class cScopedValue {
 public:
  explicit cScopedValue(T& ref) : m_Ref(ref), m_Saved(ref) {}
  cScopedValue(T& ref, T value) : m_Ref(ref), m_Saved(ref) { m_Ref = std::move(value); }
  ~cScopedValue() { m_Ref = std::move(m_Saved); }
  cScopedValue(const cScopedValue&) = delete;
  cScopedValue& operator=(const cScopedValue&) = delete;

 private:
  T& m_Ref;
  T m_Saved;
};

// The stage record's values that play reads, kept and put back.
class cScopedStageUnits {
 public:
  cScopedStageUnits()
      : m_dGravity(g_Stage.m_dGravity),
        m_nLevel(g_Stage.m_nSpeedLevel),
        m_Ints{g_Stage.m_nHeroInvincible, g_Stage.m_nCharaInvincible, g_Stage.m_nHeroHitGap,
               g_Stage.m_nCharaHitGap, g_Stage.m_bAutoScrollX, g_Stage.m_bAutoScrollY} {}
  ~cScopedStageUnits() {
    g_Stage.m_dGravity = m_dGravity;
    g_Stage.SetSpeedLevel(m_nLevel);
    g_Stage.m_nHeroInvincible = m_Ints[0];
    g_Stage.m_nCharaInvincible = m_Ints[1];
    g_Stage.m_nHeroHitGap = m_Ints[2];
    g_Stage.m_nCharaHitGap = m_Ints[3];
    g_Stage.m_bAutoScrollX = m_Ints[4];
    g_Stage.m_bAutoScrollY = m_Ints[5];
  }

 private:
  double m_dGravity;
  int m_nLevel;
  int m_Ints[6];
};

// Scroll axes bound for the objects while it lives.
class cScopedAxes {
 public:
  cScopedAxes() { BindScrollAxes(&x, &y); }
  ~cScopedAxes() { BindScrollAxes(nullptr, nullptr); }
  cScrollAxis x, y;
};

class cPlayWorld : public ::testing::Test {
 protected:
  // A map of width x height cells at speed level n and per-frame gravity, the camera at the
  // map's top-left stage corner, scroll range the whole stage area.
  void MakeMap(int width, int height, int level = 1, double gravity = 0.5) {
    g_Stage.m_dGravity = gravity;
    g_Stage.SetSpeedLevel(level);
    m_Axes.x.SetUpX(width, width * 32);
    m_Axes.y.SetUpY(height, height * 32);
    m_Axes.x.SetLimits(0, 0, 0, 0);
    m_Axes.y.SetLimits(0, 0, 0, 0);
    m_Axes.x.m_dPos = 320;
    m_Axes.y.m_dPos = 320;
    ASSERT_TRUE(ResetMapCells(width, height));
  }
  // A solid block at map column and row.
  static void PutSolid(int column, int row) {
    cMapCell* cell = MapCellAtBlock(column, row);
    ASSERT_NE(cell, nullptr);
    cell->m_sGraphic = 1;
    cell->m_nHitMode = BLOCK_HIT_SOLID;
    RefreshMapCellHit(*cell);
  }

  cScopedStageUnits m_Units;
  cScopedValue<cVector<cMapCell>> m_Cells{g_MapCells, {}};
  cScopedValue<cVector<sCellHit>> m_CellHits{g_MapCellHits, {}};
  cScopedValue<cSystemData> m_System{g_SystemData};
  cScopedValue<cVector<cDbAnimeSet>> m_AnimeSets{g_DataBase.m_AnimeSet};
  cScopedValue<cPlayData> m_Progress{g_PlayData};
  cScopedAxes m_Axes;
};

// The heroes of the test: empty again when it goes.
class cScopedHeroes {
 public:
  cScopedHeroes() { g_Heroes.clear(); }
  ~cScopedHeroes() { g_Heroes.clear(); }
  cHero& Add() { return g_Heroes.emplace_back(); }
};

// The services the play objects install for the content definitions, removed again (their
// state before the test: none installed, or the condition services it had).
class cScopedObjectServices {
 public:
  cScopedObjectServices() : m_Saved(ConditionServices()) {}
  ~cScopedObjectServices() {
    SetConditionServices(m_Saved);
    SetAppearanceSubject(nullptr);
    SetTileDrawer(sTileDrawer{});
  }

 private:
  sConditionServices m_Saved;
};
