// One frame of play (the play phase) and its sub-steps.
#include "play/play_frame.h"

#include <cassert>
#include <climits>
#include <iterator>
#include <vector>

#include "foundation/prefetch.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/timer.h"
#include "media/sound.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/play_units.h"
#include "objects/shot.h"
#include "play/appearance.h"
#include "play/block_collision.h"
#include "play/hits.h"
#include "play/input.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/scene_manager.h"
#include "play/solid_collision.h"
#include "play/stage_draw.h"
#include "play/stage_end.h"
#include "play/stage_setup.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"

namespace {

constexpr int kSoundHeroDefeat = 8;
constexpr int kSoundDefeat = 9;

cHero* Hero() { return g_Heroes.empty() ? nullptr : &g_Heroes.front(); }

// While the hero's end runs (or before a stage has a hero) the characters stand still.
bool HeroFinished() {
  const cHero* hero = Hero();
  return hero == nullptr || hero->m_bFinished != 0;
}

bool IsSolid(const cChara& chara) { return chara.PassDef().bSolid != 0; }
bool Squeezed(const cCharaBase& c) {
  return (c.m_bContactLeft && c.m_bContactRight) || (c.m_bContactTop && c.m_bContactBottom);
}

void EndStageNow(cPlayScene& scene) {
  EndStage();
  scene.m_nPhase = PLAYPHASE_STAGEEND;
}

// The answers of the checks: 1 the stage ends, 2 the hero is defeated; true when the frame
// ends.
bool StageOrHeroEnds(cPlayScene& scene, int answer) {
  if (answer == 1) {
    EndStageNow(scene);
    return true;
  }
  if (answer == 2) {
    DefeatHero(scene);
    return true;
  }
  return false;
}

// A death of the hero found by its checks: the line in the error log, then the defeat.
bool HeroDies(cPlayScene& scene, const char* what) {
  ErrLogF("%s", what);
  DefeatHero(scene);
  return true;
}

using CharaIt = cCharaList::iterator;

// A character whose flows asked for its defeat (pass step 2); erase is set when it goes.
// True when the frame ends.
bool DefeatFromFlows(cChara& chara, bool& erase) {
  const int answer = DefeatObject(&chara, &g_CharaList);
  if (!KeepDefeatedCharacters()) {
    erase = true;
    return answer != 0;
  }
  if (answer == 1) {
    erase = true;
    return true;
  }
  PlaySystemSound(kSoundDefeat);
  return answer == 2;
}

// The end of a character's steps in a pass (steps 5 and 6): dead, removed or decayed.
bool FinishCharaStep(cChara& chara, bool& erase, bool dead, bool remove) {
  if (dead) {
    PlaySystemSound(kSoundDefeat);
    const int answer = DefeatObject(&chara, &g_CharaList);
    if (answer == 1) erase = true;
    return answer == 1 || answer == 2;
  }
  if (remove) {
    erase = true;
    return false;
  }
  chara.DecayPushX();
  chara.DecayPushY();
  return false;
}

// The defeat check after commands, while a pass works on chara: when the check removes that
// very character it is unlinked and marked at once, and its node goes when the pass moves on.
bool PassCheckDefeats(cPlayScene& scene, cChara& chara, bool& erase) {
  if (!scene.m_bCheckDefeats) return false;
  sPassCharaGuard guard(&chara);
  const bool ends = CheckDefeats(g_CharaList) != 0;
  if (PassCharaRemoved()) erase = true;
  return ends;
}

// One character's steps in a pass; true when the frame ends.
bool StepChara(cPlayScene& scene, cChara& chara, bool solidPass, bool& erase) {
  chara.FireTrigger(0);
  if (chara.RunFlows(0) != 0) {
    if (!solidPass && chara.m_bRemoveReq) {
      erase = true;
      return false;
    }
    return DefeatFromFlows(chara, erase);
  }
  if (PassCheckDefeats(scene, chara, erase)) return true;
  if (erase) return false;
  if (!solidPass && chara.m_bRiding) RideAlong(chara);
  bool dead = false, remove = false;
  if (chara.MoveStepX() == MOVE_BELOW_SCROLL) remove = true;
  if (HitBlockSides(chara) == 2) dead = true;
  chara.ApplyCharaGravity();
  const int y = chara.MoveStepY();
  if (y == MOVE_CRUSHED) dead = true;
  if (y == MOVE_FELL) remove = true;
  if (HitBlockTopBottom(chara) == 2) dead = true;
  if (!solidPass) {
    if (PushOutOfSolidCharacters(chara) == 2) dead = true;
    HitBlockSidesAgain(chara);
    HitBlockTopBottomAgain(chara);
    if (Squeezed(chara)) dead = true;
  }
  return FinishCharaStep(chara, erase, dead, remove);
}

bool Steps(const cChara& chara) {
  return !chara.m_bFinished && chara.m_bPresent && chara.m_bActivated;
}

// Asks the memory for the flow runs of the character after node it, which a step reads
// first: they lie apart from the nodes, where the walk's even stride does not bring them, and
// one character's step is long enough for them to arrive meanwhile. Nothing is read but the
// next node, which exists now.
void FetchNextRuns(CharaIt it) {
  const CharaIt next = std::next(it);
  if (next == g_CharaList.end()) return;
  for (const cFlowRun& run : next->m_FlowRuns) FetchLine(&run);
}

// Pass 1 (solid) or pass 2 (the others) from node it on; true when the frame ends. The next
// element is taken only when the current one is done, so that removals of others are safe
// and characters appended meanwhile are walked too.
bool RunCharaPass(cPlayScene& scene, bool solidPass, CharaIt it) {
  while (it != g_CharaList.end()) {
    cChara& chara = *it;
    if (IsSolid(chara) != solidPass || !Steps(chara)) {
      ++it;
      continue;
    }
    bool erase = false;
    FetchNextRuns(it);
    const bool ends = StepChara(scene, chara, solidPass, erase);
    it = erase ? EraseCharaNode(it) : std::next(it);
    if (ends) return true;
  }
  return false;
}

// Pass 1 over the solid characters' nodes alone, as long as no character is made, copied, set
// up or destroyed; from a change on, the walk goes on along the list from the next node. The
// characters and their order are those of the walk along the whole list, which skips every
// other character.
bool RunSolidPass(cPlayScene& scene) {
  const std::uint64_t at = g_nCharaChangeCount;
  const std::vector<CharaIt>& solids = SolidCharaNodes();
  for (std::size_t i = 0; i < solids.size(); ++i) {
    const CharaIt it = solids[i];
    cChara& chara = *it;
    assert(IsSolid(chara));
    if (!Steps(chara)) continue;
    bool erase = false;
    const bool ends = StepChara(scene, chara, true, erase);
    const CharaIt next = erase ? EraseCharaNode(it) : std::next(it);
    if (ends) return true;
    if (g_nCharaChangeCount != at) return RunCharaPass(scene, true, next);
  }
  return false;
}

// The hero's step; true when the frame ends.
bool RunHeroStep(cPlayScene& scene, cHero& hero) {
  hero.FireTrigger(0);
  if (hero.RunFlows(0) != 0) return StageOrHeroEnds(scene, 2);
  if (StageOrHeroEnds(scene, scene.m_nStageEndReq)) return true;
  if (scene.m_bCheckDefeats && CheckDefeats(g_CharaList) != 0) return true;
  ApplyBlockEffect(hero);
  if (hero.m_bRiding) RideAlong(hero);

  hero.MoveStepX();
  KeepInScreenX(hero);
  if (HitBlockSides(hero) == 2) return HeroDies(scene, "Dead 1");
  KeepInScreenX(hero);

  hero.ApplyCharaGravity();
  if (hero.MoveStepY() == MOVE_CRUSHED) return HeroDies(scene, "Dead 2");
  if (KeepInScreenY(hero) == 2) return HeroDies(scene, "Dead 3");
  if (HitBlockTopBottom(hero) == 2) return HeroDies(scene, "Dead 4");
  if (KeepInScreenY(hero) == 2) return HeroDies(scene, "Dead 5");

  if (Squeezed(hero) && hero.RestoreIfBlocked() == 0) {
    hero.RestorePos();
    return HeroDies(scene, "Dead SP");
  }
  if (PushOutOfSolidCharacters(hero) == 2 && !hero.m_bFinished && hero.RestoreIfBlocked() == 0)
    return HeroDies(scene, "Dead 6");
  if ((hero.m_bContactLeft || hero.m_bContactRight) && HitBlockSidesAgain(hero) == 2 &&
      !hero.m_bFinished) {
    if (hero.RestoreIfBlocked() == 0) return HeroDies(scene, "Dead 7");
    return true;  // survived: the rest of the frame is skipped
  }
  if ((hero.m_bContactTop || hero.m_bContactBottom) && HitBlockTopBottomAgain(hero) == 2 &&
      !hero.m_bFinished && hero.RestoreIfBlocked() == 0)
    return HeroDies(scene, "Dead 8");
  if (Squeezed(hero) && hero.RestoreIfBlocked() == 0) {
    hero.RestorePos();
    return HeroDies(scene, "Dead 9");
  }
  hero.DecayPushX();
  hero.DecayPushY();
  return false;
}

const cEraseArea& ShotEraseArea(const cShot& shot) {
  return g_Stage.m_EraseArea[shot.m_nControl == 0 ? ERASE_PLAYER_SHOT : ERASE_COMPUTER_SHOT];
}

// Whether a shot meets the blocks in this sub-step: every sub-step, so that a fast shot
// cannot cross a wall between two tests.
bool ShotTestsBlocks(int /*subStep*/) { return true; }

void RunShots(cPlayScene& scene, int c) {
  cShotList& shots = scene.m_ShotList;
  for (auto it = shots.begin(); it != shots.end();) {
    cShot& shot = *it;
    if (shot.Update() == 1) {
      it = EraseShot(shots, it);
      continue;
    }
    shot.ApplyGravity();
    shot.MoveY();
    shot.MoveX();
    if (shot.m_bIsShot) {
      if (c == 1 && shot.IsFarOffScreen(ShotEraseArea(shot))) {
        it = EraseShot(shots, it);
        continue;
      }
      if (ShotTestsBlocks(c) && shot.HitBlocks() == 1) {
        it = EraseShot(shots, it);
        continue;
      }
    }
    ++it;
  }
}

void RemoveFarOff(cPlayScene& scene) {
  const bool anyChara = scene.m_bFarChara || scene.m_bFarSolid;
  for (auto it = g_CharaList.begin(); anyChara && it != g_CharaList.end();) {
    const cChara& chara = *it;
    const bool solid = IsSolid(chara);
    const bool on = solid ? scene.m_bFarSolid : scene.m_bFarChara;
    const cEraseArea& area = g_Stage.m_EraseArea[solid ? ERASE_CHARA_NO_HIT_BOX : ERASE_CHARA];
    if (on && !chara.m_bFinished && chara.m_bPresent && chara.IsFarOffScreen(area))
      it = EraseCharaNode(it);
    else
      ++it;
  }
  if (!scene.m_bFarItem) return;
  for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
    if (it->IsFarOffScreen(g_Stage.m_EraseArea[ERASE_ITEM]))
      it = g_ItemList.erase(it);
    else
      ++it;
  }
}

// A character's immunity, contacts and saved position at the start of a sub-step.
void StartCharaSubStep(cCharaBase& chara) {
  // Without a timer or an immunity the tick changes nothing.
  if (chara.m_nInvincibleTimer != 0 || !chara.m_Immunity.empty()) chara.TickImmunity();
  chara.ClearContacts();
  chara.SavePos();
}

// The appearance of the hero and of every character: present, on screen, in view (which sets
// the activation switches).
void MarkAppearance(cPlayScene& scene) {
  if (cHero* hero = Hero()) {
    hero->m_bPresent = 1;
    hero->m_bOnScreen = 1;
  }
  for (std::uint8_t& s : scene.m_ActiveSwitch) s = 0;
  for (cChara& chara : g_CharaList) {
    if (CheckCharaAppearance(chara)) {
      chara.m_bPresent = 1;
      chara.m_bOnScreen = chara.IsOnScreen();
      chara.CheckAppear(scene.m_ActiveSwitch);
    } else {
      chara.m_bPresent = 0;
      chara.m_bOnScreen = 0;
    }
  }
}

// A character's activation, once every character's view set the switches.
void Activate(cPlayScene& scene, cChara& chara) {
  chara.m_bActivated = chara.m_bPresent && chara.CheckActive(scene.m_ActiveSwitch) ? 1 : 0;
}

void UpdateItemsAndShots(cPlayScene& scene) {
  for (cItem& item : g_ItemList) {
    const bool present = CheckItemAppearance(item) != 0;
    item.m_bPresent = present ? 1 : 0;
    item.m_bOnScreen = present ? item.IsOnScreen() : 0;
  }
  for (cShot& shot : scene.m_ShotList) {
    shot.m_bPresent = 1;
    shot.m_bOnScreen = shot.IsOnScreen();
  }
}

// Whether some item's appearance is tested against conditions, which may read characters
// through the hero's targets.
bool ItemsHaveConditions() {
  for (const cItem& item : g_ItemList)
    if (!item.m_Def.m_Conds.empty()) return true;
  return false;
}

// The life timers (while the hero plays) and the start of every character's sub-step, in one
// walk: a character whose life ends goes before its start, and removing it touches no other
// character's immunity, contacts or position, so the order is that of two walks. With a scene,
// each character's activation comes first in the same walk: it reads and sets the character's
// own fields alone, which neither a removal nor the start of another changes.
void TickCharas(bool lifeTimers, cPlayScene* activateIn) {
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    cChara& chara = *it;
    if (activateIn) Activate(*activateIn, chara);
    if (lifeTimers && !chara.m_bFinished && chara.m_nLife != INT_MAX && --chara.m_nLife < 0) {
      it = EraseCharaNode(it);
      continue;
    }
    StartCharaSubStep(chara);
    ++it;
  }
}

void TickItemLifeTimers() {
  for (auto it = g_ItemList.begin(); it != g_ItemList.end();) {
    if (it->m_nLife != INT_MAX && --it->m_nLife < 0)
      it = g_ItemList.erase(it);
    else
      ++it;
  }
}

// The player's input of the frame; false when the frame ends (a replay's log is over).
bool ReadFrameInput(cPlayScene& scene) {
  if (g_Inputs.empty()) return true;
  cInputState& input = g_Inputs.front();
  if (g_SceneManager.m_nGameKind == GAME_REPLAY) {
    input.m_wDirection = 0;
    input.m_nDirection = 5;
    input.m_wButton = 0;
    if (g_ReplayLog.Play(input) == 1) {
      g_PlayData.RestoreStageStart(1);
      SetStage(1, 1);
      scene.m_nPhase = PLAYPHASE_START;
      return false;
    }
    input.m_nDirection = GetDirection(input);
    input.RecordRing();
    input.UpdateHistories();
    return true;
  }
  if (input.m_wButton == 0)
    scene.m_bWaitRelease = 0;
  else if (scene.m_bWaitRelease)
    input.m_wButton = 0;
  input.RecordRing();
  input.UpdateHistories();
  if (g_SystemData.m_bRecordReplay) g_ReplayLog.Record(input);
  return true;
}

}  // namespace

void DefeatHero(cPlayScene& scene) {
  PlaySystemSound(kSoundHeroDefeat);
  cHero* hero = Hero();
  if (hero && hero->OnDead() == 1) EndStageNow(scene);
}

void UpdateAppearance(cPlayScene& scene) {
  MarkAppearance(scene);
  for (cChara& chara : g_CharaList) Activate(scene, chara);
  UpdateItemsAndShots(scene);
}

int CountTime(cPlayScene& scene, int delta) {
  if (scene.m_bNoTimeLimit) return 0;
  if (!CountEvery(1, 60)) return 0;
  scene.m_nTime += delta;
  if (scene.m_nTime > 999) {
    scene.m_nTime = 999;
    return 0;
  }
  if (scene.m_nTime > 0) return 0;
  scene.m_nTime = 0;
  return 1;
}

void CountPlayTime(cPlayScene& scene) {
  constexpr std::int32_t kMax = 599999;
  if (scene.m_nPlayTime >= kMax) return;
  ++scene.m_nPlayFrames;
  const std::int64_t time = std::int64_t{scene.m_nPlayFrames} * 100 / 60;
  scene.m_nPlayTime = static_cast<std::int32_t>(time < kMax ? time : kMax);
}

int RunSubStep(cPlayScene& scene, int c) {
  scene.m_nSubStep = c;
  ++scene.m_nSubStepTotal;
  const bool lifeTimers = !HeroFinished();
  if (ItemsHaveConditions()) {
    UpdateAppearance(scene);
    TickCharas(lifeTimers, nullptr);
  } else {
    // No item looks at characters: the activations join the walk of the life timers, which
    // then comes after the items and shots, as it does after the activations.
    MarkAppearance(scene);
    UpdateItemsAndShots(scene);
    TickCharas(lifeTimers, &scene);
  }
  if (lifeTimers) TickItemLifeTimers();
  cHero* hero = Hero();
  if (hero) {
    StartCharaSubStep(*hero);
    hero->KeepPrevFloor();
  }
  scene.m_ScrollX.Step();
  scene.m_ScrollY.Step();
  if (!HeroFinished()) {
    if (RunSolidPass(scene)) return 1;
    cSolidIndexWindow solidsStill;
    if (RunHeroStep(scene, *hero)) return 1;
    if (RunCharaPass(scene, false, g_CharaList.begin())) return 1;
  }
  RunShots(scene, c);
  if (HeroFinished()) return 0;
  if (c == 1) RemoveFarOff(scene);
  if (StageOrHeroEnds(scene, GiveBlockItem(*hero))) return 1;
  if (StageOrHeroEnds(scene, AttackHits(g_CharaList))) return 1;
  if (!HeroFinished() && StageOrHeroEnds(scene, PickUpItems(*hero))) return 1;
  return 0;
}

void cPlayScene::PhasePlay() {
  if (m_bQuit) {
    PostCloseToMainWindow();
    return;
  }
  if (CheckPauseKey()) {
    m_nStep = 0;
    m_nPhase = PLAYPHASE_PAUSE;
    return;
  }
  if (CheckPlayHotKeys()) return;
  ++m_nFrame;
  if (!ReadFrameInput(*this)) return;
  CountPlayTime(*this);
  if (CountTime(*this, -1) == 1 && !HeroFinished()) {
    DefeatHero(*this);
    return;
  }
  cHero* hero = Hero();
  if (hero) ResetFlowTriggers(*hero);
  for (cChara& chara : g_CharaList)
    if (!chara.m_bFinished) ResetFlowTriggers(chara);
  for (cChara& chara : g_CharaList) chara.m_bAnchorX = chara.m_bAnchorY = 0;
  if (hero) hero->m_bAnchorX = hero->m_bAnchorY = 0;
  for (int c = 1; c <= g_nHitLevel; ++c)
    if (RunSubStep(*this, c)) return;
  DrawFrame(1, 0, 1, 1);
}
