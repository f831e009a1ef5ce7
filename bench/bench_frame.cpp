// One frame of play logic (10 sub-steps, no drawing) on a heavy stage: 200 x 30 cells with a
// floor, 500 characters walking, flying or solid (50), about 100 of them on screen, each with
// a walking flow, a shooting flow and a flow that runs a line of code every frame, and 300
// shots in flight; or the same density with another count of characters.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "bench/heavy_stage.h"
#include "flows/status_ops.h"
#include "foundation/random.h"
#include "foundation/status_arith.h"
#include "media/sprite_batch.h"
#include "media/surface.h"
#include "objects/chara.h"
#include "objects/chara_flows.h"
#include "objects/hero.h"
#include "objects/item.h"
#include "objects/shot.h"
#include "platform/host_file.h"
#include "play/input.h"
#include "play/play_frame.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"
#include "play/stage_setup.h"
#include "project/stage.h"
#include "project/system_data.h"
#include "tools/sample_game.h"
#include "tools/sample_run.h"

namespace {

// The shots in flight: 300 about the view for 500 characters (at the same density over a
// wider strip for another count), drifting slowly through the blocks. Those that hit or leave
// are fired again before the next frame, outside the measured time.
std::vector<cShot> MakeShots(int count) {
  cChara& owner = g_CharaList.front();
  const int n = count * 3 / 5, columns = std::max(1, count * 24 / 500);
  std::vector<cShot> shots(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    cEdShot def;
    def.m_nSizeFactor = 1;
    def.m_sGraphic = 1;
    def.m_nBlockMode = 1;
    sVolley v;
    v.nSpawnX = 320 + 32 * ((i * 7) % columns);
    v.nSpawnY = 320 + 32 * (1 + (i * 3) % 20);
    v.dVX = (i & 1) ? 0.5 : -0.5;
    v.dSpeed = 0.5;
    shots[static_cast<std::size_t>(i)].SetUp(100000 + i, owner, CMD_SHOT, def, v);
  }
  return shots;
}

void TopUpShots(cPlayScene& scene, const std::vector<cShot>& shots) {
  for (std::size_t i = scene.m_ShotList.size(); i < shots.size(); ++i)
    AddShotToList(scene.m_ShotList, shots[i]);
}

// The heavy stage as built, set up for play in a scene of its own; the lists are emptied
// again when it goes.
struct sHeavyScene {
  cPlayScene scene;
  sHeavyScene() {
    g_StageCopy.TakePlayData(g_Stage);
    InitInputs(1);
    g_pPlayScene = &scene;
    SetStage(1, 1);
    g_Heroes.front().SetUpFromDef(0, g_Stage.m_PlacedCharas[0], (2 + 10) * 32, (5 + 10) * 32,
                                  0);
  }
  ~sHeavyScene() {
    for (auto& group : scene.m_CharaGroup) group.clear();
    scene.m_ShotList.clear();
    g_CharaList.clear();
    g_ItemList.clear();
    g_Heroes.clear();
    g_pPlayScene = nullptr;
  }
  sHeavyScene(const sHeavyScene&) = delete;
  sHeavyScene& operator=(const sHeavyScene&) = delete;
};

// The argument: the count of characters besides the hero.
void BM_PlayFrameLogic(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  BuildHeavyStage(count);
  sHeavyScene heavy;
  cPlayScene& scene = heavy.scene;
  const std::vector<cShot> shots = MakeShots(count);
  double inFlight = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TopUpShots(scene, shots);
    inFlight += static_cast<double>(scene.m_ShotList.size());
    state.ResumeTiming();
    cHero& hero = g_Heroes.front();
    hero.m_bFinished = 0;
    hero.m_HP.m_nValue = 10;
    for (int c = 1; c <= g_nHitLevel; ++c)
      if (RunSubStep(scene, c)) break;
  }
  int active = 0, onScreen = 0, scripted = 0;
  for (const cChara& c : g_CharaList) {
    active += c.m_bActivated;
    onScreen += c.m_bOnScreen;
    scripted += c.m_Vars.size() > 1 && c.m_Vars[1] != 0 ? 1 : 0;
  }
  state.counters["scripted"] = scripted;  // characters whose line of code ran
  state.counters["characters"] = static_cast<double>(g_CharaList.size());
  state.counters["active"] = active;
  state.counters["on_screen"] = onScreen;
  state.counters["shots"] = inFlight / static_cast<double>(state.iterations());
  state.counters["substeps"] =
      static_cast<double>(scene.m_nSubStepTotal) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PlayFrameLogic)
    ->Arg(125)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond);

// A killer of the defeat benchmark and the character its command defeats, by their numbers
// (either may leave the stage meanwhile).
struct sDefeatPair {
  std::int32_t nKiller;
  std::int32_t nVictim;
};

// Every fifth of the first 100 characters (those in the view) gets a fourth flow that takes
// the HP of the character in its target slot 2 every 6 frames.
void AddKillerFlows(CharaVector& placed) {
  cEdCmd take = Command(CMD_STATUS_OP, 0);
  take.m_Params[3] = STATUS_OBJ_TARGET2;
  take.m_Params[4] = STATUS_HP;
  take.m_Params[5] = ASSIGN_SET;
  for (std::size_t i = 5; i <= 100 && i < placed.size(); i += 5)
    placed[i].m_Flows.push_back(AlwaysFlow({Command(CMD_WAIT, 1), take}));
}

// Each killer aims at the next character in the list.
std::vector<sDefeatPair> PairKillers() {
  std::vector<sDefeatPair> pairs;
  for (auto it = g_CharaList.begin(); it != g_CharaList.end(); ++it) {
    auto next = std::next(it);
    if (it->m_Def.m_Flows.size() == 4 && next != g_CharaList.end()) {
      pairs.push_back({it->m_nNumber, next->m_nNumber});
      SetTarget(*it, 1, &*next, 0);
    }
  }
  return pairs;
}

// Defeated victims still in the stage come back, aimed at again; the number of them.
int Revive(const std::vector<sDefeatPair>& pairs) {
  int revived = 0;
  for (const sDefeatPair& pair : pairs) {
    cCharaBase* killer = FindCharaByNumber(pair.nKiller);
    cCharaBase* victim = FindCharaByNumber(pair.nVictim);
    if (!killer || !victim || (!victim->m_bFinished && victim->m_HP.m_nValue > 0)) continue;
    victim->m_bFinished = 0;
    victim->m_HP.m_nValue = victim->m_Def.m_nMaxHP > 0 ? victim->m_Def.m_nMaxHP : 1;
    SetTarget(*killer, 1, victim, 0);
    ++revived;
  }
  return revived;
}

// The logic frame of the heavy stage (without its shots) while 20 characters in the view
// defeat another character each by a command every 6 frames, the defeated ones kept for their
// defeat effect (the keep-defeated switch on, as in the sample game) and brought back outside
// the measured time. A command's defeat check runs after the flows that asked for it only.
void BM_PlayFrameLogicCommandDefeats(benchmark::State& state) {
  BuildHeavyStage();
  AddKillerFlows(g_Stage.m_PlacedCharas);
  const std::int32_t keep = g_SystemData.m_bClearEndsFrame;
  g_SystemData.m_bClearEndsFrame = 1;
  sHeavyScene heavy;
  cPlayScene& scene = heavy.scene;
  const std::vector<sDefeatPair> pairs = PairKillers();
  double defeats = 0;
  for (auto _ : state) {
    state.PauseTiming();
    defeats += Revive(pairs);
    cHero& hero = g_Heroes.front();
    hero.m_bFinished = 0;
    hero.m_HP.m_nValue = 10;
    state.ResumeTiming();
    // The frame's trigger latches open again, so that the flows that ended start anew.
    ResetFlowTriggers(hero);
    for (cChara& chara : g_CharaList)
      if (!chara.m_bFinished) ResetFlowTriggers(chara);
    for (int c = 1; c <= g_nHitLevel; ++c)
      if (RunSubStep(scene, c)) break;
  }
  state.counters["killers"] = static_cast<double>(pairs.size());
  state.counters["defeats"] = defeats / static_cast<double>(state.iterations());
  state.counters["characters"] = static_cast<double>(g_CharaList.size());
  g_SystemData.m_bClearEndsFrame = keep;
}
BENCHMARK(BM_PlayFrameLogicCommandDefeats)->Unit(benchmark::kMillisecond);

// The drawing of one frame of the heavy stage (DrawFrame, without presenting it) in the real
// player on the sample game's pictures, Direct3D (argument 1) or DirectDraw (0), 32 bits,
// with SDL's dummy drivers: the stage written as a file and started at once, as from the
// command line, then played until its play phase.
void BM_PlayFrameDraw(benchmark::State& state) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  std::error_code ec;
  const std::filesystem::path game =
      std::filesystem::temp_directory_path() / ("bench_frame_draw_" + std::to_string(getpid()));
  std::filesystem::remove_all(game, ec);
  if (!MakeSampleGame(game.string())) {
    state.SkipWithError("the sample game cannot be written");
    return;
  }
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(game);
  {
    std::string ini = "Direct3D=" + std::to_string(state.range(0)) +
                      "\nWindowMode=1\nBpp=32\nVSync=0\nD3D_FontCache=0\nDD_FontCache=1\n"
                      "DD_VideoStretch=0\nShowFps=0\nExit\n";
    std::ofstream("System.ini", std::ios::binary) << ini;
    platform::CopyHostFolder("default", "data");
    BuildHeavyStage();
    g_Stage.SaveFile("data\\stg4\\heavy.stg4_001");
    g_Stage.SetDefault();
    cHeadlessRun run;
    const bool playing =
        run.Start("data\\stg4\\heavy.stg4") &&
        run.RunUntil([] { return g_pPlayScene && g_pPlayScene->m_nPhase == PLAYPHASE_PLAY; }, 600,
                     [](int) { return std::vector<int>{}; }) >= 0;
    if (!playing) {
      state.SkipWithError("the heavy stage does not reach its play phase");
    } else {
      // What a batch still holds is drawn within the frame's time.
      for (auto _ : state) {
        g_pPlayScene->DrawFrame(1, 0, 0, 0);
        DDSpriteBatchFlush();
        DDBoxBatchFlush();
      }
      state.counters["characters"] = static_cast<double>(g_CharaList.size());
      state.counters["bpp"] = g_nBpp;
    }
  }
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(game, ec);
}
BENCHMARK(BM_PlayFrameDraw)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The state of every object of the heavy stage after some frames of play, as one number: a
// change that is meant only to be faster must leave it as it was.
class cDigest {
 public:
  template <class T>
  void Add(const T& value) {
    unsigned char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    for (unsigned char b : bytes) m_nHash = (m_nHash ^ b) * 1099511628211ULL;
  }
  std::uint64_t Value() const { return m_nHash; }

 private:
  std::uint64_t m_nHash = 14695981039346656037ULL;
};

void AddObject(cDigest& digest, const cCharaBase& o) {
  for (double d : {o.m_dX, o.m_dY, o.m_dVX, o.m_dVY, o.m_dPushX, o.m_dPushY}) digest.Add(d);
  for (std::int32_t n : {o.m_nNumber, o.m_nFacing, o.m_bContactLeft, o.m_bContactRight,
                         o.m_bContactTop, o.m_bContactBottom, o.m_bRiding, o.m_nRiddenNumber,
                         o.m_HP.m_nValue, o.m_bFinished, o.m_bPresent, o.m_bOnScreen,
                         o.m_nInvincibleTimer, o.m_nFlowSerial})
    digest.Add(n);
  for (std::int32_t v : o.m_Vars) digest.Add(v);
  for (const cFlowRun& run : o.m_FlowRuns) {
    digest.Add(run.m_nCursor);
    digest.Add(run.m_nSteps);
  }
}

// Plays frames of the heavy stage with count characters; prints the digest after each tenth.
void PrintPlayDigest(int count, int frames) {
  BuildHeavyStage(count);
  sHeavyScene heavy;
  RandSeed(12345);  // after the stage's set-up, which seeds from the clock
  cPlayScene& scene = heavy.scene;
  const std::vector<cShot> shots = MakeShots(count);
  cDigest digest;
  for (int frame = 1; frame <= frames; ++frame) {
    TopUpShots(scene, shots);
    cHero& hero = g_Heroes.front();
    hero.m_bFinished = 0;
    hero.m_HP.m_nValue = 10;
    for (cChara& chara : g_CharaList)
      if (!chara.m_bFinished) ResetFlowTriggers(chara);
    for (int c = 1; c <= g_nHitLevel; ++c)
      if (RunSubStep(scene, c)) break;
    AddObject(digest, hero);
    for (const cChara& chara : g_CharaList) {
      AddObject(digest, chara);
      digest.Add(chara.m_bActivated);
    }
    for (const cShot& shot : scene.m_ShotList) {
      digest.Add(shot.m_nNumber);
      digest.Add(shot.m_dX);
      digest.Add(shot.m_dY);
    }
    if (frame % (frames / 10 > 0 ? frames / 10 : 1) == 0)
      std::printf("%d characters, frame %d: %016llx\n", count, frame,
                  static_cast<unsigned long long>(digest.Value()));
  }
}

}  // namespace

// --digest plays the heavy stage at a few counts and prints the digests instead of measuring.
int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--digest") == 0) {
    for (int count : {125, 500, 4000}) PrintPlayDigest(count, 120);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
