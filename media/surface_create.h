#pragma once
// Making and releasing surfaces: empty ones, ones loaded from bitmap files, mirrored views.
#include <cstdint>

#include "media/surface.h"

// mirrorSource is a flag: non-zero makes a Direct3D record a view without pixels of its own,
// drawn from the surface its lpMirror names (set by the owner, never by the creators).
bool DDCreateSurface(DDSURFACEDATA* surface, int width, int height, int colourKey, int ddMemory,
                     int memoryType, std::intptr_t mirrorSource, int recreate);
// 0 on success, else a DDERRCODE.
int DDCreateSurfaceFromFile(DDSURFACEDATA* surface, const char* file, int colourKey, int bpp,
                            int ddMemory, int memoryType, std::intptr_t mirrorSource, int indexMap,
                            int mirrorW, int mirrorH, int recreate);
void DDDestroySurface(DDSURFACEDATA* surface);
void DDReleaseSurface(DDSURFACEDATA* surface);
bool DDLogCreateError(int code);
int DDCheckBitmapSize(int* tooBig, const char* file, int maxWidth, int maxHeight);
bool CopyBitmap(DDSURFACEDATA* surface, const char* file, int bpp, int indexMap, int mirrorW,
                int mirrorH);
bool CreateMirror(DDSURFACEDATA* destination, DDSURFACEDATA* source, int cellW, int cellH);
void DDAdjustTextureSize(int* width, int* height);
bool DDCheckTextureSize(int width, int height);
void DDMirrorRect(const DDSURFACEDATA* surface, int* sx, int* sy, int* sw, int* sh);
// The source column (or row) that mirrored position x takes inside cells of size w.
inline int MirrorIndex(int x, int w) { return w * (x / w + 1) - (x % w) - 1; }
// An 8-bit colour 0xAARRGGBB in a surface format.
std::uint32_t ArgbToFormat(std::uint32_t argb, D3DFORMAT format);
// The format of off-screen surfaces at the current colour depth.
D3DFORMAT DDSurfaceFormat();
