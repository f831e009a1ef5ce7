#pragma once
// The game thread's frame loop and the scene manager: the six scenes, which one is current
// and which comes next, and the values that outlive a scene. Every scene derives from cScene,
// a state machine driven by a table of phase handlers.
//
// The scene manager lives with stage play because the play scene is one of its scenes and
// reads its fields; the menu scenes of the shell are created through SetSceneCreator.
#include <cstdint>
#include <initializer_list>

#include "foundation/containers.h"
#include "media/bgm.h"
#include "media/surface.h"
#include "project/play_data.h"

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

// ePlayMode is the progress record's (project/play_data.h): 0 story, 1 challenge, 2 free
// play or test play, 3 replay. The scene manager's names for its values:
inline constexpr ePlayMode PLAYMODE_STORY = PLAY_MODE_STORY;
inline constexpr ePlayMode PLAYMODE_CHALLENGE = PLAY_MODE_CHALLENGE;
inline constexpr ePlayMode PLAYMODE_FREE = PLAY_MODE_FREE;
inline constexpr ePlayMode PLAYMODE_REPLAY = PLAY_MODE_REPLAY;

// Base of every scene. m_nPhase indexes the derived scene's phase table; -1 until Init ran.
class cScene {
 public:
  using PhaseHandler = void (cScene::*)();

  cScene() = default;
  virtual ~cScene() = default;
  cScene(const cScene&) = delete;
  cScene& operator=(const cScene&) = delete;

  // The menu scenes' frame: key repeat and button latch of input record 0, Init on the first
  // run (a thrown text is logged and closes the program), then the current phase's handler.
  virtual void Run();
  virtual void Init() {}
  virtual void FadeIn() {}
  virtual void FadeOut() {}

  std::int32_t m_nPhase = -1;
  std::int32_t m_nStep = 0;
  // The phase handlers, filled by the derived constructor: entry 0 calls FadeIn, the last
  // FadeOut, the scene's own handlers lie between.
  cVector<PhaseHandler> m_Phase;

 protected:
  // Fills m_Phase with handlers of the derived scene, e.g.
  // SetPhases<cTitleScene>({&cTitleScene::FadeIn, &cTitleScene::Menu, &cTitleScene::FadeOut}).
  template <class Derived>
  void SetPhases(std::initializer_list<void (Derived::*)()> handlers) {
    m_Phase.clear();
    for (auto handler : handlers) m_Phase.push_back(static_cast<PhaseHandler>(handler));
  }
  // Runs the handler at index phase of m_Phase (a bad index is the container's index fault).
  virtual void RunPhase(int phase);
};

class cPlayScene;
class cInputState;

// The last index of the ShowFps ring; the average over 16 frame times.
inline constexpr int kFpsRingSize = 16;

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
  // Deletes every scene but the one of id and creates that one when it is missing; a scene
  // that is created starts in phase -1, so its Init runs in its first Run.
  void Switch(eSceneId id);
  void DeleteAll();
  // Asks the main window for a menu scene's music; the same looping music is not restarted.
  void RequestSceneBgm(int bgm, int loop, eBgmSlot slot);
  void UpdateInput(cVector<cInputState>& inputs);
  // DirectDraw: restores lost surfaces; false when one cannot be restored.
  bool RestoreSurfaces();
  void Present();
  // The scene object of id (null when it does not exist or id is above 5).
  cScene* Scene(eSceneId id) const;
};

extern cSceneManager g_SceneManager;
// The play scene while one exists, null otherwise (cleared whenever the manager deletes it).
extern cPlayScene* g_pPlayScene;
extern std::int32_t g_nFrameCount;

// Creates the scene of one id (the shell registers the menu scenes, stage play the play scene).
// The play scene's creator also stores the new object in g_pPlayScene; the manager clears
// that pointer whenever it deletes the play scene. A creator may throw a text (const char*
// or std::string): it is logged and the program closes. Null uninstalls.
using SceneCreator = cScene* (*)();
void SetSceneCreator(eSceneId id, SceneCreator creator);
// Stage play's part of the DirectDraw restore pass: its three surface vectors, the picture
// surfaces and the message surfaces; false when one cannot be restored.
void SetPlaySurfaceRestorer(bool (*restorer)());
// The frame rate of the last complete second, measured by every frame (the play scene shows it).
extern std::int32_t g_nMeasuredFps;

// The game thread's procedure: frames until WM_QUIT or a frame that ends the program.
std::uint32_t GameLoop(void* param = nullptr);
void WaitFrame();
void SuspendGameThreads();
void ResumeGameThreads();

// The frame rate of the last second and the average work time over the last complete block
// of 16 frames (0 until the first block is complete), as the ShowFps display shows them.
struct sFpsRing {
  std::int32_t nTimes[kFpsRingSize] = {};
  std::int32_t nIndex = 0;
  std::int32_t nAverage = 0;
  // Adds one frame's work time; returns the average to show.
  int Add(int workMs);
};
extern sFpsRing g_FpsRing;

// The eight-bit palette variant "bmp\hbt\hbtNN.dat"; 1 on success or outside 8-bit DirectDraw.
int LoadHbtPalette(int number);
// One step of the flash colours (Direct3D) or of the 8-bit palette groups 208..239.
void AnimateMenuColours();
// The flash-colour oscillators back to their start (tests, and a new start-up).
void ResetMenuColours();

struct sFlashColour {
  std::uint32_t dwColour;  // ARGB
  std::int32_t nColourOp;  // 7 add, 10 subtract
};
extern sFlashColour g_FlashColours[10];
extern cVector<DDSURFACEDATA> g_MenuSurfaces;
