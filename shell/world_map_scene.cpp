#include "shell/world_map_scene.h"

#include <algorithm>
#include <string>

#include "foundation/message_box.h"
#include "foundation/play_math.h"
#include "foundation/shell_services.h"
#include "foundation/text_utils.h"
#include "media/blit.h"
#include "media/font.h"
#include "media/sound.h"
#include "media/sprite_batch.h"
#include "project/number_format.h"
#include "project/ranking.h"
#include "project/stage.h"
#include "project/stage_loader.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"

sWorldMapDrawState g_WorldMapDraw;

namespace {

constexpr int kViewColumns = 20;
constexpr int kViewRows = 15;
constexpr int kHeroCycle = 80;
constexpr const char* kStageUnreadable = "ステージファイル %s が読み込めません！";

bool StoryRankingOn() {
  const auto& sets = g_SystemData.m_RankingSets;
  return !sets.empty() && sets[PLAY_MODE_STORY].m_bRanking != 0;
}

const char* SysText(int n) {
  const auto& texts = g_SystemData.m_Texts;
  return n >= 0 && n < static_cast<int>(texts.size()) ? texts[n].c_str() : "";
}

bool SameCell(const sCursorLevel& a, const sCursorLevel& b) {
  return a.column == b.column && a.row == b.row && a.x == b.x && a.y == b.y;
}

}  // namespace

int NextHeroFrame() {
  g_WorldMapDraw.nHeroCount = g_WorldMapDraw.nHeroCount % kHeroCycle + 1;
  return g_WorldMapDraw.nHeroCount > kHeroCycle / 2 ? 32 : 0;
}

int MapLivesBoxWidth(int lives) {
  const int digits = lives == kUnlimitedLives ? 1 : GetDigitCount(lives);
  return (digits + 1) * 16;
}

int MapLivesBoxX(int lives) { return 605 - (MapLivesBoxWidth(lives) - 16); }

cWorldMapScene::cWorldMapScene() {
  SetPhases<cWorldMapScene>({&cWorldMapScene::FadeIn, &cWorldMapScene::Map,
                             &cWorldMapScene::EnterStage, &cWorldMapScene::FadeOut});
}

cWorldMapScene::~cWorldMapScene() {
  ReleaseSystemSurfaces({kSurfWorldBack, kSurfMapChip, kSurfWorldEvent, kSurfAccessory,
                         kSurfWindow, kSurfMapWork});
  ReleaseMenuSurfaces();
}

const cWorldMapLink* cWorldMapScene::FindActiveLink(const cWorldMapPoint* point) const {
  return point ? point->FindActiveLink(g_PlayData) : nullptr;
}

bool cWorldMapScene::IsCleared(const cWorldMapLink& link) {
  return g_PlayData.IsFlagSet(link.m_nClearFlag);
}

bool cWorldMapScene::WaitsForButton(const cWorldMapLink& link) {
  return link.m_bPassable != 0 || IsCleared(link);
}

void cWorldMapScene::LookUp() {
  m_pPoint = g_WorldMap.FindPointAt(g_Cursor.m_pCur->column, g_Cursor.m_pCur->row);
  m_pLink = FindActiveLink(m_pPoint);
}

void cWorldMapScene::PlaceHero(int x, int y) {
  sCursorLevel& cur = *g_Cursor.m_pCur;
  cur.column = x;
  cur.row = y;
  cur.x = kHeroX;
  cur.y = kHeroY;
  m_nViewX = x - 9;
  m_nViewY = y - 7;
}

void cWorldMapScene::Init() {
  RequestSlotBgm(SCENE_BGM_WORLDMAP);
  g_SystemBmpInfo[kSurfWorldBack].szFile = g_WorldMap.m_strBackPicture;
  LoadSystemSurfaces(
      {kSurfWorldBack, kSurfMapChip, kSurfWorldEvent, kSurfAccessory, kSurfWindow, kSurfMapWork});
  g_Cursor.Reset();
  g_PlayData.RecountStageResults();
  PlaceHero(g_PlayData.m_nMapX, g_PlayData.m_nMapY);
  m_nFacing = g_PlayData.m_nMapDir;
  LookUp();
  m_SavedCursor = *g_Cursor.m_pCur;
  if (MakeMenuSurface(272, 352, kMenuSurfaceKeyed)) DrawRankingSurface();
  if (OnStageLink()) ShowLinkInfo();
  if (g_PlayData.m_bAutoSave && g_SceneManager.m_nPrevScene == SCENE_PLAY)
    g_PlayData.SaveSlot(g_PlayData.m_nSaveSlot);
  DrawMapSurface();
  m_nStep = 0;
}

void cWorldMapScene::DrawRankingSurface() {
  DDSURFACEDATA* surface = MenuSurface();
  if (!surface) return;
  DDClear(surface, 0);
  g_Ranking.DrawTable(surface, 0, 0, g_PlayData.m_nRankGenre, -1);
  surface->bLost = 0;
}

void cWorldMapScene::ShowLinkInfo() {
  if (!m_pLink) return;
  cPlayData& play = g_PlayData;
  play.SetStageName(m_pLink->m_strStage.c_str(), m_pLink->m_bVariant, m_pLink->m_nVariantA,
                    m_pLink->m_nVariantB);
  m_nResult = play.GetStageResult(play.m_strStageKey);
  if (g_SceneManager.m_bRanking) {
    LoadRanking(g_Ranking, g_SceneManager.m_nPlayMode, play.m_strStageName, play.m_bVariant,
                play.m_nVariantVar, play.m_nVariantValue);
    play.CycleRankingGenre(g_SceneManager.m_nPlayMode, 0);
  }
  DrawRankingSurface();
}

void cWorldMapScene::FadeIn() {
  if (g_nBpp == 8) DrawRankingSurface();
  Draw(!g_PlayData.m_bFromStage);
  if (!StepFadeIn()) return;
  m_nPhase = WORLDMAP_MAP;
  if (!OnStageLink()) return;
  cPlayData& play = g_PlayData;
  if (play.m_bFromStage) {
    // The stage was left: uncleared, the hero steps back to where he came from.
    play.m_bFromStage = 0;
    if (!IsCleared(*m_pLink)) {
      PlaceHero(play.m_nMapReturnX, play.m_nMapReturnY);
      LookUp();
      DrawMapSurface();
    }
    return;
  }
  if (g_SceneManager.m_nPrevScene == SCENE_MAPMENU || IsCleared(*m_pLink) ||
      WaitsForButton(*m_pLink))
    return;
  if (!LoadStageFile(m_pLink->m_strStage, 1, &g_StageCopy)) {
    ErrBoxF(kStageUnreadable, m_pLink->m_strStage.c_str());
    PostCloseToMainWindow();
    return;
  }
  StartMapStage();
  play.m_nMapReturnX = g_Cursor.m_pCur->column;
  play.m_nMapReturnY = g_Cursor.m_pCur->row;
  m_nStep = 0;
  m_nNextScene = SCENE_PLAY;
  m_nPhase = WORLDMAP_FADEOUT;
}

void cWorldMapScene::MoveCursor(cCursor& cursor, const cInputState& input) {
  sCursorLevel& cur = *cursor.m_pCur;
  const int keys = input.m_wDirection & KEY_DIRECTIONS;
  if (keys) {
    g_PlayData.m_nMapReturnX = cur.column;
    g_PlayData.m_nMapReturnY = cur.row;
    m_SavedCursor = cur;
    int x = cur.column;
    int y = cur.row;
    bool moved = false;
    if (keys & KEY_LEFT) {
      m_nFacing = 2;
      if (x - 1 >= 0) --x, moved = true;
    } else if (keys & KEY_RIGHT) {
      m_nFacing = 3;
      if (x + 1 < g_WorldMap.m_nWidth) ++x, moved = true;
    } else if (keys & KEY_UP) {
      m_nFacing = 1;
      if (y - 1 >= 0) --y, moved = true;
    } else {
      m_nFacing = 0;
      if (y + 1 < g_WorldMap.m_nHeight) ++y, moved = true;
    }
    if (moved && g_WorldMap.CanStandAt(x, y, g_PlayData)) {
      cur.column = x;
      cur.row = y;
      m_nViewX = x - 9;
      m_nViewY = y - 7;
      g_PlayData.m_nMapDir = m_nFacing;
      if (m_nViewX != g_WorldMapDraw.nLastViewX || m_nViewY != g_WorldMapDraw.nLastViewY)
        DrawMapSurface();
    } else {
      cur = m_SavedCursor;
    }
  }
  cur.x = kHeroX;
  cur.y = kHeroY;
}

void cWorldMapScene::RankingButtons() {
  cPlayData& play = g_PlayData;
  if (MenuButton(3)) {
    if (StoryRankingOn()) {
      PlaySystemSound(6);
      play.m_bShowRanking = !play.m_bShowRanking;
    } else if (play.m_bShowRanking) {
      play.m_bShowRanking = 0;
    }
    DrawRankingSurface();
  } else if (MenuButton(4) && StoryRankingOn()) {
    if (CountRankingGenres(g_SystemData, g_SceneManager.m_nPlayMode) >= 2) {
      PlaySystemSound(6);
      play.CycleRankingGenre(g_SceneManager.m_nPlayMode, 1);
    }
    DrawRankingSurface();
  }
}

void cWorldMapScene::Map() {
  cInputState& input = MenuInput();
  MoveCursor(g_Cursor, input);
  PlayCursorSound(input.m_wDirection, 3, 0);
  LookUp();
  sCursorLevel& cur = *g_Cursor.m_pCur;
  if (OnStageLink()) {
    if (!SameCell(cur, m_LastCell)) {
      ShowLinkInfo();
      m_LastCell = cur;
    }
    if (!WaitsForButton(*m_pLink) ||
        (MenuButton(1) && (m_pLink->m_bReplay || !IsCleared(*m_pLink)))) {
      g_PlayData.m_nMapX = cur.column;
      g_PlayData.m_nMapY = cur.row;
      g_Cursor.Push(0);
      m_nStep = 0;
      m_nPhase = WORLDMAP_ENTER;
      return;
    }
    RankingButtons();
  }
  if (MenuButton(2)) {
    PlaySystemSound(4);
    g_PlayData.m_nMapX = cur.column;
    g_PlayData.m_nMapY = cur.row;
    m_nStep = 0;
    m_nNextScene = SCENE_MAPMENU;
    m_nPhase = WORLDMAP_FADEOUT;
    return;
  }
  Draw(true);
}

void cWorldMapScene::BackToMap() {
  // The question's cursor level is closed in both cases; a hero pulled onto the stage steps
  // back off it.
  g_Cursor.Pop(1);
  if (!m_pLink || !WaitsForButton(*m_pLink)) {
    PlaceHero(m_SavedCursor.column, m_SavedCursor.row);
    *g_Cursor.m_pCur = m_SavedCursor;
    LookUp();
    if (m_nViewX != g_WorldMapDraw.nLastViewX || m_nViewY != g_WorldMapDraw.nLastViewY)
      DrawMapSurface();
  }
  m_nStep = 0;
  m_nPhase = WORLDMAP_MAP;
}

void cWorldMapScene::EnterStage() {
  if (!m_pLink) {
    BackToMap();
    return;
  }
  if (m_nStep == 0) {
    PlaySystemSound(1);
    m_bLoaded = LoadStageFile(m_pLink->m_strStage, 1, &g_StageCopy) != 0;
    if (!m_bLoaded) ErrBoxF(kStageUnreadable, m_pLink->m_strStage.c_str());
    g_Cursor.m_pCur->row = 1;
    m_nStep = 1;
  }
  cInputState& input = MenuInput();
  const int x = GetSysTextBlockX(304, 10, 2, 1);
  g_Cursor.MoveGrid(input.m_wDirection, x, kMapQuestionY, 0, 16, 1, 2);
  PlayCursorSound(input.m_wDirection, 2, 0);
  if (MenuButton(1)) {
    PlaySystemSound(1);
    if (g_Cursor.m_pCur->row == 0 && m_bLoaded) {
      g_PlayData.m_nMapDir = m_nFacing;
      StartMapStage();
      m_nNextScene = SCENE_PLAY;
      m_nStep = 0;
      m_nPhase = WORLDMAP_FADEOUT;
      return;
    }
    BackToMap();
    return;
  }
  if (MenuButton(2)) {
    PlaySystemSound(2);
    BackToMap();
    return;
  }
  RankingButtons();
  Draw(true);
  DrawSysTextBlock(x, kMapQuestionY, 10, 2, 1);
  DrawCursorSmall();
}

void cWorldMapScene::StartMapStage() {
  cPlayData& play = g_PlayData;
  const cWorldMapLink* link = m_pLink;
  if (!link) return;
  int point = -1;
  for (int i = 0; i < static_cast<int>(g_WorldMap.m_Points.size()); ++i)
    if (&g_WorldMap.m_Points[i] == m_pPoint) point = i;
  play.m_nMapPoint = point;
  play.SetStageName(g_Stage.m_strPath.c_str(), link->m_bVariant, link->m_nVariantA,
                    link->m_nVariantB);
  play.m_nStageNo = link->m_nClearFlag;
  play.m_nPartNo = 1;
  const auto& unlimited = g_SystemData.m_bUnlimitedLives;
  const auto& start = g_SystemData.m_nStartLives;
  if (g_SystemData.m_bStoryLivesCarry)
    play.m_nEntryLives = (!unlimited.empty() && unlimited[PLAY_MODE_STORY]) ? kUnlimitedLives
                                                                             : play.m_nLives + 1;
  else
    play.m_nEntryLives = start.empty() ? 0 : start[PLAY_MODE_STORY];
}

void cWorldMapScene::FadeOut() {
  Draw(true);
  if (!StepFadeOut()) return;
  LeaveTo(SCENE_WORLDMAP, static_cast<eSceneId>(m_nNextScene));
}

void cWorldMapScene::DrawMapSurface() {
  DDSURFACEDATA* map = &g_SystemSurface[kSurfMapWork];
  const cWorldMapData& world = g_WorldMap;
  DDClear(map, static_cast<std::uint32_t>(world.m_nBackColor));
  if (world.m_bBackPicture) {
    // Only the part of the picture that exists is drawn; the rest keeps the colour.
    DDSURFACEDATA* back = &g_SystemSurface[kSurfWorldBack];
    const int sx = std::max(0, m_nViewX) * 32;
    const int sy = std::max(0, m_nViewY) * 32;
    const int dx = std::max(0, -m_nViewX) * 32;
    const int dy = std::max(0, -m_nViewY) * 32;
    const int w = std::min(640 - dx, back->nWidth - sx);
    const int h = std::min(480 - dy, back->nHeight - sy);
    if (w > 0 && h > 0) DDBlt(map, dx, dy, w, h, back, sx, sy, DDBLT_NOKEY);
  }
  DDSpriteBatchBegin(0);
  DDSURFACEDATA* chips = &g_SystemSurface[kSurfMapChip];
  for (int row = 0; row < kViewRows; ++row) {
    for (int column = 0; column < kViewColumns; ++column) {
      const cWorldMapTile* tile = world.GetTile(m_nViewX + column, m_nViewY + row);
      if (!tile) continue;
      const int chip = tile->m_nChip;
      DDBlt(map, column * 32, row * 32, 32, 32, chips, (chip % 5) * 32, MulWrap32(chip / 5, 32),
            DDBLT_KEY);
    }
  }
  DDSURFACEDATA* icons = &g_SystemSurface[kSurfWorldEvent];
  for (const cWorldMapPoint& point : world.m_Points) {
    const cWorldMapLink* link = FindActiveLink(&point);
    if (!link) continue;
    // A point's place and icon from the file wrap at 32 bits.
    DDBlt(map, MulWrap32(SubWrap32(point.m_nX, m_nViewX), 32),
          MulWrap32(SubWrap32(point.m_nY, m_nViewY), 32), 32, 32, icons, IsCleared(*link) ? 32 : 0,
          MulWrap32(link->m_nIcon, 32), DDBLT_KEY);
  }
  DDSpriteBatchFlush();
  map->bLost = 0;
  g_WorldMapDraw.nLastViewX = m_nViewX;
  g_WorldMapDraw.nLastViewY = m_nViewY;
}

void cWorldMapScene::DrawLives() {
  const int lives = g_PlayData.m_nLives;
  const int x = MapLivesBoxX(lives);
  g_Font[1].DrawBox(&BackBuffer, x, 17, MapLivesBoxWidth(lives), 20);
  DrawAccessory(x, 19, 16, 16, 0, 48);
  if (lives == kUnlimitedLives)
    g_Font[1].Draw(&BackBuffer, x + 16, 19, "∞");
  else
    g_Font[1].DrawF(&BackBuffer, x + 16, 19, "%d", lives);
}

void cWorldMapScene::Draw(bool withTexts) {
  DDSURFACEDATA* map = &g_SystemSurface[kSurfMapWork];
  if (map->bLost) DrawMapSurface();
  DDBlt(&BackBuffer, 0, 0, 640, 480, map, 0, 0, DDBLT_NOKEY);
  static const int kHeroCell[4][2] = {{0, 64}, {64, 64}, {64, 96}, {0, 96}};
  const int facing = std::clamp(m_nFacing, 0, 3);
  const int frame = NextHeroFrame();
  DrawAccessory(kHeroX, kHeroY, 32, 32, kHeroCell[facing][0] + frame, kHeroCell[facing][1]);
  if (g_SystemData.m_bMapShowLives) DrawLives();
  if (!withTexts || !OnStageLink()) return;
  if (StoryRankingOn() && g_PlayData.m_bShowRanking) {
    DDSURFACEDATA* ranking = MenuSurface();
    if (ranking) {
      if (ranking->bLost) DrawRankingSurface();
      DDBlt(&BackBuffer, kMapRankingX, kMapRankingY, ranking->nWidth, ranking->nHeight, ranking, 0,
            0, DDBLT_KEY);
    }
  }
  const bool showResult = g_SystemData.m_bMapShowScore && m_nResult > 0;
  const int y = showResult ? 184 : 204;
  const int n = StrCountChars(m_pLink->m_strCaption.c_str());
  if (n > 0) {
    g_Font[1].DrawBox(&BackBuffer, 304 - 8 * n, y, 16 * n, 16);
    g_Font[1].Draw(&BackBuffer, 304 - 8 * n, y, m_pLink->m_strCaption.c_str(), 1);
  }
  if (showResult) {
    const char* label = SysText(2);
    const int w = 16 * (StrCountChars(label) + GetDigitCount(m_nResult));
    g_Font[1].DrawBoxF(&BackBuffer, 304 - w / 2, y + 20, w, 16, "%s%d", label, m_nResult);
  }
}
