#pragma once
// The small menus drawn over the frozen stage: the pause menu, the retry menu after a miss
// in story mode and the game-over screen. Their phase handlers are cPlayScene's
// (PhasePause, PhaseRetry, PhaseGameOver); what they share lives here.
#include "foundation/containers.h"
#include "project/menu_command.h"

// The pause menu's entries by their number; menu choices outside them do nothing.
enum ePauseEntry : int {
  PAUSE_QUIT = 0,
  PAUSE_CONTINUE = 1,
  PAUSE_RETRY = 2,
  PAUSE_TO_MAP = 3,
  PAUSE_ENTRY_COUNT = 4,
};

// The four entries with the project's captions, disabled as the play mode, the project's
// settings and the stage's cleared state ask. Quit and continue are always enabled.
void BuildPauseMenu(cVector<cCmd>& menu);

// Draws the menu cursor's picture at the cursor's current pixel position.
void DrawMenuCursor();
