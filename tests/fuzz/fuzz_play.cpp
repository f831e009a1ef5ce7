// What the readers accept is then played: the sample game with one of its play files replaced
// by the input, started headless through the real start-up and played for a few hundred
// frames. The input's first byte chooses the file and the way in:
//   bits 0-3  the file (taken modulo the count): 0 a stage, 1 System.dat, 2 the world map,
//             3 the common palette, 4 on the database tables in their order;
//   bit 4     0: the stage is started from the command line, as a test play;
//             1: from the title, "new story" and the world map into the stage its walk reaches;
//   bits 5-7  which of the sample's stage files (modulo their count) is replaced and
//             test-played.
// The rest of the input is the file's bytes; the keys held on each frame of play come from
// them too, one input byte (its eight bits the four directions and four buttons) for every
// three frames, in order and round again.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "media/cursor.h"
#include "platform/host_file.h"
#include "platform/input.h"
#include "platform/thread_messages.h"
#include "play/play_scene.h"
#include "play/scene_manager.h"
#include "project/paths.h"
#include "tests/fuzz/fuzz_target.h"
#include "tests/support/empty_queue.h"
#include "tools/sample_game.h"
#include "tools/sample_run.h"

#ifdef TW_LIBFUZZER
#include "tests/support/lsan_suppressions.h"
#endif

namespace {

// Frames of play once the stage's play has begun (and the bound of each way there: the title
// and map, the stage's start). The test suite replays every seed and regression under the
// sanitizers: there a shorter run does.
#ifdef TW_LIBFUZZER
constexpr int kPlayFrames = 300;
#else
constexpr int kPlayFrames = 30;
#endif
constexpr int kWayFrames = 900;

struct sGame {
  std::vector<std::string> stages;  // program paths of the stage files, sorted
  std::vector<std::string> files;   // the replaceable files other than the stages
};

std::vector<std::uint8_t> ReadHost(const std::string& path) {
  std::ifstream in(platform::HostPath(path), std::ios::binary);
  return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

void WriteHost(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(platform::HostPath(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out.good()) FuzzFail("cannot write a play file");
}

// The sample game, written once into a folder of the working folder, with its data folder made
// from default\ as the first start makes it; the folder becomes the current one.
const sGame& Game() {
  static sGame game;
  static bool made = false;
  if (made) return game;
  made = true;
  FuzzSetUp();
  // (The writer leaves the current folder elsewhere.)
  const std::string folder = FuzzWorkFolder() + "/game";
  if (!MakeSampleGame(folder) || ::chdir(folder.c_str()) != 0 ||
      !platform::CopyHostFolder("default", "data"))
    FuzzFail("the sample game cannot be written");
  std::vector<std::string> names;
  if (!platform::ListHostFolder("data\\stg4", names)) FuzzFail("the sample has no stage folder");
  std::sort(names.begin(), names.end());
  for (const std::string& name : names)
    if (name.find(".stg4") != std::string::npos) game.stages.push_back("data\\stg4\\" + name);
  if (game.stages.empty()) FuzzFail("the sample has no stages");
  game.files = {g_PathTable[PATH_SYSTEM], g_PathTable[PATH_WORLD_MAP],
                g_PathTable[PATH_COMMON_PALETTE]};
  for (int path = PATH_DB_ANIME_SET; path <= PATH_DB_BGM; path += 2)
    game.files.push_back(g_PathTable[path]);
  return game;
}

// The command line that test-plays a stage file: its name without the part number.
std::string TestPlayName(const std::string& path) {
  const std::size_t at = path.rfind('_');
  return at != std::string::npos && at > path.rfind('.') ? path.substr(0, at) : path;
}

std::vector<int> KeysOfByte(std::uint8_t bits) {
  static const int kCodes[] = {platform::VK_LEFT, platform::VK_RIGHT, platform::VK_UP,
                               platform::VK_DOWN, 'Z', 'X', 'C', 'V'};
  std::vector<int> keys;
  for (int bit = 0; bit < 8; ++bit)
    if (bits & (1 << bit)) keys.push_back(kCodes[bit]);
  return keys;
}

bool InPlay() { return g_SceneManager.m_nScene == SCENE_PLAY; }
bool InPlayPhase() { return InPlay() && g_pPlayScene && g_pPlayScene->m_nPhase == PLAYPHASE_PLAY; }

// As a person walks in: button 1 through the title's "new story", then right along the world
// map until a point asks whether to enter, and "yes".
std::vector<int> WayIn(int frame) {
  cScene* map = g_SceneManager.m_pWorldMap;
  if (g_SceneManager.m_nScene != SCENE_WORLDMAP || !map) return TapButton1(frame);
  if (map->m_nPhase != 2) return {platform::VK_RIGHT};
  if (g_Cursor.m_pCur && g_Cursor.m_pCur->row != 0)
    return frame % 2 ? std::vector<int>{platform::VK_UP} : std::vector<int>{};
  return TapButton1(frame);
}

void Play(const std::uint8_t* data, std::size_t size, bool fromTitle, const std::string& stage) {
  cHeadlessRun run;
  if (!run.Start(fromTitle ? "" : TestPlayName(stage))) return;
  if (fromTitle && run.RunUntil(InPlay, kWayFrames, WayIn) < 0 && !InPlay()) return;
  const auto keysOf = [&](int frame) {
    return size == 0 ? std::vector<int>{} : KeysOfByte(data[(frame / 3) % size]);
  };
  // The stage's start, then its play.
  if (run.RunUntil(InPlayPhase, kWayFrames, keysOf) < 0 && !InPlayPhase()) return;
  run.RunUntil([] { return false; }, kPlayFrames, keysOf);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const sGame& game = Game();
  const std::uint8_t choice = data[0];
  const std::size_t fileCount = 1 + game.files.size();
  const std::size_t file = (choice & 15) % fileCount;
  const bool fromTitle = (choice & 16) != 0;
  const std::string& stage = game.stages[(choice >> 5) % game.stages.size()];
  const std::string& path = file == 0 ? stage : game.files[file - 1];

  // Every run starts as the first: no player files, an empty message queue (a quit left by the
  // last run would end this one at once), and the sample's own files but the one replaced.
  std::error_code ec;
  std::filesystem::remove_all(platform::HostPath("user_data"), ec);
  cEmptyQueue::Drain();
  const std::vector<std::uint8_t> original = ReadHost(path);
  WriteHost(path, data + 1, size - 1);
  Play(data + 1, size - 1, fromTitle, stage);
  cEmptyQueue::Drain();
  WriteHost(path, original.data(), original.size());
  return 0;
}
