// A wave file: the reader, then a sound made of it with copies, played into an offline mix.
#include <vector>

#include "media/sound.h"
#include "platform/audio_mixer.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  static const bool ready = [] {
    platform::AudioOpenOffline();
    return DS_Init(nullptr, 22050, 8, 1);
  }();
  if (!ready) FuzzFail("the offline mixer does not start");
  const std::string path = FuzzInputFile(data, size, "fuzz.wav");
  WAVEDATA wave;
  if (!LoadWave(path.c_str(), wave)) return 0;
  DSSOUNDDATA sound;
  if (!DS_CreateSound(sound, path.c_str(), 2, -300)) return 0;
  DS_Play(sound, 0);
  std::vector<float> mix(2 * 4096);
  platform::MixerRender(mix.data(), 4096);
  DS_DeleteSound(sound);
  platform::MixerRender(mix.data(), 16);
  return 0;
}
