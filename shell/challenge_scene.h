#pragma once
// Challenge select: a numbered list of the challenge stages with their clear icons and best
// scores, and optionally the ranking of the stage under the cursor.
#include <cstdint>
#include <string>

#include "shell/menu_scene.h"

enum eChallengePhase : int {
  CHALLENGE_FADEIN = 0,
  CHALLENGE_MAIN = 1,
  CHALLENGE_FADEOUT = 2,
};

class cChallengeScene : public cMenuScene {
 public:
  cChallengeScene();
  ~cChallengeScene() override;

  void Init() override;
  void FadeIn() override;
  void FadeOut() override;
  void Main();

  void Recount();
  void DrawScreen(DDSURFACEDATA* surface);
  void Draw();

  std::int32_t m_nTop = 0;
  std::int32_t m_nTotal = 0;
  std::int32_t m_nRows = 0;
  int m_nNextScene = SCENE_TITLE;
};

// The file of challenge stage n (from 1): data\stg4\cNN-1 with the stage extension.
std::string ChallengeStageFile(int n);
// Makes it the progress record's stage name and loads its ranking when rankings are on.
void MakeChallengeStageName(int n);
