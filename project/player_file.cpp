#include "project/player_file.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "foundation/report.h"
#include "foundation/strings.h"
#include "foundation/text_utils.h"
#include "platform/host_file.h"

namespace {

std::mutex g_KeptMutex;
std::vector<std::string> g_KeptFiles;

// Program paths name one file whatever the letter case.
auto FindKept(const std::string& path) {
  return std::find_if(g_KeptFiles.begin(), g_KeptFiles.end(), [&](const std::string& kept) {
    return StrEqualNoCase(kept.c_str(), path.c_str());
  });
}

void MarkKept(const std::string& path, bool kept) {
  std::lock_guard<std::mutex> lock(g_KeptMutex);
  auto found = FindKept(path);
  if (kept && found == g_KeptFiles.end()) g_KeptFiles.push_back(path);
  if (!kept && found != g_KeptFiles.end()) g_KeptFiles.erase(found);
}

}  // namespace

bool IsKeptPlayerFile(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_KeptMutex);
  return FindKept(path) != g_KeptFiles.end();
}

std::string PlayerFileProblem(ePlayerFileState state, const std::string& path) {
  if (state == PLAYER_FILE_NEWER)
    return FormatText("%s はこのソフトより新しいバージョンのデータなので読み込めません！",
                      path.c_str());
  if (state == PLAYER_FILE_DAMAGED)
    return FormatText("%s が破損しているので読み込めません！", path.c_str());
  return {};
}

ePlayerFileState LoadPlayerFile(cFileData& record, const std::string& path) {
  if (!platform::HostFileExists(path)) {
    MarkKept(path, false);
    return PLAYER_FILE_MISSING;
  }
  g_bNewerDataFile = 0;
  DataFilePtr file = DataFileOpenRead(path);
  ePlayerFileState state = PLAYER_FILE_LOADED;
  if (!file)
    state = g_bNewerDataFile ? PLAYER_FILE_NEWER : PLAYER_FILE_DAMAGED;
  else if (!ReadRecordChecked(record, *file))
    state = PLAYER_FILE_DAMAGED;
  DataFileClose(file);
  MarkKept(path, state != PLAYER_FILE_LOADED);
  if (state != PLAYER_FILE_LOADED) Report("%s", PlayerFileProblem(state, path).c_str());
  return state;
}

int SavePlayerFile(cFileData& record, const std::string& path) {
  // A kept file the player has since removed no longer holds anything to protect.
  if (IsKeptPlayerFile(path) && !platform::HostFileExists(path)) MarkKept(path, false);
  if (IsKeptPlayerFile(path)) {
    ReportErrBox(
        "%s は読み込めなかったデータなので上書きせずに残します！\n"
        "不要な場合はファイルを削除してください。",
        path.c_str());
    return 0;
  }
  if (!record.SaveFile(path)) {
    ReportErrBox("%s の保存に失敗しました！", path.c_str());
    return 0;
  }
  return 1;
}
