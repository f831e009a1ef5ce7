#pragma once
// Common set-up of the fuzz targets: a private working folder holding the report log, so that
// the readers' failure lines have somewhere to go, and the data version of a running program.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/file_data.h"
#include "foundation/report.h"
#include "platform/host_file.h"

inline void FuzzSetUp() {
  static bool done = false;
  if (done) return;
  done = true;
  g_nDataVersion = kDataVersion;
  g_bStripCR = 1;
  ReportOpen("Report_Fuzz.txt");
}

// Writes the input as a file of the working folder, for readers that take a path.
inline std::string FuzzInputFile(const std::uint8_t* data, std::size_t size, const char* name) {
  platform::ReplaceHostFile(name, data, size);
  return name;
}
