#pragma once
// The world map of story mode: the hero walks cell by cell from one stage point to the next,
// enters stages (at once on an uncleared stage that does not wait, else on button 1 with a
// question), sees each stage's caption, result and ranking, and opens the world-map menu.
#include <cstdint>

#include "media/cursor.h"
#include "project/world_map.h"
#include "shell/menu_scene.h"

enum eWorldMapPhase : int {
  WORLDMAP_FADEIN = 0,
  WORLDMAP_MAP = 1,
  WORLDMAP_ENTER = 2,
  WORLDMAP_FADEOUT = 3,
};

inline constexpr int kHeroX = 288;
inline constexpr int kHeroY = 224;
inline constexpr int kMapRankingX = 367;
inline constexpr int kMapRankingY = 64;
inline constexpr int kMapQuestionY = 260;

// What outlives the scene: the last view origin drawn into the map surface and the hero's
// animation counter.
struct sWorldMapDrawState {
  int nLastViewX = -1;
  int nLastViewY = -1;
  int nHeroCount = 0;
};
extern sWorldMapDrawState g_WorldMapDraw;
// Advances the hero's animation by one drawing: the x offset of its frame, 0 for the first 40
// drawings of each 80 and 32 for the others.
int NextHeroFrame();

class cWorldMapScene : public cMenuScene {
 public:
  cWorldMapScene();
  ~cWorldMapScene() override;

  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void Map();
  void EnterStage();

  const cWorldMapLink* FindActiveLink(const cWorldMapPoint* point) const;
  static bool IsCleared(const cWorldMapLink& link);
  static bool WaitsForButton(const cWorldMapLink& link);
  void ShowLinkInfo();
  void MoveCursor(cCursor& cursor, const cInputState& input);
  void StartMapStage();
  void DrawMapSurface();
  void Draw(bool withTexts);
  void DrawLives();
  void DrawRankingSurface();

  // m_pPoint and m_pLink at the hero's cell.
  void LookUp();
  // The hero's cell, the view following it.
  void PlaceHero(int x, int y);
  bool OnStageLink() const { return m_pLink && m_pLink->m_nKind == WORLD_LINK_STAGE; }

  std::int32_t m_nViewX = 0;
  std::int32_t m_nViewY = 0;
  const cWorldMapPoint* m_pPoint = nullptr;
  const cWorldMapLink* m_pLink = nullptr;
  std::int32_t m_nFacing = 0;  // 0 down, 1 up, 2 left, 3 right
  sCursorLevel m_SavedCursor;
  sCursorLevel m_LastCell;
  std::int32_t m_nResult = 0;
  int m_nNextScene = SCENE_WORLDMAP;
  // Whether the stage file of the question was loaded.
  bool m_bLoaded = false;

 private:
  void RankingButtons();
  void BackToMap();
  void ResetLastCell();
};

// The x of the lives box and its width in pixels for a count of lives.
int MapLivesBoxX(int lives);
int MapLivesBoxWidth(int lives);
