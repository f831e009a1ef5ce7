#include "tools/sample_game.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/host_file.h"
#include "platform/host_path.h"
#include "platform/text_codec.h"
#include "tools/sample_parts.h"

namespace sample {
namespace {
int g_nFailures = 0;

// The folders of the game, each after its parent.
constexpr const char* kFolders[] = {
    "default", "default\\database", "default\\stg4", "bmp", "bmp\\plt", "wave", "bgm"};
}  // namespace

void Fail(const std::string& problem) {
  ++g_nFailures;
  std::fprintf(stderr, "make_sample: %s\n", platform::Cp932ToUtf8(problem).c_str());
}

void FailToWrite(const std::string& path) { Fail("cannot write " + path); }

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  if (!platform::ReplaceHostFile(path, bytes.data(), bytes.size())) FailToWrite(path);
}

}  // namespace sample

bool MakeSampleGame(const std::string& hostFolder) {
  std::error_code error;
  std::filesystem::create_directories(hostFolder, error);
  const std::filesystem::path folder = std::filesystem::absolute(hostFolder, error);
  const std::string previous = platform::CurrentFolder();
  if (error || !platform::ChangeCurrentFolder(platform::ProgramPath(folder.string()))) {
    std::fprintf(stderr, "make_sample: cannot use the folder %s\n", hostFolder.c_str());
    return false;
  }
  sample::g_nFailures = 0;
  for (const char* sub : sample::kFolders)
    if (!platform::HostFolderExists(sub) && !platform::MakeHostFolder(sub))
      sample::FailToWrite(sub);
  if (sample::g_nFailures == 0) {
    sample::WriteDataFiles();
    sample::WritePictures();
    sample::WriteSounds();
  }
  platform::ChangeCurrentFolder(previous);
  return sample::g_nFailures == 0;
}
