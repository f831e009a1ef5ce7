#pragma once
// Records read from and written to hand-laid bytes, without a file on disk: a record's bytes
// as a data file of an older version stores them, and reading records back from such bytes.
#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/file_data.h"
#include "tests/support/scoped_value.h"
#include "tests/support/temp_folder.h"

// The bytes of a data file of the given version holding what write(file) writes, the records
// binding their fields for that version.
template <class WriteFn>
std::vector<std::uint8_t> FileAtVersion(int version, WriteFn write) {
  std::vector<std::uint8_t> bytes = cBytes().I32(version).data;
  cScopedGlobal dataVersion(g_nDataVersion, version);
  cDataFile file("fixture");
  write(file);
  bytes.insert(bytes.end(), file.Bytes().begin(), file.Bytes().end());
  return bytes;
}

// Reads what read(file) reads from a data file made of bytes (its header included). True when
// the file opened, the read did not fail and it used every byte.
template <class ReadFn>
bool ReadFromBytes(const std::vector<std::uint8_t>& bytes, ReadFn read) {
  DataFilePtr file = DataFileFromBytes("fixture", bytes);
  if (!file) return false;
  read(*file);
  return !file->Failed() && file->Remaining() == 0;
}

// Reads record from body laid out as a file of the given version would hold it after its
// header. True when the read succeeded and used every byte of body.
inline bool ReadRecordBytes(cFileData& record, int version, const std::vector<std::uint8_t>& body) {
  return ReadFromBytes(cBytes().I32(version).Raw(body).data,
                       [&record](cDataFile& file) { record.Read(file); });
}

// The bytes record writes in the current layout (no file header).
inline std::vector<std::uint8_t> WriteRecordBytes(cFileData& record) {
  cDataFile file("written");
  record.Write(file);
  return file.Bytes();
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
