#include "foundation/path_utils.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "foundation/text_utils.h"
#include "platform/host_file.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Walks from the start, so that a backslash that is the trail byte of a double-byte character
// is never taken for a separator. -1 when there is none.
int LastSeparator(const std::string& path) {
  int last = -1;
  for (size_t i = 0; i < path.size();) {
    if (IsDbcsPair(path.c_str() + i)) {
      i += 2;
      continue;
    }
    if (IsSeparator(path[i])) last = static_cast<int>(i);
    ++i;
  }
  return last;
}

// The last dot of the file name: a dot in a folder name never counts.
int LastDotOfName(const std::string& path) {
  int last = -1;
  for (size_t i = static_cast<size_t>(LastSeparator(path) + 1); i < path.size();) {
    if (IsDbcsPair(path.c_str() + i)) {
      i += 2;
      continue;
    }
    if (path[i] == '.') last = static_cast<int>(i);
    ++i;
  }
  return last;
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i < path.size();) {
    if (IsDbcsPair(path.c_str() + i)) {
      part.append(path, i, 2);
      i += 2;
      continue;
    }
    if (IsSeparator(path[i])) {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += path[i];
    }
    ++i;
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

// Drops "." and resolves "..", never above the root.
std::vector<std::string> Normalise(const std::vector<std::string>& parts) {
  std::vector<std::string> out;
  for (const std::string& part : parts) {
    if (part == ".") continue;
    if (part == "..") {
      if (!out.empty()) out.pop_back();
      continue;
    }
    out.push_back(part);
  }
  return out;
}

bool HasDrive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && IsSeparator(path[0])) || HasDrive(path);
}

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && LastSeparator(path) == static_cast<int>(path.size()) - 1;
}

bool Fits(const std::string& path) { return path.size() < static_cast<size_t>(kMaxPath); }

bool Fits(const char* path) { return path && std::strlen(path) < static_cast<size_t>(kMaxPath); }

// Result of the char* forms: written back only when it fits.
int Store(char* dest, const std::string& value) {
  if (!Fits(value)) return 0;
  std::memcpy(dest, value.c_str(), value.size() + 1);
  return 1;
}

}  // namespace

int PathToAbsoluteStr(std::string& path) {
  if (IsAbsolute(path)) return 1;
  std::string current = platform::CurrentFolder();
  if (current.empty()) return 0;
  std::vector<std::string> parts = SplitComponents(current);
  for (const std::string& part : SplitComponents(path)) parts.push_back(part);
  std::string full;
  for (const std::string& part : Normalise(parts)) full += "\\" + part;
  if (full.empty() || (EndsWithSeparator(path) && full.back() != '\\')) full += "\\";
  if (!Fits(full)) return 0;
  path = full;
  return 1;
}

int PathToAbsolute(char* path) {
  if (!Fits(path)) return 0;
  std::string value = path;
  return PathToAbsoluteStr(value) && Store(path, value);
}

int PathToRelativeStr(std::string& path) {
  if (!IsAbsolute(path)) return 1;
  // Another drive has no relative form from a folder of this system.
  if (HasDrive(path)) return 0;
  std::string current = platform::CurrentFolder();
  if (current.empty()) return 0;
  const std::vector<std::string> from = Normalise(SplitComponents(current));
  const std::vector<std::string> to = Normalise(SplitComponents(path));
  size_t common = 0;
  while (common < from.size() && common < to.size() &&
         StrEqualNoCase(from[common].c_str(), to[common].c_str()))
    ++common;
  std::string relative;
  for (size_t i = common; i < from.size(); ++i) relative += relative.empty() ? ".." : "\\..";
  for (size_t i = common; i < to.size(); ++i) {
    if (!relative.empty()) relative += "\\";
    relative += to[i];
  }
  if (relative.empty()) relative = ".";
  if (EndsWithSeparator(path)) relative += "\\";
  if (!Fits(relative)) return 0;
  path = relative;
  return 1;
}

int PathToRelative(char* path) {
  if (!Fits(path)) return 0;
  std::string value = path;
  return PathToRelativeStr(value) && Store(path, value);
}

void StripDir(char* path) {
  if (!path) return;
  std::string value = path;
  int separator = LastSeparator(value);
  if (separator >= 0) std::memmove(path, path + separator + 1, value.size() - separator);
}

int ChangeExtStr(std::string& path, const char* ext) {
  int dot = LastDotOfName(path);
  if (dot < 0) return 0;
  std::string changed = path.substr(0, static_cast<size_t>(dot));
  if (ext) changed += "." + std::string(ext);
  path = changed;
  return 1;
}

int ChangeExt(char* dest, const char* src, const char* ext) {
  if (!dest) return 0;
  if (!Fits(src) || (ext && !Fits(ext))) {
    dest[0] = '\0';
    return 0;
  }
  std::string value = src;
  std::memmove(dest, src, value.size() + 1);
  return ChangeExtStr(value, ext) && Store(dest, value);
}

int StripExtStr(std::string& path) { return ChangeExtStr(path, nullptr); }

int StripExt(char* path) {
  if (!Fits(path)) return 0;
  std::string value = path;
  return StripExtStr(value) && Store(path, value);
}

int GetExt(char* dest, const char* path) {
  if (!dest || !Fits(path)) return 0;
  std::string value = path;
  int dot = LastDotOfName(value);
  if (dot < 0) return 0;
  return Store(dest, value.substr(static_cast<size_t>(dot) + 1));
}

int MakeNumberedName(char* dest, const char* src, int number) {
  if (!dest || !Fits(src)) return 0;
  std::string name = src;
  std::memmove(dest, src, name.size() + 1);
  int dot = LastDotOfName(name);
  if (dot < 0) return 0;
  std::string ext = name.substr(static_cast<size_t>(dot) + 1);
  if (ext.size() > static_cast<size_t>(kMaxExt)) return 0;
  char numbered[64];
  std::snprintf(numbered, sizeof(numbered), " (%d).", number);
  return Store(dest, name.substr(0, static_cast<size_t>(dot)) + numbered + ext);
}

int FindNumberedFileStr(std::string& dest, const std::string& base, const char* ext) {
  std::string name = base;
  if (ext) ChangeExtStr(name, ext);
  // One listing of the folder in place of a thousand probes; the highest number wins, as when
  // probing from 999 down.
  const int separator = LastSeparator(name);
  const std::string folder = separator < 0 ? std::string() : name.substr(0, separator + 1);
  const std::string prefix = name.substr(static_cast<size_t>(separator + 1)) + "_";
  std::vector<std::string> entries;
  if (!platform::ListHostFolder(folder, entries)) return 0;
  int best = -1;
  for (const std::string& entry : entries) {
    if (entry.size() != prefix.size() + 3) continue;
    const char* digits = entry.c_str() + prefix.size();
    if (digits[0] < '0' || digits[0] > '9' || digits[1] < '0' || digits[1] > '9' ||
        digits[2] < '0' || digits[2] > '9')
      continue;
    if (!StrEqualNoCase(entry.substr(0, prefix.size()).c_str(), prefix.c_str())) continue;
    int number = (digits[0] - '0') * 100 + (digits[1] - '0') * 10 + (digits[2] - '0');
    if (number > best) best = number;
  }
  if (best < 0) return 0;
  char suffix[16];
  std::snprintf(suffix, sizeof(suffix), "%03d", best);
  dest = name + "_" + suffix;
  return 1;
}

int FindNumberedFile(char* dest, const char* base, const char* ext) {
  if (!dest || !Fits(base)) return 0;
  std::string found;
  if (!FindNumberedFileStr(found, base, ext) || !Fits(found)) return 0;
  return Store(dest, found);
}
