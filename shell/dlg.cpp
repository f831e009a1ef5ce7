#include "shell/dlg.h"

#include <algorithm>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/text_utils.h"
#include "foundation/window_messages.h"
#include "platform/dialog_host.h"
#include "platform/text_codec.h"
#include "shell/edit_limits.h"

namespace {

constexpr int VK_TAB = 0x09, VK_RETURN = 0x0D, VK_CONTROL = 0x11, VK_SPACE = 0x20;
constexpr int VK_LEFT = 0x25, VK_DOWN = 0x28, VK_DELETE = 0x2E, VK_F1 = 0x70, VK_F8 = 0x77;

// Byte offset in cp932 text of the character index n, and back.
int CharToByte(const std::string& text, int n) {
  int bytes = 0;
  for (int i = 0; i < n && bytes < static_cast<int>(text.size()); ++i)
    bytes += IsDbcsPair(text.c_str() + bytes) ? 2 : 1;
  return bytes;
}

int ByteToChar(const std::string& text, int offset) {
  int chars = 0;
  for (int bytes = 0; bytes < offset && bytes < static_cast<int>(text.size()); ++chars)
    bytes += IsDbcsPair(text.c_str() + bytes) ? 2 : 1;
  return chars;
}

}  // namespace

std::string GetDlgItemString(cDlg* dialog, int id, int maxBytes) {
  if (!dialog || !dialog->Host()) return {};
  return CutCp932(platform::Utf8ToCp932(dialog->Host()->Text(id)), maxBytes);
}

void SetDlgItemString(cDlg* dialog, int id, const std::string& text) {
  if (dialog && dialog->Host()) dialog->Host()->SetText(id, platform::Cp932ToUtf8(text));
}

void cCtrl::Enable(int flag) {
  if (m_pOwner && m_pOwner->Host()) m_pOwner->Host()->Enable(m_nId, flag != 0);
}

void cCtrl::Init(cDlg* dialog, int id) {
  m_pOwner = dialog;
  m_hOwner = dialog ? dialog->m_hWnd : nullptr;
  m_nId = static_cast<std::uint16_t>(id);
  platform::cHostDialog* host = dialog ? dialog->Host() : nullptr;
  if (!host || !host->HasControl(id)) {
    ErrBoxDebugF("コントロールID 【%u】 が見つかりません！", static_cast<unsigned>(m_nId));
    PostCloseToMainWindow();
    return;
  }
  m_hWnd = host;
  int w = 0, h = 0;
  host->ControlRect(id, m_nX, m_nY, w, h);
}

void cEdit::Init(cDlg* dialog, const sEditDesc& desc) {
  cCtrl::Init(dialog, desc.nId);
  m_Desc = desc;
  if (m_Desc.nMaxBytes == 0) m_Desc.nMaxBytes = 4096;
  if (m_Desc.nMaxLineChars == 0) m_Desc.nMaxLineChars = 1024;
  if (m_Desc.nMaxLines == 0) m_Desc.nMaxLines = 32;
  const std::string value = m_Desc.pString ? *m_Desc.pString : std::string();
  SetDlgItemString(dialog, m_nId, value);
  m_strPrev = value;
  m_bInit = true;
  OnChange();
  m_bInit = false;
}

void cEdit::UpdateControl() {
  if (m_Desc.pString) SetDlgItemString(m_pOwner, m_nId, *m_Desc.pString);
}

void cEdit::StoreControl() {
  if (!m_Desc.pString || !m_pOwner || m_pOwner->m_bUpdating) return;
  // Read as the limits read it: with characters counted, three double-byte characters are
  // more bytes than the limit.
  const int readMax = m_Desc.bCountChars ? 2 * m_Desc.nMaxBytes - 1 : m_Desc.nMaxBytes;
  *m_Desc.pString = GetDlgItemString(m_pOwner, m_nId, readMax);
}

void cEdit::OnChange() {
  if (m_bInChange || !m_pOwner || !m_pOwner->Host()) return;
  m_bInChange = true;
  platform::cHostDialog* host = m_pOwner->Host();
  const int readMax = m_Desc.bCountChars ? 2 * m_Desc.nMaxBytes - 1 : m_Desc.nMaxBytes;
  int s = 0, e = 0;
  host->Selection(m_nId, s, e);
  // A character that cp932 does not have cannot be kept: it is refused like one too many.
  const std::string shown = host->Text(m_nId);
  const std::string converted = platform::Utf8ToCp932(shown);
  if (!m_bInit && std::count(converted.begin(), converted.end(), '?') !=
                      std::count(shown.begin(), shown.end(), '?')) {
    SetDlgItemString(m_pOwner, m_nId, m_strPrev);
    const int chars = ByteToChar(m_strPrev, static_cast<int>(m_strPrev.size()));
    host->SetSelection(m_nId, std::min(s, chars), std::min(e, chars));
    m_bInChange = false;
    return;
  }
  sEditText now;
  now.text = GetDlgItemString(m_pOwner, m_nId, readMax);
  now.nSelStart = CharToByte(now.text, s);
  now.nSelEnd = CharToByte(now.text, e);
  m_nSelStart = now.nSelStart;
  m_nSelEnd = now.nSelEnd;
  sEditLimits limits{m_Desc.nMaxBytes, m_Desc.nMaxLineChars, m_Desc.nMaxLines,
                     m_Desc.bCountChars != 0};
  const sEditText out =
      ApplyEditLimits(now, m_strPrev, m_Desc.pString ? *m_Desc.pString : std::string(), limits,
                      m_bInit, m_pOwner->m_bBackspaceDown);
  if (out.text != now.text) SetDlgItemString(m_pOwner, m_nId, out.text);
  if (!m_bInit)
    host->SetSelection(m_nId, ByteToChar(out.text, out.nSelStart),
                       ByteToChar(out.text, out.nSelEnd));
  m_strPrev = out.text;
  m_bInChange = false;
}

void cCheckBox::Init(cDlg* dialog, int id, std::int32_t* value) {
  cCtrl::Init(dialog, id);
  m_pValue = value;
}

void cCheckBox::UpdateControl() {
  if (m_pValue && m_pOwner && m_pOwner->Host()) m_pOwner->Host()->SetCheck(m_nId, *m_pValue);
}

void cCheckBox::StoreControl() {
  if (!m_pValue || !m_pOwner || !m_pOwner->Host() || m_pOwner->m_bUpdating) return;
  *m_pValue = m_pOwner->Host()->Check(m_nId);
}

void cRadioButton::Init(cDlg* dialog, int id, std::int32_t* value, std::int32_t standsFor) {
  cCtrl::Init(dialog, id);
  m_pValue = value;
  m_nStandsFor = standsFor;
}

void cRadioButton::UpdateControl() {
  if (m_pValue && m_pOwner && m_pOwner->Host())
    m_pOwner->Host()->SetCheck(m_nId, *m_pValue == m_nStandsFor);
}

void cRadioButton::StoreControl() {
  if (!m_pValue || !m_pOwner || !m_pOwner->Host() || m_pOwner->m_bUpdating) return;
  if (m_pOwner->Host()->Check(m_nId)) *m_pValue = m_nStandsFor;
}

int cHook::Set(HWND window, int flag) {
  m_hWnd = window;
  m_bFlag = flag;
  return 1;
}

bool cHook::FilterKey(int key) {
  return key == VK_SPACE || (key >= VK_LEFT && key <= VK_DOWN) || key == VK_DELETE ||
         (key >= VK_F1 && key <= VK_F8);
}

std::uint32_t cHook::HookKey(int key, bool release, bool composing) {
  if (release) {
    if (key == VK_CONTROL) m_bControl = 0;
    return m_bFlag && m_bControl ? 0u : static_cast<std::uint32_t>(WM_KEYUP);
  }
  if (key == VK_RETURN && composing) return 0;  // Enter confirms the composition
  if (key == VK_TAB) return 0;
  if (FilterKey(key) && !composing) return WM_HOOKKEY;
  if (key == VK_CONTROL) m_bControl = 1;
  return m_bFlag && m_bControl ? 0u : static_cast<std::uint32_t>(WM_KEYDOWN);
}

void cHook::Unhook() {}

cDlg::~cDlg() { m_Controls.clear(); }

void cDlg::Attach(int resourceId, cWnd* owner, cWndList* list) {
  m_pOwnerWnd = owner;
  Bind(resourceId, owner ? owner->m_hWnd : nullptr, list);
}

int cDlg::DoModal(int flags) {
  if (m_pHost) return 0;
  Close(0);
  m_bModeless = 0;
  m_nRunFlags = flags;
  // Without a display the dialog answers as if it had been closed.
  if (!platform::StartDialogToolkit()) return 0;
  platform::cHostDialog host(platform::Cp932ToUtf8(m_strTitle), m_rcRequest.Width(),
                             m_rcRequest.Height());
  m_pHost = &host;
  m_hWnd = &host;
  BuildLayout(host);
  platform::sDialogEvents events;
  events.command = [this](int id, std::uint32_t notification) {
    DlgProc(m_hWnd, WM_COMMAND, (static_cast<std::uintptr_t>(notification) << 16) | (id & 0xFFFF),
            0);
  };
  events.close = [this] { DlgProc(m_hWnd, WM_CLOSE, 0, 0); };
  events.key = [this](int key, bool release, bool composing) {
    if (key == 0x08) m_bBackspaceDown = !release;
    const std::uint32_t message = m_Hook.HookKey(key, release, composing);
    if (message) DlgProc(m_hWnd, message, static_cast<std::uintptr_t>(key), 0);
  };
  DlgProc(m_hWnd, WM_INITDIALOG, 0, 0);
  int code = m_nEndCode;
  if (!m_bClosedDuringInit) code = host.RunModal(events);
  m_bClosedDuringInit = false;
  m_Controls.clear();
  m_pHost = nullptr;
  m_hWnd = nullptr;
  return code;
}

std::intptr_t cDlg::DlgProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
  const int r = DefWndProc(hwnd, message, wParam, lParam);
  if (message == WM_DESTROY) return 1;
  if (message == WM_CLOSE) {
    Close(0);
    return 1;
  }
  return r ? 1 : 0;
}

int cDlg::DefWndProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) {
  const int r = cWnd::DefWndProc(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_NOTIFY:
      for (auto& control : m_Controls)
        if (control->OnNotify(wParam, lParam)) break;
      break;
    case WM_KEYDOWN:
      for (auto& control : m_Controls)
        control->OnKey(static_cast<int>(wParam), lParam, m_Hook.m_bControl);
      break;
    case WM_INITDIALOG:
      OnInitDialog(wParam, lParam);
      break;
    case WM_HOOKKEY:
      DlgProc(hwnd, WM_KEYDOWN, wParam, lParam);
      break;
  }
  return r;
}

void cDlg::OnInitDialog(std::uintptr_t, std::intptr_t) {
  m_Controls.clear();
  RefreshStyle();
  Place();
  if (!m_Hook.Set(m_hWnd, m_bModeless)) ErrBox("KeyboardHookに失敗!");
  GetCursorClient(0, 7);
  m_MouseAtInit = m_Mouse;
  if (m_rcRequest.Width() != 0) SetClientSize(m_rcRequest.Width(), m_rcRequest.Height());
}

int cDlg::OnCommand(std::uintptr_t wParam, std::intptr_t) {
  const int id = static_cast<int>(wParam & 0xFFFF);
  const std::uint32_t notification = static_cast<std::uint32_t>((wParam >> 16) & 0xFFFF);
  for (auto& control : m_Controls) {
    if (control->m_nId != id) continue;
    if (control->m_nKind == CTRL_EDIT && notification == EN_UPDATE) control->OnChange();
  }
  return 0;
}

void cDlg::UpdateControls() {
  m_bUpdating = 1;
  for (auto& control : m_Controls) control->UpdateControl();
  m_bUpdating = 0;
}

void cDlg::StoreControls() {
  for (auto& control : m_Controls) control->StoreControl();
}

void cDlg::Close(int code) {
  m_nEndCode = code;
  m_Controls.clear();
  if (m_pHost) {
    if (m_pHost->Running())
      m_pHost->End(code);
    else
      m_bClosedDuringInit = true;
  }
}

bool cDlg::HostWindowRect(cRect& outer) const {
  int x, y, w, h;
  if (!m_pHost || !m_pHost->WindowRect(x, y, w, h)) return false;
  outer = cRect{x, y, x + w, y + h};
  return true;
}

void cDlg::HostMove(int x, int y, int, int) {
  if (m_pHost) m_pHost->Move(x, y);
}

cCheckBox* FindControl(const std::vector<cCheckBox*>& list, int id) {
  for (cCheckBox* box : list)
    if (box && box->m_nId == static_cast<std::uint16_t>(id)) return box;
  ErrBoxDebugF("コントロールID 【%u】 が見つかりません！", static_cast<unsigned>(id & 0xFFFF));
  PostCloseToMainWindow();
  return nullptr;
}
