#pragma once
// Fixtures for the definition records: a record's bytes as a file of an older data version
// stores them, and reading a record back from such bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "foundation/file_data.h"
#include "tests/support/temp_folder.h"

// The bytes of a data file of the given version holding what write(file) writes, the records
// binding their fields for that version.
template <class WriteFn>
std::vector<std::uint8_t> FileAtVersion(int version, WriteFn write) {
  const int saved = g_nDataVersion;
  g_nDataVersion = version;
  cDataFile file("fixture");
  write(file);
  g_nDataVersion = saved;
  std::vector<std::uint8_t> bytes = cBytes().I32(version).data;
  bytes.insert(bytes.end(), file.Bytes().begin(), file.Bytes().end());
  return bytes;
}

// Reads what read(file) reads from a data file made of bytes; false when the file failed.
template <class ReadFn>
bool ReadFromBytes(const std::vector<std::uint8_t>& bytes, ReadFn read) {
  DataFilePtr file = DataFileFromBytes("fixture", bytes);
  if (!file) return false;
  read(*file);
  const bool ok = !file->Failed() && file->Remaining() == 0;
  g_nReadVersion = g_nDataVersion;
  return ok;
}

// The number of bindings and bytes of a record's fields for a data version.
inline std::pair<int, int> LayoutAt(cFileData& record, int version) {
  record.SetupItems(version);
  int bytes = 0;
  for (const sItemInfo& item : record.Items()) bytes += item.nCount * item.nSize;
  const int count = static_cast<int>(record.Items().size());
  record.SetupItems(g_nDataVersion);
  return {count, bytes};
}
