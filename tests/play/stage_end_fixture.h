#pragma once
// What the tests of the stage end, the menus and the sub-loops share: a play scene over a
// one-hero stage with every record they change guarded, a test clock that also scripts the
// keys of each frame of a sub-loop, and a recorder of the system sounds asked for.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/timer.h"
#include "media/cursor.h"
#include "media/sound.h"
#include "media/surface_list.h"
#include "objects/hero.h"
#include "platform/input.h"
#include "play/input.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/requests.h"
#include "play/stage_draw.h"
#include "play/stage_end.h"
#include "play/stage_setup.h"
#include "play_fixture.h"
#include "project/option_data.h"
#include "project/play_data.h"
#include "project/ranking.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "project/world_map.h"
#include "tests/play/call_log.h"

// The test clock: every reading is 20 ms after the one before. A loop reads it once per frame
// (its frame pacer), so the n-th reading is frame n of the loop; the script sets that frame's
// keys.
class cScriptClock {
 public:
  cScriptClock() {
    s_ms = 1000;
    s_reads = 0;
    s_script = nullptr;
    SetTimerClock(&Now);
    ResetTimers();
  }
  ~cScriptClock() {
    SetTimerClock(nullptr);
    ResetTimers();
    s_script = nullptr;
  }
  cScriptClock(const cScriptClock&) = delete;
  cScriptClock& operator=(const cScriptClock&) = delete;

  // The script runs on the loop's thread, which starts after it is set; frame 1 is the first
  // reading after this call.
  void Script(std::function<void(int frame)> script) {
    const int base = s_reads.load();
    s_script = [base, script = std::move(script)](int read) { script(read - base); };
  }
  // Button 1 down in the frames where pattern has '1' (frame 1 is pattern[0]); up after it.
  void Button1(std::string pattern) {
    Script([pattern](int frame) {
      const bool down = frame - 1 < static_cast<int>(pattern.size()) && pattern[frame - 1] == '1';
      platform::SetKeyDown('Z', down);
    });
  }
  static int Reads() { return s_reads.load(); }

 private:
  static std::uint64_t Now() {
    const int frame = ++s_reads;
    if (s_script) s_script(frame);
    return s_ms += 20;
  }
  static inline std::atomic<std::uint64_t> s_ms{0};
  static inline std::atomic<int> s_reads{0};
  static inline std::function<void(int)> s_script;
};

// The system sounds asked for, in order.
class cSoundLog {
 public:
  cSoundLog() {
    Clear();
    SetPlaySoundSender(&Record);
  }
  ~cSoundLog() { SetPlaySoundSender(nullptr); }
  cSoundLog(const cSoundLog&) = delete;
  cSoundLog& operator=(const cSoundLog&) = delete;

  static void Clear() {
    std::lock_guard lock(s_mutex);
    s_sounds.clear();
  }
  static std::vector<int> Sounds() {
    std::lock_guard lock(s_mutex);
    return s_sounds;
  }
  static int Count(int n) {
    int count = 0;
    for (int s : Sounds()) count += s == n;
    return count;
  }

 private:
  static void Record(int n) {
    std::lock_guard lock(s_mutex);
    s_sounds.push_back(n);
  }
  static inline std::mutex s_mutex;
  static inline std::vector<int> s_sounds;
};

// An atomic global set for the scope.
class cAtomicGuard {
 public:
  cAtomicGuard(std::atomic<int>& value, int replacement) : m_ref(value), m_saved(value.load()) {
    m_ref = replacement;
  }
  ~cAtomicGuard() { m_ref = m_saved; }
  cAtomicGuard(const cAtomicGuard&) = delete;
  cAtomicGuard& operator=(const cAtomicGuard&) = delete;

 private:
  std::atomic<int>& m_ref;
  int m_saved;
};

// The drawn frames of the stage are counted by a picture behind the map that counts down on
// every frame drawn, the game stopped or not. ResetDrawnFrames starts the count again.
inline constexpr int kFrameCounterStart = 1 << 20;
inline void ResetDrawnFrames() {
  cPlayScene& scene = *g_pPlayScene;
  if (scene.m_PictureList.empty()) {
    ASSERT_TRUE(DDAddSurfaceToList(g_PictureSurfaces, g_PictureBmpInfo, 1, 1, 1, 1, 1, 0));
    scene.m_PictureList.emplace_back();
  }
  scene.m_PictureList.front().Init(1, 0, 0, 0, 0, 0, 1, 1, 1, 0, 100, 2, kFrameCounterStart, 1, 0,
                                   0, 0);
}
inline int DrawnFrames() {
  const cPlayScene& scene = *g_pPlayScene;
  return scene.m_PictureList.empty() ? 0
                                     : kFrameCounterStart - scene.m_PictureList.front().m_nCount;
}

class StageEndScene : public cPlayDevice {
 protected:
  void SetUp() override {
    Init(0, 32);
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    InitInputs(1);
    g_Heroes.emplace_back();
    g_pPlayScene = &scene;
    scene.m_RankPos.assign(kRankingGenreCount, -1);
    scene.m_RankValue.assign(kRankingGenreCount, 0);
    g_PlayLaterCalls.clear();
    ResetDrawnFrames();
    g_Cursor.Reset();
    g_SceneManager.m_nFps = 0;
    platform::ReleaseAllKeys();
  }
  void TearDown() override {
    ReleasePictures();
    g_pPlayScene = nullptr;
    g_Heroes.clear();
    g_PlayLaterCalls.clear();
    platform::ReleaseAllKeys();
    cPlayDevice::TearDown();
  }

  cRestore<cStage> stage{g_Stage};
  cRestore<cStage> stageCopy{g_StageCopy};
  cRestore<cSystemData> system{g_SystemData};
  cRestore<cPlayData> play{g_PlayData};
  cRestore<cOptionData> option{g_OptionData};
  cRestore<cSceneManager> manager{g_SceneManager};
  cRestore<cRanking> ranking{g_Ranking};
  cRestore<cWorldMapData> worldMap{g_WorldMap};
  cRestore<int> testPlay{g_bTestPlay, 0};
  cRestore<int> editor{g_bEditorLaunch, 0};
  cRestore<cVector<cInputState>> inputs{g_Inputs};
  cRestore<cReplayKeyLog> log{g_ReplayLog};
  cRestore<cReplayKeyLog> prevLog{g_PrevReplayLog};
  cRestore<std::int32_t> noticeWait{g_nReplayNoticeWait};
  cAtomicGuard active{g_bActive, 1};
  cPlayScene scene;  // made before the clock: its seed reads the clock once
  cScriptClock clock;
  cSoundLog sounds;
};
