#include "play/sub_loops.h"

#include "foundation/shell_services.h"
#include "foundation/timer.h"
#include "foundation/window_messages.h"
#include "media/sound.h"
#include "media/surface_list.h"
#include "platform/clock.h"
#include "platform/thread_messages.h"
#include "play/input.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/requests.h"
#include "play/scene_manager.h"
#include "play/stage_draw.h"
#include "play/stage_end.h"
#include "play/stage_setup.h"
#include "project/play_data.h"
#include "project/ranking.h"
#include "project/system_data.h"

void BeginFrameStep(cVector<cInputState>& inputs) {
  WaitFrame();
  if (!g_SceneManager.RestoreSurfaces()) PostCloseToMainWindow();
  g_SceneManager.UpdateInput(inputs);
}

void PresentFrameStep() { g_SceneManager.Present(); }

int RunSubLoop(cThread& thread, cThread::Proc proc) {
  if (!thread.Start(proc, g_pPlayScene)) return 0;
  // The post fails until the new thread's queue exists, and once the thread has ended: a
  // short wait may be over before the post gets through.
  while (!platform::PostThreadMessage(thread.ThreadId(), WM_APP, 0, 0) && thread.Running())
    platform::SleepMs(0);
  thread.Wait();
  return 1;
}

namespace {

// Takes the next message of this thread's queue: 1 when it was WM_QUIT, 0 when another
// (dropped), -1 when there was none.
int TakeMessage() {
  platform::sThreadMessage message;
  if (!platform::PeekThreadMessage(message, true)) return -1;
  return message.message == WM_QUIT ? 1 : 0;
}

// One turn of the message wait on the scene's m_MsgWait; true when the wait is over.
bool StepWait(cPlayScene& scene, const cInputState& input) {
  sMessageWait& wait = scene.m_MsgWait;
  if (wait.m_nDelay > 0) {
    --wait.m_nDelay;
    return false;
  }
  if (wait.m_bWaitKey) {
    // A new press: the ring of this wait says the button was up one frame ago. The ring
    // starts empty, so a button already down on the first turn reads as down one frame ago
    // and must be released and pressed again.
    if (!(input.GetPast(1, 1) & KEY_BUTTON1) && (input.m_wButton & KEY_BUTTON1)) {
      PlaySystemSound(wait.m_nMode == 1 ? 12 : 1);
      scene.m_bWaitRelease = 1;
      return true;
    }
    return false;
  }
  return --wait.m_nFrames < 0;
}

}  // namespace

std::uint32_t MessageLoopThread(void* param) {
  auto& scene = *static_cast<cPlayScene*>(param);
  if (scene.m_bQuit.load()) return 0;
  // A private copy of the input records: the histories that key conditions read must not see
  // the keys of a wait.
  cVector<cInputState> inputs = g_Inputs;
  if (inputs.empty()) inputs.emplace_back();
  cInputState& input = inputs[0];
  input.ClearRings();
  input.ClearHistories();
  input.ClearDirections();
  input.ClearButtons();
  bool quitting = false;
  std::uint32_t quitSince = 0;
  for (;;) {
    const int message = TakeMessage();
    if (message == 1) break;
    if (message == 0) continue;
    if (!g_bActive.load()) {
      platform::SleepMs(1);
      continue;
    }
    if (scene.m_bQuit.load()) {
      // The window is closing: nothing is drawn any more. Should the main window's WM_QUIT
      // be lost, the loop sends it to itself.
      const std::uint32_t now = TimeGetTime();
      if (!quitting) {
        quitting = true;
        quitSince = now;
      }
      if (now - quitSince >= kQuitFallbackMs) {
        platform::PostThreadMessage(platform::CurrentThreadId(), WM_QUIT, 0, 0);
      } else {
        platform::SleepMs(1);
      }
      continue;
    }
    BeginFrameStep(inputs);
    input.RecordRing();
    LatchButtons(input, 0);
    if (CheckPlayHotKeys()) continue;
    if (StepWait(scene, input)) break;
    scene.DrawFrame(0, 1, 0, 1);
    PresentFrameStep();
  }
  return 1;
}

std::uint32_t RankingLoopThread(void* param) {
  auto& scene = *static_cast<cPlayScene*>(param);
  const int playMode = g_SceneManager.m_nPlayMode;
  g_PlayData.CycleRankingGenre(playMode, 0);
  for (;;) {
    const int message = TakeMessage();
    if (message == 1) return 1;
    if (message == 0) continue;
    if (!g_bActive.load()) {
      platform::SleepMs(1);
      continue;
    }
    BeginFrameStep(g_Inputs);
    cInputState& input = GetInput(0);
    LatchButtons(input, 0);
    ApplyKeyRepeat(input);
    if (input.m_wButton & KEY_BUTTON1) {
      PlaySystemSound(1);
      return 1;
    }
    if ((input.m_wButton & KEY_BUTTON4) && CountRankingGenres(g_SystemData, playMode) >= 2) {
      PlaySystemSound(6);
      g_PlayData.CycleRankingGenre(playMode, 1);
    }
    scene.DrawFrame(0, 1, 0, 1);
    const int genre = g_PlayData.m_nRankGenre;
    const bool known = genre >= 0 && genre < static_cast<int>(scene.m_RankPos.size());
    g_Ranking.DrawTable(&BackBuffer, g_MenuPos[2].x, g_MenuPos[2].y, genre,
                        known ? scene.m_RankPos[genre] : -1);
    PresentFrameStep();
  }
}
