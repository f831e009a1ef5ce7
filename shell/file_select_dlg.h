#pragma once
// The file selection: a dialog whose own window never shows. Its set-up opens the open or
// save chooser at once (a stage file, a replay to watch, or the file a replay is saved to),
// puts the chosen path into the caller's string and ends: 1 when a file was chosen.
#include <string>

#include "shell/dlg.h"

enum eFileSelectMode : int {
  FILESELECT_STAGE = 0,
  FILESELECT_REPLAY = 1,
  FILESELECT_SAVE_REPLAY = 2,
};

// What the chooser of a mode is opened with (texts cp932, the filter as its pairs list).
struct sFileSelectSpec {
  bool save = false;
  std::string folder;
  std::string title;
  std::string filter;
  std::string defaultExt;
};
// False for a mode that is none of the three.
bool FileSelectSpec(int mode, bool english, sFileSelectSpec& spec);

// The chooser behind the dialog: buffer holds the proposal of a save and receives the chosen
// path; 1 when chosen. By default the common open and save dialogs.
using FileChooser = int (*)(const sFileSelectSpec& spec, std::string& buffer);
void SetFileChooser(FileChooser chooser);
// The dialog's work: the chooser of the mode run, path := its buffer whatever the answer (an
// open chooser cancelled leaves it empty, a save cancelled the proposal). 1 when chosen.
int SelectFile(int mode, std::string& path);

class cFileSelectDlg : public cDlg {
 public:
  enum : int { IDD = 104, IDC_PICTURE = 1075 };

  cFileSelectDlg(std::string* path, int mode);
  ~cFileSelectDlg() override;

  void BuildLayout(platform::cHostDialog& host) override;
  void OnInitDialog(std::uintptr_t wParam, std::intptr_t lParam) override;
  int OnCommand(std::uintptr_t wParam, std::intptr_t lParam) override;

  std::string* m_pPath;
  std::int32_t m_nMode;
  static cFileSelectDlg* s_pLive;
};

// The main window's factory of the file requests' dialog.
cDlg* MakeFileSelectDlg(int mode, std::string& path);
