#pragma once
// What the menu scenes (title, world map, world-map menu, challenge select, options) share:
// the menus' input step, the screen fades, the system pictures they load, the one screen
// surface they render into, and the registration of their creators with the scene manager.
#include <initializer_list>
#include <vector>

#include "foundation/containers.h"
#include "play/input.h"
#include "play/scene_manager.h"
#include "project/menu_command.h"

// System surfaces of the menus.
inline constexpr int kSurfWindow = 45;      // bmp\Window.bmp, window frames
inline constexpr int kSurfTitle = 47;       // bmp\Title.bmp
inline constexpr int kSurfGameMode = 48;    // bmp\GameMode.bmp, title captions as pictures
inline constexpr int kSurfAccessory = 49;   // bmp\Accessory.bmp, cursors and the hero
inline constexpr int kSurfSymbol = 50;      // bmp\Symbol.bmp
inline constexpr int kSurfMapChip = 52;     // bmp\WorldMapChip.bmp
inline constexpr int kSurfWorldEvent = 53;  // bmp\WorldEvent.bmp, point icons
inline constexpr int kSurfWorldBack = 54;   // the world map's background picture
inline constexpr int kSurfMapWork = 67;     // 640x480 work surface holding the drawn map

// The menu scenes' music slots in the system record.
enum eSceneBgmSlot : int {
  SCENE_BGM_TITLE = 0,
  SCENE_BGM_WORLDMAP = 1,
  SCENE_BGM_CHALLENGE = 2,
  SCENE_BGM_OPTION = 3,
};

// Base of the menu scenes (the scene's frame applies the menus' key repeat and button latch
// to input record 0 before the phase runs).
class cMenuScene : public cScene {
 protected:
  // Loads system surfaces in this order; false (and the main window asked to close) when one
  // cannot be loaded.
  static bool LoadSystemSurfaces(std::initializer_list<int> indices);
  static void ReleaseSystemSurfaces(std::initializer_list<int> indices);
  // One step of the fades over the whole palette; true when the fade completed.
  static bool StepFadeIn();
  static bool StepFadeOut();
  // The end of a fade-out: back buffer cleared with colour 16, the cursor reset, and the
  // scene manager on to its next scene with self as the previous one.
  void LeaveTo(eSceneId self, eSceneId next);
};

// Input record 0, the menus' input.
cInputState& MenuInput();
// Button n (1..4) latched in this frame.
bool MenuButton(int n);

// Requests the music of one of the system record's scene music slots.
void RequestSlotBgm(eSceneBgmSlot slot);

// The list positions of the enabled entries of a menu, in list order, at most limit of them;
// one entry 0 when none is enabled.
std::vector<int> EnabledEntries(const cVector<cCmd>& list, int limit);
// The caption of entry index of a menu; empty outside it.
const char* MenuCaption(const cVector<cCmd>& list, int index);
// The widest caption among the entries, in displayed characters.
int WidestCaption(const cVector<cCmd>& list, const std::vector<int>& entries);

// g_MenuSurfaces released, then one surface of w x h added; false (and the main window asked
// to close) when it cannot be made. A surface that is put on the screen with transparency
// takes the transparent colour (kind kMenuSurfaceKeyed): clearing it with palette number 0
// then makes it transparent in every drawing mode, where a plain surface would keep the
// colour a new surface starts with.
enum eMenuSurfaceKind : int { kMenuSurfacePlain = 0, kMenuSurfaceKeyed = 1 };
bool MakeMenuSurface(int width, int height, eMenuSurfaceKind kind = kMenuSurfacePlain);
void ReleaseMenuSurfaces();
// The screen surface, or null.
DDSURFACEDATA* MenuSurface();

// The cursor cells of Accessory.bmp drawn with transparency at the current cursor level.
void DrawCursorBig();    // 32x32 at 0,0
void DrawCursorSmall();  // 16x16 at 64,0
// The 16x16 cell at (sx, sy) of Accessory.bmp at (x, y).
void DrawAccessory(int x, int y, int w, int h, int sx, int sy);

// Installs the creators of the five menu scenes.
void RegisterMenuScenes();
