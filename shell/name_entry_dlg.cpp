#include "shell/name_entry_dlg.h"

#include "platform/dialog_host.h"
#include "platform/text_codec.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"
#include "project/option_data.h"
#include "project/system_ini.h"
#include "shell/main_window.h"
#include "shell/startup.h"

cNameEntryDlg* cNameEntryDlg::s_pLive = nullptr;

void MainWindowOrigin(int& x, int& y) {
  cRect outer;
  if (g_MainWnd.m_hWnd && g_MainWnd.HostWindowRect(outer)) {
    x = outer.left;
    y = outer.top;
    return;
  }
  x = g_MainWnd.m_nX;
  y = g_MainWnd.m_nY;
}

cNameEntryDlg::cNameEntryDlg() {
  Attach(IDD, &g_MainWnd, &g_WndList);
  s_pLive = this;
  Setup(0, 0, 100, 100, 640, 480, 0);
  int x = 240, y = 220;
  if (g_bWindowMode) {
    MainWindowOrigin(x, y);
    x += 240;
    y += 220;
  }
  m_nReqX = x;
  m_nReqY = y;
  platform::MovePointer(x + 80, y + 65);

  std::string* bound = nullptr;
  if (g_SceneManager.m_nGameKind == GAME_OPTION)
    bound = &g_OptionData.m_strRankName;
  else if (g_pPlayScene)
    bound = &g_pPlayScene->m_strRankName;
  if (bound) m_EditDescs.push_back(sEditDesc{IDC_NAME, bound, 4, 3, 1, 1});
}

cNameEntryDlg::~cNameEntryDlg() {
  if (s_pLive == this) s_pLive = nullptr;
}

void cNameEntryDlg::BuildLayout(platform::cHostDialog& host) {
  host.SetClientSize(DlgUnitsX(110), DlgUnitsY(65));
  host.AddLabel(IDC_PICTURE, "", DlgUnitsX(7), DlgUnitsY(7), DlgUnitsX(20), DlgUnitsY(21));
  host.AddEdit(IDC_NAME, DlgUnitsX(75), DlgUnitsY(12), DlgUnitsX(24), DlgUnitsY(14));
  host.AddButton(IDC_OK, "OK", DlgUnitsX(30), DlgUnitsY(35), DlgUnitsX(50), DlgUnitsY(18));
  host.AddLabel(IDC_LABEL, platform::Cp932ToUtf8("登録名(3文字まで)"), DlgUnitsX(15),
                DlgUnitsY(15), DlgUnitsX(56), DlgUnitsY(16));
  host.SetDefaultButton(IDC_OK);
}

void cNameEntryDlg::OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) {
  cDlg::OnInitDialog(wParam, lParam);
  for (const sEditDesc& desc : m_EditDescs) {
    cEdit* edit = AddControl<cEdit>();
    edit->Init(this, desc);
    UpdateControls();
    // Writing the name into the box is a change of its text: the limits take the name back
    // to what fits, as they do with what the player types.
    edit->OnChange();
    if (Host()) {
      Host()->Focus(desc.nId);
      Host()->SetSelection(desc.nId, 0, -1);
    }
  }
  if (g_SystemIni.English) SetDlgItemString(this, IDC_LABEL, "     Name");
  m_bFocusGuard = 1;
}

int cNameEntryDlg::OnCommand(std::uintptr_t wParam, std::intptr_t lParam) {
  cDlg::OnCommand(wParam, lParam);
  switch (wParam & 0xFFFF) {
    case IDC_OK:
      StoreControls();
      Close(1);
      break;
    case IDC_CANCEL:
      Close(0);
      break;
  }
  return 0;
}

cDlg* MakeNameEntryDlg() { return new cNameEntryDlg; }
