// Where the window was left, user_data\Window.dat: read as the program starts; a damaged file
// changes nothing, and what loads is held inside the screen and writes back the same.
#include "project/paths.h"
#include "shell/main_window.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  FuzzMakeFolders({"user_data"});
  FuzzWriteHostFile(g_PathTable[PATH_WINDOW], data, size);
  cWindowPos position;
  position.Set(11, 22, 640, 480, 0);
  FuzzLoadRecord(position, g_PathTable[PATH_WINDOW]);
  return 0;
}
