#include "project/system_ini.h"

#include <cstring>
#include <limits>
#include <vector>

#include "platform/host_file.h"

sSystemIni g_SystemIni;

namespace {

constexpr int kMaxLines = 10000;
// A key or value longer than this keeps only its first bytes.
constexpr std::size_t kMaxToken = 2047;
// The settings file is a few lines; anything larger is not one.
constexpr std::size_t kMaxIniBytes = 16u * 1024u * 1024u;

std::int32_t* IntSetting(sSystemIni& s, int index) {
  std::int32_t* fields[] = {&s.Direct3D,        &s.WindowMode,    &s.Bpp,
                            &s.VSync,           &s.D3D_FontCache, &s.DD_FontCache,
                            &s.DD_VideoStretch, &s.ShowFps};
  return index >= 0 && index < 8 ? fields[index] : nullptr;
}

void SetFreeStage(sSystemIni& s, const std::string& path) {
  const std::size_t length = std::min(path.size(), static_cast<std::size_t>(kFreeStageSize - 1));
  std::memcpy(s.FreeStage, path.data(), length);
  s.FreeStage[length] = '\0';
}

// The leading decimal number of a text, as the settings have always been read: an optional
// sign, then digits; 0 when there are none. Values beyond the int range stop at its ends.
std::int32_t LeadingInt(const std::string& text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) {
      value = std::numeric_limits<std::int32_t>::max() + std::int64_t{negative ? 1 : 0};
      break;
    }
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

void StoreSetting(sSystemIni& settings, const cVector<cIniKey>& keys, const std::string& key,
                  std::string value) {
  int index = -1;
  for (int i = 0; i < static_cast<int>(keys.size()); ++i) {
    if (keys[i].m_strName == key) {
      index = i;
      break;
    }
  }
  if (std::int32_t* field = IntSetting(settings, index)) {
    *field = LeadingInt(value);
  } else if (index == 8) {
    // Deliberately, one carriage return at the end of the stage file's name is cut, though
    // a carriage return is otherwise an ordinary value character. A value runs to the end of
    // its line, so a file saved with Windows line ends would name a stage file with a
    // carriage return in its name, which never exists: the stage could never start.
    if (!value.empty() && value.back() == '\r') value.pop_back();
    if (value.size() >= 2 && value.size() < static_cast<std::size_t>(kFreeStageSize))
      SetFreeStage(settings, value);
  } else if (index == 9) {
    settings.English = LeadingInt(value);
  }
}

}  // namespace

void SetSystemIniDefaults(sSystemIni& settings, const cVector<cIniKey>& keys) {
  const int count = static_cast<int>(keys.size());
  for (int i = 0; i < 8; ++i) *IntSetting(settings, i) = i < count ? keys[i].m_nDefault : 0;
  settings.FreeStage[0] = '\0';
  if (count > 8) SetFreeStage(settings, keys[8].m_strDefault);
  settings.English = 0;
}

int ReadSystemIni(const std::string& path, sSystemIni& settings, const cVector<cIniKey>& keys) {
  std::vector<std::uint8_t> bytes;
  if (platform::ReadHostFile(path, bytes, kMaxIniBytes) != platform::eReadResult::Ok) return 0;
  std::size_t pos = 0;
  for (int line = 0; line < kMaxLines; ++line) {
    // The key: blanks, tabs and carriage returns are no part of it.
    std::string key;
    bool hasValue = false;
    for (;;) {
      // Deliberately, a last line "Exit" without a line end ends the file successfully,
      // though the end of the file while a key is read is otherwise a failure: such a file
      // ends with its own end marker, and refusing it would throw away every setting it
      // holds for the defaults.
      if (pos >= bytes.size()) return key == "Exit" ? 1 : 0;
      const char c = static_cast<char>(bytes[pos++]);
      if (c == '\0') return 1;
      if (c == ' ' || c == '\t' || c == '\r') continue;
      if (c == '\n') break;
      if (c == '=') {
        hasValue = true;
        break;
      }
      if (key.size() < kMaxToken) key += c;
    }
    if (!hasValue) {
      if (key == "Exit") return 1;
      continue;
    }
    // The value ends at a blank, tab, '/', line feed or NUL, which is consumed; whatever
    // follows on the line is read as the next line.
    std::string value;
    while (pos < bytes.size()) {
      const char c = static_cast<char>(bytes[pos++]);
      if (c == ' ' || c == '\t' || c == '/' || c == '\n' || c == '\0') break;
      if (value.size() < kMaxToken) value += c;
    }
    StoreSetting(settings, keys, key, std::move(value));
  }
  return 1;
}
