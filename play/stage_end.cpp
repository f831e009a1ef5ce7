#include "play/stage_end.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "foundation/path_utils.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/thread.h"
#include "media/sound.h"
#include "objects/hero.h"
#include "platform/clock.h"
#include "play/message.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/requests.h"
#include "play/stage_draw.h"
#include "play/stage_setup.h"
#include "play/sub_loops.h"
#include "project/option_data.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/ranking.h"
#include "project/stage.h"
#include "project/stage_loader.h"
#include "project/system_data.h"
#include "project/world_map.h"

namespace {

constexpr int kMaxLives = 99;
constexpr int kSignFrames = 30;

// Every total wraps as the 32-bit sums of the original always have; none is clamped.
void AddWrapped(std::int32_t& total, std::int64_t amount) {
  total = static_cast<std::int32_t>(static_cast<std::uint32_t>(total) +
                                    static_cast<std::uint32_t>(amount));
}

bool FlagSet(const cVector<std::int32_t>& flags, int i) {
  return i >= 0 && i < static_cast<int>(flags.size()) && flags[i] != 0;
}
bool FlagSet(const cVector<std::uint8_t>& flags, int i) {
  return i >= 0 && i < static_cast<int>(flags.size()) && flags[i] != 0;
}

// The after-clear action of the world-map link that started the story stage: the active
// link of the point being played, none when the point is unknown.
int ChosenLinkAfterClear() {
  const cPlayData& play = g_PlayData;
  const int point = play.m_nMapPoint;
  if (point < 0 || point >= static_cast<int>(g_WorldMap.m_Points.size()))
    return AFTER_CLEAR_NOTHING;
  const cWorldMapLink* link = g_WorldMap.m_Points[point].FindActiveLink(play);
  return link ? link->m_nAfterClear : AFTER_CLEAR_NOTHING;
}

// Loads part part into the stage when it exists: 1 when the play scene sets it up next.
bool LoadNextPart(const cPlayScene& scene, int part) {
  std::string name;
  if (!MakeNextStageName(scene, name, part)) return false;
  if (!LoadStageFile(name, 1, &g_StageCopy)) return false;
  ClearReplayLogs();
  return true;
}

// The extra-life sign over the hero, rising for the 30 frames of its wait.
void AppendExtraLifeSign(cPlayScene& scene) {
  const int hero = g_Heroes.empty() ? 0 : g_Heroes.front().m_nNumber;
  scene.m_MessageList.emplace_back(MESSAGE_EXTRA_LIFE, "", 0, 0, 0, MSGPOS_ABOVE_HERO, 0, 0, 0, 0,
                                   0, 1, 2, kSignFrames, 1, hero, 0, 0, 0, 0, 0, 0, 0);
}

eSceneId DecideStory(const cPlayScene& scene, int savedPart) {
  cPlayData& play = g_PlayData;
  if (play.m_bMultiPart && scene.m_nNextPart != 0) {
    play.m_nPartNo = scene.m_nNextPart;
    if (LoadNextPart(scene, scene.m_nNextPart)) return SCENE_PLAY;
  }
  // The link is looked up before its stage counts as cleared, which can change which of the
  // point's links is active.
  const int afterClear = ChosenLinkAfterClear();
  if (play.m_nStageNo >= 0 && play.m_nStageNo < static_cast<int>(play.m_StageClear.size()))
    play.m_StageClear[play.m_nStageNo] = 1;
  play.RecordStageResult(play.m_strStageName, play.m_strStageKey, play.m_bVariant,
                         play.m_nVariantVar, play.m_nVariantValue, play.m_nTotalScore);
  switch (afterClear) {
    case AFTER_CLEAR_NEXT_LAP:
      play.StartNextLap();
      play.m_nPartNo = savedPart;
      return SCENE_WORLDMAP;
    case AFTER_CLEAR_TO_TITLE:
      return SCENE_TITLE;
    default:
      play.m_nPartNo = savedPart;
      return SCENE_WORLDMAP;
  }
}

eSceneId DecideChallenge(const cPlayScene& scene, int savedPart) {
  cPlayData& play = g_PlayData;
  if (play.m_bMultiPart && scene.m_nNextPart != 0) {
    play.m_nPartNo = scene.m_nNextPart;
    if (LoadNextPart(scene, scene.m_nNextPart)) return SCENE_PLAY;
  }
  const int index = play.m_nStageNo - 1;
  if (index < 0 || index >= static_cast<int>(play.m_ChallengeClear.size())) {
    // A stage number outside the list has no record to keep the clear in.
    Report(
        "challenge stage %d is outside the %zu stages of the challenge list; its clear is "
        "not recorded",
        play.m_nStageNo, play.m_ChallengeClear.size());
  } else {
    cStageClear& record = play.m_ChallengeClear[index];
    record.m_bCleared = 1;
    if (play.m_nTotalScore > record.m_nBest) {
      AddWrapped(play.m_nResultTotal,
                 static_cast<std::int64_t>(play.m_nTotalScore) - record.m_nBest);
      record.m_nBest = play.m_nTotalScore;
    }
    if (play.m_nChallengeOpen <= play.m_nStageNo) {
      // Never past the project's stages, and never fewer than were open.
      const int count = std::max(g_SystemData.m_nChallengeCount, 0);
      play.m_nChallengeOpen = std::max(play.m_nChallengeOpen, std::min(play.m_nStageNo + 1, count));
    }
  }
  // The writer keeps the old file whole and reports when it cannot replace it.
  if (!play.SaveChallenge()) Report("the challenge progress could not be saved");
  play.m_nPartNo = savedPart;
  return SCENE_CHALLENGE;
}

eSceneId DecideFreePlay(const cPlayScene& scene, int savedPart) {
  cPlayData& play = g_PlayData;
  if (!play.m_bMultiPart || g_bTestPlay) {
    play.m_bStartPos = 0;
    return SCENE_PLAY;
  }
  if (scene.m_nNextPart != 0) {
    play.m_nPartNo = scene.m_nNextPart;
    if (LoadNextPart(scene, scene.m_nNextPart)) return SCENE_PLAY;
  }
  play.m_nPartNo = savedPart;
  return SCENE_TITLE;
}

}  // namespace

void EndStage() {
  cPlayScene* scene = g_pPlayScene;
  if (!scene) return;
  PlaySystemSound(14);
  TallyScore(*scene);
  scene->m_bRanked = 0;
  scene->m_bRankIn = 0;
  scene->m_RankPos.assign(kRankingGenreCount, -1);
  std::string next;
  if (!g_bTestPlay &&
      !(g_SceneManager.m_bRanking && !MakeNextStageName(*scene, next, scene->m_nNextPart)))
    return;
  scene->m_RankValue.assign(kRankingGenreCount, 0);
  for (int genre = 0; genre < kRankingGenreCount; ++genre)
    scene->m_RankValue[genre] = GetRankingValue(g_PlayData, genre);
  if (g_bEditorLaunch) return;
  const int playMode = g_SceneManager.m_nPlayMode;
  const auto& sets = g_SystemData.m_RankingSets;
  if (playMode < 0 || playMode >= static_cast<int>(sets.size())) return;
  const int tables = static_cast<int>(g_Ranking.m_Tables.size());
  for (int genre = 0; genre < kRankingGenreCount && genre < tables; ++genre) {
    if (!FlagSet(sets[playMode].m_Genres, genre) || !FlagSet(g_Stage.m_ResultItems, genre))
      continue;
    scene->m_RankPos[genre] = g_Ranking.m_Tables[genre].FindRank(scene->m_RankValue[genre]);
    if (scene->m_RankPos[genre] != -1) scene->m_bRankIn = 1;
  }
}

void TallyScore(cPlayScene& scene) {
  cPlayData& play = g_PlayData;
  const std::int32_t old = play.m_nTotalScore;
  const cHero* hero = g_Heroes.empty() ? nullptr : &g_Heroes.front();
  AddWrapped(play.m_nTotalScore, play.m_nScore);
  if (!scene.m_bNoTimeLimit) AddWrapped(play.m_nTimeTotal, scene.m_nTime);
  AddWrapped(play.m_nPlayTime, scene.m_nPlayTime);
  AddWrapped(play.m_nHpTotal, hero ? hero->m_HP.m_nValue : 0);
  AddWrapped(play.m_nSpTotal, hero ? hero->m_SP.m_nValue : 0);

  const std::int64_t step = g_SystemData.m_nExtendScore;
  if (play.m_nLives == kUnlimitedLives || !g_SystemData.m_bExtendLives || step == 0) return;
  // 64-bit quotients: a negative step must not overflow on the lowest total.
  const std::int64_t lives = play.m_nTotalScore / step - old / step;
  for (std::int64_t i = 0; i < lives; ++i) {
    if (play.m_nLives < kMaxLives) ++play.m_nLives;
    PlaySystemSound(15);
    AppendExtraLifeSign(scene);
    const cMessage* sign = &scene.m_MessageList.back();
    scene.m_MsgWait.Set(4, 0, kSignFrames, 0);
    RunSubLoop(thPause, MessageLoopThread);
    // The sign goes with its wait (unless it already went by itself).
    if (!scene.m_MessageList.empty() && &scene.m_MessageList.back() == sign)
      scene.m_MessageList.pop_back();
    if (scene.m_bQuit.load()) {
      PostCloseToMainWindow();
      break;
    }
    while (!g_bActive.load()) platform::SleepMs(1);
  }
}

void EnterRanking() {
  cPlayScene* scene = g_pPlayScene;
  if (!scene || !g_SceneManager.m_bRanking || !scene->m_bRankIn || scene->m_bRanked) return;
  cPlayData& play = g_PlayData;
  const int mode = g_OptionData.m_nRankMode;
  if (mode == 0 || mode == 2) {
    scene->m_strRankName = play.m_strRankName;
    // The name-entry window edits m_strRankName; a refused request keeps the name.
    RequestNameEntry();
    play.m_strRankName = scene->m_strRankName;
  } else {
    scene->m_strRankName = g_OptionData.m_strRankName;
  }
  PlaySystemSound(16);
  const int tables = std::min(static_cast<int>(g_Ranking.m_Tables.size()),
                              static_cast<int>(scene->m_RankPos.size()));
  for (int i = 0; i < tables; ++i) {
    if (scene->m_RankPos[i] == -1) continue;
    const int value = i < static_cast<int>(scene->m_RankValue.size()) ? scene->m_RankValue[i] : 0;
    g_Ranking.m_Tables[i].AddEntry(scene->m_strRankName, value);
  }
  if (!SaveRanking(g_Ranking, g_SceneManager.m_nPlayMode, play.m_strStageName, play.m_bVariant,
                   play.m_nVariantVar, play.m_nVariantValue))
    Report("the ranking of %s could not be saved", play.m_strStageName.c_str());
  scene->m_bRanked = 1;
  RunSubLoop(g_RankingThread, RankingLoopThread);
}

int MakeNextStageName(const cPlayScene& scene, std::string& out, int part) {
  out.clear();
  const cPlayData& play = g_PlayData;
  if (!play.m_bMultiPart || part == 0) return 0;
  const bool named = !scene.m_strNextStage.empty();
  std::string base = named ? scene.m_strNextStage : play.m_strStageName;
  if (!base.empty()) base.pop_back();  // the closing "."
  const char* ext = g_ExtTable[EXT_STAGE];
  const std::string name = named ? base + "." + ext : base + "-" + std::to_string(part) + "." + ext;
  if (!FindNumberedFileStr(out, name, ext)) {
    out.clear();
    return 0;
  }
  return 1;
}

eSceneId DecideNextStage() {
  cPlayScene* scene = g_pPlayScene;
  if (!scene) return SCENE_TITLE;
  cPlayData& play = g_PlayData;
  if (g_Stage.m_bCarryOut && !g_Heroes.empty()) {
    const cHero& hero = g_Heroes.front();
    const cCharaEffect& effect = hero.m_CharaEffect;
    play.StoreInherit(0, hero.m_Def, hero.m_HP.m_nValue, hero.m_SP.m_nValue, effect.m_nEntry,
                      effect.m_nPlayMode, effect.m_bRepeat, scene->m_nTime, play.m_nLives,
                      play.m_nStageBgm);
  }
  const int savedPart = play.m_nPartNo;
  switch (g_SceneManager.m_nGameKind) {
    case GAME_NEWSTORY:
    case GAME_CONTINUE:
      return DecideStory(*scene, savedPart);
    case GAME_CHALLENGE:
      return DecideChallenge(*scene, savedPart);
    case GAME_FREEPLAY:
      return DecideFreePlay(*scene, savedPart);
    case GAME_REPLAY:
      play.RestoreStageStart(1);
      return SCENE_PLAY;
    default:
      return SCENE_TITLE;
  }
}
