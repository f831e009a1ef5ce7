#include "shell/main_window.h"

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/thread.h"
#include "foundation/window_messages.h"
#include "media/bgm.h"
#include "media/device.h"
#include "media/device_scene.h"
#include "media/sound.h"
#include "media/surface.h"
#include "platform/close_request.h"
#include "platform/input.h"
#include "platform/thread_messages.h"
#include "platform/video.h"
#include "play/requests.h"
#include "play/scene_manager.h"
#include "project/database.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "project/system_ini.h"
#include "shell/dlg.h"

cMainWnd g_MainWnd;
std::atomic<HWND> g_hWnd{nullptr};
std::atomic<std::uint8_t> g_bStarted{0};
cRect g_rcClientScreen;
cWindowPos g_WindowPos;

namespace {

NameEntryFactory g_NameEntry = nullptr;
FileSelectFactory g_FileSelect = nullptr;
sRequestActions g_Actions;
void (*g_PauseQuit)() = nullptr;
// The close waits for thPause to end, then runs again by itself.
std::atomic<bool> g_bCloseAfterPause{false};

// The done flag is set after the threads were resumed, as the sender polls it.
void FinishFileRequest(int result) {
  g_bRequestResult.store(result);
  g_bRequestDone.store(1);
}

int RunFileSelect(int mode, std::string& path) {
  if (!g_FileSelect) return 0;
  cDlg* dialog = nullptr;
  try {
    dialog = g_FileSelect(mode, path);
  } catch (const std::bad_alloc&) {
    OutOfMemory();
    return 0;
  }
  return dialog ? RunModalWindow(dialog) : 0;
}

void PlayBgm(std::uintptr_t slot, std::intptr_t lParam) {
  if (slot <= 3) {
    const int k = static_cast<int>(slot);
    const int n = g_SystemData.m_nSceneBgm[k];
    if (n == 0) {
      g_Bgm.Stop();
      return;
    }
    const cDbBgm& record = g_DataBase.m_Bgm[n];
    g_Bgm.SetBgm(k, record.m_strFile.c_str(), record.m_nVolume);
    g_Bgm.Play(0, k, g_SystemData.m_bSceneBgmLoop[k], 0, 1);
  } else if (slot == 4) {
    // The progress record keeps the stage's music: a retry goes on with it, the carry-over
    // and the saves take it from there, and the loop value was put there with the request.
    const int n = static_cast<int>(lParam);
    g_PlayData.m_nStageBgm = n;
    const cDbBgm& record = g_DataBase.m_Bgm[n];
    g_Bgm.SetBgm(4, record.m_strFile.c_str(), record.m_nVolume);
    if (n == 0)
      g_Bgm.Stop();
    else
      g_Bgm.Play(0, 4, g_PlayData.m_nStageBgmLoop, 0, 1);
  }
}

}  // namespace

void SetNameEntryFactory(NameEntryFactory factory) { g_NameEntry = factory; }
void SetFileSelectFactory(FileSelectFactory factory) { g_FileSelect = factory; }
void SetRequestActions(const sRequestActions& actions) { g_Actions = actions; }
void SetPauseQuitHandler(void (*handler)()) { g_PauseQuit = handler; }

int RunModalWindow(cDlg* dialog) {
  DDSetDialogMode(1);
  SuspendGameThreads();
  const int code = dialog->DoModal(0);
  DeleteWnd(&dialog);
  // The keys went to the dialog: their releases never reached the game's key table (F1 held
  // over the save dialog would open it again).
  platform::ReleaseAllKeys();
  DDSetDialogMode(0);
  ResumeGameThreads();
  return code;
}

std::intptr_t HandleMainWindowRequest(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
  switch (message) {
    case WM_NAMEENTRY: {
      if (g_NameEntry) {
        cDlg* dialog = nullptr;
        try {
          dialog = g_NameEntry();
        } catch (const std::bad_alloc&) {
          OutOfMemory();
        }
        if (dialog) RunModalWindow(dialog);
      }
      g_bNameEntryDone.store(1);
      return 0;
    }
    case WM_OPENSTAGE: {
      std::string path;
      if (RunFileSelect(0, path) != 1) {
        FinishFileRequest(0);
        return 0;
      }
      // A stage that cannot be started keeps the title on its menu; the close still follows.
      const int started = g_Actions.startStageFile ? g_Actions.startStageFile(path, 0) : 0;
      if (!started) PostCloseToMainWindow();
      FinishFileRequest(started ? 1 : 0);
      return 0;
    }
    case WM_LOADREPLAY: {
      std::string path;
      if (RunFileSelect(1, path) != 1) {
        FinishFileRequest(0);
        return 0;
      }
      const int loaded = g_Actions.loadReplay ? g_Actions.loadReplay(path) : 0;
      if (!loaded) {
        PostCloseToMainWindow();
        FinishFileRequest(0);
        return 0;
      }
      g_Stage.m_strPath = path;
      FinishFileRequest(1);
      return 0;
    }
    case WM_SAVEREPLAY: {
      std::string path = g_Actions.replayFileName ? g_Actions.replayFileName() : std::string();
      if (RunFileSelect(2, path) != 1) {
        FinishFileRequest(0);
        return 0;
      }
      // A replay that cannot be written is reported, and play goes on.
      const int saved = g_Actions.saveReplay ? g_Actions.saveReplay(path, wParam ? 1 : 0) : 0;
      if (!saved) ErrBoxF("%s の書き込みに失敗しました！", path.c_str());
      FinishFileRequest(saved ? 1 : 0);
      return 0;
    }
    case WM_PLAYSOUND:
      DS_Play(static_cast<int>(wParam), 0);
      return 0;
    case WM_PLAYBGM:
      PlayBgm(wParam, lParam);
      return 0;
    case WM_RESTOREDEVICE:
      DDRestoreSurface();
      return 0;
  }
  return 0;
}

void cWindowPos::SetupItems(int) {
  ClearItems();
  AddInt(&m_nX);
  AddInt(&m_nY);
  AddInt(&m_nWidth);
  AddInt(&m_nHeight);
  AddInt(&m_bMaximized);
}

void cWindowPos::Read(cDataFile& file) {
  cFileData::Read(file);
  int width = 0, height = 0;
  if (!platform::DisplaySize(width, height)) return;
  m_nX = m_nX < 0 ? 0 : (m_nX > width ? width : m_nX);
  m_nY = m_nY < 0 ? 0 : (m_nY > height ? height : m_nY);
}

void cWindowPos::Set(int x, int y, int width, int height, int maximized) {
  m_nX = x;
  m_nY = y;
  m_nWidth = width;
  m_nHeight = height;
  m_bMaximized = maximized;
}

void cMainWnd::Init() { Bind(0, nullptr, &g_WndList); }

bool cMainWnd::HostWindowRect(cRect& outer) const {
  int x, y, w, h;
  if (!platform::WindowClientRect(x, y, w, h)) return false;
  outer = cRect{x, y, x + w, y + h};
  return true;
}

void cMainWnd::HostMove(int x, int y, int, int) { platform::SetWindowPosition(x, y); }

int cMainWnd::DefFrameProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) {
  const int r = DefWndProc(hwnd, message, wParam, lParam);
  if (message == WM_CREATE) OnCreate(wParam, lParam);
  return r;
}

std::intptr_t cMainWnd::WndProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  m_hWnd = hwnd;
  m_bCreated = true;
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      ErrLog("WM_DESTROY");
      m_hWnd = nullptr;
      g_hWnd.store(nullptr);
      if (g_bEditorLaunch) NotifyEditorEnd(1);
      platform::PostThreadMessage(platform::MainThreadId(), WM_QUIT, 0, 0);
      return 0;
    case WM_MOVE: {
      int x, y, w, h;
      if (platform::WindowClientRect(x, y, w, h)) g_rcClientScreen = cRect{x, y, x + w, y + h};
      return 0;
    }
    case WM_SIZE:
      RefreshStyle();
      return 0;
    case WM_PAINT:
      // The window shows the last frame again (the host keeps no picture of its own).
      if (g_bStarted.load()) platform::RepresentLastFrame();
      return 0;
    case WM_CLOSE:
      CloseMainWindow();
      return 0;
    case WM_ACTIVATEAPP:
      if (!g_bActive.load() && wParam && g_bD3D && g_nWindowMode == 0)
        HandleMainWindowRequest(WM_RESTOREDEVICE, 0, 0);
      g_bActive.store(wParam ? 1 : 0);
      return 0;
    case WM_GETMINMAXINFO:
      if (!g_bD3D && lParam) FillMinMaxInfo(*reinterpret_cast<sMinMaxInfo*>(lParam));
      return 0;
    case WM_KEYDOWN:
      if (wParam == 0x1B) PostCloseToMainWindow();
      return 0;
    case WM_COMMAND:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_PALETTECHANGED:
    case WM_QUERYNEWPALETTE:
      // The host shows every frame through its palette as it is when the frame is handed over.
      return 0;
    case WM_NAMEENTRY:
    case WM_OPENSTAGE:
    case WM_LOADREPLAY:
    case WM_SAVEREPLAY:
    case WM_PLAYSOUND:
    case WM_PLAYBGM:
    case WM_RESTOREDEVICE:
      return HandleMainWindowRequest(message, wParam, lParam);
  }
  return DefFrameProc(hwnd, message, wParam, lParam);
}

void CloseMainWindow() {
  platform::BeginShutdown();
  if (g_SystemIni.WindowMode != 0 && g_bStarted.load() && !platform::WindowMinimised()) {
    int x, y, w, h;
    if (platform::WindowClientRect(x, y, w, h)) {
      g_WindowPos.Set(x, y, g_MainWnd.m_rcClient.Width(), g_MainWnd.m_rcClient.Height(),
                      platform::WindowMaximised() ? 1 : 0);
      g_WindowPos.SaveFile(g_PathTable[PATH_WINDOW]);  // a failure is ignored
    }
  }
  if (thPause.Running()) {
    ErrLog("WM_CLOSE thPause.m_hThread");
    if (g_PauseQuit) g_PauseQuit();
    platform::PostThreadMessage(thPause.ThreadId(), WM_QUIT, 0, 0);
    // The close must not be lost when the next frame does not ask again.
    g_bCloseAfterPause.store(true);
    return;
  }
  g_bCloseAfterPause.store(false);
  ErrLog("WM_CLOSE 成功！");
  g_Bgm.Stop();
  g_StageLoadThread.Exit();
  thPause.Exit();
  g_RankingThread.Exit();
  ErrLog("thPause.Exit()");
  thGame.Exit();
  ErrLog("thGame.Exit()");
  g_MainWnd.WndProc(g_hWnd.load(), WM_DESTROY, 0, 0);
}

bool ResumePendingClose() {
  if (!g_bCloseAfterPause.load() || thPause.Running()) return false;
  CloseMainWindow();
  return true;
}

void NotifyEditorStart() {
  // No editor window exists on this host: the notice goes nowhere.
}

void NotifyEditorEnd(int) {}

void DispatchWindowEvents() {
  platform::sWindowEvent event;
  while (platform::PollWindowEvent(event)) {
    HWND hwnd = g_hWnd.load();
    if (!hwnd) continue;
    switch (event.kind) {
      case platform::eWindowEvent::Close:
        g_MainWnd.WndProc(hwnd, WM_CLOSE, 0, 0);
        break;
      case platform::eWindowEvent::Escape:
        g_MainWnd.WndProc(hwnd, WM_KEYDOWN, 0x1B, 0);
        break;
      case platform::eWindowEvent::Activate:
        g_MainWnd.WndProc(hwnd, WM_ACTIVATEAPP, 1, 0);
        break;
      case platform::eWindowEvent::Deactivate:
        g_MainWnd.WndProc(hwnd, WM_ACTIVATEAPP, 0, 0);
        break;
      case platform::eWindowEvent::Moved:
        g_MainWnd.WndProc(hwnd, WM_MOVE, 0, 0);
        break;
      case platform::eWindowEvent::Resized:
        g_MainWnd.WndProc(hwnd, WM_SIZE, 0, 0);
        break;
      case platform::eWindowEvent::Exposed:
        g_MainWnd.WndProc(hwnd, WM_PAINT, 0, 0);
        break;
    }
    if (!g_hWnd.load()) break;
  }
}

void ResetMainWindowState() {
  g_hWnd.store(nullptr);
  g_bStarted.store(0);
  g_bActive.store(0);
  g_bCloseAfterPause.store(false);
  g_rcClientScreen = cRect{};
  g_MainWnd.m_hWnd = nullptr;
}
