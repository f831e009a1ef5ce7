// Runs a fuzz target once over every file of the folders (or files) given, so that the seed
// corpus and every input that once failed are checked by the ordinary test suite.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/message_box.h"
#include "tests/support/lsan_suppressions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {
int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return 1;
}
}  // namespace

int main(int argc, char** argv) {
  // Readers report some damaged files in a box; under a virtual display it would wait forever.
  platform::SetMessageBoxesShown(false);
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path path(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(path))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const auto& file : files) inputs += RunFile(file);
    } else if (std::filesystem::is_regular_file(path, ec)) {
      inputs += RunFile(path);
    }
  }
  std::printf("%d inputs replayed\n", inputs);
  return 0;
}
