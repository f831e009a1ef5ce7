// The world map, data\WorldMap.dat, then every question the map screen asks of its cells.
#include <algorithm>
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
  // The cells next to the map too: the screen asks about those beside the cursor. Of a large
  // map only a corner and the far edges, so that runs stay quick.
  auto ask = [&](int x, int y) {
    map.GetCell(x, y);
    map.GetTile(x, y);
    if (const cWorldMapPoint* point = map.FindPointAt(x, y)) point->FindActiveLink(progress);
    map.CanStandAt(x, y, progress);
  };
  const int width = std::min(map.m_nWidth, 64), height = std::min(map.m_nHeight, 64);
  for (int y = -1; y <= height; ++y)
    for (int x = -1; x <= width; ++x) ask(x, y);
  for (int d = -1; d <= 1; ++d) {
    ask(map.m_nWidth + d, map.m_nHeight - 1);
    ask(map.m_nWidth - 1, map.m_nHeight + d);
  }
  for (const cWorldMapPoint& point : map.m_Points)
    for (const cWorldMapLink& link : point.m_Links)
      map.FindStageOnMap(WorldStageKey(link.m_strStage), link.m_bVariant, link.m_nVariantA,
                         link.m_nVariantB);
  return 0;
}
