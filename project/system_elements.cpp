#include "project/system_elements.h"

#include <cstring>

#include "foundation/strings.h"

void cSysDisplayItem::SetupItems(int version) {
  ClearItems();
  AddInt(&m_bShow);
  AddInt(&m_bIcon);
  AddString(&m_strCaption);
  AddInt(&m_nValueCells);
  if (version >= 204) AddInt(&m_bShowValue);
  if (version >= 587) {
    AddInt(&m_nWarnLevel);
    AddInt(&m_bWarnPercent);
  }
}

void cSysDisplayItem::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  if (file.Version() < 204) m_bShowValue = 1;
}

void cRankingGenreSet::SetupItems(int) {
  ClearItems();
  AddInt(&m_bRanking);
}

void cRankingGenreSet::Read(cDataFile& file) {
  cFileData::Read(file);
  if (file.Failed()) return;
  ReadValueList(file, m_Genres, "ranking genres");
}

void cRankingGenreSet::Write(cDataFile& file) {
  cFileData::Write(file);
  WriteValueList(file, m_Genres);
}

void cIniKey::SetupItems(int) {
  ClearItems();
  AddInt(&m_bString);
  AddString(&m_strName);
  AddInt(&m_nDefault);
  AddString(&m_strDefault);
}

void cIniKey::SetInt(const std::string& name, std::int32_t value) {
  m_strName = name;
  m_nDefault = value;
  m_bString = 0;
}

void cIniKey::SetString(const std::string& name, const std::string& value) {
  m_strName = name;
  m_strDefault = value;
  m_bString = 1;
}

int ReadString(std::string& text, cDataFile& file) {
  std::uint32_t length = 0;
  if (!file.ReadValue(length)) return 0;
  if (length <= 1) {
    text.clear();
    return 1;
  }
  // The length is tested against the bytes present before anything is allocated for it.
  if (length > file.Remaining()) {
    file.Fail(FormatText("a text of length %u at byte %zu does not fit the file", length,
                         file.Position() - 4));
    return 0;
  }
  std::string read(length, '\0');
  if (!file.ReadBytes(read.data(), read.size())) return 0;
  read.resize(std::strlen(read.c_str()));
  text = std::move(read);
  return 1;
}

void WriteString(const std::string& text, cDataFile& file) {
  // A text holding a NUL is stored up to it, as a reader would see it.
  const std::size_t length = std::strlen(text.c_str());
  file.WriteValue(static_cast<std::uint32_t>(length + 1));
  if (length > 0) file.WriteBytes(text.c_str(), length + 1);
}

bool ReadStringList(cDataFile& file, cVector<std::string>& list, const char* what) {
  std::int32_t count = 0;
  if (!file.ReadCount(count, 4, what, sizeof(std::string))) return false;
  cVector<std::string> loaded;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!ReadString(loaded.emplace_back(), file)) return false;
  }
  list.swap(loaded);
  return true;
}

void WriteStringList(cDataFile& file, const cVector<std::string>& list) {
  file.WriteInt(static_cast<std::int32_t>(list.size()));
  for (const auto& text : list) WriteString(text, file);
}
