#include "project/stage_loader.h"

#include <atomic>
#include <vector>

#include "foundation/message_box.h"
#include "foundation/path_utils.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/thread.h"
#include "foundation/window_messages.h"
#include "project/paths.h"

namespace {
NestedMessageHandler g_pNestedHandler = nullptr;
// Set by the loader thread as its last step.
std::atomic<bool> g_bLoadDone{false};

// Keeps the calling thread's messages moving until the loader thread ends. A close or quit
// request is held back and posted again afterwards: the read is never cut off, and the
// caller's own loop still sees the request. Returns whether such a request came.
bool PumpUntilLoaded() {
  const std::uint32_t self = platform::CurrentThreadId();
  std::vector<platform::sThreadMessage> held;
  bool closing = false;
  for (;;) {
    // Read before the queue is emptied: a request that came during the read still counts.
    const bool done = g_bLoadDone.load();
    platform::sThreadMessage message;
    while (platform::PeekThreadMessage(message, true)) {
      if (message.message == WM_QUIT || message.message == WM_CLOSE) {
        if (message.message == WM_QUIT) ErrLogF("msg.message == WM_QUIT");
        closing = true;
        held.push_back(message);
      } else if (g_pNestedHandler) {
        g_pNestedHandler(message);
      } else {
        held.push_back(message);
      }
    }
    if (done) break;
    platform::WaitThreadMessage(1);
  }
  g_StageLoadThread.Wait();
  for (const platform::sThreadMessage& message : held)
    platform::PostThreadMessage(self, message.message, message.wParam, message.lParam);
  return closing || platform::StopRequested();
}
}  // namespace

void SetStageLoadMessageHandler(NestedMessageHandler handler) { g_pNestedHandler = handler; }

std::uint32_t LoadStageThreadProc(void*) {
  // Every load starts from a fresh default stage: a file of an older version does not store
  // every field (erase-area switches before 125, for one), and nothing of the stage played
  // before may show through. A damaged file leaves a fresh default stage too.
  const auto resetKeepingTheLoad = [] {
    const std::string path = g_Stage.m_strPath;
    const std::int32_t findNewest = g_Stage.m_bFindNewest;
    g_Stage.SetDefault();
    g_Stage.m_strPath = path;
    g_Stage.m_bFindNewest = findNewest;
  };
  resetKeepingTheLoad();
  int ok = 0;
  if (DataFilePtr file = DataFileOpenRead(g_Stage.m_strPath)) {
    g_Stage.Read(*file);
    ok = file->Failed() ? 0 : 1;
    if (!ok) {
      Report("%s : damaged data file (version %d): %s", file->Path().c_str(), file->Version(),
             file->FailReason().c_str());
      resetKeepingTheLoad();
    }
    DataFileClose(file);
  }
  if (ok) g_Stage.m_bLoaded = 1;
  g_bLoadDone.store(true);
  return static_cast<std::uint32_t>(ok);
}

int CheckStageFileTrailer(const std::string& path) {
  DataFilePtr file = DataFileOpenRead(path);
  // A file that cannot be opened, or is too new, fails in the read and is reported there.
  if (!file) return 1;
  if (file->Version() < 174) {
    DataFileClose(file);
    return 1;
  }
  std::uint32_t trailer = 0;
  const bool read = file->Remaining() >= sizeof trailer &&
                    file->Skip(file->Remaining() - sizeof trailer) && file->ReadValue(trailer);
  DataFileClose(file);
  if (read && trailer == kStageTrailer) return 1;
  ErrBoxF("ステージファイル %s が破損しています！", path.c_str());
  PostCloseToMainWindow();
  return 0;
}

void StageReadFailureBox(const std::string& path) {
  ErrBoxF("ステージファイル %s の読み込みに失敗しました！", path.c_str());
}

int LoadStageFile(const std::string& name, int findNewest, cStage* copy) {
  g_Stage.m_bFindNewest = findNewest;
  if (findNewest) {
    std::string found;
    if (!FindNumberedFileStr(found, name, g_ExtTable[EXT_STAGE])) return 0;
    g_Stage.m_strPath = found;
  } else {
    g_Stage.m_strPath = name;
  }
  PathToRelativeStr(g_Stage.m_strPath);
  if (!CheckStageFileTrailer(g_Stage.m_strPath)) return 0;

  g_Stage.m_bLoaded = 0;
  g_bLoadDone.store(false);
  if (g_StageLoadThread.Start(LoadStageThreadProc, nullptr)) {
    if (PumpUntilLoaded()) return 0;
  }
  if (!g_Stage.m_bLoaded) {
    StageReadFailureBox(g_Stage.m_strPath);
    return 0;
  }
  if (!g_Stage.HasHero()) {
    ErrBox("主人公が配置されていないのでプレイできません！");
    // Test play has nothing else to show; elsewhere the caller goes back to its menu.
    if (g_bTestPlay || g_bEditorLaunch) PostCloseToMainWindow();
    return 0;
  }
  if (copy) copy->TakePlayData(g_Stage);
  return 1;
}
