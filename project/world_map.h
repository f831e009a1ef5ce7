#pragma once
// The world map of story mode, "data\WorldMap.dat": a grid of cells showing tile types, and
// points on it whose links make them stage entrances, roads or walls.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"

enum eWorldLinkKind : int {
  WORLD_LINK_STAGE = 0,  // an entrance: can be entered, shows its caption
  WORLD_LINK_ROAD = 1,   // passable, nothing to enter
  WORLD_LINK_WALL = 2,   // the cursor cannot move onto the point
};

enum eAfterClear : int {
  AFTER_CLEAR_NOTHING = 0,
  AFTER_CLEAR_NEXT_LAP = 1,
  AFTER_CLEAR_TO_TITLE = 2,
};

class cWorldMapTile : public cFileData {
 public:
  std::int32_t m_nExtra = 0;  // kept for the editor
  std::int32_t m_bBlocked = 0;
  std::int32_t m_nChip = 0;  // cell of the chip picture, 5 per row
  std::string m_strName;
  std::string m_strExtra;  // kept for the editor

  void SetupItems(int version) override;
};

class cWorldMapLink : public cFileData {
 public:
  std::int32_t m_nKind = WORLD_LINK_STAGE;
  std::int32_t m_nIcon = 0;
  std::int32_t m_nClearFlag = 0;  // progress flag set when this link's stage is cleared
  std::int32_t m_bPassable = 0;
  std::int32_t m_bReplay = 0;
  std::int32_t m_nAfterClear = AFTER_CLEAR_NOTHING;
  std::int32_t m_nNeedFlag = 0;  // above 0: active only while that progress flag is set
  std::int32_t m_nVarNo = 0;     // not 0: active only while the common variable compares so
  std::int32_t m_nVarValue = 0;
  std::int32_t m_nVarCompare = 0;  // eCompareOp, the variable on the left
  std::int32_t m_nNeedTotal = 0;   // active only while the result total is at least this
  std::int32_t m_bVariant = 0;
  std::int32_t m_nVariantA = 1;
  std::int32_t m_nVariantB = 0;
  std::string m_strCaption;
  std::string m_strStage;

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
};

// What a link's conditions ask of the player's progress.
class cWorldMapProgress {
 public:
  virtual ~cWorldMapProgress() = default;
  virtual bool IsFlagSet(int flag) const = 0;
  virtual std::int32_t GetCommonVar(int number) const = 0;
  virtual std::int32_t GetResultTotal() const = 0;
};

class cWorldMapPoint : public cFileData {
 public:
  std::int32_t m_nX = 0;
  std::int32_t m_nY = 0;
  std::string m_strName;
  cVector<cWorldMapLink> m_Links;

  cWorldMapPoint() { SetDefault(); }
  void SetDefault();  // position (0, 0), no name, exactly one default link
  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;

  // The first link whose conditions hold; null when none does (the point is then as if
  // absent).
  const cWorldMapLink* FindActiveLink(const cWorldMapProgress& progress) const;
};

class cWorldMapData : public cFileData {
 public:
  std::int32_t m_nWidth = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_nPitch = 0;        // row pitch of m_Cells: a power of two, at least the width
  std::int32_t m_nPitch_Shift = 0;  // log2 of the pitch
  std::int32_t m_nStartX = 0;
  std::int32_t m_nStartY = 0;
  std::int32_t m_nBackColor = 0;
  std::int32_t m_bBackPicture = 0;
  std::string m_strName;
  std::string m_strBackPicture;

  cVector<cWorldMapTile> m_Tiles;
  cVector<std::int32_t> m_Cells;  // cell (x, y) is element x + (y << m_nPitch_Shift)
  cVector<cWorldMapPoint> m_Points;
  cVector<cWorldMapPoint> m_Points2;  // kept for the editor

  cWorldMapData();
  void SetDefault();
  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  void Validate();
  // The stored pitch is a power of two of the stored shift, at least the width, and the cell
  // list holds every row at that pitch.
  bool GridIsConsistent() const;

  // Resizes the grid keeping the cells both sizes share; 0, and no change, for a zero size.
  int SetSize(int width, int height);

  // The tile index of a cell; -1 outside the map.
  int GetCell(int x, int y) const;
  // The tile of a cell; null outside the map or when the cell names no tile.
  const cWorldMapTile* GetTile(int x, int y) const;
  // The first point on a cell, or null.
  const cWorldMapPoint* FindPointAt(int x, int y) const;
  // Whether the cursor may stop on a cell: inside the map, not on a point whose active link
  // is a wall, and not on a blocked tile unless an active entrance or road stands there.
  bool CanStandAt(int x, int y, const cWorldMapProgress& progress) const;
  // 1 when an entrance of the map plays the stage of this key (a stage name ending in a
  // point, see the progress record), with the same variant numbers when variant is set.
  int FindStageOnMap(const std::string& name, int variant, int a, int b) const;
};

extern cWorldMapData g_WorldMap;

// pitch = the smallest power of two not below n (1 for n of 1 or less), shift = its log2.
void CalcPitch(std::int32_t& pitch, std::int32_t& shift, int n);

// The key under which the results of a stage file played from the map are kept.
std::string WorldStageKey(const std::string& stageFile);
