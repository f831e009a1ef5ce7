#include "shell/wnd.h"

#include "foundation/window_messages.h"

#include <algorithm>

#include "foundation/report.h"
#include "platform/video.h"

cWndList& g_WndList = *new cWndList;

namespace {
// The button latches and the previous down states, shared by every window.
bool g_bLeftLatch = false, g_bRightLatch = false;
bool g_bPrevLeft = false, g_bPrevRight = false;

cRect WorkArea() {
  int x = 0, y = 0, w = 0, h = 0;
  if (!platform::DisplayWorkArea(x, y, w, h)) return cRect{0, 0, 640, 480};
  return cRect{x, y, x + w, y + h};
}
}  // namespace

int cMouse::Update(int mask, bool leftDown, bool rightDown) {
  const bool wasLeft = bLeft != 0, wasRight = bRight != 0;
  g_bPrevLeft = wasLeft;
  g_bPrevRight = wasRight;
  nMask = mask;
  if (mask & 1) {
    bLeft = leftDown;
    bRight = rightDown;
  }
  if (mask & 2) {
    bLeftPressed = bLeft && !g_bLeftLatch;
    bRightPressed = bRight && !g_bRightLatch;
    g_bLeftLatch = bLeft != 0;
    g_bRightLatch = bRight != 0;
  }
  if (mask & 4) {
    bLeftReleased = wasLeft && !bLeft;
    bRightReleased = wasRight && !bRight;
  }
  return 1;
}

void ResetMouseLatches() { g_bLeftLatch = g_bRightLatch = g_bPrevLeft = g_bPrevRight = false; }

sFrame FrameForStyle(std::uint32_t) {
  // The host's window manager draws caption and borders outside the client area, so a
  // window's outer size as the program places it is its client size.
  return sFrame{};
}

void ClampToWorkArea(int& x, int& y, int outerWidth, int outerHeight, const cRect& workArea) {
  if (x < 0)
    x = 0;
  else if (x + outerWidth >= workArea.right)
    x = workArea.right - outerWidth;
  if (y < 0)
    y = 0;
  else if (y + outerHeight >= workArea.bottom)
    y = workArea.bottom - outerHeight;
}

cWnd::~cWnd() {
  for (cMemDC& dc : m_MemDC) dc.Release();
  if (m_pWndList) std::erase(*m_pWndList, this);
}

void cWnd::Bind(int id, HWND owner, cWndList* list) {
  m_nId = id;
  m_hOwner = owner;
  if (m_pWndList) std::erase(*m_pWndList, this);
  m_pWndList = list;
  if (list) list->push_back(this);
}

void cWnd::Setup(int width, int height, int minWidth, int minHeight, int maxWidth, int maxHeight,
                 std::uint32_t style) {
  m_rcRequest = cRect{0, 0, width, height};
  m_rcClient = cRect{0, 0, width, height};
  m_rcMin = cRect{0, 0, minWidth, minHeight};
  m_rcMax = cRect{0, 0, maxWidth, maxHeight};
  m_dwStyle = style;
  if (!m_hWnd) CalcFrame();
}

void cWnd::CalcFrame() {
  m_Frame = FrameForStyle(m_dwStyle);
  m_rcOuter = cRect{0, 0, m_rcClient.Width() + m_Frame.Horizontal(),
                    m_rcClient.Height() + m_Frame.Vertical()};
  m_rcDraw = cRect{0, 0, m_rcClient.Width(), m_rcClient.Height()};
}

void cWnd::RefreshStyle() {
  cRect outer;
  if (m_hWnd && HostWindowRect(outer))
    m_rcClient = cRect{0, 0, outer.Width() - m_Frame.Horizontal(),
                       outer.Height() - m_Frame.Vertical()};
  CalcFrame();
}

void cWnd::SetPos(int x, int y) {
  HostMove(x, y, m_rcOuter.Width(), m_rcOuter.Height());
  m_nX = x;
  m_nY = y;
  CalcFrame();
}

void cWnd::SetClientSize(int width, int height) {
  cRect outer;
  if (!HostWindowRect(outer)) outer = cRect{m_nX, m_nY, m_nX, m_nY};
  MoveClient(outer.left, outer.top, width, height);
}

void cWnd::MoveClient(int x, int y, int width, int height) {
  m_rcClient = cRect{0, 0, width, height};
  HostMove(x, y, width + m_Frame.Horizontal(), height + m_Frame.Vertical());
  CalcFrame();
}

void cWnd::Center() {
  cRect outer;
  if (!HostWindowRect(outer)) outer = cRect{m_nX, m_nY, m_nX + m_rcOuter.Width(),
                                            m_nY + m_rcOuter.Height()};
  int dx = 0, dy = 0, dw = 0, dh = 0;
  if (!platform::DisplaySize(dw, dh)) return;
  SetPos((outer.left + dx + dw - outer.right) / 2, (outer.top + dy + dh - outer.bottom) / 2);
}

void cWnd::Place() {
  const cRect work = WorkArea();
  int x = 0, y = 0;
  cWnd* ref = m_pRefWnd ? m_pRefWnd : m_pRefCtrl;
  cRect refRect;
  if (ref && ref->HostWindowRect(refRect)) {
    x = refRect.left;
    y = refRect.top;
    if (m_bCenterOnRef) {
      x += ref->m_rcClient.Width() / 2 - m_rcClient.Width() / 2;
      y += ref->m_rcClient.Height() / 2 - m_rcClient.Height() / 2;
    }
    ClampToWorkArea(x, y, m_rcOuter.Width(), m_rcOuter.Height(), work);
  } else if (m_nReqX != -1000 && m_nReqY != -1000) {
    x = m_nReqX;
    y = m_nReqY;
    ClampToWorkArea(x, y, m_rcOuter.Width(), m_rcOuter.Height(), work);
    m_nReqX = x;
    m_nReqY = y;
  } else {
    return;
  }
  SetPos(x, y);
}

void cWnd::FillMinMaxInfo(sMinMaxInfo& info) const {
  info.nMinTrackWidth = m_rcMin.Width() + m_Frame.Horizontal();
  info.nMinTrackHeight = m_rcMin.Height() + m_Frame.Vertical();
  info.nMaxTrackWidth = m_rcMax.Width() + m_Frame.Horizontal();
  info.nMaxTrackHeight = m_rcMax.Height() + m_Frame.Vertical();
}

int cWnd::GetCursorClient(int anyPosition, int mask) {
  int sx = 0, sy = 0;
  bool left = false, right = false;
  if (!platform::GlobalMouse(sx, sy, left, right)) ErrLog("GetCursorPos失敗！");
  cRect outer;
  if (!HostWindowRect(outer)) outer = cRect{m_nX, m_nY, m_nX, m_nY};
  const int x = sx - outer.left - m_Frame.nLeft - m_rcDraw.left;
  const int y = sy - outer.top - m_Frame.nTop - m_rcDraw.top;
  if (!anyPosition && (x < 0 || x >= m_rcDraw.Width() || y < 0 || y >= m_rcDraw.Height()))
    return 0;
  m_Mouse.x = x;
  m_Mouse.y = y;
  m_nCursorX = outer.left + x;
  m_nCursorY = outer.top + y;
  return m_Mouse.Update(mask, left, right);
}

int cWnd::DefWndProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) {
  m_hWnd = hwnd;
  if (message == WM_COMMAND) {
    if (m_bCommandGuard) return 0;  // a command arriving while one is handled is dropped
    m_bCommandGuard = 1;
  }
  GetCursorClient(0, 7);
  switch (message) {
    case WM_DESTROY:
      m_hWnd = nullptr;
      return 1;
    case WM_MOVE: {
      cRect outer;
      if (HostWindowRect(outer)) {
        m_nX = outer.left;
        m_nY = outer.top;
      }
      return 1;
    }
    case WM_SIZE:
      RefreshStyle();
      return 1;
    case WM_ACTIVATEAPP:
      return 1;
    case WM_PAINT:
      OnPaint();
      return 1;
    case WM_GETMINMAXINFO:
      if (lParam) FillMinMaxInfo(*reinterpret_cast<sMinMaxInfo*>(lParam));
      return 1;
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      m_bCommandGuard = 0;
      return 1;
    case WM_MOUSEMOVE: OnMouseMove(wParam, lParam); return 1;
    case WM_LBUTTONDOWN: OnLButtonDown(wParam, lParam); return 1;
    case WM_RBUTTONDOWN: OnRButtonDown(wParam, lParam); return 1;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(wParam, lParam); return 1;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(wParam, lParam); return 1;
    case WM_LBUTTONUP: OnLButtonUp(wParam, lParam); return 1;
    case WM_RBUTTONUP: OnRButtonUp(wParam, lParam); return 1;
  }
  return 0;
}

bool cWnd::HostWindowRect(cRect& outer) const {
  (void)outer;
  return false;
}

void cWnd::HostMove(int, int, int, int) {}
