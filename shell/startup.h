#pragma once
// Start-up and shut-down of the game.
//
// For now start-up only binds the main window, opens the drawing device in a window
// (Direct3D behaviour, the desktop's depth) and sets the scene manager's frame rate and fade
// speed; shut-down deletes the scenes and releases the device.

// 1 when the game can run; on 0 the caller runs ExitGame.
bool InitGame(int argc, char** argv);
void ExitGame();
