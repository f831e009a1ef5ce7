// Cost of one device block of the mix: many sound effects at once, and the MIDI player with
// the synthesiser playing a chord.
#include <benchmark/benchmark.h>

#include <vector>

#include "media/midi_player.h"
#include "platform/audio_mixer.h"
#include "platform/host_file.h"

namespace {

void BM_MixVoices(benchmark::State& state) {
  platform::AudioOpenOffline();
  std::vector<std::uint8_t> pcm(44100, 200);
  const int first = platform::VoiceCreate({22050, 8, 1, 1}, pcm.data(), pcm.size());
  std::vector<int> voices = {first};
  for (int i = 1; i < state.range(0); ++i) voices.push_back(platform::VoiceDuplicate(first));
  for (int v : voices) platform::VoicePlay(v, true);
  std::vector<float> out(2 * 1024);
  for (auto _ : state) {
    platform::MixerRender(out.data(), 1024);
    benchmark::DoNotOptimize(out.data());
  }
  platform::AudioClose();
}
BENCHMARK(BM_MixVoices)->Arg(1)->Arg(16)->Arg(64);

void BM_MixMidiChord(benchmark::State& state) {
  platform::AudioOpenOffline();
  // Eight notes held for a long time at 480 ticks a quarter.
  std::vector<std::uint8_t> events;
  for (int i = 0; i < 8; ++i)
    events.insert(events.end(), {0x00, 0x90, static_cast<std::uint8_t>(48 + 3 * i), 0x60});
  events.insert(events.end(), {0x8F, 0xFF, 0x7F, 0xFF, 0x2F, 0x00});
  std::vector<std::uint8_t> file = {
      'M', 'T',  'h',  'd', 0,   0,   0,   6, 0, 0, 0,
      1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(events.size())};
  file.insert(file.end(), events.begin(), events.end());
  platform::ReplaceHostFile("bench_chord.mid", file.data(), file.size());
  {
    cMidi midi("bench_chord.mid");
    midi.Play(1);
    std::vector<float> out(2 * 1024);
    for (auto _ : state) {
      platform::MixerRender(out.data(), 1024);
      benchmark::DoNotOptimize(out.data());
    }
  }
  platform::RemoveHostFile("bench_chord.mid");
  platform::AudioClose();
}
BENCHMARK(BM_MixMidiChord);

}  // namespace

BENCHMARK_MAIN();
