// The machine settings, System.ini, read with the default key list of a new project and with
// the sample's own, then handed to the choice of the screen mode as start-up does.
#include <cstring>

#include "project/system_data.h"
#include "project/system_ini.h"
#include "shell/screen_mode.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  const std::string path = FuzzInputFile(data, size, "System.ini");
  static const cSystemData system;
  sSystemIni settings;
  SetSystemIniDefaults(settings, system.m_IniKeys);
  ReadSystemIni(path, settings, system.m_IniKeys);
  if (std::memchr(settings.FreeStage, '\0', sizeof settings.FreeStage) == nullptr)
    FuzzFail("the stage path has no end");
  sScreenModeInput in;
  in.nDirect3D = settings.Direct3D;
  in.nWindowMode = settings.WindowMode;
  in.nBpp = settings.Bpp;
  in.nVSync = settings.VSync;
  const sScreenMode mode = DecideScreenMode(in);
  if (mode.nError != SCREEN_MODE_OK && ScreenModeMessage(mode.nError)[0] == '\0')
    FuzzFail("a refused mode without its message");
  return 0;
}
