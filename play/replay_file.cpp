// Replay files: writing and reading one whole, the proposed name of a new one, and the
// main window's actions behind the replay requests.
#include <cstdio>
#include <utility>
#include <vector>

#include "content/palette.h"
#include "content/shot.h"
#include "foundation/path_utils.h"
#include "foundation/report.h"
#include "foundation/strings.h"
#include "foundation/text_utils.h"
#include "platform/host_file.h"
#include "play/replay_log.h"
#include "project/load_failure.h"
#include "project/play_data.h"
#include "project/stage.h"

namespace {

// The first version whose replays hold the progress record.
constexpr int kFirstProgressVersion = 173;
constexpr const char* kReplayFolder = "user_data\\rpl4\\";
constexpr int kLastNumber = 999;

std::string ReplayExtension() { return FormatText("rpl4_%s", "821"); }

// While a stage is read into a record of its own, the stage palette its definitions inherit
// from is that record's.
class cStagePaletteScope {
 public:
  explicit cStagePaletteScope(cStage& stage) : m_Saved(StagePaletteLists()) {
    SetStagePaletteLists(stage.PaletteLists());
  }
  ~cStagePaletteScope() { SetStagePaletteLists(m_Saved); }
  cStagePaletteScope(const cStagePaletteScope&) = delete;
  cStagePaletteScope& operator=(const cStagePaletteScope&) = delete;

 private:
  sPaletteLists m_Saved;
};

bool NameTaken(const std::string& path) {
  return platform::HostFileExists(path) || platform::HostFolderExists(path);
}

std::string WithoutDir(const std::string& path) {
  std::vector<char> buffer(path.begin(), path.end());
  buffer.push_back('\0');
  StripDir(buffer.data());
  return buffer.data();
}

}  // namespace

int SaveReplayFile(cReplayKeyLog& log, const std::string& path, cStage& stage, cStage& copy,
                   cPlayData& progress) {
  DataFilePtr file = DataFileOpenWrite(path);
  if (!file) return 0;
  stage.WriteMerged(*file, copy);
  log.Write(*file);
  progress.Write(*file);
  if (!DataFileClose(file)) {
    Report("%s : the replay could not be written", path.c_str());
    return 0;
  }
  return 1;
}

int LoadReplayFile(cReplayKeyLog& log, const std::string& path, cStage& stage, cStage& second,
                   cPlayData& progress) {
  g_bNewerDataFile = 0;  // set again by the open when the file is newer
  DataFilePtr file = DataFileOpenRead(path);
  if (!file) {
    ReportLoadFailure(path.c_str());
    return 0;
  }
  const int version = file->Version();
  cStage loadedStage;
  cReplayKeyLog loadedLog;
  cPlayData loadedProgress = progress;
  {
    cStagePaletteScope palette(loadedStage);
    loadedStage.Read(*file);
  }
  if (!file->Failed()) loadedLog.Read(*file);
  const bool hasProgress = version >= kFirstProgressVersion;
  if (!file->Failed() && hasProgress) loadedProgress.Read(*file);
  if (file->Failed()) {
    Report("%s : damaged replay file (version %d): %s", path.c_str(), version,
           file->FailReason().c_str());
    DataFileClose(file);
    ReportLoadFailure(path.c_str());
    return 0;
  }
  DataFileClose(file);

  // The whole file was read: the records take it.
  const std::string keptPath = stage.m_strPath;
  const std::int32_t keptFindNewest = stage.m_bFindNewest;
  const std::int32_t keptLoaded = stage.m_bLoaded;
  stage = std::move(loadedStage);
  stage.m_strPath = keptPath;
  stage.m_bFindNewest = keptFindNewest;
  stage.m_bLoaded = keptLoaded;
  if (&second != &stage) second.TakePlayData(stage);
  log = loadedLog;
  log.ResetPlayCursors();
  if (hasProgress) progress = loadedProgress;
  g_nPlaybackReplayVersion = version;
  return 1;
}

int MakeReplayFileName(std::string& out, const std::string& name,
                       const platform::sSystemTime& now) {
  const std::string ext = ReplayExtension();
  if (name.empty()) {
    out.clear();
    PathToAbsoluteStr(out);
    return 1;
  }
  std::string stem = WithoutDir(name);
  MakeStageVariantName(stem, g_PlayData.m_bVariant, g_PlayData.m_nVariantVar,
                       g_PlayData.m_nVariantValue);
  StripExtStr(stem);
  const std::string stamp = FormatText("__%04d__%02d_%02d__%02d_%02d.", now.wYear, now.wMonth,
                                       now.wDay, now.wHour, now.wMinute);
  // A long stage name is cut at a whole character, so that the numbered and absolute forms
  // of the name still fit a path.
  std::string folder = kReplayFolder;
  PathToAbsoluteStr(folder);
  const int room = kMaxPath - 1 - static_cast<int>(folder.size() + stamp.size() + ext.size()) -
                   static_cast<int>(FormatText(" (%d)", kLastNumber).size());
  stem = CutCp932(stem, room);
  const std::string base = kReplayFolder + stem + stamp + ext;
  out = base;
  for (int i = 2; NameTaken(out) && i <= kLastNumber; ++i) {
    char numbered[kMaxPath];
    if (!MakeNumberedName(numbered, base.c_str(), i)) break;
    out = numbered;
  }
  PathToAbsoluteStr(out);
  return 1;
}

int MakeReplayFileName(std::string& out, const std::string& name) {
  return MakeReplayFileName(out, name, platform::LocalTime());
}

int LoadReplayForPlay(const std::string& path) {
  return LoadReplayFile(g_ReplayLog, path, g_Stage, g_StageCopy, g_PlayData);
}

int SaveReplayOfAttempt(const std::string& path, int previous) {
  if (previous)
    return SaveReplayFile(g_PrevReplayLog, path, g_Stage, g_StageCopy, g_PrevPlayDataAtStart);
  return SaveReplayFile(g_ReplayLog, path, g_Stage, g_StageCopy, g_PlayDataAtStart);
}

std::string ProposeReplayFileName() {
  std::string out;
  MakeReplayFileName(out, g_PlayData.m_strStageName);
  return out;
}
