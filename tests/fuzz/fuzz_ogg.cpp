// An Ogg Vorbis file: opened, then a little over a second decoded into an offline mix, looped.
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/ogg_stream.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  static const bool ready = (platform::AudioOpenOffline(), true);
  (void)ready;
  const std::string path = FuzzInputFile(data, size, "fuzz.ogg");
  platform::cOggVoice voice;
  if (!voice.Load(path)) return 0;
  voice.SetLoop(2);
  voice.Play();
  std::vector<float> mix(2 * 8192);
  for (int i = 0; i < 6; ++i) platform::MixerRender(mix.data(), 8192);
  voice.Stop();
  return 0;
}
