#pragma once
// The window framework: cWnd wraps one window (its geometry, its mouse state and the routing
// of its messages to virtual operations). The main window and the dialogs derive from it.
// Everything here runs on the main thread.
#include <cstdint>
#include <string>
#include <vector>

// A window of the host, as the framework passes it around; null when there is none.
using HWND = void*;

// The window messages the framework routes (the values the window system gave them).
enum : std::uint32_t {
  WM_CREATE = 0x0001,
  WM_SIZE = 0x0005,
  WM_PAINT = 0x000F,
  WM_GETMINMAXINFO = 0x0024,
  WM_NOTIFY = 0x004E,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_INITDIALOG = 0x0110,
  WM_COMMAND = 0x0111,
  WM_MOUSEMOVE = 0x0200,
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_RBUTTONDBLCLK = 0x0206,
  WM_QUERYNEWPALETTE = 0x030F,
  WM_PALETTECHANGED = 0x0311,
  // Posted by the keyboard hook for the keys a dialog handles itself.
  WM_HOOKKEY = 0x07E8,
};

// Style bits the frame computation reads.
enum : std::uint32_t {
  WS_VSCROLL = 0x00200000,
  WS_HSCROLL = 0x00100000,
  WS_THICKFRAME = 0x00040000,
  WS_DLGFRAME = 0x00400000,
  WS_CAPTION = 0x00C00000,
  WS_MAIN_WINDOW = 0x80CB0000,  // popup, caption, system menu, minimise and maximise boxes
};

struct cRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct sMinMaxInfo {
  int nMinTrackWidth = 0, nMinTrackHeight = 0;
  int nMaxTrackWidth = 0, nMaxTrackHeight = 0;
};

// The mouse in a window's drawing area and its buttons, updated once per call.
struct cMouse {
  std::int32_t x = 0, y = 0;
  std::int32_t nMask = 7;
  std::int32_t bLeft = 0, bRight = 0;
  std::int32_t bLeftPressed = 0, bRightPressed = 0;
  std::int32_t bLeftReleased = 0, bRightReleased = 0;
  // mask 1: the buttons' down states; 2: pressed in this update (one latch per button shared
  // by every window, cleared while the button is up); 4: released since the last update.
  int Update(int mask, bool leftDown, bool rightDown);
};
// The button latches and previous states every window shares (tests reset them).
void ResetMouseLatches();

// GDI objects of the original; nothing to release on this host.
struct cMemDC {
  void Release() {}
};

// The frame's additions to the client size for a style (the host draws no frame inside).
struct sFrame {
  int nLeft = 0, nRight = 0, nTop = 0, nBottom = 0;
  int Horizontal() const { return nLeft + nRight; }
  int Vertical() const { return nTop + nBottom; }
};
sFrame FrameForStyle(std::uint32_t style);

// Where a window of the given outer size goes when asked for (x, y): inside the work area,
// a negative coordinate 0, a window past the right or bottom edge against that edge.
void ClampToWorkArea(int& x, int& y, int outerWidth, int outerHeight, const cRect& workArea);

class cWnd;
using cWndList = std::vector<cWnd*>;
// Every window object, in creation order (it outlives every window, the main one included).
extern cWndList& g_WndList;

class cWnd {
 public:
  cWnd() = default;
  virtual ~cWnd();
  cWnd(const cWnd&) = delete;
  cWnd& operator=(const cWnd&) = delete;

  virtual void Reserved1() {}
  virtual int OnCommand(std::uintptr_t, std::intptr_t) { return 0; }
  virtual void OnMouseMove(std::uintptr_t, std::intptr_t) {}
  virtual void OnLButtonDown(std::uintptr_t, std::intptr_t) {}
  virtual void OnRButtonDown(std::uintptr_t, std::intptr_t) {}
  virtual void OnLButtonDblClk(std::uintptr_t, std::intptr_t) {}
  virtual void OnRButtonDblClk(std::uintptr_t, std::intptr_t) {}
  virtual void OnLButtonUp(std::uintptr_t, std::intptr_t) {}
  virtual void OnRButtonUp(std::uintptr_t, std::intptr_t) {}
  virtual std::intptr_t WndProc(HWND, std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }
  virtual int DefWndProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam);
  virtual void Reserved2() {}
  virtual void OnPaint() {}

  void Bind(int id, HWND owner, cWndList* list);
  void Setup(int width, int height, int minWidth, int minHeight, int maxWidth, int maxHeight,
             std::uint32_t style);
  void CalcFrame();
  void RefreshStyle();
  void SetPos(int x, int y);
  void SetClientSize(int width, int height);
  void MoveClient(int x, int y, int width, int height);
  void Center();
  void Place();
  void FillMinMaxInfo(sMinMaxInfo& info) const;
  int GetCursorClient(int anyPosition, int mask);

  // What the host says of the window (the main window asks the video layer, dialogs GTK).
  virtual bool HostWindowRect(cRect& outer) const;
  virtual void HostMove(int x, int y, int width, int height);

  HWND m_hWnd = nullptr;
  int m_nId = 0;
  HWND m_hOwner = nullptr;
  cWndList* m_pWndList = nullptr;
  cMemDC m_MemDC[2];
  std::int32_t m_nX = 0, m_nY = 0;
  cRect m_rcDraw;
  cMouse m_Mouse;
  std::int32_t m_nCursorX = 0, m_nCursorY = 0;
  cMouse m_MouseAtInit;
  cRect m_rcRequest, m_rcClient, m_rcMin, m_rcMax, m_rcOuter;
  std::uint32_t m_dwStyle = 0;
  sFrame m_Frame;
  std::int32_t m_bFocusGuard = 0;
  std::int32_t m_bCommandGuard = 0;
  std::string m_strTitle;
  std::int32_t m_nReqX = -1000, m_nReqY = -1000;
  cWnd* m_pRefCtrl = nullptr;
  cWnd* m_pRefWnd = nullptr;
  std::int32_t m_bCenterOnRef = 0;
  bool m_bCreated = false;
};

// Deletes the window object and clears the pointer; nothing for a null pointer.
template <class T>
void DeleteWnd(T** window) {
  if (!window || !*window) return;
  delete *window;
  *window = nullptr;
}
