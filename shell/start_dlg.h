#pragma once
// The start dialog: Direct3D or DirectDraw, and whether to ask again, chosen before the
// drawing device exists when System.ini leaves the drawing mode to the player. Start stores
// the choice in Boot.dat and ends with 1; Cancel and the close box end with 0.
#include <vector>

#include "shell/dlg.h"

class cStartDlg : public cDlg {
 public:
  enum : int {
    IDD = 103,
    IDC_DIRECT3D = 1002,
    IDC_DIRECTDRAW = 1003,
    IDC_NO_ASK = 1004,
    IDC_HINT = 1005,
    IDC_GROUP = 1006,
    IDC_PICTURE = 1075,
  };

  cStartDlg();
  ~cStartDlg() override;

  void BuildLayout(platform::cHostDialog& host) override;
  // Set-up: the game title as caption, the controls bound to Boot.dat, the English texts.
  void OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) override;
  int OnCommand(std::uintptr_t wParam, std::intptr_t lParam) override;

  // The control lists with their bindings, filled by the constructor.
  struct sRadio {
    int id;
    std::int32_t* value;
    std::int32_t standsFor;
  };
  struct sCheck {
    int id;
    std::int32_t* value;
  };
  std::vector<sRadio> m_Radios;
  std::vector<sCheck> m_Checks;
  std::vector<int> m_Plains;
  static cStartDlg* s_pLive;
};

// Start-up's runner: 1 after Start (Boot.dat then holds the choice), 0 after Cancel, the close
// box, or without a display (with a report-log line).
int RunStartDialog();
