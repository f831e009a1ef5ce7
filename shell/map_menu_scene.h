#pragma once
// The menu the world map opens: save the story to a slot, switch autosave, back to the map,
// back to the title.
#include <cstdint>

#include "shell/menu_scene.h"

enum eMapMenuPhase : int {
  MAPMENU_FADEIN = 0,
  MAPMENU_MENU = 1,
  MAPMENU_SAVE = 2,
  MAPMENU_AUTOSAVE = 3,
  MAPMENU_BACK = 4,
  MAPMENU_TOTITLE = 5,
  MAPMENU_FADEOUT = 6,
};

inline constexpr int kMapMenuX = 264;
inline constexpr int kMapMenuY = 192;
inline constexpr int kMapMenuSlotX = 152;
inline constexpr int kMapMenuSlotY = 160;

class cMapMenuScene : public cMenuScene {
 public:
  cMapMenuScene();
  ~cMapMenuScene() override;

  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void Menu();
  void SaveSlotSelect();
  void AutoSaveSelect();
  void Back();
  void ToTitle();

  void DrawMenuScreen();

  std::int32_t m_nCount = 1;
  std::int32_t m_Entries[4] = {};
  std::int32_t m_nListTop = 0;
  std::int32_t m_nListRows = 0;
  int m_nNextScene = SCENE_WORLDMAP;

 private:
  void BackToMenu();
  void DrawSlotScreen();
};
