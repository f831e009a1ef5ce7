#include "platform/host_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/text_codec.h"

namespace platform {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// Finds the entry of folder whose name equals name but for letter case.
bool FindNoCase(const std::string& folder, std::string_view name, std::string& found) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  bool ok = false;
  while (dirent* entry = ::readdir(dir)) {
    if (EqualsNoCase(entry->d_name, name)) {
      found = entry->d_name;
      ok = true;
      break;
    }
  }
  ::closedir(dir);
  return ok;
}

}  // namespace

std::string HostPath(std::string_view programPath) {
  std::string utf8 = Cp932ToUtf8(programPath);
  for (char& c : utf8)
    if (c == '\\') c = '/';

  std::string result;
  size_t pos = 0;
  if (!utf8.empty() && utf8[0] == '/') {
    result = "/";
    pos = 1;
  }
  // Once a component is missing, the rest cannot exist either: keep the names as given.
  bool resolving = true;
  while (pos <= utf8.size()) {
    size_t next = utf8.find('/', pos);
    if (next == std::string::npos) next = utf8.size();
    std::string_view part(utf8.data() + pos, next - pos);
    if (!part.empty()) {
      const std::string folder = result.empty() ? std::string(".") : result;
      if (!result.empty() && result.back() != '/') result.push_back('/');
      const size_t nameStart = result.size();
      result.append(part.data(), part.size());
      if (resolving && part != "." && part != ".." && !Exists(result)) {
        std::string found;
        if (FindNoCase(folder, part, found))
          result.replace(nameStart, std::string::npos, found);
        else
          resolving = false;
      }
    }
    if (next == utf8.size()) break;
    pos = next + 1;
  }
  if (utf8.size() > 1 && utf8.back() == '/' && (result.empty() || result.back() != '/'))
    result += '/';
  return result;
}

std::string ProgramPath(std::string_view hostPath) {
  std::string text(hostPath);
  for (char& c : text)
    if (c == '/') c = '\\';
  return Utf8ToCp932(text);
}

}  // namespace platform
