// The sample's sounds: short 8-bit PCM wave files made of square waves with a falling
// envelope, one Standard MIDI File and one Ogg Vorbis piece. Everything is computed from
// integers, or from the same doubles in the same order, so every run gives the same bytes.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/host_path.h"
#include "platform/ogg_writer.h"
#include "tools/sample_parts.h"

namespace sample {

// In the order of the system sounds: cursor, decide, cancel, refused, map menu, spare,
// ranking, hit, hero defeated, character defeated, jump block, message, spares, time warning,
// spares.
const char* const kSystemSoundFiles[17] = {
    "wave\\Cursor.wav",   "wave\\Decide.wav",  "wave\\Cancel.wav",   "wave\\Refuse.wav",
    "wave\\MapMenu.wav",  "wave\\System5.wav", "wave\\Ranking.wav",  "wave\\Hit.wav",
    "wave\\HeroDown.wav", "wave\\Defeat.wav",  "wave\\Jump.wav",     "wave\\Message.wav",
    "wave\\System12.wav", "wave\\Warning.wav", "wave\\System14.wav", "wave\\System15.wav",
    "wave\\System16.wav",
};
const char* const kDatabaseSoundFiles[kDatabaseSoundCount] = {
    "wave\\Coin.wav", "wave\\Stomp.wav", "wave\\Goal.wav", "wave\\HeroJump.wav", "wave\\Shot.wav"};
const char* const kMidiFile = "bgm\\Title.mid";
const char* const kOggFile = "bgm\\Stage.ogg";

namespace {

constexpr int kWaveRate = 22050;

struct sTone {
  int fromHz, toHz;  // the pitch slides from one to the other
  int milliseconds;
};

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A RIFF wave file, 8-bit unsigned mono: notes played one after the other.
std::vector<std::uint8_t> Wave(const std::vector<sTone>& notes) {
  std::vector<std::uint8_t> samples;
  for (const sTone& t : notes) {
    const int count = kWaveRate * t.milliseconds / 1000;
    int phase = 0;  // in 1/65536 of a period
    for (int i = 0; i < count; ++i) {
      const int hz = t.fromHz + (t.toHz - t.fromHz) * i / count;
      phase = (phase + hz * 65536 / kWaveRate) & 0xFFFF;
      const int amplitude = 48 * (count - i) / count;
      samples.push_back(static_cast<std::uint8_t>(128 + (phase < 32768 ? amplitude : -amplitude)));
    }
  }
  std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
  PutLe(out, static_cast<std::uint32_t>(36 + samples.size()), 4);
  for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<std::uint8_t>(c));
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, 1, 2);  // mono
  PutLe(out, kWaveRate, 4);
  PutLe(out, kWaveRate, 4);  // bytes per second
  PutLe(out, 1, 2);          // block align
  PutLe(out, 8, 2);          // bits per sample
  for (char c : std::string("data")) out.push_back(static_cast<std::uint8_t>(c));
  PutLe(out, static_cast<std::uint32_t>(samples.size()), 4);
  out.insert(out.end(), samples.begin(), samples.end());
  if (samples.size() % 2) out.push_back(0);  // chunks are padded to even lengths
  return out;
}

// A format-0 Standard MIDI File: a short tune on a square lead over a bass, looping cleanly.
std::vector<std::uint8_t> Midi() {
  std::vector<std::uint8_t> track;
  auto event = [&](std::uint32_t delta, std::vector<std::uint8_t> bytes) {
    // Deltas stay below 2^14 here: two bytes of variable length at most.
    if (delta >= 128) track.push_back(static_cast<std::uint8_t>(0x80 | (delta >> 7)));
    track.push_back(static_cast<std::uint8_t>(delta & 0x7F));
    track.insert(track.end(), bytes.begin(), bytes.end());
  };
  event(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});  // 120 beats per minute
  event(0, {0xC0, 80});                            // lead: square
  event(0, {0xC1, 33});                            // bass: finger bass
  const int melody[16] = {72, 76, 79, 76, 74, 77, 81, 77, 72, 76, 79, 84, 83, 79, 74, 72};
  const int bass[4] = {48, 53, 48, 43};
  constexpr int kEighth = 48;  // ticks, at 96 per quarter note
  for (int i = 0; i < 16; ++i) {
    const auto note = static_cast<std::uint8_t>(melody[i]);
    if (i % 4 == 0) event(0, {0x91, static_cast<std::uint8_t>(bass[i / 4]), 80});
    event(0, {0x90, note, 96});
    event(kEighth, {0x80, note, 0});
    if (i % 4 == 3) event(0, {0x81, static_cast<std::uint8_t>(bass[i / 4]), 0});
  }
  event(0, {0xFF, 0x2F, 0x00});
  std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0,  0,   0,   6,   0,
                                   0,   0,   1,   0,   96, 'M', 'T', 'r', 'k'};
  const auto length = static_cast<std::uint32_t>(track.size());
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
  out.insert(out.end(), track.begin(), track.end());
  return out;
}

// Four seconds of a soft arpeggio for the stages, mono at 22050 Hz.
std::vector<float> OggSamples() {
  const double kPi = 3.14159265358979323846;
  const double notes[8] = {261.63, 329.63, 392.0, 523.25, 392.0, 329.63, 293.66, 349.23};
  const int perNote = kWaveRate / 2;
  std::vector<float> samples;
  samples.reserve(static_cast<std::size_t>(perNote) * 8);
  for (double hz : notes)
    for (int i = 0; i < perNote; ++i) {
      const double t = static_cast<double>(i) / kWaveRate;
      const double envelope = 1.0 - static_cast<double>(i) / perNote;
      samples.push_back(static_cast<float>(0.3 * envelope * std::sin(2 * kPi * hz * t)));
    }
  return samples;
}

}  // namespace

void WriteSounds() {
  // Rising for going on, falling for going back, low and long for the bad news.
  const std::vector<sTone> system[17] = {
      {{1200, 1200, 30}}, {{880, 880, 40}, {1320, 1320, 60}},
      {{660, 440, 80}},   {{200, 200, 60}, {150, 150, 60}},
      {{660, 990, 90}},   {{800, 800, 50}},
      {{990, 1320, 50}},  {{300, 100, 90}},
      {{440, 110, 500}},  {{500, 150, 200}},
      {{300, 900, 120}},  {{1000, 1000, 40}},
      {{700, 700, 50}},   {{1500, 1500, 80}, {1500, 1500, 80}},
      {{600, 600, 50}},   {{650, 650, 50}},
      {{750, 750, 50}},
  };
  for (int i = 0; i < 17; ++i) WriteFileBytes(kSystemSoundFiles[i], Wave(system[i]));
  const std::vector<sTone> database[kDatabaseSoundCount] = {
      {{1320, 1320, 40}, {1980, 1980, 120}},
      {{400, 200, 80}},
      {{523, 523, 120}, {659, 659, 120}, {784, 784, 120}, {1046, 1046, 300}},
      {{330, 660, 90}},
      {{1600, 800, 50}},
  };
  for (int i = 0; i < kDatabaseSoundCount; ++i)
    WriteFileBytes(kDatabaseSoundFiles[i], Wave(database[i]));
  WriteFileBytes(kMidiFile, Midi());
  if (!platform::WriteOggVorbis(platform::HostPath(kOggFile), OggSamples(), 1, kWaveRate))
    FailToWrite(kOggFile);
}

}  // namespace sample
