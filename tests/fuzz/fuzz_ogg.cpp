// An Ogg Vorbis file: opened, then a little over a second decoded into an offline mix, looped.
#include <cstring>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/ogg_stream.h"
#include "tests/fuzz/fuzz_target.h"

namespace {
// Ogg pages carry a checksum that nearly every mutation breaks, so that the decoder would
// refuse them before reading anything: each whole page gets its checksum set right.
std::uint32_t PageChecksum(const std::uint8_t* page, std::size_t size) {
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= static_cast<std::uint32_t>(i >= 22 && i < 26 ? 0 : page[i]) << 24;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000u ? crc << 1 ^ 0x04C11DB7u : crc << 1;
  }
  return crc;
}

void FixPageChecksums(std::vector<std::uint8_t>& bytes) {
  std::size_t at = 0;
  while (at + 27 <= bytes.size() && std::memcmp(&bytes[at], "OggS", 4) == 0) {
    const std::size_t segments = bytes[at + 26];
    if (at + 27 + segments > bytes.size()) return;
    std::size_t size = 27 + segments;
    for (std::size_t i = 0; i < segments; ++i) size += bytes[at + 27 + i];
    if (at + size > bytes.size()) return;
    const std::uint32_t crc = PageChecksum(&bytes[at], size);
    std::memcpy(&bytes[at + 22], &crc, 4);
    at += size;
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  static const bool ready = (platform::AudioOpenOffline(), true);
  (void)ready;
  std::vector<std::uint8_t> bytes(data, data + size);
  FixPageChecksums(bytes);
  const std::string path = FuzzInputFile(bytes.data(), bytes.size(), "fuzz.ogg");
  platform::cOggVoice voice;
  if (!voice.Load(path)) return 0;
  voice.SetLoop(2);
  voice.Play();
  std::vector<float> mix(2 * 8192);
  for (int i = 0; i < 6; ++i) platform::MixerRender(mix.data(), 8192);
  voice.Stop();
  return 0;
}
