// The drawing of one frame of play on the heavy stage: two background layers, the map blocks,
// about 100 characters and 300 shots on the screen and the status bar, at 32 bits in each
// drawing behaviour, with the sample game's pictures. Each must stay under 4 ms.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "bench/heavy_stage.h"
#include "media/device.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "platform/close_request.h"
#include "platform/host_file.h"
#include "platform/video.h"
#include "play/input.h"
#include "play/play_frame.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"
#include "project/database.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "project/system_ini.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "tools/sample_game.h"

namespace {

// The sample game written into a temporary folder, made the current one; removed at the end.
std::string g_strFolder, g_strPrevious;

bool PrepareGameFolder() {
  if (!g_strFolder.empty()) return true;
  char folder[] = "/tmp/bench_draw_XXXXXX";
  if (!mkdtemp(folder)) return false;
  g_strPrevious = platform::CurrentFolder();
  g_strFolder = folder;
  return platform::ChangeCurrentFolder(folder) && MakeSampleGame(folder) &&
         platform::CopyHostFolder("default", "data");
}

void RemoveGameFolder() {
  if (g_strFolder.empty()) return;
  platform::ChangeCurrentFolder(g_strPrevious);
  std::error_code error;
  std::filesystem::remove_all(g_strFolder, error);
}

// Starts the sample game in a window in one drawing behaviour at 32 bits.
bool StartGame(int d3d) {
  const std::string ini = "Direct3D=" + std::to_string(d3d) + "\nWindowMode=1\nBpp=32\nExit\n";
  if (!platform::ReplaceHostFile("System.ini", ini.data(), ini.size())) return false;
  g_MainWnd.Setup(640, 480, 100, 100, 640, 480, WS_MAIN_WINDOW);
  platform::sVideoMode mode;
  if (!platform::OpenVideo(mode)) return false;
  g_hWnd.store(&g_MainWnd);
  return InitGame("", SW_SHOWNORMAL) && g_SystemIni.Direct3D == d3d;
}

void StopGame() {
  ExitGame();
  platform::CloseVideo();
  g_hWnd.store(nullptr);
  ResetMainWindowState();
  platform::ResetCloseRequest();
}

// The heavy stage, a hundred characters in the view, with two background layers (the second keyed, in front of the first) and
// the status bar.
void BuildDrawnStage() {
  BuildHeavyStage();
  // A hundred of the characters start in the view (the camera stays at the map's top-left
  // corner with the hero).
  for (int i = 1; i <= 100; ++i) {
    cEdChara& chara = g_Stage.m_PlacedCharas[i];
    chara.m_sPosX = static_cast<std::int16_t>(i * 3 % 20);
    chara.m_sPosY = static_cast<std::int16_t>(4 + i % 9);
  }
  g_Stage.m_BackLayers.resize(2);
  g_Stage.m_BackLayers[0].m_strImage = "背景その1.bmp";
  g_Stage.m_BackLayers[1].m_strImage = "背景その2.bmp";
  g_Stage.m_BackLayers[1].m_dSpeedX = 0.5;
  g_StageCopy.TakePlayData(g_Stage);
}

// 300 shots of the hero spread over the view.
void FireShots(cPlayScene& scene) {
  cHero& hero = g_Heroes.front();
  const double left = scene.m_ScrollX.m_dPos, top = scene.m_ScrollY.m_dPos;
  cEdShot def;
  for (int i = 0; i < 300; ++i) {
    def.m_sGraphic = static_cast<std::int16_t>(i % 4);
    sVolley volley;
    volley.dVX = i % 2 ? 2 : -2;
    volley.nSpawnX = static_cast<int>(left) + (i * 37) % 620;
    volley.nSpawnY = static_cast<int>(top) + (i * 53) % 440 + 20;
    cShot shot;
    shot.SetUp(scene.m_nShotNo++, hero, kShotCmdKind, def, volley);
    AddShotToList(scene.m_ShotList, shot);
  }
}

void BM_DrawFrame(benchmark::State& state) {
  const int d3d = static_cast<int>(state.range(0));
  if (!PrepareGameFolder()) {
    state.SkipWithError("the sample game could not be written");
    return;
  }
  if (!StartGame(d3d)) {
    state.SkipWithError("the game did not start in this drawing behaviour");
    StopGame();
    return;
  }
  BuildDrawnStage();
  InitInputs(1);
  g_SceneManager.m_nGameKind = GAME_FREEPLAY;
  auto* scene = new cPlayScene;
  g_pPlayScene = scene;
  scene->Init();
  // One frame of play puts the characters in view on the screen.
  for (int c = 1; c <= g_nHitLevel; ++c)
    if (RunSubStep(*scene, c)) break;
  FireShots(*scene);
  scene->m_bShowStatus = 1;
  for (auto _ : state) scene->DrawFrame(1, 0, 0, 0);
  int characters = 0, shots = 0;
  for (const cChara& c : g_CharaList) characters += c.m_bOnScreen;
  for (const cShot& s : scene->m_ShotList) shots += s.IsOnScreen();
  state.counters["characters"] = characters;
  state.counters["shots"] = shots;
  for (auto& group : scene->m_CharaGroup) group.clear();
  scene->m_ShotList.clear();
  g_CharaList.clear();
  g_ItemList.clear();
  g_Heroes.clear();
  g_pPlayScene = nullptr;
  delete scene;
  StopGame();
}
BENCHMARK(BM_DrawFrame)->Arg(0)->Arg(1)->ArgName("d3d")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  RemoveGameFolder();
  return 0;
}
