#include "shell/start_dlg.h"

#include "foundation/report.h"
#include "platform/dialog_host.h"
#include "platform/text_codec.h"
#include "project/paths.h"
#include "project/system_data.h"
#include "project/system_ini.h"
#include "shell/boot_data.h"
#include "shell/main_window.h"
#include "shell/name_entry_dlg.h"

cStartDlg* cStartDlg::s_pLive = nullptr;

cStartDlg::cStartDlg() {
  Attach(IDD, &g_MainWnd, &g_WndList);
  s_pLive = this;
  Setup(0, 0, 100, 100, 640, 480, 0);
  int x = 0, y = 0;
  MainWindowOrigin(x, y);
  m_nReqX = x + 320 - 187;
  m_nReqY = y + 240 - 136;
  platform::MovePointer(m_nReqX + 181, m_nReqY + 198);
  m_Radios = {{IDC_DIRECT3D, &g_BootData.m_nDrawMode, 1},
              {IDC_DIRECTDRAW, &g_BootData.m_nDrawMode, 0}};
  m_Checks = {{IDC_NO_ASK, &g_BootData.m_bNoAsk}};
  m_Plains = {IDC_HINT};
}

cStartDlg::~cStartDlg() {
  if (s_pLive == this) s_pLive = nullptr;
}

void cStartDlg::BuildLayout(platform::cHostDialog& host) {
  auto text = [](const char* cp932) { return platform::Cp932ToUtf8(cp932); };
  host.SetClientSize(DlgUnitsX(222), DlgUnitsY(171));
  host.AddLabel(IDC_PICTURE, "", DlgUnitsX(7), DlgUnitsY(7), DlgUnitsX(20), DlgUnitsY(21));
  host.AddGroupBox(IDC_GROUP, text("描画モード"), DlgUnitsX(15), DlgUnitsY(15), DlgUnitsX(190),
                   DlgUnitsY(55));
  host.AddRadioButton(IDC_DIRECT3D, IDC_DIRECT3D, "Direct3D", DlgUnitsX(20), DlgUnitsY(30),
                      DlgUnitsX(42), DlgUnitsY(10));
  host.AddRadioButton(IDC_DIRECTDRAW, IDC_DIRECT3D, "DirectDraw", DlgUnitsX(80), DlgUnitsY(30),
                      DlgUnitsX(45), DlgUnitsY(10));
  host.AddLabel(IDC_HINT, text("詳細な設定は環境設定ファイル「System.ini」で行って下さい。"),
                DlgUnitsX(20), DlgUnitsY(50), DlgUnitsX(177), DlgUnitsY(12));
  host.AddCheckBox(IDC_NO_ASK, text("次回からこのダイアログを表示しない"), DlgUnitsX(50),
                   DlgUnitsY(85), DlgUnitsX(120), DlgUnitsY(10));
  host.AddButton(IDC_OK, text("ゲーム開始"), DlgUnitsX(80), DlgUnitsY(105), DlgUnitsX(50),
                 DlgUnitsY(25));
  host.AddButton(IDC_CANCEL, text("ゲーム中止"), DlgUnitsX(80), DlgUnitsY(140), DlgUnitsX(50),
                 DlgUnitsY(18));
  host.SetDefaultButton(IDC_OK);
}

void cStartDlg::OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) {
  cDlg::OnInitDialog(wParam, lParam);
  m_strTitle = g_SystemData.m_strTitle;
  if (Host()) Host()->SetTitle(platform::Cp932ToUtf8(m_strTitle));
  std::vector<cCheckBox*> checks;
  std::vector<cCtrl*> plains;
  for (const sRadio& radio : m_Radios)
    AddControl<cRadioButton>()->Init(this, radio.id, radio.value, radio.standsFor);
  for (const sCheck& check : m_Checks) {
    cCheckBox* box = AddControl<cCheckBox>();
    box->Init(this, check.id, check.value);
    checks.push_back(box);
  }
  for (int id : m_Plains) {
    cCtrl* plain = AddControl<cCtrl>(CTRL_PLAIN);
    plain->Init(this, id);
    plains.push_back(plain);
  }
  UpdateControls();
  if (g_SystemIni.English) {
    SetDlgItemString(this, IDC_GROUP, "Drawing mode");
    SetDlgItemString(this, IDC_OK, "Start");
    SetDlgItemString(this, IDC_CANCEL, "Cancel");
    for (cCtrl* plain : plains)
      if (plain->m_nId == IDC_HINT)
        SetDlgItemString(this, plain->m_nId, "Configure the detail settings at \"System.ini\".");
    if (cCheckBox* box = FindControl(checks, IDC_NO_ASK))
      SetDlgItemString(this, box->m_nId, "Do not ask this dialog again");
  }
  m_bFocusGuard = 1;
}

int cStartDlg::OnCommand(std::uintptr_t wParam, std::intptr_t lParam) {
  cDlg::OnCommand(wParam, lParam);
  switch (wParam & 0xFFFF) {
    case IDC_OK:
      StoreControls();
      // A Boot.dat that cannot be written is in the report log; the game starts all the same.
      g_BootData.SaveFile(g_PathTable[PATH_BOOT]);
      Close(1);
      break;
    case IDC_CANCEL:
      Close(0);
      break;
  }
  return 0;
}

int RunStartDialog() {
  if (!platform::StartDialogToolkit()) {
    Report("No display for the start dialog: the start is cancelled.");
    return 0;
  }
  cStartDlg* dialog = new cStartDlg;
  const int code = dialog->DoModal(0);
  DeleteWnd(&dialog);
  return code;
}
