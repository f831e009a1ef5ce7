#pragma once
// The sending side of the requests to the main window. Whatever needs a window, a dialog or
// the sound devices is asked of the main thread: the request is sent and its sender blocked
// until the main thread has handled it; the requests that open a dialog then report through a
// done flag and a result. A request the main thread refuses (the program is shutting down,
// or the sender was asked to stop) counts as done with result 0, so no sender waits for ever.
#include <atomic>
#include <cstdint>

#include "foundation/window_messages.h"
#include "media/bgm.h"

// The state the main window shares with the other threads.
extern std::atomic<int> g_bActive;         // the last WM_ACTIVATEAPP: 1 active
extern std::atomic<int> g_bRequestDone;    // done flag of the file requests
extern std::atomic<int> g_bRequestResult;  // 1 when the file request's dialog chose a file
extern std::atomic<int> g_bNameEntryDone;  // done flag of the name entry

// Sends one request; false when the main thread refused it. *result receives the handler's
// answer when given.
bool SendMainWindowRequest(eUserRequest request, std::uintptr_t wParam, std::intptr_t lParam,
                           std::intptr_t* result = nullptr);

// The requests with a done flag: each clears its flag, sends, waits 1 ms at a time until the
// flag is set, and returns the result (the name entry returns 1 once the window closed).
int RequestNameEntry();
int RequestStageDialog();
int RequestLoadReplay();
// previous 0: the current attempt, else the previous one.
int RequestSaveReplay(int previous);
// The requests without a flag.
void RequestBgm(eBgmSlot slot, std::intptr_t bgm);
void RequestRestoreDevice();
