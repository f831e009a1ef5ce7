// The world map, data\WorldMap.dat, then every question the map screen asks of its cells.
#include <string>

#include "project/world_map.h"
#include "tests/fuzz/fuzz_target.h"

namespace {
class cAllProgress : public cWorldMapProgress {
 public:
  bool IsFlagSet(int flag) const override { return flag % 2 == 0; }
  std::int32_t GetCommonVar(int number) const override { return number; }
  std::int32_t GetResultTotal() const override { return 100; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  static cWorldMapData map;
  map.SetDefault();
  if (!FuzzLoadRecord(map, FuzzInputFile(data, size, "WorldMap.dat"))) return 0;
  const cAllProgress progress;
  // The border around the map too: the screen asks about the cells next to the cursor.
  for (int y = -1; y <= map.m_nHeight; ++y)
    for (int x = -1; x <= map.m_nWidth; ++x) {
      map.GetCell(x, y);
      map.GetTile(x, y);
      if (const cWorldMapPoint* point = map.FindPointAt(x, y)) point->FindActiveLink(progress);
      map.CanStandAt(x, y, progress);
    }
  for (const cWorldMapPoint& point : map.m_Points)
    for (const cWorldMapLink& link : point.m_Links)
      map.FindStageOnMap(WorldStageKey(link.m_strStage), link.m_bVariant, link.m_nVariantA,
                         link.m_nVariantB);
  return 0;
}
