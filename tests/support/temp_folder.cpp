#include "tests/support/temp_folder.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

cTempFolder::cTempFolder() {
  char buffer[4096];
  if (::getcwd(buffer, sizeof(buffer))) m_strPrevious = buffer;
  std::string pattern = (std::filesystem::temp_directory_path() / "tw_test_XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  m_strHost = pattern;
  if (::chdir(m_strHost.c_str()) != 0) throw std::runtime_error("chdir failed");
}

cTempFolder::~cTempFolder() {
  if (!m_strPrevious.empty() && ::chdir(m_strPrevious.c_str()) != 0) {
  }
  std::error_code ec;
  std::filesystem::remove_all(m_strHost, ec);
}

std::vector<std::uint8_t> ReadBytes(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& hostPath, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadText(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> ReadLines(const std::string& hostPath) {
  std::vector<std::string> lines;
  std::ifstream in(hostPath);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

cBytes& cBytes::I32(std::int32_t v) {
  for (int i = 0; i < 4; ++i) data.push_back(static_cast<std::uint8_t>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF));
  return *this;
}
cBytes& cBytes::I16(std::int16_t v) {
  data.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) & 0xFF));
  data.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8));
  return *this;
}
cBytes& cBytes::U8(std::uint8_t v) {
  data.push_back(v);
  return *this;
}
cBytes& cBytes::F64(double v) {
  std::uint8_t b[8];
  std::memcpy(b, &v, 8);
  data.insert(data.end(), b, b + 8);
  return *this;
}
cBytes& cBytes::Str(const std::string& s) {
  I32(static_cast<std::int32_t>(s.size() + 1));
  if (!s.empty()) {
    data.insert(data.end(), s.begin(), s.end());
    data.push_back(0);
  }
  return *this;
}
cBytes& cBytes::Raw(const std::vector<std::uint8_t>& b) {
  data.insert(data.end(), b.begin(), b.end());
  return *this;
}
