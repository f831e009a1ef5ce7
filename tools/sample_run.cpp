#include "tools/sample_run.h"

#include <sstream>

#include "foundation/file_data.h"
#include "foundation/report.h"
#include "foundation/timer.h"
#include "platform/close_request.h"
#include "platform/host_file.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/thread_messages.h"
#include "platform/video.h"
#include "platform/vorbis_trial.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/requests.h"
#include "play/scene_manager.h"
#include "project/play_data.h"
#include "project/system_bitmaps.h"
#include "shell/entry.h"
#include "shell/main_window.h"
#include "shell/menu_scene.h"
#include "shell/startup.h"
#include "shell/wnd.h"

namespace {

// The run's clock: a frame takes 16 or 17 ms of it, and a sleep moves it on by its length.
std::uint64_t g_nClockMs = 0;
std::uint64_t ClockNow() { return g_nClockMs; }
void ClockSleep(std::uint32_t ms) { g_nClockMs += ms == 0 ? 1 : ms; }

std::vector<std::string> g_Messages;

// Every box gets its default answer, and a question its yes: the first start makes the data
// folder and the options are kept.
int AnswerBox(const std::string& text, const std::string&, int type) {
  g_Messages.push_back(text);
  return (type & 0xF) == platform::kBoxYesNo ? platform::kAnswerYes : platform::DefaultAnswer(type);
}

}  // namespace

cHeadlessRun::cHeadlessRun() : m_pTrialOutcome(std::make_unique<platform::cTrialOutcomeScope>()) {
  g_nClockMs = 1000;
  g_Messages.clear();
  SetTimerClock(&ClockNow);
  SetTimerSleep(&ClockSleep);
  ResetTimers();
  platform::SetMessageBoxHandler(&AnswerBox);
  platform::ResetCloseRequest();
  // A quit or close an earlier run left in this thread's queue is not this run's.
  platform::DiscardThreadMessages();
  platform::ReleaseAllKeys();
  for (const cBmpInfo& info : g_SystemBmpInfo) m_SystemBmpFiles.push_back(info.szFile);
}

cHeadlessRun::~cHeadlessRun() {
  if (m_bStarted) ExitGame();
  g_SceneManager.DeleteAll();
  g_SceneManager = cSceneManager();
  for (eSceneId id :
       {SCENE_TITLE, SCENE_WORLDMAP, SCENE_MAPMENU, SCENE_CHALLENGE, SCENE_PLAY, SCENE_OPTION})
    SetSceneCreator(id, nullptr);
  RemoveMainThreadServices();
  platform::CloseVideo();
  ResetMainWindowState();
  platform::LeaveMainThread();
  platform::ReleaseAllKeys();
  platform::SetMessageBoxHandler(nullptr);
  platform::ResetCloseRequest();
  SetTimerClock(nullptr);
  SetTimerSleep(nullptr);
  ResetTimers();
  for (std::size_t i = 0; i < m_SystemBmpFiles.size(); ++i)
    g_SystemBmpInfo[i].szFile = m_SystemBmpFiles[i];
}

bool cHeadlessRun::Start(const std::string& commandLine) {
  g_nDataVersion = kDataVersion;
  g_bStripCR = 1;
  ReportOpen("Report_Game.txt");
  RegisterMenuScenes();
  RegisterPlayScene();
  platform::BecomeMainThread();
  InstallMainThreadServices();
  g_MainWnd.Setup(640, 480, 100, 100, 640, 480, WS_MAIN_WINDOW);
  platform::sVideoMode mode;
  if (!platform::OpenVideo(mode)) return false;
  g_hWnd.store(&g_MainWnd);
  g_MainWnd.WndProc(&g_MainWnd, WM_CREATE, 0, 0);
  // The dummy driver reports no focus: the window counts as active from its creation.
  g_MainWnd.WndProc(&g_MainWnd, WM_ACTIVATEAPP, 1, 0);
  m_bStarted = true;
  if (!InitGame(commandLine, SW_SHOWNORMAL)) return false;
  g_bStarted.store(1);
  return true;
}

bool cHeadlessRun::Frame(const std::vector<int>& keys, const std::vector<int>& taps) {
  platform::ReleaseAllKeys();
  for (int key : keys) platform::SetKeyDown(key, true);
  for (int key : taps) {
    platform::SetKeyDown(key, true);
    platform::SetKeyDown(key, false);
  }
  g_nClockMs += (m_nFrames % 3 == 2) ? 16 : 17;
  ++m_nFrames;
  if (platform::IsCloseRequested()) return false;
  return g_SceneManager.Frame() != 0 && !platform::IsCloseRequested();
}

int cHeadlessRun::RunUntil(const std::function<bool()>& done, int bound,
                           const std::function<std::vector<int>(int)>& keysOf) {
  for (int frame = 0; frame < bound; ++frame) {
    if (done()) return frame;
    if (!Frame(keysOf(frame))) return -1;
  }
  return done() ? bound : -1;
}

const std::vector<std::string>& cHeadlessRun::Messages() const { return g_Messages; }

bool cHeadlessRun::StartReplay(const std::string& path) {
  g_SceneManager.m_nGameKind = GAME_REPLAY;
  g_SceneManager.m_nPlayMode = PLAYMODE_REPLAY;
  g_SceneManager.m_bRanking = 0;
  if (LoadReplayForPlay(path) != 1) return false;
  g_SceneManager.m_nPrevScene = g_SceneManager.m_nScene;
  g_SceneManager.m_nScene = SCENE_PLAY;
  return true;
}

sPlayEnd CurrentPlayEnd() {
  sPlayEnd end;
  if (g_SceneManager.m_nScene != SCENE_PLAY || !g_pPlayScene) return end;
  switch (g_pPlayScene->m_nPhase) {
    case PLAYPHASE_STAGEEND:
      end.nState = sPlayEnd::CLEARED;
      break;
    case PLAYPHASE_RETRY:
    case PLAYPHASE_GAMEOVER:
      end.nState = sPlayEnd::LOST;
      break;
    default:
      end.nState = sPlayEnd::PLAYING;
      break;
  }
  end.nScore = g_PlayData.m_nScore;
  end.nFrames = g_pPlayScene->m_nPlayFrames;
  return end;
}

std::string DescribePlayEnd(const sPlayEnd& end) {
  static const char* const kStates[] = {"playing", "cleared", "lost", "no stage"};
  return std::string(kStates[end.nState]) + ", score " + std::to_string(end.nScore) + ", " +
         std::to_string(end.nFrames) + " frames";
}

std::vector<std::vector<int>> ParseKeyScript(const std::string& text, std::string& error) {
  std::vector<std::vector<int>> frames;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    long count = 0;
    std::string keys;
    if (!(words >> count)) {
      if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
      error = "line " + std::to_string(number) + ": no frame count";
      return {};
    }
    if (count < 0 || count > 1000000) {
      error = "line " + std::to_string(number) + ": a frame count out of range";
      return {};
    }
    std::vector<int> held;
    while (words >> keys) {
      if (keys == "-") continue;
      for (char c : keys) {
        static const std::string kNames = "LRUDZXCV";
        static const int kCodes[] = {platform::VK_LEFT,
                                     platform::VK_RIGHT,
                                     platform::VK_UP,
                                     platform::VK_DOWN,
                                     'Z',
                                     'X',
                                     'C',
                                     'V'};
        const std::size_t at = kNames.find(c);
        if (at == std::string::npos) {
          error = "line " + std::to_string(number) + ": unknown key " + std::string(1, c);
          return {};
        }
        held.push_back(kCodes[at]);
      }
    }
    frames.insert(frames.end(), static_cast<std::size_t>(count), held);
  }
  return frames;
}

std::vector<int> TapButton1(int frame) {
  return frame % 2 == 0 ? std::vector<int>{'Z'} : std::vector<int>{};
}
