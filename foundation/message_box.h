#pragma once
// The program's message boxes. Texts are cp932.
#include <string>

enum : int { MB_OK = 0, MB_OKCANCEL = 1, MB_YESNO = 4 };
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

int MesBox(const char* text, const char* caption, int type);
// MesBox titled "エラー" with an OK button.
int ErrBox(const char* text);
int ErrBoxF(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Shown only while the error log is on; 0 otherwise.
int ErrBoxDebugF(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "メモリが不足しています！", then the main window is asked to close.
void OutOfMemory();
