#pragma once
// Records read from and written to hand-laid bytes, without a file on disk.
#include <cstdint>
#include <vector>

#include "foundation/file_data.h"
#include "tests/support/temp_folder.h"

// Reads record from body laid out as a file of the given version would hold it after its
// header. True when the read succeeded and used every byte of body.
inline bool ReadRecordBytes(cFileData& record, int version, const std::vector<std::uint8_t>& body) {
  DataFilePtr file = DataFileFromBytes("fixture", cBytes().I32(version).Raw(body).data);
  if (!file) return false;
  record.Read(*file);
  const bool ok = !file->Failed() && file->Remaining() == 0;
  g_nReadVersion = g_nDataVersion;
  return ok;
}

// The bytes record writes in the current layout (no file header).
inline std::vector<std::uint8_t> WriteRecordBytes(cFileData& record) {
  cDataFile file("written");
  record.Write(file);
  return file.Bytes();
}
