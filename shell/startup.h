#pragma once
// Start-up and shut-down of the game: from a process with a window to the first frame
// (project data, System.ini, screen mode and device, palette, fonts, input, options, music,
// sounds, the world map and the common palette, and a stage named for immediate play), and
// back.
#include <string>

// Show commands of the window.
enum : int {
  SW_SHOWNORMAL = 1,
  SW_MAXIMIZE = 3,
};

// 1 when the screen shows a window (System.ini's WindowMode is not 0).
extern int g_bWindowMode;
// DirectDraw only: 1 when a frame is copied to the screen rather than flipped.
extern int g_bCopyPresent;

// True when the program may start its frames; false once a failure has been reported (or
// silently, when the start dialog was cancelled). commandLine is the stage file named on the
// command line, UTF-8 as the host gives it; empty for none.
bool InitGame(const std::string& commandLine, int showCommand);
// The process's entry: the first argument is the command line.
bool InitGame(int argc, char** argv);
// After InitGame returned false: true when the user chose to end there (the default data
// declined, the start dialog cancelled), false when start-up failed.
bool StartUpDeclined();
// Releases everything start-up made; safe after a start-up that stopped anywhere.
void ExitGame();

// The start dialog, once it exists: 1 when it ended with OK (Boot.dat then holds the choice),
// 0 when cancelled. Without one Boot.dat's drawing mode is taken as chosen.
using StartDialogRunner = int (*)();
void SetStartDialogRunner(StartDialogRunner runner);
