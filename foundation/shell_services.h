#pragma once
// What the foundation needs of the application shell: the close request of the main window,
// and the launch flags that start-up sets.

// Asks the main window to close with its orderly shut-down. Safe from any thread; never waits.
void PostCloseToMainWindow();

// Non-zero when the editor started the program.
extern int g_bEditorLaunch;
// Non-zero when start-up plays a stage file named on the command line or in System.ini.
extern int g_bTestPlay;
