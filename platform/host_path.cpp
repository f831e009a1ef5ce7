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

// The small letter of a capital that the host file systems of the games fold: A-Z, and the
// full-width Latin, Greek and Cyrillic capitals of cp932. Other code points stay.
char32_t FoldLetter(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;  // full-width Latin
  if (c >= 0x0391 && c <= 0x03A9) return c + 0x20;  // Greek
  if (c >= 0x0410 && c <= 0x042F) return c + 0x20;  // Cyrillic
  if (c == 0x0401) return 0x0451;                   // Cyrillic IO
  return c;
}

// The next code point of UTF-8 text; a byte that starts no valid sequence stands for itself
// (as a value no letter has), so that any two names still compare byte for byte.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  const size_t length = b0 < 0x80 ? 1 : (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : 0;
  if (length == 0 || i + length > s.size()) {
    ++i;
    return 0x110000 + b0;
  }
  char32_t c = length == 1 ? b0 : length == 2 ? (b0 & 0x1F) : (b0 & 0x0F);
  for (size_t k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0x110000 + b0;
    }
    c = (c << 6) | (b & 0x3F);
  }
  i += length;
  return c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (FoldLetter(NextCodePoint(a, i)) != FoldLetter(NextCodePoint(b, j))) return false;
  }
  return i == a.size() && j == b.size();
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
