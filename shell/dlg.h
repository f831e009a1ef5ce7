#pragma once
// Modal dialogs: cDlg runs a dialog window, moves values between program variables and its
// controls through the cCtrl family, and ends through Close with an end code. The dialogs
// are built and run by the host's toolkit on the main thread (platform/dialog_host.h).
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shell/wnd.h"

namespace platform {
class cHostDialog;
}

class cDlg;

enum eCtrlKind : std::int32_t {
  CTRL_PLAIN = 0,
  CTRL_EDIT = 3,
  CTRL_BUTTON = 4,
  CTRL_CHECKBOX = 5,
  CTRL_RADIO = 6,
};

// Edit notifications and the end codes of the dialogs' two buttons.
enum : std::uint32_t { EN_KILLFOCUS = 0x0200, EN_UPDATE = 0x0400 };
enum : int { IDC_OK = 1000, IDC_CANCEL = 1001 };

class cCtrl {
 public:
  explicit cCtrl(eCtrlKind kind) : m_nKind(kind) {}
  virtual ~cCtrl() = default;
  cCtrl(const cCtrl&) = delete;
  cCtrl& operator=(const cCtrl&) = delete;

  virtual void Enable(int flag);
  virtual void UpdateControl() {}
  virtual void StoreControl() {}
  virtual void OnChange() {}
  virtual int OnNotify(std::uintptr_t, std::intptr_t) { return 0; }
  virtual void OnKey(int, std::intptr_t, int) {}

  void Init(cDlg* dialog, int id);

  HWND m_hWnd = nullptr;
  cDlg* m_pOwner = nullptr;
  HWND m_hOwner = nullptr;
  eCtrlKind m_nKind;
  std::uint16_t m_nId = 0;
  int m_nX = 0, m_nY = 0;
};

// An edit box's binding.
struct sEditDesc {
  int nId = 0;
  std::string* pString = nullptr;
  int nMaxBytes = 0;          // 0: 4096
  int nMaxLineChars = 0;      // 0: 1024
  int nMaxLines = 0;          // 0: 32
  int bCountChars = 0;        // 1: a double-byte character counts as one
};

class cEdit : public cCtrl {
 public:
  cEdit() : cCtrl(CTRL_EDIT) {}
  void Init(cDlg* dialog, const sEditDesc& desc);
  void UpdateControl() override;
  void StoreControl() override;
  void OnChange() override;

  sEditDesc m_Desc;
  std::string m_strPrev;
  int m_nSelStart = 0, m_nSelEnd = 0;
  bool m_bInit = false;
  bool m_bInChange = false;
};

class cButton : public cCtrl {
 public:
  cButton() : cCtrl(CTRL_BUTTON) {}
};

class cCheckBox : public cCtrl {
 public:
  cCheckBox() : cCtrl(CTRL_CHECKBOX) {}
  void Init(cDlg* dialog, int id, std::int32_t* value);
  void UpdateControl() override;
  void StoreControl() override;
  std::int32_t* m_pValue = nullptr;
};

class cRadioButton : public cCtrl {
 public:
  cRadioButton() : cCtrl(CTRL_RADIO) {}
  void Init(cDlg* dialog, int id, std::int32_t* value, std::int32_t standsFor);
  void UpdateControl() override;
  void StoreControl() override;
  std::int32_t* m_pValue = nullptr;
  std::int32_t m_nStandsFor = 0;
};

// The keyboard handling of a dialog: the keys a dialog handles itself come as WM_HOOKKEY,
// the others as WM_KEYDOWN and WM_KEYUP; Tab and Enter during an input-method composition
// stay with the toolkit.
class cHook {
 public:
  int Set(HWND window, int flag);
  // What the hook does with one key: 0 pass on only, WM_HOOKKEY or WM_KEYDOWN / WM_KEYUP.
  std::uint32_t HookKey(int key, bool release, bool composing);
  static bool FilterKey(int key);
  static void Unhook();
  HWND m_hWnd = nullptr;
  int m_bFlag = 0;
  int m_bControl = 0;
};

class cDlg : public cWnd {
 public:
  cDlg() = default;
  ~cDlg() override;

  int OnCommand(std::uintptr_t wParam, std::intptr_t lParam) override;
  int DefWndProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                 std::intptr_t lParam) override;
  virtual void PassToLists() {}
  virtual void OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam);
  // Lays out the dialog's controls in the host dialog (the dialog's resource).
  virtual void BuildLayout(platform::cHostDialog& host) = 0;

  void Attach(int resourceId, cWnd* owner, cWndList* list);
  int DoModal(int flags);
  // The dialog procedure body: WM_CLOSE ends the dialog with 0.
  std::intptr_t DlgProc(HWND hwnd, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam);
  void UpdateControls();
  void StoreControls();
  void Close(int code);
  // The host's control of this dialog (null while no window exists).
  platform::cHostDialog* Host() const { return m_pHost; }

  bool HostWindowRect(cRect& outer) const override;
  void HostMove(int x, int y, int width, int height) override;

  std::int32_t m_bModeless = 0;
  std::int32_t m_nRunFlags = 0;
  std::int32_t m_nEndCode = 0;
  cHook m_Hook;
  cWnd* m_pOwnerWnd = nullptr;
  std::int32_t m_bUpdating = 0;
  std::vector<std::unique_ptr<cCtrl>> m_Controls;
  // Backspace is held (the edits' line joins read it).
  bool m_bBackspaceDown = false;

 protected:
  // Adds a control to the list; returns it.
  template <class T, class... Args>
  T* AddControl(Args&&... args) {
    m_Controls.push_back(std::make_unique<T>(std::forward<Args>(args)...));
    return static_cast<T*>(m_Controls.back().get());
  }

 private:
  platform::cHostDialog* m_pHost = nullptr;
  bool m_bClosedDuringInit = false;  // Close ran before the dialog's loop started
};

// Dialog units of the dialogs' layouts in the host's pixels.
inline int DlgUnitsX(int units) { return units * 2; }
inline int DlgUnitsY(int units) { return units * 2; }

// The first check box of the list with that id; none gives the diagnostic and a close.
cCheckBox* FindControl(const std::vector<cCheckBox*>& list, int id);

// A control's text as cp932 (cut at a whole character), and written from cp932.
std::string GetDlgItemString(cDlg* dialog, int id, int maxBytes);
void SetDlgItemString(cDlg* dialog, int id, const std::string& text);
