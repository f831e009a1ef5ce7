#include "objects/chara_base.h"

#include <algorithm>
#include <string>

#include "foundation/play_math.h"
#include "foundation/report.h"
#include "foundation/strings.h"
#include "media/blit.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "objects/shot.h"
#include "play/hits.h"
#include "play/play_scene.h"
#include "project/database.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#if __has_include("play/play_graphics.h")
#include "play/play_graphics.h"
#define TW_HAVE_DEDICATED_SURFACES 1
#endif

std::uint64_t g_nCharaChangeCount = 0;

cCharaBase::cCharaBase() {
  m_Def.Clear();
  ++g_nCharaChangeCount;
}

cCharaBase::~cCharaBase() {
  ++g_nCharaChangeCount;
  if (!m_bNoUnlink) UnlinkReferences();
}

cCharaBase* FirstHero() { return g_Heroes.empty() ? nullptr : &g_Heroes.front(); }

namespace {

void AddBackRef(cCharaBase& holder, const sTargetRef& ref) {
  if (std::find(holder.m_BackRefs.begin(), holder.m_BackRefs.end(), ref) == holder.m_BackRefs.end())
    holder.m_BackRefs.push_back(ref);
}

// Removes every equal entry, keeping the order of the others.
void RemoveBackRefs(cCharaBase& holder, const sTargetRef& ref) {
  auto& refs = holder.m_BackRefs;
  refs.erase(std::remove(refs.begin(), refs.end(), ref), refs.end());
}

// The definition's scale; 0 is taken, and repaired, as 1.
int DefScale(cEdChara& def) {
  if (def.m_nScale == 0) def.m_nScale = 1;
  return def.m_nScale;
}

}  // namespace

void cCharaBase::Reset(const cEdChara* def, double spawnX, double spawnY, int copyIndex) {
  m_sCopyIndex = static_cast<std::int16_t>(copyIndex);
  m_BackRefs.clear();
  m_ShotLinks.clear();
  m_Targets.assign(kTargetSlots, nullptr);
  m_pOwner = nullptr;
  m_RunningGroups.assign(kFlowGroups, 0);
  m_StoppedGroups.assign(kFlowGroups, 0);
  m_StartedGroups.assign(kFlowGroups, 0);
  m_bGroupStopped = m_bFlowDeleteReq = 0;
  m_dSpawnX = spawnX;
  m_dSpawnY = spawnY;
  m_dPushX = m_dPushY = 0;
  m_bKnockedBack = 0;
  m_dAppliedPushY = 0;
  m_bGravityOff = 0;
  m_nBlockSide = -1;
  m_bAirLock = 1;
  m_bRiseEnded = m_bJumping = m_bHeadBumped = 0;
  m_nAirTimer = 0;
  m_pGroundBlock = nullptr;
  ClearContacts();
  m_bDismounted = m_bRiding = 0;
  m_nRiddenNumber = 0;
  m_bFinished = 0;
  m_HP = sStatus{};
  m_SP = sStatus{};
  m_Vars.assign(kCharaVariables, 0);
  if (def) {
    ++g_nCharaChangeCount;
    if (def != &m_Def) m_Def = *def;
    m_PassDef = PassDefOf(m_Def);
    m_HP.m_nValue = m_Def.m_nMaxHP;
    m_SP.m_nValue = m_Def.m_nMaxSP;
  }
  m_bScreenBound = m_Def.m_bScrollSync;
  m_nSightRange = static_cast<std::int8_t>(m_Def.m_nViewRange) * 32 / 2;
  m_dDecel = PercentToAccel(m_Def.m_sStopEase);
  m_bRemoveReq = 0;
  m_CharaEffect.Clear();
  if (m_Def.m_sCharaEffect != 0)
    m_CharaEffect.Start(m_Def.m_sCharaEffect, m_Def.m_nCharaEffectMode, m_Def.m_bCharaEffectRepeat);
  m_nInvincibleTimer = 0;
  m_Immunity.clear();
  SetAnimeSet(m_Def.m_sAnimeSet, 1);
  m_OneShotAnime.clear();
}

void cCharaBase::SetAnimeSet(int set, int force) {
  if (!force && set == m_nAnimeSet) return;
  m_nAnimeSet = set;
  AnimeRuns runs;
  const auto& sets = g_DataBase.m_AnimeSet;
  int index = set;
  if (index < 0 || index >= static_cast<int>(sets.size())) {
    // Reported as the bounds-tested table would, but play goes on with set 0.
    std::string text;
    FormatString(text, "err V[%d] ( %d , %d )", set, static_cast<int>(sets.size()),
                 static_cast<int>(sizeof(cDbAnimeSet)));
    ErrLog(text.c_str());
    Report("%s", text.c_str());
    index = 0;
  }
  if (index < static_cast<int>(sets.size())) {
    for (const cDbAnime& anime : sets.data()[index].m_Anime) {
      AnimeRun run;
      for (const cDbAnimeFrame& frame : anime.m_Frames)
        run.push_back({frame.m_nCell, MulWrap32(frame.m_nTime, 6), 1});
      run.push_back({kAnimeLoop, 0, 1});
      runs.push_back(std::move(run));
    }
  }
  m_Anime.Init(runs);
}

void cCharaBase::SetHitBoxA(int bottomAligned, int width, int height) {
  sHitBox& box = m_HitBoxA;
  box.m_nOffsetX = SubWrap32(SubWrap32(16, m_Rect.m_nOffsetX), width / 2);
  box.m_nOffsetY = bottomAligned ? SubWrap32(SubWrap32(32, m_Rect.m_nOffsetY), height)
                                 : SubWrap32(SubWrap32(16, m_Rect.m_nOffsetY), height / 2);
  box.m_nWidth = width;
  box.m_nHeight = height;
  box.m_nBaseOffsetX = box.m_nOffsetX;
  box.m_nBaseOffsetY = box.m_nOffsetY;
  box.m_nBaseWidth = width;
  box.m_nBaseHeight = height;
}

void cCharaBase::InitTargets(cCharaBase* owner) {
  if (m_Targets.size() < kTargetSlots) m_Targets.resize(kTargetSlots, nullptr);
  cCharaBase* hero = FirstHero();
  m_Targets.data()[0] = hero;
  if (hero) AddBackRef(*hero, {this, 0});
  m_pOwner = owner;
  if (owner) AddBackRef(*owner, {this, kOwnerSlot});
}

namespace {

// Clears a shot's reference to a character that goes.
void UnlinkShot(const sShotLink& link) {
  if (!link.pShot) return;
  if (link.nKind == 0)
    link.pShot->m_pTarget = nullptr;
  else if (link.nKind == kOwnerSlot)
    link.pShot->m_pOwner = nullptr;
}

}  // namespace

void cCharaBase::UnlinkReferences() {
  for (const sTargetRef& ref : m_BackRefs) {
    if (!ref.pObject) continue;
    if (ref.nSlot >= 0 && ref.nSlot < kTargetSlots) {
      if (ref.nSlot < static_cast<int>(ref.pObject->m_Targets.size()))
        ref.pObject->m_Targets.data()[ref.nSlot] = nullptr;
    } else if (ref.nSlot == kOwnerSlot) {
      ref.pObject->m_pOwner = nullptr;
    }
  }
  m_BackRefs.clear();
  for (std::size_t j = 0; j < m_Targets.size() && j < kTargetSlots; ++j) {
    cCharaBase*& target = m_Targets.data()[j];
    if (!target) continue;
    RemoveBackRefs(*target, {this, static_cast<std::int32_t>(j)});
    target = nullptr;
  }
  if (m_pOwner) {
    RemoveBackRefs(*m_pOwner, {this, kOwnerSlot});
    m_pOwner = nullptr;
  }
  for (const sShotLink& link : m_ShotLinks) UnlinkShot(link);
  m_ShotLinks.clear();
}

void cCharaBase::Copy(const cCharaBase& other) {
  if (&other == this) return;
  ++g_nCharaChangeCount;
  const std::int32_t noUnlink = m_bNoUnlink;
  cCharaBase::operator=(other);  // the object part with it
  m_bNoUnlink = noUnlink;
  for (cFlowRun& run : m_FlowRuns) run.Repoint(m_Def);
  RefreshFlowSummary(*this);
}

void cCharaBase::SetBlockPos(int column, int row) {
  SetBlockPosX(column);
  SetBlockPosY(row);
}

void cCharaBase::SetBlockPosX(int column) {
  m_dX = (static_cast<double>(column) + kMapMargin) * 32 + m_Rect.m_nBaseOffsetX + 0.5;
  AdjustXForScale(DefScale(m_Def), 1);
  OnPosChangedX();
}

void cCharaBase::SetBlockPosY(int row) {
  m_dY = (static_cast<double>(row) + kMapMargin) * 32 + m_Rect.m_nBaseOffsetY;
  AdjustYForScale(DefScale(m_Def), 1);
  OnPosChangedY();
}

void cCharaBase::AdjustYForScale(int newScale, int oldScale) {
  if (newScale == oldScale) return;
  const std::int32_t d = SubWrap32(newScale, oldScale);
  if (g_SystemData.m_bCompatScaleY)
    m_dY = m_dY - MulWrap32(d, m_nBaseHeight);
  else
    m_dY = m_dY - MulWrap32(d, m_Rect.m_nBaseHeight) + MulWrap32(d, m_Rect.m_nBaseOffsetY);
  OnPosChangedY();
}

void cCharaBase::SetCentreX(int x) {
  const std::int64_t centre = static_cast<std::int64_t>(m_Rect.m_nLeft) + m_Rect.m_nWidth / 2;
  m_dX = m_dX + static_cast<double>(x - centre);
  OnPosChangedX();
}

void cCharaBase::SetCentreY(int y) {
  const std::int64_t centre = static_cast<std::int64_t>(m_Rect.m_nTop) + m_Rect.m_nHeight / 2;
  m_dY = m_dY + static_cast<double>(y - centre);
  OnPosChangedY();
}

void cCharaBase::SetCentre(int x, int y) {
  SetCentreX(x);
  SetCentreY(y);
}

namespace {

void StopRun(cCmdRun* run) {
  if (!run) return;
  run->m_dVelX = 0;
  run->m_dVelY = 0;
}

}  // namespace

void cCharaBase::SetCentreAndStop(int x, int y, cCmdRun* run) {
  SetCentre(x, y);
  StopRun(run);
}

void cCharaBase::SetCentreXAndStop(int x, cCmdRun* run) {
  SetCentreX(x);
  StopRun(run);
}

void cCharaBase::SetCentreYAndStop(int y, cCmdRun* run) {
  SetCentreY(y);
  StopRun(run);
}

void cCharaBase::RemoveOneShotAnime(int key) {
  m_OneShotAnime.remove_if([key](const cOneShotAnime& a) { return a.m_nKey == key; });
}

void cCharaBase::StopOneShotAnime(int key) {
  for (auto it = m_OneShotAnime.begin(); it != m_OneShotAnime.end();) {
    if (it->m_nKey == key) {
      // Nothing left to show: it goes; otherwise it waits.
      if (static_cast<std::int64_t>(it->m_nFramesLeft) + it->m_nHoldFrames - 1 < 0) {
        it = m_OneShotAnime.erase(it);
        continue;
      }
      it->m_bPaused = 1;
    }
    ++it;
  }
}

void cCharaBase::ResumeOneShotAnime(int key) {
  for (cOneShotAnime& a : m_OneShotAnime)
    if (a.m_nKey == key) a.m_bPaused = 0;
}

void LeaveGroupList(cCharaBase& chara) {
  if (!g_pPlayScene) return;
  auto& groups = g_pPlayScene->m_CharaGroup;
  if (groups.empty()) return;
  const int group = chara.m_Def.m_nGroup;
  auto& list = groups.data()[group >= 0 && group < static_cast<int>(groups.size()) ? group : 0];
  auto it = std::find(list.begin(), list.end(), &chara);
  if (it != list.end()) list.erase(it);
}

cCharaList::iterator EraseCharaNode(cCharaList::iterator node) {
  cChara& chara = *node;
  chara.UnlinkReferences();
  LeaveGroupList(chara);
  return g_CharaList.erase(node);
}

// ---- graphics ----

namespace {

DDSURFACEDATA* SystemSurface(int entry) {
  if (entry < 0 || entry >= kSystemSurfaceCount) return nullptr;
  return &g_SystemSurface[entry];
}

DDSURFACEDATA* DedicatedSurface(std::int64_t entry) {
#ifdef TW_HAVE_DEDICATED_SURFACES
  if (entry < 0 || entry >= static_cast<std::int64_t>(g_CharaExcSurfaces.size())) return nullptr;
  return &g_CharaExcSurfaces.data()[entry];
#else
  (void)entry;
  return nullptr;
#endif
}

// The cell layout of dedicated bitmap number: cell size in blocks (1 to 16) when it has its
// own, else 0. false when the number names no bitmap.
bool DedicatedLayout(int number, int& ownBlocks) {
  const auto& table = g_DataBase.m_BmpCharaExc;
  if (number <= 0 || number >= static_cast<int>(table.size())) return false;
  const cDbBmpCharaExc& entry = table.data()[number];
  ownBlocks = entry.m_bLargeCell ? std::clamp(entry.m_nCellBlocks, 1, 16) : 0;
  return true;
}

void DedicatedCell(int frame, int ownBlocks, std::int32_t& sx, std::int32_t& sy) {
  if (ownBlocks) {
    const int k = 16 / ownBlocks;
    sx = frame % k * ownBlocks * 32;
    sy = MulWrap32(frame / k, ownBlocks * 32);
  } else {
    sx = frame % 16 * 32;
    sy = MulWrap32(frame / 16, 32);
  }
}

bool CellInside(const DDSURFACEDATA* s, std::int64_t x, std::int64_t y) {
  return s && x >= 0 && y >= 0 && x < s->nWidth && y < s->nHeight;
}

// The source of a graphic that cannot be drawn as asked: the first cell of the first
// character sheet.
void FirstCharaCell(sGraphicSrc& out) {
  out.pA = SystemSurface(4);
  out.pB = SystemSurface(22);
  out.nSrcX = out.nSrcY = 0;
}

}  // namespace

void SetGraphicSource(sGraphicSrc& out, int mode, int kind, int number, int frame,
                      const cObject* object, int frameOffset) {
  out = sGraphicSrc{};
  const bool objectMode = mode == GRAPHIC_SRC_OBJECT;
  int facing = objectMode && object ? (object->m_nFacing != 0 ? 1 : 0) : 0;
  switch (kind) {
    case GRAPHIC_BLOCK:
      out.pA = out.pAOther = SystemSurface(2);
      out.pB = out.pBOther = SystemSurface(3);
      out.nSrcX = number / 15 * 32;
      out.nSrcY = number % 15 * 32;
      break;
    case GRAPHIC_CHARA: {
      std::int64_t cell = objectMode ? static_cast<std::int64_t>(frame) + frameOffset : frame;
      if (!objectMode && cell >= 20 && cell <= 39) {
        facing = 1;
        cell -= 20;
      }
      const std::int64_t sheet = number / 15;
      const std::int64_t entry = 4 + 2 * sheet + facing;
      std::int64_t sx = cell * 32;
      std::int64_t sy = number % 15 * 32;
      DDSURFACEDATA* a = sheet >= 0 && sheet < 8 ? SystemSurface(static_cast<int>(entry)) : nullptr;
      if (!CellInside(a, sx, sy)) {
        // A cell beyond the loaded sheet draws the first cell of the first sheet.
        FirstCharaCell(out);
      } else {
        out.pA = a;
        out.pB = SystemSurface(static_cast<int>(entry) + 18);
        out.nSrcX = static_cast<std::int32_t>(sx);
        out.nSrcY = static_cast<std::int32_t>(sy);
      }
      if (objectMode && out.pA == a) {
        const int other = static_cast<int>(4 + 2 * sheet + (1 - facing));
        out.pAOther = SystemSurface(other);
        out.pBOther = SystemSurface(other + 18);
      } else if (objectMode) {
        out.pAOther = out.pA;
        out.pBOther = out.pB;
      }
      break;
    }
    case GRAPHIC_ITEM:
      out.pA = out.pAOther = SystemSurface(40);
      out.pB = out.pBOther = SystemSurface(41);
      out.nSrcX =
          AddWrap32(number / 15 * 64, mode == GRAPHIC_SRC_ITEM ? MulWrap32(frameOffset, 32) : 0);
      out.nSrcY = number % 15 * 32;
      break;
    case GRAPHIC_SHOT:
      out.pA = out.pB = SystemSurface(63 + facing);
      if (objectMode) out.pAOther = out.pBOther = SystemSurface(63 + (1 - facing));
      out.nSrcX = number / 30 * 64;
      out.nSrcY = number % 30 * 32;
      break;
    case GRAPHIC_DEDICATED: {
      int ownBlocks = 0;
      if (!DedicatedLayout(number, ownBlocks)) break;  // no such bitmap: nothing drawn
      const std::int64_t entry = 4 * static_cast<std::int64_t>(number) - 4 + facing;
      out.pA = DedicatedSurface(entry);
      out.pB = DedicatedSurface(entry + 2);
      if (objectMode) {
        const std::int64_t other = 4 * static_cast<std::int64_t>(number) - 4 + (1 - facing);
        out.pAOther = DedicatedSurface(other);
        out.pBOther = DedicatedSurface(other + 2);
      }
      const int cell = objectMode ? static_cast<int>(AddWrap32(frame, frameOffset)) : frame;
      DedicatedCell(cell, ownBlocks, out.nSrcX, out.nSrcY);
      if (ownBlocks) {
        out.bOwnCellSize = 1;
        out.nCellBlocks = static_cast<std::uint8_t>(ownBlocks);
      }
      break;
    }
    default:  // a kind beyond the five, as a cell beyond its sheet
      FirstCharaCell(out);
      if (objectMode) {
        out.pAOther = out.pA;
        out.pBOther = out.pB;
      }
      break;
  }
  out.pDraw = out.pB;
  out.pDrawOther = out.pBOther;
}

void DrawGraphicIcon(DDSURFACEDATA* target, int x, int y, int kind, int number, int frame) {
  switch (kind) {
    case GRAPHIC_BLOCK:
      DDBltStretch(target, x, y, 16, 16, SystemSurface(3), number / 15 * 64, number % 15 * 32, 32,
                   32, DDBLT_KEY);
      break;
    case GRAPHIC_CHARA: {
      const int sheet = number / 15;
      if (sheet < 0 || sheet >= 8) break;
      DDBltStretch(target, x, y, 16, 16, SystemSurface(22 + 2 * sheet), MulWrap32(frame, 32),
                   number % 15 * 32, 32, 32, DDBLT_KEY);
      break;
    }
    case GRAPHIC_SHOT:
      DDBltStretch(target, x, y, 16, 16, SystemSurface(63), number / 30 * 64, number % 30 * 32, 32,
                   32, DDBLT_KEY);
      break;
    case GRAPHIC_ITEM:
      DDBlt(target, x, y, 16, 16, SystemSurface(42), number / 15 * 32, number % 15 * 16, DDBLT_KEY);
      break;
    case GRAPHIC_DEDICATED: {
      int ownBlocks = 0;
      if (!DedicatedLayout(number, ownBlocks)) break;
      std::int32_t sx = 0, sy = 0;
      DedicatedCell(frame, ownBlocks, sx, sy);
      const int size = (ownBlocks ? ownBlocks : 1) * 32;
      DDBltStretch(target, x, y, 16, 16,
                   DedicatedSurface(4 * static_cast<std::int64_t>(number) - 2), sx, sy, size, size,
                   DDBLT_KEY);
      break;
    }
    default:
      break;
  }
}

DDSURFACEDATA* SystemSurfaceEntry(int entry) { return SystemSurface(entry); }

int SelectSheetSurface(int entry, int preferSecond) {
  if (!lpDDCon) return entry;
  const DDSURFACEDATA* first = SystemSurface(entry);
  const DDSURFACEDATA* second = SystemSurface(entry + 18);
  if (!preferSecond) return first && first->lpDDData ? entry : entry + 18;
  return second && second->lpDDData ? entry + 18 : entry;
}

namespace {
int g_nCharaWorkSurfaces[3] = {44, 68, 68};
}  // namespace

void SelectCharaSurfaces() {
  g_nCharaWorkSurfaces[0] = 44;
  g_nCharaWorkSurfaces[1] = 68;
  g_nCharaWorkSurfaces[2] = lpDTCon ? 70 : 68;
}

int CharaWorkSurface(int slot) { return slot >= 0 && slot < 3 ? g_nCharaWorkSurfaces[slot] : 68; }
