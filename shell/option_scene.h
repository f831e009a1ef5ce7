#pragma once
// The options: the palette variant, music on or off, the sound-effect volume, the ranking
// registration mode and name. Palette and volume act at once; the music switch and the
// options file are applied when the scene is left, always towards the title.
#include <cstdint>

#include "shell/menu_scene.h"

enum eOptionItem : int {
  OPTION_PALETTE = 0,
  OPTION_MUSIC = 1,
  OPTION_VOLUME = 2,
  OPTION_RANKMODE = 3,
  OPTION_RANKNAME = 4,
  OPTION_BACK = 5,
};

enum eOptionPhase : int {
  OPTION_FADEIN = 0,
  OPTION_MAIN = 1,
  OPTION_FADEOUT = 2,
};

class cOptionScene : public cMenuScene {
 public:
  cOptionScene();
  ~cOptionScene() override;

  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void Main();

  void DrawScreen(DDSURFACEDATA* surface);
  void Draw();
  // Makes a changed value of m_nItem take effect.
  void ApplyChange();

  std::int32_t m_nCount = 1;
  std::int32_t m_Entries[6] = {};
  std::int32_t m_nItem = 0;
  std::int32_t m_nSaved = 0;
  std::int32_t* m_pValue = nullptr;
  std::int32_t m_nMin = 0;
  std::int32_t m_nMax = 0;
  int m_nNextScene = SCENE_TITLE;
};

// Starts or releases the music manager as the music option asks (on the main thread).
void ApplyMusicOption();
// Every sound's volume to the table's value for a level (on the main thread).
void ApplySoundVolume(int level);
// Writes the options file; a write failure keeps the old file and is logged only.
void SaveOptionFile();
