#pragma once
// The common open and save dialogs. Texts and paths are the program's cp932; the filter is
// the classic list of pairs "caption\0patterns\0...\0", patterns separated by ';'.
#include <string>
#include <vector>

#include "shell/wnd.h"

struct sFilterEntry {
  std::string strCaption;
  std::vector<std::string> patterns;
};
std::vector<sFilterEntry> ParseFileFilter(const std::string& filter);

// Open: file receives the chosen path; with names, one entry per chosen file. 1 when chosen,
// 0 when cancelled (or without a display).
int OpenFileDialog(HWND owner, std::string& file, const std::string& folder,
                   const std::string& title, const std::string& filter,
                   const std::string& defaultExt, int multiple, std::vector<std::string>* names);
// Save: file holds the proposed name when keep is set; a name typed without extension gets
// the whole default extension; the dialog asks before overwriting. 1 when chosen.
int SaveFileDialog(HWND owner, std::string& file, const std::string& folder,
                   const std::string& title, const std::string& filter,
                   const std::string& defaultExt, int keep);
