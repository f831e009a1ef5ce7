#pragma once
// The game thread's frame loop and the scene manager: the six scenes, which one is current
// and which comes next, and the values that outlive a scene. Every scene derives from cScene,
// a state machine driven by a table of phase handlers.
//
// The scene manager lives with stage play because the play scene is one of its scenes and
// reads its fields; the menu scenes of the shell are created through SetSceneCreator.
#include <cstdint>

#include "foundation/containers.h"
#include "media/bgm.h"
#include "media/surface.h"

enum eSceneId : std::int32_t {
  SCENE_TITLE = 0,
  SCENE_WORLDMAP = 1,
  SCENE_MAPMENU = 2,
  SCENE_CHALLENGE = 3,
  SCENE_PLAY = 4,
  SCENE_OPTION = 5,
};

enum eGameKind : std::int32_t {
  GAME_NEWSTORY = 0,
  GAME_CONTINUE = 1,
  GAME_CHALLENGE = 2,
  GAME_FREEPLAY = 3,  // also test play
  GAME_REPLAY = 4,
  GAME_OPTION = 5,
  GAME_QUIT = 6,
};

enum ePlayMode : std::int32_t {
  PLAYMODE_STORY = 0,
  PLAYMODE_CHALLENGE = 1,
  PLAYMODE_FREE = 2,  // free play or test play
  PLAYMODE_REPLAY = 3,
};

// Base of every scene. m_nPhase indexes the derived scene's phase table; -1 until Init ran.
class cScene {
 public:
  cScene() = default;
  virtual ~cScene() = default;
  virtual void Run();
  virtual void Init() {}
  virtual void FadeIn() {}
  virtual void FadeOut() {}

  std::int32_t m_nPhase = -1;
  std::int32_t m_nStep = 0;

 protected:
  // The derived scene's phase handler at index phase (entry 0 calls FadeIn, the last FadeOut).
  virtual void RunPhase(int phase) = 0;
};

class cPlayScene;
class cInputState;

class cSceneManager {
 public:
  cScene* m_pTitle = nullptr;
  cScene* m_pWorldMap = nullptr;
  cScene* m_pMapMenu = nullptr;
  cScene* m_pChallenge = nullptr;
  cScene* m_pOption = nullptr;  // options before play
  cScene* m_pPlay = nullptr;
  eSceneId m_nScene = SCENE_TITLE;
  eSceneId m_nNextScene = SCENE_TITLE;
  eSceneId m_nPrevScene = SCENE_TITLE;
  eGameKind m_nGameKind = GAME_NEWSTORY;
  ePlayMode m_nPlayMode = PLAYMODE_STORY;
  std::int32_t m_nChallengeCursor = 0;
  std::int32_t m_nChallengeScroll = 0;
  std::int32_t m_bRanking = 0;
  std::int32_t m_nFps = 0;       // 60 after start-up
  std::int32_t m_nFadeStep = 0;  // 10 after start-up
  std::int32_t m_nBgm = 0;
  std::int32_t m_bBgmLoop = 0;

  // One frame; 0 when the program must end.
  int Frame();
  void Switch(eSceneId id);
  void DeleteAll();
  void RequestSceneBgm(int bgm, int loop, eBgmSlot slot);
  void UpdateInput(cVector<cInputState>& inputs);
  bool RestoreSurfaces();
  void Present();
};

extern cSceneManager g_SceneManager;
// The play scene; refers to a live object only while g_SceneManager.m_nScene is 4.
extern cPlayScene* g_pPlayScene;
extern std::int32_t g_nFrameCount;

// Creates the scene of one id (the shell registers the menu scenes, stage play the play scene).
using SceneCreator = cScene* (*)();
void SetSceneCreator(eSceneId id, SceneCreator creator);

void GameLoop();
void WaitFrame();
void SuspendGameThreads();
void ResumeGameThreads();

// The eight-bit palette variant "bmp\hbt\hbtNN.dat"; 1 on success or outside 8-bit DirectDraw.
int LoadHbtPalette(int number);
void AnimateMenuColours();

struct sFlashColour {
  std::uint32_t dwColour;  // ARGB
  std::int32_t nColourOp;  // 7 add, 10 subtract
};
extern sFlashColour g_FlashColours[10];
extern cVector<DDSURFACEDATA> g_MenuSurfaces;
