#pragma once
// The process: single instance, the main window, start-up, the game thread, the main
// thread's message loop and the shut-down. Returns the exit code.
int WinMain(int argc, char** argv);

// The name of the single-instance lock (the program's mutex name, UTF-8).
inline constexpr const char* kInstanceLockName = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0";
