// Records the replays of the sample's three stages from their key scripts and prints how each
// ends, for when the sample game changes on purpose. Each stage is started at once from its
// file, as the command line starts a stage, and played with its script's keys from the first
// frame of play until the stage ends or the script and a grace of ten seconds run out.
// Usage: tool_record_replays <key script folder> <replay folder>   (both tests/replays)
// Writes stageNN.rpl4_821 and stageNN.end (the end as one line) into the replay folder, for
// each stage whose script clears it; a script that falls short keeps nothing and the tool
// ends in failure.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "foundation/file_data.h"
#include "objects/chara.h"
#include "objects/hero.h"
#include "platform/host_file.h"
#include "play/play_scene.h"
#include "play/replay_log.h"
#include "play/scene_manager.h"
#include "tools/sample_game.h"
#include "tools/sample_run.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStages = 3;
constexpr int kGraceFrames = 600;

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

// Whether the hero's box overlaps the box of a character on this frame.
bool HeroTouchesACharacter() {
  if (g_Heroes.empty()) return false;
  const cHero& hero = g_Heroes.front();
  for (const cChara& chara : g_CharaList)
    if (chara.m_dX <= hero.m_dRight && hero.m_dX <= chara.m_dRight &&
        chara.m_dY <= hero.m_dBottom && hero.m_dY <= chara.m_dBottom)
      return true;
  return false;
}

bool RecordStage(int number, const fs::path& scripts, const fs::path& replays) {
  char name[16];
  std::snprintf(name, sizeof(name), "stage%02d", number);
  std::string error;
  const std::string text = ReadWhole(scripts / (std::string(name) + ".keys"));
  const std::vector<std::vector<int>> keys = ParseKeyScript(text, error);
  if (keys.empty()) {
    std::fprintf(stderr, "%s.keys: %s\n", name, error.empty() ? "no keys" : error.c_str());
    return false;
  }
  std::error_code ec;
  const fs::path game = fs::temp_directory_path() / ("tool_record_replays_" + std::string(name));
  fs::remove_all(game, ec);
  if (!MakeSampleGame(game.string())) return false;
  const fs::path previous = fs::current_path();
  fs::current_path(game);
  bool saved = false;
  sPlayEnd end;
  {
    cHeadlessRun run;
    const bool started = platform::CopyHostFolder("default", "data") &&
                         run.Start(std::string("data\\stg4\\") + name + ".stg4");
    const auto none = [](int) { return std::vector<int>{}; };
    if (started &&
        run.RunUntil([] { return g_pPlayScene && g_pPlayScene->m_nPhase == PLAYPHASE_PLAY; },
                     kGraceFrames, none) >= 0) {
      const int bound = static_cast<int>(keys.size()) + kGraceFrames;
      int touches = 0, firstTouch = -1;
      run.RunUntil(
          [&] {
            if (HeroTouchesACharacter() && touches++ == 0) firstTouch = CurrentPlayEnd().nFrames;
            return CurrentPlayEnd().nState != sPlayEnd::PLAYING;
          },
          bound,
          [&](int frame) {
            return frame < static_cast<int>(keys.size()) ? keys[frame] : std::vector<int>{};
          });
      // A script meant to pass the enemies by should not touch them.
      if (touches > 0)
        std::fprintf(stderr,
                     "%s: the hero touched a character in %d frames, first at frame %d of play\n",
                     name, touches, firstTouch);
      end = CurrentPlayEnd();
      if (end.nState != sPlayEnd::CLEARED)
        std::fprintf(stderr, "%s: the script does not clear the stage (%s); nothing is kept\n",
                     name, DescribePlayEnd(end).c_str());
      // Where the hero stands helps to mend a script that falls short.
      if (!g_Heroes.empty())
        std::fprintf(stderr, "%s: the hero ends at column %d, row %d with HP %d\n", name,
                     static_cast<int>(g_Heroes.front().m_dX) / 32 - 10,
                     static_cast<int>(g_Heroes.front().m_dY) / 32 - 10,
                     g_Heroes.front().m_HP.m_nValue);
      const fs::path replay =
          replays / (std::string(name) + ".rpl4_" + std::to_string(kDataVersion));
      saved = end.nState == sPlayEnd::CLEARED &&
              SaveReplayOfAttempt(fs::absolute(replay).string(), 0) == 1;
    }
    for (const std::string& message : run.Messages())
      std::fprintf(stderr, "%s: message: %s\n", name, message.c_str());
  }
  fs::current_path(previous);
  fs::remove_all(game, ec);
  if (!saved) {
    std::fprintf(stderr, "%s: no replay was saved\n", name);
    return false;
  }
  const std::string line = DescribePlayEnd(end);
  std::ofstream(replays / (std::string(name) + ".end")) << line << "\n";
  std::printf("%s: %s\n", name, line.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <key script folder> <replay folder>\n", argv[0]);
    return 2;
  }
  g_nDataVersion = kDataVersion;
  // No screen and no sound device: the same run on every machine.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const fs::path scripts = fs::absolute(argv[1]), replays = fs::absolute(argv[2]);
  int failures = 0;
  for (int n = 1; n <= kStages; ++n) failures += RecordStage(n, scripts, replays) ? 0 : 1;
  return failures == 0 ? 0 : 1;
}
