#pragma once
// The surfaces stage play draws from beyond the fixed system surfaces: the two shot work
// sheets, the dedicated character bitmaps, sword and effect images that the project database
// names, the per-stage picture and message surfaces, and the darkness around a hero that sees
// only part of the screen.
#include "foundation/containers.h"
#include "media/bmp_info.h"
#include "media/surface.h"

// Four surfaces per dedicated bitmap entry 1 .. n - 1: entry e holds 4(e - 1) .. 4(e - 1) + 3
// (plain, mirrored cell by cell, and both again in system memory).
extern cVector<DDSURFACEDATA> g_CharaExcSurfaces;
extern cVector<cBmpInfo> g_CharaExcBmpInfo;
// Four surfaces per sword type, entry 0 included: the two images, then their system-memory
// forms.
extern cVector<DDSURFACEDATA> g_SwordSurfaces;
extern cVector<cBmpInfo> g_SwordBmpInfo;
// Two surfaces per effect entry 1 .. n - 1.
extern cVector<DDSURFACEDATA> g_EffectSurfaces;
extern cVector<cBmpInfo> g_EffectBmpInfo;
// The pictures and the message texts of the running stage.
extern cList<DDSURFACEDATA> g_PictureSurfaces;
extern cList<cBmpInfo> g_PictureBmpInfo;
extern cList<DDSURFACEDATA> g_MessageSurfaces;
extern cList<cBmpInfo> g_MessageBmpInfo;

// System surfaces of the play graphics.
inline constexpr int kShotSheet = 20;         // Shot.bmp, and 21 its mirrored form
inline constexpr int kShotWorkSheet = 63;     // and 64 for the mirrored sheet
inline constexpr int kDarknessSurface = 65;
inline constexpr int kLightCircleSurface = 66;

// The DirectDraw restore pass over the image sets, the pictures and the message surfaces;
// false when a surface cannot be brought back.
bool RestorePlaySurfaces();
// Rebuilds surfaces 63 and 64: every 16x16 shot cell in the middle of a 32x32 cell.
void PrepareWorkSurfaces();
// Each (re)builds its image set from the database; a file that does not load is logged and
// leaves an empty surface.
void LoadCharaExcBitmaps();
void LoadSwordImages();
void LoadEffectImages();
// Frees the picture surfaces and empties the play scene's picture list.
void ReleasePictures();
void ReleaseMessageBitmaps();
// The darkness surface (the screen twice over plus the diameter, with a clear hole in the
// middle) for the hero's visibility radius and shape.
void PrepareLightSurfaces(DDSURFACEDATA* darkness, DDSURFACEDATA* circle);
// The same for a given radius in pixels and shape (0 whole screen, 1 circle, 2 circle in
// front, 3 square, 4 square in front). A negative radius counts as 0.
void MakeLightSurfaces(DDSURFACEDATA* darkness, DDSURFACEDATA* circle, int radius, int shape);
