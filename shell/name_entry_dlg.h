#pragma once
// The name entry: the small modal window in which the player types, in at most three
// characters, the name a ranking result is registered under (or the options' default name).
// The name reaches the bound string only through OK; Esc does nothing and the close box keeps
// the string.
#include <string>
#include <vector>

#include "shell/dlg.h"

class cNameEntryDlg : public cDlg {
 public:
  enum : int { IDD = 102, IDC_NAME = 1003, IDC_LABEL = 1007, IDC_PICTURE = 1075 };

  cNameEntryDlg();
  ~cNameEntryDlg() override;

  void BuildLayout(platform::cHostDialog& host) override;
  // Set-up: the edit bound and filled with the name, fully selected; the English label.
  void OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) override;
  int OnCommand(std::uintptr_t wParam, std::intptr_t lParam) override;

  // The edit's binding by the game kind: the options' name in the options, else the play
  // scene's registration name, else none.
  std::vector<sEditDesc> m_EditDescs;
  static cNameEntryDlg* s_pLive;
};

// The main window's factory of the request's dialog.
cDlg* MakeNameEntryDlg();

// Where the dialogs go over the main window: its screen position (its client area's top-left),
// from the host when the window exists.
void MainWindowOrigin(int& x, int& y);
