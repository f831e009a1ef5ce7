#include "play/stage_setup.h"

#include <algorithm>
#include <new>
#include <vector>

#include "content/chara.h"
#include "content/item.h"
#include "flows/flow_run.h"
#include "flows/shot_cmds.h"
#include "flows/stage_cmds.h"
#include "foundation/message_box.h"
#include "foundation/random.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/timer.h"
#include "media/cursor.h"
#include "media/palette.h"
#include "media/present.h"
#include "media/surface.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "play/input.h"
#include "play/map_cells.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/scene_manager.h"
#include "play/hits.h"
#include "play/play_frame.h"
#include "play/spawn.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

namespace {

constexpr int kLightSurface = 65;
constexpr int kLightCircleSurface = 66;
constexpr char kSetupMemoryText[] = "メモリ不足により、ステージの初期設定に失敗しました！";

void ReportSetupMemoryFailure() {
  ErrBoxF("%s", kSetupMemoryText);
  PostCloseToMainWindow();
}

// Marks the set-up as running, so that lack of memory found deep inside it gets its message.
class cInStageSetup {
 public:
  cInStageSetup() : m_nSaved(g_bInStageSetup) { g_bInStageSetup = 1; }
  ~cInStageSetup() { g_bInStageSetup = m_nSaved; }
  cInStageSetup(const cInStageSetup&) = delete;
  cInStageSetup& operator=(const cInStageSetup&) = delete;

 private:
  std::int32_t m_nSaved;
};

bool AnySide(const cEraseArea& area) {
  return area.m_bLeft || area.m_bRight || area.m_bTop || area.m_bBottom;
}

void AddToGroup(cPlayScene& scene, cCharaBase& chara) {
  const int group = chara.m_Def.m_nGroup;
  if (group >= 0 && group < static_cast<int>(scene.m_CharaGroup.size()))
    scene.m_CharaGroup.data()[group].push_back(&chara);
}

// Steps 1 to 33 of the set-up; lack of memory leaves through bad_alloc.
void BuildStage(cPlayScene& scene, int bLoadStage, int bFresh) {
  ErrLogF("In SetStage bLoadStage = %d", bLoadStage);
  scene.m_nFrame = 0;

  // What the previous attempt left: the group lists first, since they point into the lists.
  scene.m_ShotGroup.assign(kGroupCount, cList<cShot*>());
  scene.m_ShotList.clear();
  scene.m_CharaGroup.assign(kGroupCount, cList<cCharaBase*>());
  g_CharaList.clear();
  g_ItemList.clear();

  const bool replay = g_SceneManager.m_nGameKind == GAME_REPLAY;
  if (bLoadStage) {
    if (replay) {
      cStage scratch;
      if (!LoadReplayFile(g_ReplayLog, g_Stage.m_strPath, g_Stage, scratch, g_PlayData))
        PostCloseToMainWindow();
    }
    RestoreStagePlayData(g_Stage, g_StageCopy);
  }

  // The attempt's random seed: the replay's own, or a new one kept in the new key log.
  // Outside replays, rules kept for the versions that recorded them are those of this one.
  if (!replay) g_nPlaybackReplayVersion = g_nDataVersion;
  if (replay) {
    g_ReplayLog.ResetPlayCursors();
    scene.m_nSeed = g_ReplayLog.m_nSeed;
  } else if (g_SystemData.m_bRecordReplay) {
    g_PrevPlayDataAtStart = g_PlayDataAtStart;
    g_PlayDataAtStart = g_PlayData;
    g_PrevReplayLog = g_ReplayLog;
    g_ReplayLog.Clear();
    g_ReplayLog.m_nSeed = static_cast<std::int32_t>(TimeGetTime());
    scene.m_nSeed = g_ReplayLog.m_nSeed;
  }
  RandSeed(static_cast<std::uint32_t>(scene.m_nSeed));

  const int heroDef = g_Stage.FindHeroDef();
  if (g_Stage.m_bCarryIn && heroDef >= 0)
    g_PlayData.ApplyInherit(0, g_Stage.m_PlacedCharas[heroDef], g_Stage);

  const int music =
      StageMusicRequest(bFresh, g_Stage.m_nBgmOptB, g_PlayData.m_nStageBgm, g_Stage.m_nBgm);
  if (music >= 0) RequestBgm(music, g_Stage.m_nBgmOptA);

  g_SceneManager.m_nBgm = 0;
  scene.m_nCharaNo = scene.m_nItemNo = scene.m_nShotNo = 0;
  g_Stage.SetSpeedLevel(g_Stage.m_nSpeedLevel);

  scene.m_ScrollX.SetUpX(g_Stage.m_nWidth, g_Stage.m_nScrollExtraX);
  scene.m_ScrollX.SetSpeed(g_Stage.m_bAutoScrollX, g_Stage.m_nAutoScrollSpeedX);
  scene.m_ScrollX.SetLimits(g_Stage.m_nLimitLeft, g_Stage.m_nLimitRight, g_Stage.m_bLimitLeft,
                            g_Stage.m_bLimitRight);
  scene.m_ScrollY.SetUpY(g_Stage.m_nHeight, g_Stage.m_nScrollExtraY);
  scene.m_ScrollY.SetSpeed(g_Stage.m_bAutoScrollY, g_Stage.m_nAutoScrollSpeedY);
  scene.m_ScrollY.SetLimits(g_Stage.m_nLimitTop, g_Stage.m_nLimitBottom, g_Stage.m_bLimitTop,
                            g_Stage.m_bLimitBottom);

  if (!ResetMapCells(g_Stage.m_nWidth, g_Stage.m_nHeight)) {
    // A grid no 32-bit program could hold: refused before any allocation. The stage stays
    // without a hero until the close takes effect.
    g_Heroes.clear();
    ReportSetupMemoryFailure();
    return;
  }
  for (const cEdBlock& block : g_Stage.m_PlacedBlocks) {
    cMapCell* cell = MapCellAtBlock(block.m_sPosX, block.m_sPosY);
    if (!cell) continue;
    SetMapCellBlock(*cell, block);
  }

  g_Heroes.clear();
  cHero& hero = g_Heroes.emplace_back();
  scene.m_nHeroCount = 1;
  ErrLogF("A");

  if (heroDef >= 0) {
    cEdChara& d = g_Stage.m_PlacedCharas[heroDef];
    if (g_PlayData.m_bStartPos) d.m_nFacing = static_cast<std::uint8_t>(g_PlayData.m_nStartDir);
    const int number = scene.m_nCharaNo++;
    hero.SetUpFromDef(number, d, (d.m_sPosX + 10) * 32 + 16, (d.m_sPosY + 10) * 32 + 16, 0);
    if (g_PlayData.m_bStartPos) {
      d.m_sPosX = static_cast<std::int16_t>(g_PlayData.m_nStartX);
      d.m_sPosY = static_cast<std::int16_t>(g_PlayData.m_nStartY);
    }
    hero.SetBlockPos(d.m_sPosX, d.m_sPosY);
    const double offsetX = d.GetPlaceOffsetX(0, d.m_nFacing);
    const double offsetY = d.GetPlaceOffsetY(0, d.m_nFacing);
    hero.m_dX += offsetX;
    hero.m_dRight += offsetX;
    hero.m_dY += offsetY;
    hero.m_dBottom += offsetY;
    if (g_Stage.m_bCarryIn) g_PlayData.GetInheritValues(0, hero.m_HP.m_nValue, hero.m_SP.m_nValue);
    hero.m_Anime.Set(hero.m_bNoGravity ? 2 : 0, 1);
  } else {
    ErrLogF("SetStage: the stage has no hero");
  }
  ErrLogF("B");

  scene.m_ScrollX.m_dPos = hero.m_dX - 320 + hero.m_nWidth / 2;
  scene.m_ScrollX.Clamp();
  scene.m_ScrollY.m_dPos = hero.m_dY - 240 + hero.m_nHeight / 2;
  scene.m_ScrollY.Clamp();
  hero.UpdateScreenRect();
  if (hero.m_Def.m_nLight != 0)
    PrepareLightSurfaces(&g_SystemSurface[kLightSurface], &g_SystemSurface[kLightCircleSurface]);

  scene.m_StageVar.assign(kStageVarCount, 0);
  ErrLogF("10");

  // Placed characters under computer control (the hero's definition is the player's), each
  // with a copy of the placed item it carries.
  std::vector<bool> carried(g_Stage.m_PlacedItems.size(), false);
  for (cEdChara& def : g_Stage.m_PlacedCharas) {
    if (def.m_nControl != 1) continue;
    const std::int32_t index = def.m_nDropItem;
    if (index == -1) {
      PlaceCharacter(g_CharaList, def.m_sPosX, def.m_sPosY, scene.m_nCharaNo, def, nullptr);
      continue;
    }
    if (index < 0 || index >= static_cast<std::int32_t>(g_Stage.m_PlacedItems.size())) {
      Report("SetStage: the character at (%d, %d) carries item %d of %d placed items; placed "
             "without it",
             def.m_sPosX, def.m_sPosY, index, static_cast<int>(g_Stage.m_PlacedItems.size()));
      PlaceCharacter(g_CharaList, def.m_sPosX, def.m_sPosY, scene.m_nCharaNo, def, nullptr);
      continue;
    }
    cItem item;
    item.SetUpFromDef(scene.m_nItemNo, g_Stage.m_PlacedItems[index], 1);
    ++scene.m_nItemNo;
    PlaceCharacter(g_CharaList, def.m_sPosX, def.m_sPosY, scene.m_nCharaNo, def, &item);
    carried[static_cast<std::size_t>(index)] = true;
  }
  for (std::size_t i = 0; i < g_Stage.m_PlacedItems.size(); ++i) {
    if (carried[i]) continue;
    cEdItem& def = g_Stage.m_PlacedItems[i];
    PlaceItem(g_ItemList, def.m_sPosX, def.m_sPosY, scene.m_nItemNo, def);
  }
  ErrLogF("11");
  ErrLogF("12");
  ErrLogF("C");
  ErrLogF("D");

  AddToGroup(scene, hero);
  for (cChara& chara : g_CharaList) AddToGroup(scene, chara);

  scene.m_bFarChara = AnySide(g_Stage.m_EraseArea[0]);
  scene.m_bFarSolid = AnySide(g_Stage.m_EraseArea[1]);
  scene.m_bFarItem = AnySide(g_Stage.m_EraseArea[2]);

  scene.m_MessageList.clear();
  ResetItemDepthReport();
  scene.m_EffectList.clear();
  scene.m_ScrEffect.Clear();
  scene.m_Flash = sFlash{};
  scene.m_Flash.m_nLevel = 255;
  scene.m_MsgWait.m_nCounter = 0;
  ReleasePictures();
  ReleaseMessageBitmaps();

  scene.m_AttackHitStep = BuildAttackHitSteps(g_nHitLevel, g_Stage.m_nAttackHitLevel);
  scene.m_nStageEndReq = 0;
  scene.m_nCaptionCount = scene.m_nCaptionCount2 = 0;
  ResetRunTimeListReport();
  ResetFlowStartReport();
  if (g_Stage.m_bTimeLimit) {
    scene.m_bNoTimeLimit = 0;
    scene.m_nTime = g_Stage.m_nTimeLimit;
  } else {
    scene.m_nTime = 999;
    scene.m_bNoTimeLimit = 1;
  }
  scene.m_nPlayFrames = scene.m_nPlayTime = 0;
  scene.m_ActiveSwitch.assign(kActiveSwitchCount, 0);
  scene.m_nNextPart = 0;
  scene.m_nSubStep = scene.m_nSubStepTotal = 0;
  g_PlayData.m_nScore = 0;

  if (replay || (g_bEditorLaunch && g_bTestPlay)) g_PlayData.ClearCounters();
  g_PlayData.KeepStageStart();

  for (cInputState& input : g_Inputs) input.Reset();
  g_Cursor.Reset();
  CountEvery(0, static_cast<unsigned>(g_Stage.m_nFrameRate));
  for (cStageBackLayer& layer : g_Stage.m_BackLayers) layer.m_dOffsetX = layer.m_dOffsetY = 0;
  if (g_nBpp == 8) {
    std::copy(g_Palette, g_Palette + 256, g_WorkPalette);
    if (g_lpDDPalette) g_lpDDPalette->SetEntries(0, 256, g_WorkPalette);
  }
  g_SceneManager.m_nFps = g_Stage.m_nFrameRate;

  hero.InitTargets(nullptr);
  for (cChara& chara : g_CharaList) chara.InitTargets(nullptr);

  // Before the stage starts. Characters that vanish or die in it go at once, completely.
  const bool older = g_SystemData.bCompatStageSetup != 0;
  if (!older) UpdateAppearance(scene);
  hero.FireTrigger(TRIGGER_BEFORE_STAGE_START);
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    cChara& chara = *it;
    if (!older && !chara.m_bPresent) {
      ++it;
      continue;
    }
    chara.FireTrigger(TRIGGER_BEFORE_STAGE_START);
    if (chara.m_bRemoveReq) {
      it = EraseCharaNode(it);
    } else if (chara.m_HP.m_nValue <= 0) {
      DefeatObject(&chara, &g_CharaList);
      it = EraseCharaNode(it);
    } else {
      ++it;
    }
  }
  UpdateAppearance(scene);

  scene.m_bShowStatus = g_Stage.m_nSceneOpt;
  DDSetVirBackBuffer(0);
  ErrLogF("Out SetStage");
}

}  // namespace

void RestoreStagePlayData(cStage& stage, const cStage& copy) {
  if (&stage == &copy) return;
  stage.Copy(copy);
  stage.m_BackLayers = copy.m_BackLayers;
  stage.m_VarNames = copy.m_VarNames;
  for (int i = 0; i < ERASE_AREA_COUNT; ++i) stage.m_EraseArea[i] = copy.m_EraseArea[i];
  stage.m_ResultItems = copy.m_ResultItems;
}

cVector<std::int32_t> BuildAttackHitSteps(int n, int m) {
  const int count = std::max(n, 0);
  // No test count (or a negative one) tests every sub-step; so does a count of N or more,
  // whose steps of at most one sub-step reach every entry.
  if (m <= 0 || m >= count) return cVector<std::int32_t>(static_cast<std::size_t>(count), 1);
  cVector<std::int32_t> steps(static_cast<std::size_t>(count), 0);
  const double step = static_cast<double>(n) / m;
  double p = 0.0;
  int k = 0;
  do {
    steps[static_cast<int>(p)] = 1;
    p += step;
    ++k;
  } while (static_cast<int>(p) < n);
  if (k < m) steps[n - 1] = 1;
  return steps;
}

int StageMusicRequest(int bFresh, int keep, int current, int stage) {
  if (!bFresh) return current != stage ? stage : -1;
  if (!keep || current != stage) return stage;
  return stage == 0 ? 0 : -1;
}

void SetStage(int bLoadStage, int bFresh) {
  cPlayScene* scene = g_pPlayScene;
  if (!scene) return;
  cInStageSetup inSetup;
  try {
    BuildStage(*scene, bLoadStage, bFresh);
  } catch (const std::bad_alloc&) {
    ReportSetupMemoryFailure();
  }
}
