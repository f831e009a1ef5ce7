#pragma once
// The program's message boxes. Texts are cp932.
#include <string>

// A type is a button set or'ed with an icon.
constexpr int MB_OK = 0, MB_OKCANCEL = 1, MB_YESNO = 4;
constexpr int MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30;
constexpr int MB_ICONINFORMATION = 0x40;
// The program's own: the text also goes to standard error as one line.
constexpr int MB_TO_STDERR = 0x01000000;
constexpr int IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;

// Shown by the main thread, also when asked from another one. Where no box can be shown the
// text goes to the report log and the box answers as its default (first) button would.
int MesBox(const char* text, const char* caption, int type);
// The media library's box over a full-screen display: it returns -1 when it does not take the
// box (no device, or a window), and MesBox then shows the ordinary one.
using DeviceBoxHook = int (*)(const char* text, const char* caption, int type);
void SetDeviceBoxHook(DeviceBoxHook hook);
// MesBox titled "エラー" with an OK button.
int ErrBox(const char* text);
// ErrBox whose text also goes to standard error (a failure the report log may not hold).
int ErrBoxToStderr(const char* text);
int ErrBoxF(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Shown only while the error log is on; 0 otherwise.
int ErrBoxDebugF(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "メモリが不足しています！", then the main window is asked to close.
void OutOfMemory();
