#include "media/surface_list.h"

#include <iterator>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "media/surface_create.h"

namespace {

cBmpInfo EmptyInfo(int colourKey, int ddMemory, int memoryType, std::intptr_t mirrorSource) {
  cBmpInfo info;
  info.Set("", colourKey, ddMemory, memoryType, mirrorSource, 0, 0, 0, 0, 0, 0);
  return info;
}

}  // namespace

bool DDLoadSurfaces(DDSURFACEDATA* surfaces, const int* indices, int n) {
  if (!surfaces || !g_lpDDBmpInfo) return false;
  for (int i = 0; i < n; ++i) {
    const int a = indices ? indices[i] : i;
    if (a < 0 || a >= g_nDDSurfaceCount) {
      ErrLogF("DDLoadSurfaces : no surface %d", a);
      continue;
    }
    const cBmpInfo& info = g_lpDDBmpInfo[a];
    DDSURFACEDATA& surface = surfaces[a];
    DDReleaseSurface(&surface);
    if (info.szFile == "E") {
      if (!DDCreateSurface(&surface, info.nWidth, info.nHeight, info.bColorKey, info.nDDMemory,
                           info.nDTMemory, info.lpMirror, 0) &&
          !info.bOptional) {
        OutOfMemory();
        return false;
      }
      continue;
    }
    const int code = DDCreateSurfaceFromFile(&surface, info.szFile.c_str(), info.bColorKey, g_nBpp,
                                             info.nDDMemory, info.nDTMemory, info.lpMirror,
                                             info.bIndexMap, info.nMirrorW, info.nMirrorH, 0);
    if (!DDLogCreateError(code) && !info.bOptional) {
      ErrBoxF("%s の読み込みに失敗！", info.szFile.c_str());
      return false;
    }
  }
  return true;
}

bool DDAddSurface(cVector<DDSURFACEDATA>& surfaces, cVector<cBmpInfo>& infos, int width, int height,
                  int colourKey, int ddMemory, int memoryType, std::intptr_t mirrorSource) {
  surfaces.emplace_back();
  infos.push_back(EmptyInfo(colourKey, ddMemory, memoryType, mirrorSource));
  return DDCreateSurface(&surfaces.back(), width, height, colourKey, ddMemory, memoryType,
                         mirrorSource, 0);
}

bool DDAddSurfaceToList(cList<DDSURFACEDATA>& surfaces, cList<cBmpInfo>& infos, int width,
                        int height, int colourKey, int ddMemory, int memoryType,
                        std::intptr_t mirrorSource) {
  surfaces.emplace_back();
  infos.push_back(EmptyInfo(colourKey, ddMemory, memoryType, mirrorSource));
  return DDCreateSurface(&surfaces.back(), width, height, colourKey, ddMemory, memoryType,
                         mirrorSource, 0);
}

bool DDInsertSurface(cList<DDSURFACEDATA>& surfaces, cList<cBmpInfo>& infos, int index, int width,
                     int height, int colourKey, int ddMemory, int memoryType,
                     std::intptr_t mirrorSource) {
  // Compared as unsigned, so a negative index appends too.
  if (static_cast<unsigned>(index) >= surfaces.size())
    return DDAddSurfaceToList(surfaces, infos, width, height, colourKey, ddMemory, memoryType,
                              mirrorSource);
  surfaces.emplace(std::next(surfaces.begin(), index));
  auto infoAt = infos.begin();
  std::advance(infoAt, std::min<std::size_t>(static_cast<std::size_t>(index), infos.size()));
  infos.insert(infoAt, EmptyInfo(colourKey, ddMemory, memoryType, mirrorSource));
  return DDCreateSurface(&surfaces[index], width, height, colourKey, ddMemory, memoryType,
                         mirrorSource, 0);
}

int DDRemoveSurface(cList<DDSURFACEDATA>& surfaces, cList<cBmpInfo>& infos,
                    DDSURFACEDATA* surface) {
  std::size_t position = 0;
  for (auto it = surfaces.begin(); it != surfaces.end(); ++it, ++position) {
    if (&*it != surface) continue;
    DDReleaseSurface(surface);
    surfaces.erase(it);
    if (position < infos.size())
      infos.erase(std::next(infos.begin(), static_cast<std::ptrdiff_t>(position)));
    return 1;
  }
  return 0;
}

void DDReleaseSurfaces(cVector<DDSURFACEDATA>& surfaces) {
  for (int i = 0; i < static_cast<int>(surfaces.size()); ++i) DDReleaseSurface(&surfaces[i]);
}

void DDReleaseSurfaceList(cList<DDSURFACEDATA>& surfaces) {
  for (auto& surface : surfaces) DDReleaseSurface(&surface);
}
