#pragma once
// The process: single instance, the main window, start-up, the game thread, the main
// thread's message loop and the shut-down. Returns the exit code.
int WinMain(int argc, char** argv);

// The services the main thread gives the other layers (its request handler, sounds, the
// nested messages of stage loading, the play mode, the dialogs' idle work, the stage-file
// action), installed by the entry before start-up and removed after shut-down; a program
// that drives the frames itself installs them the same way.
void InstallMainThreadServices();
void RemoveMainThreadServices();

// The name of the single-instance lock (the program's mutex name, UTF-8).
inline constexpr const char* kInstanceLockName = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0";
