#include "shell/file_dialog.h"

#include "foundation/path_utils.h"
#include "media/palette.h"
#include "media/surface.h"
#include "platform/dialog_host.h"
#include "platform/host_file.h"
#include "platform/host_path.h"
#include "platform/text_codec.h"

namespace {

// In 8-bit DirectDraw mode palette entry 0 is black while a dialog is over the screen.
class cDialogPalette {
 public:
  cDialogPalette() {
    if (!Applies()) return;
    PALETTEENTRY black{};
    g_lpDDPalette->SetEntries(0, 1, &black);
  }
  ~cDialogPalette() {
    if (Applies()) g_lpDDPalette->SetEntries(0, 1, g_WorkPalette);
  }

 private:
  static bool Applies() { return !g_bD3D && g_nBpp == 8 && g_lpDDPalette; }
};

// The initial folder as the host's absolute path.
std::string HostFolder(const std::string& folder) {
  if (folder.empty()) return platform::HostPath(platform::CurrentFolder());
  if (folder[0] == '\\' || folder[0] == '/') return platform::HostPath(folder);
  return platform::HostPath(platform::CurrentFolder() + "\\" + folder);
}

platform::sFileChoice Choice(bool save, const std::string& folder, const std::string& title,
                             const std::string& filter) {
  platform::sFileChoice choice;
  choice.save = save;
  choice.folder = HostFolder(folder);
  choice.title = platform::Cp932ToUtf8(title);
  for (const sFilterEntry& entry : ParseFileFilter(filter)) {
    platform::sFileFilter f;
    f.name = platform::Cp932ToUtf8(entry.strCaption);
    for (const std::string& p : entry.patterns) f.patterns.push_back(platform::Cp932ToUtf8(p));
    choice.filters.push_back(f);
  }
  return choice;
}

}  // namespace

std::vector<sFilterEntry> ParseFileFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < filter.size()) {
    std::size_t end = filter.find('\0', start);
    if (end == std::string::npos) end = filter.size();
    if (end == start) break;  // the double NUL ends the list
    parts.push_back(filter.substr(start, end - start));
    start = end + 1;
  }
  std::vector<sFilterEntry> out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    sFilterEntry entry{parts[i], {}};
    std::size_t p = 0;
    while (p <= parts[i + 1].size()) {
      std::size_t q = parts[i + 1].find(';', p);
      if (q == std::string::npos) q = parts[i + 1].size();
      if (q > p) entry.patterns.push_back(parts[i + 1].substr(p, q - p));
      p = q + 1;
    }
    out.push_back(entry);
  }
  return out;
}

int OpenFileDialog(HWND, std::string& file, const std::string& folder, const std::string& title,
                   const std::string& filter, const std::string&, int multiple,
                   std::vector<std::string>* names) {
  file.clear();
  platform::sFileChoice choice = Choice(false, folder, title, filter);
  choice.multiple = multiple != 0;
  std::vector<std::string> chosen;
  {
    cDialogPalette palette;
    chosen = platform::ChooseFiles(choice);
  }
  if (chosen.empty()) return 0;
  file = platform::ProgramPath(chosen[0]);
  if (names) {
    names->clear();
    for (const std::string& path : chosen) names->push_back(platform::ProgramPath(path));
  }
  return 1;
}

int SaveFileDialog(HWND, std::string& file, const std::string& folder, const std::string& title,
                   const std::string& filter, const std::string& defaultExt, int keep) {
  if (!keep) file.clear();
  platform::sFileChoice choice = Choice(true, folder, title, filter);
  // A proposal with a folder opens the dialog in that folder, with its name filled in.
  std::vector<char> name(file.begin(), file.end());
  name.push_back('\0');
  StripDir(name.data());
  std::string base = name.data();
  if (!file.empty() && platform::HostFolderExists(file)) {
    // A folder proposed (a stage without a name): the dialog opens there, no name filled in.
    choice.folder = HostFolder(file);
    base.clear();
  } else if (base.size() < file.size()) {
    const std::string proposalFolder = file.substr(0, file.size() - base.size());
    if (platform::HostFolderExists(proposalFolder)) choice.folder = HostFolder(proposalFolder);
  }
  choice.proposal = platform::Cp932ToUtf8(base);
  choice.defaultExtension = platform::Cp932ToUtf8(defaultExt);
  std::vector<std::string> chosen;
  {
    cDialogPalette palette;
    chosen = platform::ChooseFiles(choice);
  }
  if (chosen.empty()) return 0;
  file = platform::ProgramPath(chosen[0]);
  return 1;
}
