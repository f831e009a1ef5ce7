#pragma once
// Putting characters and items into the running stage (its placements at set-up, summons
// while it runs) and changing map blocks while it runs.
#include <cstdint>

#include "foundation/containers.h"
#include "objects/object_lists.h"

class cChara;
class cCharaBase;
class cEdBlock;
class cEdChara;
class cEdItem;
class cEdShot;
class cItem;

enum eBlockChangeKind : std::int8_t {
  BLOCKCHANGE_SUMMON = 0,
  BLOCKCHANGE_ERASE = 1,
  BLOCKCHANGE_TOGGLE = 2,
};

// Objects created while the stage runs are refused once their list holds this many.
inline constexpr std::size_t kMaxRunTimeObjects = 1000000;
// 1 when a list of objects created at run time holds kMaxRunTimeObjects already: the new one is
// refused, with one line in the report log per stage.
bool RunTimeListFull(std::size_t size);
// A new stage may report a refusal again.
void ResetRunTimeListReport();

// The placements of the stage record: the extra copies of a character (each carrying a copy
// of item, or none), and an item. Objects outside the whole map are dropped and use no number.
void PlaceCharacter(cCharaList& list, int column, int row, std::int32_t& counter,
                    cEdChara& def, cItem* item);
void PlaceItem(cList<cItem>& list, int column, int row, std::int32_t& counter, cEdItem& def);
// A summon at the 32-pixel area whose top-left corner is (x, y) in map pixels. A character on
// a blocked place is taken away again and uses no number.
void SpawnCharacter(cCharaList& list, double x, double y, int group, int facing,
                    const cEdShot& params, const cEdChara& def, std::int32_t& counter,
                    cCharaBase* summoner);
void SpawnItem(cList<cItem>& list, double x, double y, const cEdShot& params,
               const cEdItem& def, std::int32_t& counter);
// Changes the map cell under the 32-pixel area at (x, y) by the parameters' change kind.
void ChangeBlock(double x, double y, const cEdShot& params, const cEdBlock& block);
// The heroes and active characters a newly solid cell catches get a fly-change timer of 2; 1
// when a refuse switch of the parameters applies to one of them.
int HoldCaughtObjects(std::int64_t cellIndex, int column, int row, const cEdShot& params);
