#include "shell/entry.h"

#include "foundation/file_data.h"
#include "foundation/message_box.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/strings.h"
#include "foundation/thread.h"
#include "foundation/window_messages.h"
#include "media/sound.h"
#include "platform/clock.h"
#include "platform/close_request.h"
#include "platform/dialog_host.h"
#include "platform/host_file.h"
#include "platform/instance_lock.h"
#include "platform/midi_synth.h"
#include "platform/thread_messages.h"
#include "platform/video.h"
#include "objects/object_services.h"
#include "play/replay_log.h"
#include "play/requests.h"
#include "play/scene_manager.h"
#include "play/stage_start.h"
#include "project/play_data.h"
#include "project/ranking.h"
#include "project/stage_loader.h"
#include "shell/file_select_dlg.h"
#include "shell/main_window.h"
#include "shell/name_entry_dlg.h"
#include "shell/start_dlg.h"
#include "shell/startup.h"

namespace {

void SendPlaySound(int n) {
  SendMainWindowRequest(WM_PLAYSOUND, static_cast<std::uintptr_t>(n), 0);
}

int ScenePlayMode() { return static_cast<int>(g_SceneManager.m_nPlayMode); }

// The stage loader's nested loop on the main thread: what it does not handle itself (close
// and quit it keeps for this loop) needs nothing more here; the window stays responsive.
void NestedMessage(const platform::sThreadMessage&) {
  if (platform::IsMainThread()) {
    DispatchWindowEvents();
    platform::PresentPendingFrame();
  }
}

// While a dialog runs: requests are served and frames shown (the window's own events wait
// for the dialog to end).
void DialogIdle() {
  platform::PumpVideoEvents();
  platform::ServeRequests();
  platform::PresentPendingFrame();
}

// Single instance. True when start-up may go on.
bool TakeInstance(platform::cInstanceLock& lock) {
  if (lock.TryAcquire(kInstanceLockName)) return true;
  const int answer =
      MesBox("既に起動しています。\n実行中のプログラムを閉じて再起動しますか？\n\nRunning this "
             "program now. Restart?",
             "二重起動", MB_YESNO);
  if (answer != IDYES) return false;
  const pid_t owner = lock.OwnerId();
  if (owner == 0) return true;  // its window does not exist yet: no one to end
  if (!platform::KillProcessNow(owner)) {
    MesBox("プログラムの終了に失敗しました。", "二重起動", MB_OK);
    return false;
  }
  lock.WaitAcquire(500);
  return true;
}

// The start-up's length and, at the end, how many of the frames made were shown.
struct sPresentLog {
  bool started = false;
  std::uint64_t firstMs = 0;
  platform::sFrameStats first;

  void Presented() {
    if (started) return;
    started = true;
    Report("start-up: %llu ms", static_cast<unsigned long long>(platform::MsSinceProcessStart()));
    firstMs = platform::MonotonicMs();
    first = platform::FrameStats();
  }
  void End() const {
    if (!started) return;
    const platform::sFrameStats last = platform::FrameStats();
    Report("frames made %llu, shown %llu, dropped %llu in %llu ms",
           static_cast<unsigned long long>(last.nSubmitted - first.nSubmitted),
           static_cast<unsigned long long>(last.nPresented - first.nPresented),
           static_cast<unsigned long long>(last.nDropped - first.nDropped),
           static_cast<unsigned long long>(platform::MonotonicMs() - firstMs));
  }
};

constexpr std::uint32_t kIdleWaitMs = 50;

// The main thread's loop until WM_QUIT; returns its code.
int MessagePump() {
  sPresentLog log;
  for (;;) {
    if (platform::TakeCloseSignal()) g_MainWnd.WndProc(g_hWnd.load(), WM_CLOSE, 0, 0);
    platform::PumpVideoEvents();
    DispatchWindowEvents();
    platform::sThreadMessage message;
    while (platform::PeekThreadMessage(message, true)) {
      if (message.message == WM_QUIT) {
        log.End();
        return static_cast<int>(message.wParam);
      }
      if (HWND hwnd = g_hWnd.load())
        g_MainWnd.WndProc(hwnd, message.message, message.wParam, message.lParam);
    }
    platform::ServeRequests();
    if (platform::PresentPendingFrame()) log.Presented();
    ResumePendingClose();
    // Idle until a window event, a message, a request or the next frame; frames already
    // waiting are shown first. The bound keeps the close signal and a close waiting for the
    // pause loop answered.
    if (platform::PendingFrameCount() == 0) platform::WaitMainThread(kIdleWaitMs);
  }
}

}  // namespace

void InstallMainThreadServices() {
  platform::SetRequestHandler(&HandleMainWindowRequest);
  SetPlaySoundSender(&SendPlaySound);
  SetStageLoadMessageHandler(&NestedMessage);
  SetPlayModeSource(&ScenePlayMode);
  SetRankingPlayModeSource(&ScenePlayMode);
  SetRankingTestPlaySource([] { return g_bTestPlay; });
  InstallObjectServices();
  platform::SetDialogIdleService(&DialogIdle);
  sRequestActions actions;
  actions.startStageFile = &StartStageFile;
  actions.loadReplay = &LoadReplayForPlay;
  actions.saveReplay = &SaveReplayOfAttempt;
  actions.replayFileName = &ProposeReplayFileName;
  SetRequestActions(actions);
  SetNameEntryFactory(&MakeNameEntryDlg);
  SetFileSelectFactory(&MakeFileSelectDlg);
  SetStartDialogRunner(&RunStartDialog);
}

void RemoveMainThreadServices() {
  platform::SetRequestHandler(nullptr);
  SetPlaySoundSender(nullptr);
  SetStageLoadMessageHandler(nullptr);
  SetPlayModeSource(nullptr);
  SetRankingPlayModeSource(nullptr);
  SetRankingTestPlaySource(nullptr);
  platform::SetDialogIdleService(nullptr);
  SetRequestActions({});
  SetNameEntryFactory(nullptr);
  SetFileSelectFactory(nullptr);
  SetStartDialogRunner(nullptr);
}

int WinMain(int argc, char** argv) {
  ErrLogSetup(0, "EC_Game.txt");
  g_nDataVersion = kDataVersion;
  g_bStripCR = 1;
  g_bNewerDataFile = 0;
  g_bEditorLaunch = 0;

  platform::BecomeMainThread();
  platform::CatchCloseSignals();
  platform::cInstanceLock lock;
  // The report log is begun only by the instance that runs: a refused start must not empty
  // the running one's.
  if (!TakeInstance(lock)) {
    platform::LeaveMainThread();
    return 0;
  }
  const std::string reportPath = platform::CurrentFolder() + "\\Report_Game.txt";
  if (!ReportOpen(reportPath.c_str())) {
    // Nothing could be logged or saved here: the game folder is not writable.
    ErrBoxToStderr("Report_Game.txt を作成できません！\nゲームのフォルダに書き込めるか確かめて下さい。");
    platform::LeaveMainThread();
    return 1;
  }
  Report("App : ver %s", "821");
  ReportSystem();

  InstallMainThreadServices();
  // The sound font loads while the window, the data and the title are made.
  platform::PreloadMidiSynth();

  g_MainWnd.Setup(640, 480, 100, 100, 640, 480, WS_MAIN_WINDOW);
  platform::sVideoMode mode;
  std::string error;
  if (!platform::OpenVideo(mode, &error)) {
    ReportErr("%s", error.c_str());
    ErrBox("ウインドウが生成出来ません！");
    platform::LeaveMainThread();
    return 1;
  }
  platform::SetWindowSizeLimits(100, 100, 640, 480);
  g_hWnd.store(&g_MainWnd);
  g_MainWnd.WndProc(&g_MainWnd, WM_CREATE, 0, 0);
  lock.WriteOwnerId();
  // A driver without focus (no display) counts as active from the window's creation.
  if (!platform::VideoReportsFocus())
    g_MainWnd.WndProc(&g_MainWnd, WM_ACTIVATEAPP, 1, 0);
  else
    platform::RaiseVideoWindow();
  g_MainWnd.Center();
  if (g_bEditorLaunch) NotifyEditorStart();

  int code = 0;
  if (!InitGame(argc, argv)) {
    code = StartUpDeclined() ? 0 : 1;
    ExitGame();
    if (g_bEditorLaunch) NotifyEditorEnd(0);
  } else {
    g_bStarted.store(1);
    if (thGame.Start(&GameLoop, nullptr)) {
      while (!platform::PostThreadMessage(thGame.ThreadId(), WM_APP, 0, 0)) platform::SleepMs(1);
    } else {
      PostCloseToMainWindow();
    }
    code = MessagePump();
    ExitGame();
  }
  RemoveMainThreadServices();
  platform::CloseVideo();
  platform::LeaveMainThread();
  return code;
}
