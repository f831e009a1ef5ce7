#pragma once
// STAND-INS. What stage set-up calls of the hero, the items, the placement of characters and
// items, the appearance update, the defeat of a character and the replay files, declared
// under the names their own work gives them (members become members there). The bodies in
// setup_later.cpp do the least a stage needs to be set up and played; each goes when its own
// work is built.
#include <cstdint>
#include <string>

#include "foundation/containers.h"

class cChara;
class cCharaBase;
class cEdChara;
class cEdItem;
class cHero;
class cItem;
class cPlayScene;
class cPlayData;
class cReplayKeyLog;
class cStage;

// cHero::SetUpFromDef: the hero built from its definition at map pixel (x, y).
void SetUpHeroFromDef(cHero& hero, int number, cEdChara& def, double x, double y, int extra);
// 1 while the hero flies (its idle animation is then the flying one).
int HeroFlies(const cHero& hero);
// cItem::SetUpFromDef.
void SetUpItemFromDef(cItem& item, int number, cEdItem& def, int carried);
// The placements of the stage record: characters (carrying a copy of item, or none) and items.
void PlaceCharacter(cList<cChara>& list, int column, int row, std::int32_t& counter,
                    cEdChara& def, cItem* item);
void PlaceItem(cList<cItem>& list, int column, int row, std::int32_t& counter, cEdItem& def);
// cPlayScene::UpdateAppearance.
void UpdateAppearance(cPlayScene& scene);
// The defeat of an object with the scene's reactions: 0 play goes on, 1 the stage ends, 2 the
// hero is defeated.
int DefeatObject(cCharaBase* object, cList<cChara>* list);
// Reads a replay file: the stage into stage and second, the key log and the progress; 1 or 0.
int LoadReplayFile(cReplayKeyLog& log, const std::string& path, cStage& stage, cStage& second,
                   cPlayData& progress);
