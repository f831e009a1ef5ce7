#pragma once
// The play scene: runs one stage from its fade-in through the start captions, play, the
// pause, retry and game-over menus and the stage end to its fade-out. It owns the stage's
// shots, messages, effects, pictures, screen effect and flash, the two camera axes, the stage
// variables and the context (character, flow, command) that commands run in. The hero, the
// characters and the items live in the global containers below, which outlive the scene.
#include <atomic>
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "objects/object_lists.h"
#include "play/play_records.h"
#include "play/scene_manager.h"
#include "play/scroll_axis.h"
#include "project/menu_command.h"
#include "project/system_data.h"

class cShot;
class cCharaBase;
class cChara;
class cHero;
class cItem;
class cFlowRun;
class cCmdRun;
class cPlayData;

// State of a modal wait for a message, a game wait or the extra-life notice.
struct sMessageWait {
  std::int32_t m_nMode = 0;     // 1 the message command's key wait, 4 the extra-life notice
  std::int32_t m_nDelay = 0;    // frames before a key is accepted
  std::int32_t m_bWaitKey = 0;  // wait for a new press of button 1
  std::int32_t m_nFrames = 0;   // frames to wait when no key is awaited
  std::int32_t m_nCounter = 0;

  void Set(int mode, int waitKey, int frames, int immediate);
};

enum ePlayPhase : std::int32_t {
  PLAYPHASE_INIT = -1,
  PLAYPHASE_FADEIN = 0,
  PLAYPHASE_START = 1,
  PLAYPHASE_PLAY = 2,
  PLAYPHASE_PAUSE = 3,
  PLAYPHASE_STAGEEND = 4,
  PLAYPHASE_RETRY = 5,
  PLAYPHASE_GAMEOVER = 6,
  PLAYPHASE_FADEOUT = 7,
};
inline constexpr int kPlayPhaseCount = 8;
inline constexpr int kGroupCount = 8;
inline constexpr int kStageVarCount = 1001;
inline constexpr int kActiveSwitchCount = 60;

class cPlayScene : public cScene {
 public:
  cPlayScene();
  ~cPlayScene() override;
  cPlayScene(const cPlayScene&) = delete;
  cPlayScene& operator=(const cPlayScene&) = delete;

  void Run() override;
  void Init() override;
  void FadeIn() override;
  void FadeOut() override;

  // Phase handlers (the table m_Phase holds them by ePlayPhase).
  void PhaseStageStart();
  void PhasePlay();
  void PhasePause();
  void PhaseStageEnd();
  void PhaseRetry();
  void PhaseGameOver();

  // One frame of the stage. bFromPlay only from the play phase; bStopped: the game stands
  // still; bSoundOn: the time display may sound its warning; bCaption: the test-play caption.
  void DrawFrame(int bFromPlay, int bStopped, int bSoundOn, int bCaption);
  void DrawHero(int bStopped);
  // 1 when the character must be removed.
  int DrawChara(cChara* chara, int bStopped);
  void BeginPlay();
  // 1 when play may continue, 0 when no life is left.
  int UseLife(cPlayData& progress);
  // 1 when the pause was requested (the phase and step to return to are kept).
  int CheckPauseKey();

  // m_nPhase, m_nStep and the handler table m_Phase (indexed by ePlayPhase) are cScene's.
  std::int32_t m_nPausedPhase = 0;
  std::int32_t m_nPausedStep = 0;
  std::int32_t m_nStageEndReq = 0;  // 0 none, 1 end the stage (clear), 2 defeat the hero
  cScrollAxis m_ScrollX;  // camera x, screen 640
  cScrollAxis m_ScrollY;  // camera y, screen 480
  cShotList m_ShotList;  // every shot and sword, in creation order
  cVector<cList<cCharaBase*>> m_CharaGroup;
  cVector<cList<cShot*>> m_ShotGroup;
  cList<cMessage> m_MessageList;
  cList<cEffectAnim> m_EffectList;
  cList<cPicture> m_PictureList;
  cScrEffect m_ScrEffect;
  sFlash m_Flash;
  sMessageWait m_MsgWait;
  std::atomic<std::int32_t> m_bQuit{0};  // written by the main window while a sub-loop runs
  cCharaBase* m_pCurChara = nullptr;
  cFlowRun* m_pCurFlow = nullptr;
  cCmdRun* m_pCurCmd = nullptr;
  std::int32_t m_bItemMsg = 0;
  std::int32_t m_nHeroCount = 0;  // 1 once set-up made the hero
  std::int32_t m_nSubStep = 0;
  std::int32_t m_nSubStepTotal = 0;
  cVector<std::int32_t> m_AttackHitStep;
  std::int32_t m_nTime = 0;
  std::int32_t m_bNoTimeLimit = 0;
  std::int32_t m_nPlayFrames = 0;
  std::int32_t m_nPlayTime = 0;  // hundredths of a second, at most 599999
  std::int32_t m_nCaptionCount = 0;
  std::int32_t m_nCaptionCount2 = 0;
  std::int32_t m_nSeed = 0;  // the millisecond clock when the scene is made
  std::int32_t m_bWaitRelease = 0;
  std::int32_t m_bCheckDefeats = 0;
  cVector<std::int32_t> m_StageVar;     // S1..S1000, index 0 unused
  cVector<std::uint8_t> m_ActiveSwitch;  // 60 per-sub-step switches
  std::int32_t m_nCharaNo = 0;
  std::int32_t m_nItemNo = 0;
  std::int32_t m_nShotNo = 0;
  std::int32_t m_bFarChara = 0;
  std::int32_t m_bFarSolid = 0;
  std::int32_t m_bFarItem = 0;
  cVector<std::int32_t> m_ToggledCells;
  std::int32_t m_nFrame = 0;
  std::int32_t m_nNextPart = 0;
  std::string m_strNextStage;
  std::int32_t m_bRankIn = 0;
  cVector<std::int32_t> m_RankPos;
  cVector<std::int32_t> m_RankValue;
  std::string m_strRankName;
  std::int32_t m_bRanked = 0;
  std::int32_t m_bShowStatus = 0;
  std::int32_t m_bHitsDone = 0;
  cVector<cCmd> m_PauseMenu;

 private:
  // The objects of one drawing layer (every layer when layers is 1).
  void DrawObjects(int layer, int layers, int bStopped);
  // The hero's idle animation, restarted as play begins.
  void RestartHeroAnime();
  void DrawHeroLight(DDSURFACEDATA* target);
};

// The objects of the running stage. Links between objects are plain pointers, so the
// containers never move their elements.
extern cList<cHero> g_Heroes;  // element 0 is the player and the only one
extern cCharaList g_CharaList;
extern cList<cItem> g_ItemList;

struct sMenuPos {
  std::int32_t x, y;
};
// Screen positions: 0 the pause menu, 1 the retry menu, 2 the ranking table.
extern sMenuPos g_MenuPos[3];

// Stores the extra value and asks the main window to play (or stop) stage music number.
void RequestBgm(int number, int extra);

// The scene's creator for the scene manager (it also sets g_pPlayScene), and its registration.
cScene* CreatePlayScene();
void RegisterPlayScene();
