#pragma once
// Surfaces kept in vectors and lists beside a parallel collection of their descriptions, and
// the (re)loading of the surface table given to the device set-up.
#include <cstdint>

#include "foundation/containers.h"
#include "media/bmp_info.h"
#include "media/surface.h"

// Loads entries of the surface table given to DDInit from its bitmap table: the n entries
// listed in indices, or entries 0 to n - 1 when indices is null.
bool DDLoadSurfaces(DDSURFACEDATA* surfaces, const int* indices, int n);
bool DDAddSurface(cVector<DDSURFACEDATA>& surfaces, cVector<cBmpInfo>& infos, int width, int height,
                  int colourKey, int ddMemory, int memoryType, std::intptr_t mirrorSource);
bool DDAddSurfaceToList(cList<DDSURFACEDATA>& surfaces, cList<cBmpInfo>& infos, int width,
                        int height, int colourKey, int ddMemory, int memoryType,
                        std::intptr_t mirrorSource);
bool DDInsertSurface(cList<DDSURFACEDATA>& surfaces, cList<cBmpInfo>& infos, int index, int width,
                     int height, int colourKey, int ddMemory, int memoryType,
                     std::intptr_t mirrorSource);
int DDRemoveSurface(cList<DDSURFACEDATA>& surfaces, cList<cBmpInfo>& infos, DDSURFACEDATA* surface);
void DDReleaseSurfaces(cVector<DDSURFACEDATA>& surfaces);
void DDReleaseSurfaceList(cList<DDSURFACEDATA>& surfaces);
