#pragma once
// The stage's own layers in the back buffer: background layers behind and in front of the
// map, the map blocks behind and in front of the objects, the status bar and the time left.
// The frame drawing of the play scene fixes their order; each reads the running stage and
// the play scene's camera.
#include "media/surface.h"

class cScrollAxis;
class cHero;
class cItem;
struct sFlash;

// Advances the auto-scrolling layers once per drawn frame (nothing in the pause phase).
void ScrollBackLayers();
// group 0 the layers behind the map (colour 16 when none is drawn), 1 those in front.
void DrawBackLayers(DDSURFACEDATA* dst, int group);
// group 0 the blocks drawn behind the objects, 1 those in front.
void DrawMapBlocks(DDSURFACEDATA* dst, int group);
void DrawStatusBar(DDSURFACEDATA* dst);
void DrawTimeLeft(DDSURFACEDATA* dst, int bSoundOn);

// Starts a screen colour change from a command's eight numbers: red, green, blue, strength
// in percent, back to normal, duration in tenths of a second, blink, blink count.
void SetFlash(sFlash& flash, const int* p);
void SetFlash(const int* p);
// Draws the play scene's colour change over the back buffer and advances it unless stopped.
void DrawFlash(int bStopped);
void DrawFlashOn(sFlash& flash, DDSURFACEDATA* back, int bStopped);
// The level (255 no colour, 0 full colour) of a change at its frame counter.
int FlashLevel(const sFlash& flash);

// The first source column (or row) of a layer tile for an offset, made non-negative; size
// 0 or below gives 0.
int LayerTileStart(int offset, int size);
// The horizontal gap of the status bar for the summed width of n shown items.
int StatusBarGap(int widthSum, int shown);

// The objects' own drawing as the frame drawing calls it.
void DrawHeroLight(cHero& hero, DDSURFACEDATA* dst);
int IsItemCarried(const cItem& item);
void DrawItem(cItem& item, DDSURFACEDATA* dst, int bStopped);
