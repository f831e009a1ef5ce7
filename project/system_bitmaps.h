#pragma once
// The media that exist before any project data is read: the 71 system bitmaps and work
// surfaces, the three fonts of the program and the font faces the system record picks from.
#include "media/bmp_info.h"
#include "media/font.h"
#include "media/surface.h"

inline constexpr int kSystemSurfaceCount = 71;
inline constexpr int kFontNameCount = 123;

extern DDSURFACEDATA g_SystemSurface[kSystemSurfaceCount];
extern cBmpInfo g_SystemBmpInfo[kSystemSurfaceCount];


extern sFontDesc g_FontDesc[3];
extern cBmpInfo g_FontDigitInfo[3];
extern const char* const g_FontNames[kFontNameCount];

// Points the mirrored system surfaces at their sources.
void LinkMirrorSurfaces();
// Start-up's choice of faces and fast-font modes: every face becomes g_FontNames[faceIndex]
// (an index outside the table keeps the built-in face), and a mode of 2 the drawing mode's
// setting.
void SetupFontDescs(int faceIndex, int fastFontD3D, int fastFontDD);
