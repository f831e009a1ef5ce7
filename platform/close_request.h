#pragma once
// The request to close the main window (the program's orderly shut-down). It may be made
// from any thread at any time: before the main window exists it is kept as a flag that the
// window sees when it starts; afterwards the window's handler is called, which only queues
// the close for the main thread and never blocks.
namespace platform {

void RequestClose();
bool IsCloseRequested();
// Installed by the main window; the handler must be safe to call from any thread.
void SetCloseHandler(void (*handler)());
// Forgets a request (tests, and a window that has handled it).
void ResetCloseRequest();
// Number of requests made since the last reset (tests count them).
int CloseRequestCount();

// SIGTERM and SIGINT from outside become close requests: the handler only notes the signal,
// and the main thread's loop takes it with TakeCloseSignal.
void CatchCloseSignals();
bool TakeCloseSignal();
// True while a signal waits to be taken (it stays for TakeCloseSignal).
bool CloseSignalPending();
// Tests: as if the signal had arrived.
void RaiseCloseSignalForTest();

}  // namespace platform
