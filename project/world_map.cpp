#include "project/world_map.h"

#include <algorithm>

#include "foundation/compare.h"
#include "foundation/message_box.h"
#include "foundation/report.h"
#include "foundation/strings.h"
#include "project/format_append.h"

cWorldMapData g_WorldMap;

namespace {
// No map the editor makes comes near this; a larger grid in a file is damage, and building
// it would only exhaust memory.
constexpr int kMaxMapSide = 2048;
constexpr int kTypesBefore812 = 10;

bool IsSideInRange(int side) { return side >= 1 && side <= kMaxMapSide; }

constexpr std::size_t kNoCell = static_cast<std::size_t>(-1);

// The element of cell (x, y) in a grid of the given row shift; kNoCell for a negative
// position or a shift no grid has.
std::size_t CellIndex(int x, int y, int shift) {
  if (x < 0 || y < 0 || shift < 0 || shift > 30) return kNoCell;
  return static_cast<std::size_t>(x) + (static_cast<std::size_t>(y) << shift);
}
}  // namespace

void CalcPitch(std::int32_t& pitch, std::int32_t& shift, int n) {
  shift = 0;
  // Sides are far below 2^30; the cap only keeps the shift defined for any argument.
  for (int m = n - 1; m != 0 && shift < 30; m /= 2) ++shift;
  pitch = 1 << shift;
}

// ---- tiles, links and points -----------------------------------------------------------

void cWorldMapTile::SetupItems(int) {
  ClearItems();
  AddInt(&m_nExtra);
  AddInt(&m_bBlocked);
  AddInt(&m_nChip);
  AddString(&m_strName);
  AddString(&m_strExtra);
}

void cWorldMapLink::SetupItems(int version) {
  ClearItems();
  AddInt(&m_nKind);
  AddInt(&m_nIcon);
  AddInt(&m_nClearFlag);
  AddInt(&m_bPassable);
  AddInt(&m_bReplay);
  AddInt(&m_nAfterClear);
  AddInt(&m_nNeedFlag);
  AddInt(&m_nVarNo);
  AddInt(&m_nVarValue);
  AddInt(&m_nVarCompare);
  if (version >= 209) AddInt(&m_nNeedTotal);
  if (version >= 758) {
    AddInt(&m_bVariant);
    AddInt(&m_nVariantA);
    AddInt(&m_nVariantB);
  }
  AddString(&m_strCaption);
  AddString(&m_strStage);
}

void cWorldMapLink::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  if (version < 209) m_nNeedTotal = 0;
  if (version < 758) {
    m_bVariant = 0;
    m_nVariantA = 1;
    m_nVariantB = 0;
  }
}

void cWorldMapPoint::SetDefault() {
  m_nX = m_nY = 0;
  m_strName.clear();
  m_Links.assign(1, cWorldMapLink());
}

void cWorldMapPoint::SetupItems(int) {
  ClearItems();
  AddInt(&m_nX);
  AddInt(&m_nY);
  AddString(&m_strName);
}

void cWorldMapPoint::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  ReadRecordList(file, m_Links, "world map links");
}

void cWorldMapPoint::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteRecordList(file, m_Links);
}

const cWorldMapLink* cWorldMapPoint::FindActiveLink(const cWorldMapProgress& progress) const {
  for (const cWorldMapLink& link : m_Links) {
    if (link.m_nNeedFlag > 0 && !progress.IsFlagSet(link.m_nNeedFlag)) continue;
    if (link.m_nVarNo != 0 &&
        !CompareByOp(progress.GetCommonVar(link.m_nVarNo), link.m_nVarValue,
                     static_cast<eCompareOp>(link.m_nVarCompare)))
      continue;
    if (progress.GetResultTotal() < link.m_nNeedTotal) continue;
    return &link;
  }
  return nullptr;
}

// ---- the map ---------------------------------------------------------------------------

cWorldMapData::cWorldMapData() {
  SetupItems(g_nDataVersion);
  SetDefault();
}

void cWorldMapData::SetDefault() {
  Clear();
  m_strName = "ワールド";
  m_nStartX = 9;
  m_nStartY = 7;
  m_nBackColor = 16;
  m_bBackPicture = 0;
  m_Cells.clear();
  SetSize(20, 15);
  m_Points.clear();
  m_Points2.assign(1, cWorldMapPoint());
  m_Points2[0].m_strName = "デフォルト";
}

void cWorldMapData::SetupItems(int) {
  ClearItems();
  AddInt(&m_nWidth);
  AddInt(&m_nHeight);
  AddInt(&m_nPitch);
  AddInt(&m_nPitch_Shift);
  AddInt(&m_nStartX);
  AddInt(&m_nStartY);
  AddInt(&m_nBackColor);
  AddInt(&m_bBackPicture);
  AddString(&m_strName);
  AddString(&m_strBackPicture);
}

void cWorldMapData::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  if (!IsSideInRange(m_nWidth) || !IsSideInRange(m_nHeight)) {
    file.Fail(FormatText("the map is %d x %d cells", m_nWidth, m_nHeight));
    return;
  }
  if (!ReadRecordList(file, m_Tiles, "world map tiles") ||
      !ReadValueList(file, m_Cells, "world map cells") ||
      !ReadRecordList(file, m_Points, "world map points") ||
      !ReadRecordList(file, m_Points2, "world map second points"))
    return;
  if (version < 812) {
    // Maps of those versions had ten fixed tile types.
    m_Tiles.resize(kTypesBefore812);
    for (int i = 0; i < kTypesBefore812; ++i) {
      cWorldMapTile& tile = m_Tiles[i];
      tile.m_nChip = i;
      tile.m_bBlocked = i < 5 ? 1 : 0;
      tile.m_strName = i < 5 ? "移動不可" : "移動可";
      tile.m_strExtra.clear();
    }
  }
  if (!GridIsConsistent())
    Report("%s : the map grid (width %d, pitch %d, shift %d, %zu cells) was repaired",
           file.Path().c_str(), m_nWidth, m_nPitch, m_nPitch_Shift, m_Cells.size());
  Validate();
}

void cWorldMapData::Write(cDataFile& file) {
  Validate();
  cFileData::Write(file);
  WriteRecordList(file, m_Tiles);
  WriteValueList(file, m_Cells);
  WriteRecordList(file, m_Points);
  WriteRecordList(file, m_Points2);
}

bool cWorldMapData::GridIsConsistent() const {
  if (m_nPitch_Shift < 0 || m_nPitch_Shift > 30 || m_nPitch != (1 << m_nPitch_Shift) ||
      m_nPitch < m_nWidth)
    return false;
  const std::size_t needed = static_cast<std::size_t>(m_nHeight) * static_cast<std::size_t>(m_nPitch);
  return m_nHeight >= 0 && m_Cells.size() >= needed;
}

void cWorldMapData::Validate() {
  // The stored pitch and shift address the cells as long as they fit together and the grid
  // holds every cell of the map; otherwise the pitch follows from the width and the grid is
  // filled, before any cell is indexed.
  if (IsSideInRange(m_nWidth) && IsSideInRange(m_nHeight) && !GridIsConsistent()) {
    CalcPitch(m_nPitch, m_nPitch_Shift, m_nWidth);
    const std::size_t needed = static_cast<std::size_t>(m_nHeight) * m_nPitch;
    if (m_Cells.size() < needed) m_Cells.resize(needed, 0);
  }
  if (m_nStartX >= m_nWidth) m_nStartX = m_nWidth - 1;
  if (m_nStartY >= m_nHeight) m_nStartY = m_nHeight - 1;
  const auto tiles = static_cast<std::uint32_t>(m_Tiles.size());
  for (int y = 0; y < m_nHeight; ++y) {
    for (int x = 0; x < m_nWidth; ++x) {
      const std::size_t index = CellIndex(x, y, m_nPitch_Shift);
      if (index >= m_Cells.size()) continue;
      std::int32_t& cell = m_Cells[index];
      if (static_cast<std::uint32_t>(cell) >= tiles) cell = 0;
    }
  }
  std::erase_if(m_Points, [this](const cWorldMapPoint& point) {
    return point.m_nX >= m_nWidth || point.m_nY >= m_nHeight;
  });
}

int cWorldMapData::SetSize(int width, int height) {
  if (width == 0 || height == 0) {
    ErrBoxDebugF("SetSize()で 0 を指定しました！");
    return 0;
  }
  if (!IsSideInRange(width) || !IsSideInRange(height)) return 0;
  cVector<std::int32_t> old;
  const int oldWidth = m_nWidth, oldHeight = m_nHeight, oldShift = m_nPitch_Shift;
  if (!m_Cells.empty()) {
    ErrBoxDebugF("nBeforeWidth = %d,nBeforePitch = %d,nBeforePitch_Shift = %d", m_nWidth, m_nPitch,
                 m_nPitch_Shift);
    old.swap(m_Cells);
  }
  m_nWidth = width;
  m_nHeight = height;
  CalcPitch(m_nPitch, m_nPitch_Shift, width);
  m_Cells.assign(static_cast<std::size_t>(m_nHeight) * m_nPitch, 0);
  for (int y = 0; y < std::min(oldHeight, m_nHeight); ++y) {
    for (int x = 0; x < std::min(oldWidth, m_nWidth); ++x) {
      const std::size_t from = CellIndex(x, y, oldShift);
      if (from < old.size()) m_Cells[CellIndex(x, y, m_nPitch_Shift)] = old[from];
    }
  }
  return 1;
}

int cWorldMapData::GetCell(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return -1;
  const std::size_t index = CellIndex(x, y, m_nPitch_Shift);
  if (index >= m_Cells.size()) return -1;
  return m_Cells[index];
}

const cWorldMapTile* cWorldMapData::GetTile(int x, int y) const {
  const int cell = GetCell(x, y);
  if (cell < 0 || cell >= static_cast<int>(m_Tiles.size())) return nullptr;
  return &m_Tiles[cell];
}

const cWorldMapPoint* cWorldMapData::FindPointAt(int x, int y) const {
  for (const cWorldMapPoint& point : m_Points) {
    if (point.m_nX == x && point.m_nY == y) return &point;
  }
  return nullptr;
}

bool cWorldMapData::CanStandAt(int x, int y, const cWorldMapProgress& progress) const {
  if (GetCell(x, y) < 0) return false;
  const cWorldMapPoint* point = FindPointAt(x, y);
  const cWorldMapLink* link = point ? point->FindActiveLink(progress) : nullptr;
  if (link && link->m_nKind == WORLD_LINK_WALL) return false;
  const cWorldMapTile* tile = GetTile(x, y);
  return !(tile && tile->m_bBlocked && !link);
}

std::string WorldStageKey(const std::string& stageFile) {
  std::string key = stageFile;
  const std::size_t dot = key.rfind('.');
  if (dot != std::string::npos && key.find_first_of("\\/", dot) == std::string::npos)
    key.erase(dot);
  const std::size_t part = key.rfind("-1");
  if (part != std::string::npos) {
    key[part] = '.';
    key.erase(part + 1);
  } else {
    FormatAppend(key, ".");
  }
  return key;
}

int cWorldMapData::FindStageOnMap(const std::string& name, int variant, int a, int b) const {
  for (const cWorldMapPoint& point : m_Points) {
    for (const cWorldMapLink& link : point.m_Links) {
      if (link.m_nKind != WORLD_LINK_STAGE) continue;
      if (WorldStageKey(link.m_strStage) != name) continue;
      if (variant == 0) {
        if (link.m_bVariant == 0) return 1;
      } else if (link.m_bVariant != 0 && link.m_nVariantA == a && link.m_nVariantB == b) {
        return 1;
      }
    }
  }
  return 0;
}
