#pragma once
// The machine settings of "System.ini". Which key name feeds which setting, and the
// defaults, come from the key list of the system record: key i feeds setting i.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "project/system_elements.h"

inline constexpr int kFreeStageSize = 260;

struct sSystemIni {
  std::int32_t Direct3D = 0;  // 0 DirectDraw, 1 Direct3D, 2 or more: ask at start
  std::int32_t WindowMode = 0;
  std::int32_t Bpp = 0;
  std::int32_t VSync = 0;
  std::int32_t D3D_FontCache = 0;
  std::int32_t DD_FontCache = 0;
  std::int32_t DD_VideoStretch = 0;
  std::int32_t ShowFps = 0;
  std::int32_t English = 0;
  char FreeStage[kFreeStageSize] = {};  // a stage file to play at once; empty for none
};

extern sSystemIni g_SystemIni;

// The defaults of the key list: the integer settings by position from keys 0 to 7, the stage
// path from key 8, and the English switch off whatever key 9 holds.
void SetSystemIniDefaults(sSystemIni& settings, const cVector<cIniKey>& keys);

// Reads "key=value" lines until a line "Exit", a NUL byte or the 10000th line (1). Returns 0
// when the file cannot be read or ends before any of those; the settings read so far stay.
int ReadSystemIni(const std::string& path, sSystemIni& settings, const cVector<cIniKey>& keys);
