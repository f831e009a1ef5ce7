// The effect animation and picture commands: what they add to the play scene's lists, and
// the game standing still while a stopping one is shown.
#include <cmath>
#include <iterator>

#include "content/command.h"
#include "flows/flow_run.h"
#include "flows/present_cmds.h"
#include "foundation/play_math.h"
#include "foundation/report.h"
#include "foundation/thread.h"
#include "media/surface_create.h"
#include "media/surface_list.h"
#include "objects/chara_base.h"
#include "platform/close_request.h"
#include "play/anchor.h"
#include "play/effect_anim.h"
#include "play/picture.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "play/sub_loops.h"
#include "project/database.h"
#include "project/system_ini.h"

namespace {

int RoundHalfAway(double value) { return TruncToInt32(std::round(value)); }

// The game stands still until the message loop has served the scene's wait.
void WaitInMessageLoop() { RunSubLoop(thPause, MessageLoopThread); }

// The centre of a character's graphic cell on the map, as the effect command places on it.
void CellCentre(const cCharaBase& chara, const sScroll& scroll, double& x, double& y) {
  x = chara.m_Rect.m_nLeft + (chara.m_Rect.m_nWidth >> 1) + scroll.x;
  y = chara.m_Rect.m_nTop + (chara.m_Rect.m_nHeight >> 1) + scroll.y;
}

}  // namespace

void EffectPosition(double& x, double& y, int w, int h, const cCharaBase* chara, int position,
                    int column, int row, int offsetX, int offsetY) {
  const sScroll scroll = CurrentScroll();
  const int halfW = w >> 1, halfH = h >> 1;
  const cCharaBase* on = position == 1 ? chara : position == 2 ? FirstHero() : nullptr;
  if ((position == 1 || position == 2) && on) {
    CellCentre(*on, scroll, x, y);
    x = offsetX + x - halfW;
    y = offsetY + y - halfH;
  } else if (position == 3) {
    x = scroll.x + static_cast<double>(column) * 32 + offsetX;
    y = scroll.y + static_cast<double>(row) * 32 + offsetY;
  } else if (position == 4) {
    x = (static_cast<double>(column) + 10) * 32 + offsetX;
    y = (static_cast<double>(row) + 10) * 32 + offsetY;
  } else {
    // The screen centre, also for a position outside the table.
    x = offsetX + scroll.x + 320 - halfW;
    y = offsetY + scroll.y + 240 - halfH;
  }
}

void ExecEffect(cCharaBase* chara, cEdCmd& cmd) {
  cPlayScene* scene = g_pPlayScene;
  if (!scene || scene->m_bQuit) return;
  const int effect = CmdParam(cmd, 0);
  if (effect == 0) {
    scene->m_EffectList.clear();
    return;
  }
  const cDbEffect& entry = g_DataBase.m_Effect[effect];
  const double percent = CmdParam(cmd, 6);
  sEffectRecord record;
  record.nEffect = effect;
  record.nWidth = RoundHalfAway(percent * entry.m_nCellWidth * 0.01);
  record.nHeight = RoundHalfAway(percent * entry.m_nCellHeight * 0.01);
  EffectPosition(record.dX, record.dY, record.nWidth, record.nHeight, chara, CmdParam(cmd, 1),
                 CmdParam(cmd, 2), CmdParam(cmd, 3), CmdParam(cmd, 4), CmdParam(cmd, 5));
  record.bRunWhileStopped = CmdParam(cmd, 7);
  scene->m_EffectList.emplace_back(record);
  if (!record.bRunWhileStopped) return;
  std::int64_t frames = 0;
  for (const cDbEffectFrame& frame : entry.m_Frames) frames += frame.m_nTime;
  scene->m_MsgWait.Set(2, 0, Wrap32(frames * 6), 0);
  WaitInMessageLoop();
}

namespace {

// Removes picture i with its surface and description.
void RemovePicture(cPlayScene& scene, std::size_t i) {
  if (i >= scene.m_PictureList.size() || i >= g_PictureSurfaces.size() ||
      i >= g_PictureBmpInfo.size())
    return;
  auto surface = std::next(g_PictureSurfaces.begin(), static_cast<std::ptrdiff_t>(i));
  DDReleaseSurface(&*surface);
  g_PictureSurfaces.erase(surface);
  g_PictureBmpInfo.erase(std::next(g_PictureBmpInfo.begin(), static_cast<std::ptrdiff_t>(i)));
  scene.m_PictureList.erase(std::next(scene.m_PictureList.begin(), static_cast<std::ptrdiff_t>(i)));
}

template <class List>
typename List::iterator At(List& list, std::size_t i) {
  return std::next(list.begin(), static_cast<std::ptrdiff_t>(std::min(i, list.size())));
}

// The memory a picture's surface is made in.
int PictureMemory(int percent) {
  if (lpDTCon) return 0;
  if (percent != 100 && !g_SystemIni.DD_VideoStretch) return 1;
  int total = 0, free = 0;
  GetVramMB(&total, &free);
  return free * 5 < total ? 1 : 0;
}

}  // namespace

void ExecShowPicture(cCharaBase* chara, cEdCmd& cmd) {
  cPlayScene* scene = g_pPlayScene;
  if (!scene || scene->m_bQuit) return;
  const int picture = CmdParam(cmd, 0);
  const int hasId = CmdParam(cmd, 12), id = CmdParam(cmd, 13);
  if (picture == 0 && hasId == 0) {
    ReleasePictures();
    return;
  }
  // The place of the new picture: that of the one with its ID, else the end.
  std::size_t place = scene->m_PictureList.size();
  bool replaces = false;
  if (hasId) {
    std::size_t i = 0;
    for (const cPicture& p : scene->m_PictureList) {
      if (p.m_bHasId && p.m_nId == id) break;
      ++i;
    }
    if (i < scene->m_PictureList.size()) {
      RemovePicture(*scene, i);
      place = i;
      replaces = true;
    }
    if (picture == 0) return;
  }
  const cDbPicture& entry = g_DataBase.m_Picture[static_cast<std::int16_t>(picture)];
  const int percent = CmdParam(cmd, 7);
  const int memory = PictureMemory(percent);
  auto surface = g_PictureSurfaces.emplace(At(g_PictureSurfaces, place));
  cBmpInfo info;
  info.Set(entry.m_strFile.c_str(), 1, memory, 0, 0, 0, 0, 0, 0, 0, 0);
  auto description = g_PictureBmpInfo.insert(At(g_PictureBmpInfo, place), info);
  const int code = DDCreateSurfaceFromFile(&*surface, entry.m_strFile.c_str(), 1, g_nBpp, memory, 0,
                                           0, 0, 0, 0, 0);
  if (code != 0) {
    DDLogCreateError(code);
    // The lists stay in step: the entries made for it go again before the close.
    DDReleaseSurface(&*surface);
    g_PictureSurfaces.erase(surface);
    g_PictureBmpInfo.erase(description);
    ReportErrBox("%s 読み込み失敗！", entry.m_strFile.c_str());
    platform::RequestClose();
    return;
  }
  const int anchor = CmdParam(cmd, 1);
  const int count = CmdParam(cmd, 14) ? 1 : Wrap32(static_cast<std::int64_t>(CmdParam(cmd, 9)) * 6);
  const cCharaBase* object = anchor == 1 ? chara : anchor == 2 ? FirstHero() : nullptr;
  cPicture shown;
  shown.Init(picture, anchor, CmdParam(cmd, 2), CmdParam(cmd, 3), CmdParam(cmd, 4),
             CmdParam(cmd, 5), surface->nWidth, surface->nHeight, CmdParam(cmd, 11),
             CmdParam(cmd, 6), percent, CmdParam(cmd, 8), count, CmdParam(cmd, 10),
             object ? object->m_nNumber : 0, hasId, id);
  if (object) {
    shown.m_dObjX = object->m_dX + (object->m_nWidth >> 1);
    shown.m_dObjY = object->m_dY + (object->m_nHeight >> 1);
  }
  scene->m_PictureList.insert(At(scene->m_PictureList, place), shown);
  if (!CmdParam(cmd, 10)) return;
  switch (CmdParam(cmd, 8)) {
    case 0:
      scene->m_MsgWait.Set(3, 1, 0, 0);
      break;
    case 2:
      scene->m_MsgWait.Set(3, 0, count, 0);
      break;
    default:
      break;  // no wait of its own: the loop serves the last one
  }
  WaitInMessageLoop();
  RemovePicture(*scene, replaces ? place : scene->m_PictureList.size() - 1);
}
