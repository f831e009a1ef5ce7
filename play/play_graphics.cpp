#include "play/play_graphics.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "media/blit.h"
#include "media/circle_lens.h"
#include "media/palette.h"
#include "media/device.h"
#include "media/surface_create.h"
#include "media/surface_list.h"
#include "objects/hero.h"
#include "play/play_scene.h"
#include "project/database.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

cVector<DDSURFACEDATA> g_CharaExcSurfaces;
cVector<cBmpInfo> g_CharaExcBmpInfo;
cVector<DDSURFACEDATA> g_SwordSurfaces;
cVector<cBmpInfo> g_SwordBmpInfo;
cVector<DDSURFACEDATA> g_EffectSurfaces;
cVector<cBmpInfo> g_EffectBmpInfo;
cList<DDSURFACEDATA> g_PictureSurfaces;
cList<cBmpInfo> g_PictureBmpInfo;
cList<DDSURFACEDATA> g_MessageSurfaces;
cList<cBmpInfo> g_MessageBmpInfo;

namespace {

// The darkness and the transparent colour of the light surfaces, as palette numbers.
constexpr std::uint32_t kDarkColour = 16;
constexpr std::uint32_t kClearColour = 0;

// In Direct3D mode the system-memory copies of a picture are views of the plain surface.
std::intptr_t MirrorFlag() { return lpDTCon ? 1 : 0; }

// One description of an image set entry: the file with the colour key, everything else given.
cBmpInfo ImageInfo(const std::string& file, int ddMemory, std::intptr_t mirror, int optional,
                   int mirrorW) {
  cBmpInfo info;
  info.Set(file.c_str(), 1, ddMemory, 0, mirror, 0, optional, mirrorW, 0, 0, 0);
  return info;
}

// Appends the surfaces of one entry and loads each from its description; a file that does
// not load is logged with failText and leaves the surface empty.
void AddImages(cVector<DDSURFACEDATA>& surfaces, cVector<cBmpInfo>& infos,
               std::initializer_list<cBmpInfo> entry, const char* failText) {
  for (const cBmpInfo& info : entry) {
    surfaces.emplace_back();
    infos.push_back(info);
    const int code = DDCreateSurfaceFromFile(
        &surfaces.back(), info.szFile.c_str(), info.bColorKey, g_nBpp, info.nDDMemory,
        info.nDTMemory, info.lpMirror, info.bIndexMap, info.nMirrorW, info.nMirrorH, 0);
    if (!DDLogCreateError(code)) ErrLogF(failText, info.szFile.c_str());
  }
}

void ResetSet(cVector<DDSURFACEDATA>& surfaces, cVector<cBmpInfo>& infos, int places) {
  DDReleaseSurfaces(surfaces);
  surfaces.clear();
  infos.clear();
  // The mirror links point into the vector, so it must never grow past its reservation.
  surfaces.reserve(static_cast<std::size_t>(std::max(places, 0)));
  infos.reserve(static_cast<std::size_t>(std::max(places, 0)));
}

void ReleaseList(cList<DDSURFACEDATA>& surfaces, cList<cBmpInfo>& infos) {
  DDReleaseSurfaceList(surfaces);
  surfaces.clear();
  infos.clear();
}

// Restores one surface after a loss of the DirectDraw surfaces: one in video memory has its
// bitmap loaded again. False when that fails.
bool RestoreOne(DDSURFACEDATA& surface) {
  cPixelSurface* pixels = surface.Pixels();
  if (!pixels || !pixels->m_bLost) return true;
  pixels->m_bLost = false;
  if (surface.nDDMemory != 0) return true;  // system memory keeps its pixels
  surface.bLost = 1;
  return DDReloadSurface(&surface, g_nBpp);
}

template <class Surfaces>
bool RestoreAll(Surfaces& surfaces) {
  for (DDSURFACEDATA& surface : surfaces)
    if (!RestoreOne(surface)) return false;
  return true;
}

}  // namespace

bool RestorePlaySurfaces() {
  if (!RestoreAll(g_CharaExcSurfaces) || !RestoreAll(g_SwordSurfaces) ||
      !RestoreAll(g_EffectSurfaces) || !RestoreAll(g_PictureSurfaces))
    return false;
  const bool restored = RestoreAll(g_MessageSurfaces);
  if (!g_MessageSurfaces.empty())
    ErrLogF("if ( !RestoreSurface(Off_Msg) ) Off_Msg[0].bLost = %d", g_MessageSurfaces.front().bLost);
  return restored;
}

void PrepareWorkSurfaces() {
  for (int sheet = 0; sheet < 2; ++sheet) {
    DDSURFACEDATA* work = &g_SystemSurface[kShotWorkSheet + sheet];
    DDSURFACEDATA* source = &g_SystemSurface[kShotSheet + sheet];
    DDBoxFill(work, 0, 0, work->nWidth, work->nHeight, 0);
    for (int r = 0; r < 30; ++r)
      for (int c = 0; c < 8; ++c)
        DDBlt(work, c * 32 + 8, r * 32 + 8, 16, 16, source, c * 16, r * 16, DDBLT_KEY);
  }
}

void LoadCharaExcBitmaps() {
  const int n = static_cast<int>(g_DataBase.m_BmpCharaExc.size());
  ResetSet(g_CharaExcSurfaces, g_CharaExcBmpInfo, 4 * (n - 1));
  const std::intptr_t mirror = MirrorFlag();
  for (int e = 1; e < n; ++e) {
    const cDbBmpCharaExc& record = g_DataBase.m_BmpCharaExc[e];
    // A cell size outside 1..16 blocks would mirror in cells no sheet can hold.
    const int cell = std::clamp<std::int32_t>(record.m_nCellBlocks, 1, 16);
    const int w = record.m_bLargeCell ? cell * 32 : 32;
    const std::size_t first = g_CharaExcSurfaces.size();
    AddImages(g_CharaExcSurfaces, g_CharaExcBmpInfo,
              {ImageInfo(record.m_strFile, 0, 0, 0, 0), ImageInfo(record.m_strFile, 0, mirror, 0, w),
               ImageInfo(record.m_strFile, 1, mirror, 0, 0),
               ImageInfo(record.m_strFile, 1, mirror, 0, w)},
              "専用bmp %s 読み込み失敗！");
    for (std::size_t k = 1; k < 4; ++k)
      g_CharaExcSurfaces[first + k].lpMirror = &g_CharaExcSurfaces[first];
  }
}

void LoadSwordImages() {
  const int n = static_cast<int>(g_DataBase.m_SwordType.size());
  ResetSet(g_SwordSurfaces, g_SwordBmpInfo, 4 * n);
  const std::intptr_t mirror = MirrorFlag();
  for (int e = 0; e < n; ++e) {
    const cDbSwordType& record = g_DataBase.m_SwordType[e];
    const std::size_t first = g_SwordSurfaces.size();
    AddImages(g_SwordSurfaces, g_SwordBmpInfo,
              {ImageInfo(record.m_strImage, 0, 0, 0, 0), ImageInfo(record.m_strImage2, 0, 0, 0, 0),
               ImageInfo(record.m_strImage, 1, mirror, 0, 0),
               ImageInfo(record.m_strImage2, 1, mirror, 0, 0)},
              "ソード %s 読み込み失敗！");
    g_SwordSurfaces[first + 2].lpMirror = &g_SwordSurfaces[first];
    g_SwordSurfaces[first + 3].lpMirror = &g_SwordSurfaces[first + 1];
  }
}

void LoadEffectImages() {
  const int n = static_cast<int>(g_DataBase.m_Effect.size());
  ResetSet(g_EffectSurfaces, g_EffectBmpInfo, 2 * (n - 1));
  const std::intptr_t mirror = MirrorFlag();
  for (int e = 1; e < n; ++e) {
    const cDbEffect& record = g_DataBase.m_Effect[e];
    const std::size_t first = g_EffectSurfaces.size();
    AddImages(g_EffectSurfaces, g_EffectBmpInfo,
              {ImageInfo(record.m_strFile, 0, 0, 1, 0), ImageInfo(record.m_strFile, 1, mirror, 1, 0)},
              "エフェクト %s 読み込み失敗！");
    g_EffectSurfaces[first + 1].lpMirror = &g_EffectSurfaces[first];
  }
}

void ReleasePictures() {
  ReleaseList(g_PictureSurfaces, g_PictureBmpInfo);
  if (g_pPlayScene) g_pPlayScene->m_PictureList.clear();
}

void ReleaseMessageBitmaps() { ReleaseList(g_MessageSurfaces, g_MessageBmpInfo); }

void MakeLightSurfaces(DDSURFACEDATA* darkness, DDSURFACEDATA* circle, int radius, int shape) {
  DDReleaseSurface(darkness);
  DDReleaseSurface(circle);
  const int r = std::max(radius, 0);
  const int w = 2 * r + 1280, h = 2 * r + 960;
  if (!DDCreateSurface(darkness, w, h, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0)) {
    OutOfMemory();
    return;
  }
  DDBoxFill(darkness, 0, 0, w, h, kDarkColour);
  if (r == 0) return;
  if (shape != 1 && shape != 2) {
    DDBoxFill(darkness, w / 2 - r, h / 2 - r, 2 * r, 2 * r, kClearColour);
    return;
  }
  if (!DDCreateSurface(circle, 2 * r, 2 * r, 1, 1, DTMEMORYTYPE_SYSTEM, 0, 0)) {
    OutOfMemory();
    return;
  }
  if (g_SystemData.m_nColourMode)
    DDBoxFillColor(circle, 0, 0, 2 * r, 2 * r, lpDTCon ? lpDTCon->dwTransmitTex : g_dwTransmit);
  else
    DDBoxFill(circle, 0, 0, 2 * r, 2 * r, kClearColour);
  DDBltCircle(darkness, w / 2, h / 2, r, r, r, 1, circle, r, r, DDBLT_NOKEY);
}

void PrepareLightSurfaces(DDSURFACEDATA* darkness, DDSURFACEDATA* circle) {
  if (g_Heroes.empty()) return;
  const cHero& hero = g_Heroes.front();
  // The view range is a signed count of half-blocks.
  const int radius = static_cast<std::int8_t>(hero.m_Def.m_nViewRange) * 16;
  MakeLightSurfaces(darkness, circle, radius, hero.m_Def.m_nLight);
}
