#include "play/stage_start.h"

#include "foundation/path_utils.h"
#include "foundation/shell_services.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/stage_loader.h"
#include "project/system_data.h"
#include "project/system_ini.h"

namespace {

constexpr int kFreePlayMode = 2;

}  // namespace

int StartStageFile(const std::string& path, int mode) {
  // The program's paths hold at most 259 bytes and a NUL: a longer one is a file that
  // cannot be read, and is told as such.
  if (path.size() >= static_cast<std::size_t>(kFreeStageSize)) {
    StageReadFailureBox(path);
    return 0;
  }
  std::string name = path;
  g_PlayData.Reset();
  if (!LoadStageFile(name, mode, &g_StageCopy)) return 0;
  g_PlayData.m_nStageNo = 1;
  g_PlayData.m_nPartNo = 1;
  if (g_bTestPlay || g_SystemData.m_bUnlimitedLives[kFreePlayMode]) {
    g_PlayData.m_nEntryLives = kUnlimitedLives;
    g_PlayData.m_nLives = kUnlimitedLives;
  } else {
    g_PlayData.m_nEntryLives = g_SystemData.m_nStartLives[kFreePlayMode];
    g_PlayData.m_nLives = g_PlayData.m_nEntryLives - 1;
  }
  PathToRelativeStr(name);
  g_PlayData.SetStageName(name.c_str(), 0, 0, 0);
  return 1;
}
