#pragma once
// A fresh folder made the current folder for one test, removed afterwards.
#include <cstdint>
#include <string>
#include <vector>

class cTempFolder {
 public:
  cTempFolder();
  ~cTempFolder();
  cTempFolder(const cTempFolder&) = delete;
  cTempFolder& operator=(const cTempFolder&) = delete;

  const std::string& HostPath() const { return m_strHost; }

 private:
  std::string m_strHost;
  std::string m_strPrevious;
};

// Whole-file helpers on host paths relative to the current folder.
std::vector<std::uint8_t> ReadBytes(const std::string& hostPath);
void WriteBytes(const std::string& hostPath, const std::vector<std::uint8_t>& bytes);
std::string ReadText(const std::string& hostPath);
// The lines of a text file, without their line ends.
std::vector<std::string> ReadLines(const std::string& hostPath);

// Little-endian byte building for hand-laid fixtures.
class cBytes {
 public:
  cBytes& I32(std::int32_t v);
  cBytes& I16(std::int16_t v);
  cBytes& U8(std::uint8_t v);
  cBytes& F64(double v);
  cBytes& Str(const std::string& s);  // framed string: length with NUL, bytes
  cBytes& Raw(const std::vector<std::uint8_t>& b);
  std::vector<std::uint8_t> data;
};
