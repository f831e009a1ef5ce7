#pragma once
// Common set-up of the fuzz targets: a private working folder holding the report log, so that
// the readers' failure lines have somewhere to go, and the data version of a running program.
// The checks abort, which both libFuzzer and the replay driver report as a failure.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "foundation/file_data.h"
#include "foundation/report.h"
#include "platform/close_request.h"
#include "platform/host_file.h"
#include "platform/host_path.h"

// The folder every input file and the report log are written to: a fresh temporary folder made
// the current one, removed when the program ends normally. (The paths given to the fuzzer must
// therefore be absolute; tools/fuzz.sh gives them so.)
inline std::string& FuzzWorkFolder() {
  static std::string folder;
  return folder;
}

inline void FuzzRemoveWorkFolder() {
  std::error_code ec;
  if (!FuzzWorkFolder().empty()) std::filesystem::remove_all(FuzzWorkFolder(), ec);
}

inline void FuzzSetUp() {
  static bool done = false;
  if (done) return;
  done = true;
  std::error_code ec;
  std::string pattern = (std::filesystem::temp_directory_path(ec) / "tw_fuzz_XXXXXX").string();
  if (ec || !::mkdtemp(pattern.data()) || ::chdir(pattern.c_str()) != 0) {
    std::fprintf(stderr, "fuzz set-up: cannot make a temporary working folder\n");
    std::abort();
  }
  FuzzWorkFolder() = pattern;
  std::atexit(FuzzRemoveWorkFolder);
  g_nDataVersion = kDataVersion;
  g_bStripCR = 1;
  ReportOpen("Report_Fuzz.txt");
}

inline void FuzzWriteHostFile(const std::string& name, const std::uint8_t* data,
                              std::size_t size) {
  FuzzSetUp();  // into the working folder, whatever the target did first
  // A plain write: the safe replace syncs to disk, which would slow every run a hundredfold.
  std::ofstream out(platform::HostPath(name), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

[[noreturn]] inline void FuzzFail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

// One run over one input. An index outside its list is caught by the containers, which then
// ask the program to close: for a reader that is as much a fault as a crash.
class cFuzzRun {
 public:
  cFuzzRun() {
    FuzzSetUp();
    platform::ResetCloseRequest();
  }
  ~cFuzzRun() {
    if (platform::IsCloseRequested()) FuzzFail("an index outside its list (see the report log)");
  }
  cFuzzRun(const cFuzzRun&) = delete;
  cFuzzRun& operator=(const cFuzzRun&) = delete;
};

// Writes the input as a file of the working folder, for readers that take a path.
inline std::string FuzzInputFile(const std::uint8_t* data, std::size_t size, const char* name) {
  FuzzWriteHostFile(name, data, size);
  return name;
}

// Makes the folders (program paths, outermost first) that a reader's fixed path lies in.
inline void FuzzMakeFolders(std::initializer_list<const char*> folders) {
  for (const char* folder : folders)
    if (!platform::HostFolderExists(folder) && !platform::MakeHostFolder(folder))
      FuzzFail("cannot make a folder of the input's path");
}

// What write(file) writes as a whole data file of the current version, header included.
template <class WriteFn>
std::vector<std::uint8_t> FuzzWrittenFile(WriteFn write) {
  cDataFile file("rewrite");
  write(file);
  std::vector<std::uint8_t> bytes(4);
  const std::uint32_t version = static_cast<std::uint32_t>(g_nDataVersion);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(version >> (8 * i));
  bytes.insert(bytes.end(), file.Bytes().begin(), file.Bytes().end());
  return bytes;
}

// What was read must survive being written: the written file reads back without fault, to its
// last byte. Returns the written file.
template <class WriteFn, class ReadFn>
std::vector<std::uint8_t> FuzzCheckRewrite(WriteFn write, ReadFn readBack) {
  const std::vector<std::uint8_t> first = FuzzWrittenFile(write);
  DataFilePtr file = DataFileFromBytes("rewrite", first);
  if (!file) FuzzFail("the written file cannot be opened");
  if (!readBack(*file) || file->Failed()) FuzzFail("the written file does not read back");
  if (file->Remaining() != 0) FuzzFail("the written file has bytes the reader leaves");
  return first;
}

// A record that was read must write a file that reads back into a fresh record.
template <class Record>
void FuzzCheckRecordRewrite(Record& record) {
  Record again;
  FuzzCheckRewrite([&](cDataFile& f) { record.Write(f); },
                   [&](cDataFile& f) {
                     again.Read(f);
                     return !f.Failed();
                   });
}

// A whole-file record: a load that fails leaves it as it was, one that succeeds writes a file
// that reads back the same, and writing that gives the same bytes again. Returns whether the load succeeded.
template <class Record>
bool FuzzLoadRecord(Record& record, const std::string& path) {
  const std::vector<std::uint8_t> before = FuzzWrittenFile([&](cDataFile& f) { record.Write(f); });
  const bool loaded = record.LoadFile(path) == 1;
  if (!loaded) {
    if (FuzzWrittenFile([&](cDataFile& f) { record.Write(f); }) != before)
      FuzzFail("a failed load changed the record");
    return false;
  }
  Record again;
  const std::vector<std::uint8_t> written = FuzzCheckRewrite([&](cDataFile& f) { record.Write(f); },
                   [&](cDataFile& f) {
                     again.Read(f);
                     return !f.Failed();
                   });
  if (FuzzWrittenFile([&](cDataFile& f) { again.Write(f); }) != written)
    FuzzFail("a written record reads back different");
  return true;
}
