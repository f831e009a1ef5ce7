#pragma once
// The element records of the system record's lists, and the string form of its text lists.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"

// One item of the play screen's status bar.
class cSysDisplayItem : public cFileData {
 public:
  std::int32_t m_bShow = 0;
  std::int32_t m_bIcon = 0;  // a 16x16 icon from the accessory picture instead of the caption
  std::string m_strCaption;
  std::int32_t m_nValueCells = 0;   // width of the value in 16-pixel cells
  std::int32_t m_bShowValue = 0;    // a gauge also prints its number
  std::int32_t m_nWarnLevel = 0;    // warning threshold of a gauge
  std::int32_t m_bWarnPercent = 0;  // the threshold is a percentage of the maximum

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
};

// The ranking setting of one play mode: ranking on or off and which of the five genres show.
class cRankingGenreSet : public cFileData {
 public:
  std::int32_t m_bRanking = 0;
  cVector<std::uint8_t> m_Genres = cVector<std::uint8_t>(5, 0);

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
};

// One System.ini key. Its position in the system record's key list, not its name, selects
// the setting it feeds.
class cIniKey : public cFileData {
 public:
  std::int32_t m_bString = 0;  // 0 integer key, 1 string key
  std::string m_strName;
  std::int32_t m_nDefault = 0;
  std::string m_strDefault;

  void SetupItems(int version) override;
  void SetInt(const std::string& name, std::int32_t value);
  void SetString(const std::string& name, const std::string& value);
};

// The texts of the system record's string lists: a 32-bit length counting the closing NUL
// (1, or 0, for an empty text, with no bytes following), then the bytes. Unlike a record's
// own strings, carriage returns are kept. ReadString returns 0 when the file is damaged.
int ReadString(std::string& text, cDataFile& file);
void WriteString(const std::string& text, cDataFile& file);
// A list of such texts: a 32-bit count, then the texts. The list is replaced only when all
// of it was read.
bool ReadStringList(cDataFile& file, cVector<std::string>& list, const char* what);
void WriteStringList(cDataFile& file, const cVector<std::string>& list);
