#pragma once
// The title: the title picture with a window of the commands the project enables, from which
// the player starts a new story or continues a saved one, opens the challenge select, plays a
// stage file or a replay, opens the options, or quits.
#include <cstdint>

#include "shell/menu_scene.h"

enum eTitlePhase : int {
  TITLE_FADEIN = 0,
  TITLE_MENU = 1,
  TITLE_NEWSTORY = 2,
  TITLE_CONTINUE = 3,
  TITLE_FADEOUT = 4,
};

inline constexpr int kTitleWindowX = 192;
inline constexpr int kTitleWindowY = 240;
inline constexpr int kTitleSlotListX = 160;
inline constexpr int kTitleSlotListY = 160;

class cTitleScene : public cMenuScene {
 public:
  cTitleScene();
  ~cTitleScene() override;

  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void Menu();
  void NewStory();
  void ContinueStory();

  // The command window surface for the shown commands.
  void BuildWindow();
  void DrawWindow();
  void DrawTitle();
  // Fills m_Entries and m_nCount from the project's title menu and puts the cursor on the
  // remembered game kind.
  void SetupEntries();

  std::int32_t m_nCount = 1;
  std::int32_t m_Entries[7] = {};
  std::int32_t m_nListTop = 0;
  std::int32_t m_nListRows = 0;
  // The command window's position (x moves in picture mode).
  int m_nWindowX = kTitleWindowX;
  int m_nNextScene = SCENE_TITLE;

 private:
  // The slot list of both story commands; newStory picks an empty slot, else a used one.
  void SlotList(bool newStory);
};

// The progress record of a new story: reset, at the world map's start, with the story's lives.
void StartNewStory();
