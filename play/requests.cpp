#include "play/requests.h"

#include "platform/clock.h"
#include "platform/thread_messages.h"

std::atomic<int> g_bActive{0};
std::atomic<int> g_bRequestDone{0};
std::atomic<int> g_bRequestResult{0};
std::atomic<int> g_bNameEntryDone{0};

namespace {

// Clears the flag, sends, waits for the flag. A refused request sets it itself, with result 0.
void SendAndWait(eUserRequest request, std::uintptr_t wParam, std::atomic<int>& done,
                 std::atomic<int>* result) {
  done.store(0);
  if (!SendMainWindowRequest(request, wParam, 0)) {
    if (result) result->store(0);
    done.store(1);
  }
  while (!done.load()) platform::SleepMs(1);
}

int FileRequest(eUserRequest request, std::uintptr_t wParam) {
  SendAndWait(request, wParam, g_bRequestDone, &g_bRequestResult);
  return g_bRequestResult.load() != 0 ? 1 : 0;
}

}  // namespace

bool SendMainWindowRequest(eUserRequest request, std::uintptr_t wParam, std::intptr_t lParam,
                           std::intptr_t* result) {
  return platform::SendRequest(request, wParam, lParam, result);
}

int RequestNameEntry() {
  SendAndWait(WM_NAMEENTRY, 0, g_bNameEntryDone, nullptr);
  return 1;
}

int RequestStageDialog() { return FileRequest(WM_OPENSTAGE, 0); }
int RequestLoadReplay() { return FileRequest(WM_LOADREPLAY, 0); }
int RequestSaveReplay(int previous) { return FileRequest(WM_SAVEREPLAY, previous ? 1 : 0); }

void RequestBgm(eBgmSlot slot, std::intptr_t bgm) {
  SendMainWindowRequest(WM_PLAYBGM, static_cast<std::uintptr_t>(slot), bgm);
}

void RequestRestoreDevice() { SendMainWindowRequest(WM_RESTOREDEVICE, 0, 0); }
