#include "shell/file_select_dlg.h"

#include "foundation/strings.h"
#include "platform/dialog_host.h"
#include "platform/text_codec.h"
#include "project/system_ini.h"
#include "shell/file_dialog.h"
#include "shell/main_window.h"

cFileSelectDlg* cFileSelectDlg::s_pLive = nullptr;

namespace {

int CommonDialog(const sFileSelectSpec& spec, std::string& buffer) {
  HWND owner = cFileSelectDlg::s_pLive ? cFileSelectDlg::s_pLive->m_hWnd : nullptr;
  if (spec.save)
    return SaveFileDialog(owner, buffer, spec.folder, spec.title, spec.filter, spec.defaultExt, 1);
  return OpenFileDialog(owner, buffer, spec.folder, spec.title, spec.filter, spec.defaultExt, 0,
                        nullptr);
}

FileChooser g_pfnChooser = &CommonDialog;

std::string Pairs(std::initializer_list<std::string> parts) {
  std::string out;
  for (const std::string& part : parts) {
    out += part;
    out += '\0';
  }
  out += '\0';
  return out;
}

}  // namespace

bool FileSelectSpec(int mode, bool english, sFileSelectSpec& spec) {
  spec = sFileSelectSpec{};
  switch (mode) {
    case FILESELECT_STAGE:
      spec.folder = "data\\stg4\\";
      spec.title = english ? "load stage file" : "ステージファイルの読み込み";
      spec.filter = Pairs({"StageFile ( *.stg4_*;*.rpl4_* )", "*.stg4_*;*.rpl4_*"});
      spec.defaultExt = "stg4_*;rpl4_*";
      return true;
    case FILESELECT_REPLAY:
      spec.folder = "user_data\\rpl4";
      spec.title = english ? "load replay file" : "リプレイファイルの読み込み";
      spec.filter = Pairs({"ReplayFile ( *.rpl4_* )", "*.rpl4_*"});
      spec.defaultExt = "rpl4_*";
      return true;
    case FILESELECT_SAVE_REPLAY: {
      const std::string ext = FormatText("rpl4_%s", "821");
      spec.save = true;
      spec.folder = "user_data\\rpl4\\";
      spec.title = english ? "save replay file" : "リプレイファイルの保存";
      spec.filter =
          Pairs({FormatText("ReplayFile ( *.%s )", ext.c_str()), FormatText("*.%s", ext.c_str())});
      spec.defaultExt = ext;
      return true;
    }
  }
  return false;
}

void SetFileChooser(FileChooser chooser) { g_pfnChooser = chooser ? chooser : &CommonDialog; }

int SelectFile(int mode, std::string& path) {
  sFileSelectSpec spec;
  std::string buffer;
  int chosen = 0;
  if (FileSelectSpec(mode, g_SystemIni.English != 0, spec)) {
    if (spec.save) buffer = path;
    chosen = g_pfnChooser(spec, buffer);
  }
  path = buffer;
  return chosen ? 1 : 0;
}

cFileSelectDlg::cFileSelectDlg(std::string* path, int mode) : m_pPath(path), m_nMode(mode) {
  Attach(IDD, &g_MainWnd, &g_WndList);
  s_pLive = this;
  m_strTitle = "ファイルの選択";
  Setup(0, 0, 100, 100, 640, 480, 0);
}

cFileSelectDlg::~cFileSelectDlg() {
  if (s_pLive == this) s_pLive = nullptr;
}

void cFileSelectDlg::BuildLayout(platform::cHostDialog& host) {
  host.SetClientSize(DlgUnitsX(53), DlgUnitsY(35));
  host.AddLabel(IDC_PICTURE, "", DlgUnitsX(7), DlgUnitsY(7), DlgUnitsX(20), DlgUnitsY(21));
}

void cFileSelectDlg::OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) {
  cDlg::OnInitDialog(wParam, lParam);
  UpdateControls();
  std::string scratch;
  const int chosen = SelectFile(m_nMode, m_pPath ? *m_pPath : scratch);
  Close(chosen);
  m_bFocusGuard = 1;
}

int cFileSelectDlg::OnCommand(std::uintptr_t wParam, std::intptr_t lParam) {
  return cDlg::OnCommand(wParam, lParam);
}

cDlg* MakeFileSelectDlg(int mode, std::string& path) { return new cFileSelectDlg(&path, mode); }
