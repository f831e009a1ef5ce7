// Cost of trying a music stream in a child process: loading a three-minute Ogg (the fork and
// the first reads of the trial), the child's whole pass over it, and one device block of play.
// The load is measured with and without a large, touched heap, as a running game has one and
// forking copies its page tables.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/host_file.h"
#include "platform/ogg_stream.h"
#include "platform/ogg_writer.h"
#include "platform/vorbis_trial.h"

namespace {

// The song, written once into a temporary folder that is removed when the run ends.
std::string g_strFolder;
std::string g_strSong;

void RemoveSong() {
  std::error_code ec;
  std::filesystem::remove_all(g_strFolder, ec);
}

// Three minutes of stereo chords with some noise, written once.
void MakeSong() {
  if (!g_strSong.empty()) return;
  std::string folder = (std::filesystem::temp_directory_path() / "tw_bench_XXXXXX").string();
  if (!mkdtemp(folder.data())) std::abort();
  g_strFolder = folder;
  g_strSong = folder + "/bench_song.ogg";
  std::atexit(RemoveSong);
  constexpr int kRate = 44100;
  constexpr int kFrames = kRate * 180;
  std::vector<float> samples(2 * static_cast<std::size_t>(kFrames));
  unsigned noise = 1;
  for (int i = 0; i < kFrames; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double root = 110.0 * (1 + (i / (kRate * 2)) % 4);
    for (int c = 0; c < 2; ++c) {
      noise = noise * 1103515245u + 12345u;
      const double n = ((noise >> 16) & 0x7FFF) / 32768.0 - 0.5;
      samples[2 * static_cast<std::size_t>(i) + c] =
          static_cast<float>(0.2 * std::sin(2 * M_PI * root * t) +
                             0.15 * std::sin(2 * M_PI * root * 1.5 * t + c) + 0.05 * n);
    }
  }
  platform::WriteOggVorbis(g_strSong, samples, 2, kRate);
}

// Megabytes of touched heap standing for a running game.
std::vector<std::uint8_t> Ballast(std::int64_t megabytes) {
  std::vector<std::uint8_t> ballast(static_cast<std::size_t>(megabytes) << 20);
  std::memset(ballast.data(), 1, ballast.size());
  return ballast;
}

void BM_OggLoad(benchmark::State& state) {
  MakeSong();
  auto ballast = Ballast(state.range(0));
  platform::AudioOpenOffline();
  {
    platform::cOggVoice voice;
    for (auto _ : state) benchmark::DoNotOptimize(voice.Load(g_strSong));
  }
  platform::AudioClose();
}
BENCHMARK(BM_OggLoad)->Arg(0)->Arg(512)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OggWholeTrial(benchmark::State& state) {
  MakeSong();
  auto bytes = std::make_shared<std::vector<std::uint8_t>>();
  platform::ReadHostFile(g_strSong, *bytes, std::size_t{1} << 30);
  for (auto _ : state) {
    platform::cVorbisTrial trial(bytes);
    while (!trial.Passed() && !trial.Refused()) usleep(100);
    if (!trial.Passed()) state.SkipWithError("the trial refused a good stream");
  }
}
BENCHMARK(BM_OggWholeTrial)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OggPlayBlock(benchmark::State& state) {
  MakeSong();
  platform::AudioOpenOffline();
  {
    platform::cOggVoice voice;
    voice.Load(g_strSong);
    voice.SetLoop(platform::cOggVoice::kLoopForever);
    voice.Play();
    std::vector<float> out(2 * 1024);
    for (auto _ : state) {
      platform::MixerRender(out.data(), 1024);
      benchmark::DoNotOptimize(out.data());
    }
  }
  platform::AudioClose();
}
BENCHMARK(BM_OggPlayBlock);

}  // namespace

BENCHMARK_MAIN();
