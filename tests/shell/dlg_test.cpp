// A small dialog on the host toolkit, driven as a user would: values fill the controls when
// it opens, reach the program only through the OK button, and the close box cancels.
#include "shell/dlg.h"

#include <gtest/gtest.h>

#include "foundation/window_messages.h"
#include "platform/close_request.h"
#include "platform/dialog_host.h"

namespace {

constexpr int kEdit = 10, kCheck = 11, kRadioA = 12, kRadioB = 13;

class cTestDlg : public cDlg {
 public:
  std::string m_strName = "ab";
  std::int32_t m_bFlag = 1;
  std::int32_t m_nChoice = 2;

  cTestDlg() { Setup(240, 120, 0, 0, 0, 0, 0); }
  void BuildLayout(platform::cHostDialog& host) override {
    host.AddEdit(kEdit, 8, 8, 120, 24);
    host.AddCheckBox(kCheck, "flag", 8, 40, 120, 20);
    host.AddRadioButton(kRadioA, kRadioA, "one", 8, 64, 60, 20);
    host.AddRadioButton(kRadioB, kRadioA, "two", 80, 64, 60, 20);
    host.AddButton(IDC_OK, "OK", 150, 8, 80, 24);
  }
  void OnInitDialog(std::uintptr_t w, std::intptr_t l) override {
    cDlg::OnInitDialog(w, l);
    AddControl<cEdit>()->Init(this, sEditDesc{kEdit, &m_strName, 6, 3, 1, 1});
    AddControl<cCheckBox>()->Init(this, kCheck, &m_bFlag);
    AddControl<cRadioButton>()->Init(this, kRadioA, &m_nChoice, 1);
    AddControl<cRadioButton>()->Init(this, kRadioB, &m_nChoice, 2);
    UpdateControls();
    m_bFocusGuard = 1;
  }
  int OnCommand(std::uintptr_t wParam, std::intptr_t lParam) override {
    cDlg::OnCommand(wParam, lParam);
    if ((wParam & 0xFFFF) == IDC_OK) {
      StoreControls();
      Close(1);
    }
    return 0;
  }
};

// What the "user" does once the dialog runs, and what the controls showed at that moment.
cTestDlg* g_pDialog = nullptr;
bool g_bPressOk = true;
std::string g_strShownName;
int g_nShownFlag = -1, g_nShownB = -1, g_nTicks = 0;

void Act() {
  if (!g_pDialog || !g_pDialog->Host() || !g_pDialog->Host()->Running() || ++g_nTicks != 3)
    return;
  platform::cHostDialog& host = *g_pDialog->Host();
  g_strShownName = host.Text(kEdit);
  g_nShownFlag = host.Check(kCheck);
  g_nShownB = host.Check(kRadioB);
  // Typing a third character and a fourth, then the check box and the other radio button.
  for (const char* typed : {"abc", "abcd"}) {
    host.SetText(kEdit, typed);
    g_pDialog->DlgProc(g_pDialog->m_hWnd, WM_COMMAND, (EN_UPDATE << 16) | kEdit, 0);
  }
  host.SetCheck(kCheck, 0);
  host.SetCheck(kRadioA, 1);
  if (g_bPressOk)
    g_pDialog->DlgProc(g_pDialog->m_hWnd, WM_COMMAND, IDC_OK, 0);
  else
    g_pDialog->DlgProc(g_pDialog->m_hWnd, WM_CLOSE, 0, 0);
}

TEST(Dialog, ValuesFillTheControlsAndReturnOnlyThroughOk) {
  if (!platform::StartDialogToolkit()) GTEST_SKIP() << "no display";
  platform::SetDialogIdleService(&Act);
  for (bool ok : {true, false}) {
    cTestDlg dialog;
    g_pDialog = &dialog;
    g_bPressOk = ok;
    g_nTicks = 0;
    EXPECT_EQ(dialog.DoModal(0), ok ? 1 : 0);
    EXPECT_EQ(g_strShownName, "ab");
    EXPECT_EQ(g_nShownFlag, 1);
    EXPECT_EQ(g_nShownB, 1);
    if (ok) {
      EXPECT_EQ(dialog.m_strName, "abc");  // the fourth character was refused
      EXPECT_EQ(dialog.m_bFlag, 0);
      EXPECT_EQ(dialog.m_nChoice, 1);
    } else {
      EXPECT_EQ(dialog.m_strName, "ab");
      EXPECT_EQ(dialog.m_bFlag, 1);
      EXPECT_EQ(dialog.m_nChoice, 2);
    }
    EXPECT_EQ(dialog.Host(), nullptr);
    EXPECT_TRUE(dialog.m_Controls.empty());
  }
  g_pDialog = nullptr;
  platform::SetDialogIdleService(nullptr);
  EXPECT_EQ(platform::CloseRequestCount(), 0);
}

TEST(Dialog, AMissingControlIsReportedAndClosesTheProgram) {
  std::vector<cCheckBox*> none;
  platform::ResetCloseRequest();
  EXPECT_EQ(FindControl(none, 7), nullptr);
  EXPECT_EQ(platform::CloseRequestCount(), 1);
  platform::ResetCloseRequest();
}

}  // namespace
