#pragma once
// The one top-level window of the program, its message handler, the requests the other
// threads send to it, the closing sequence and the window placement file Window.dat.
#include <atomic>
#include <cstdint>
#include <string>

#include "foundation/file_data.h"
#include "shell/wnd.h"

class cDlg;

class cMainWnd : public cWnd {
 public:
  std::intptr_t WndProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam) override;
  // The default handling of a top-level window: DefWndProc, then the creation hook.
  int DefFrameProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam);
  virtual void OnCreate(std::uintptr_t, std::intptr_t) {}
  // Binds the window that exists to the framework (start-up calls it).
  void Init();

  bool HostWindowRect(cRect& outer) const override;
  void HostMove(int x, int y, int width, int height) override;
};

// The window placement record (user_data\Window.dat).
class cWindowPos : public cFileData {
 public:
  std::int32_t m_nX = 0;
  std::int32_t m_nY = 0;
  std::int32_t m_nWidth = 0;
  std::int32_t m_nHeight = 0;
  std::int32_t m_bMaximized = 0;

  void SetupItems(int version) override;
  // The record read, then x and y held inside the full-screen client size.
  void Read(cDataFile& file) override;
  void Set(int x, int y, int width, int height, int maximized);
};

extern cMainWnd g_MainWnd;
extern std::atomic<HWND> g_hWnd;
extern std::atomic<std::uint8_t> g_bStarted;
extern cRect g_rcClientScreen;
extern cWindowPos g_WindowPos;

// The handler of the numbered requests (installed with the main window).
std::intptr_t HandleMainWindowRequest(std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam);
// Runs a window modally in the dialog frame: dialog mode on, the game threads held at their
// gates, the dialog, its deletion, dialog mode off, the threads resumed. Returns its end code.
int RunModalWindow(cDlg* dialog);

// The dialogs the requests open. Until a class is registered its request answers cancelled.
// The file selection binds path: the chosen file when it ends with 1.
using NameEntryFactory = cDlg* (*)();
using FileSelectFactory = cDlg* (*)(int mode, std::string& path);
void SetNameEntryFactory(NameEntryFactory factory);
void SetFileSelectFactory(FileSelectFactory factory);
// The loaders and writers behind the file requests (stage play and replays install them);
// each returns 1 on success and reports its own failure.
struct sRequestActions {
  int (*startStageFile)(const std::string& path, int mode) = nullptr;
  int (*loadReplay)(const std::string& path) = nullptr;
  int (*saveReplay)(const std::string& path, int previous) = nullptr;
  std::string (*replayFileName)() = nullptr;
};
void SetRequestActions(const sRequestActions& actions);
// Called by the closing sequence while the modal sub-loop runs (the play scene's quit flag).
void SetPauseQuitHandler(void (*handler)());

// The closing sequence (WM_CLOSE). Returns when it is done or has to wait for thPause.
void CloseMainWindow();
// A close that waits for thPause: true once that thread has ended and the close runs again.
bool ResumePendingClose();

// The editor link: no editor exists on this host, so these find no one.
void NotifyEditorStart();
void NotifyEditorEnd(int value);

// Translates the window system's events into the handler's messages (the main thread's pump).
void DispatchWindowEvents();
// The main window's state back to before the window existed (tests).
void ResetMainWindowState();
