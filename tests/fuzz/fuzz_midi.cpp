// A Standard MIDI File: the reader and track merge, then the player run over two seconds of
// events into an offline mix, looping.
#include <vector>

#include "media/midi_player.h"
#include "platform/audio_mixer.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  static const bool ready = (platform::AudioOpenOffline(), true);
  (void)ready;
  const std::string path = FuzzInputFile(data, size, "fuzz.mid");
  cMidi midi(path.c_str());
  if (midi.Image().empty()) return 0;
  midi.Play(2);
  std::vector<float> mix(2 * 11025);
  for (int i = 0; i < 8; ++i) platform::MixerRender(mix.data(), 11025);
  midi.Stop(0);
  return 0;
}
