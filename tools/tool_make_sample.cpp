// Writes the sample game into the folder given (default: build/sample).
#include <cstdio>

#include "foundation/file_data.h"
#include "tools/sample_game.h"

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: %s [game folder]\n", argv[0]);
    return 2;
  }
  g_nDataVersion = kDataVersion;
  const char* folder = argc == 2 ? argv[1] : "build/sample";
  if (!MakeSampleGame(folder)) {
    std::fprintf(stderr, "make_sample: the sample game in %s is incomplete\n", folder);
    return 1;
  }
  std::printf("sample game written to %s\n", folder);
  return 0;
}
