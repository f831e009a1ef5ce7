// The player's key bindings, user_data\KeyConfig.dat: read as the program starts, then used
// to poll the keyboard and joysticks with whatever counts and codes the file holds.
#include <algorithm>
#include <cstring>

#include "platform/input.h"
#include "play/input.h"
#include "project/paths.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  FuzzMakeFolders({"user_data"});
  FuzzWriteHostFile(g_PathTable[PATH_KEY_CONFIG], data, size);
  SetDefaultKeyConfig(g_KeyConfig);
  if (!LoadKeyConfig(g_PathTable[PATH_KEY_CONFIG], g_KeyConfig)) FuzzFail("the file was not read");
  // The bytes past the file keep the defaults; the file's own bytes are taken as they stand.
  cKeyConfig expected;
  SetDefaultKeyConfig(expected);
  std::memcpy(&expected, data, std::min(size, sizeof expected));
  if (std::memcmp(&expected, &g_KeyConfig, sizeof expected) != 0)
    FuzzFail("the bindings differ from the file's bytes");
  // Poll with every binding's key held, then with none.
  g_KeyConfig.m_bUseBinds = 1;
  cInputState input;
  for (bool down : {true, false}) {
    for (const sKeyBind& bind : g_KeyConfig.m_Binds) platform::SetKeyDown(bind.nCode, down);
    if (input.PollKeyConfig(1, 60) != 1) FuzzFail("the bindings were not polled");
    input.UpdateHistories();
  }
  platform::ReleaseAllKeys();
  SetDefaultKeyConfig(g_KeyConfig);
  return 0;
}
