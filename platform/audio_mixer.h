#pragma once
// The program's one audio output: an SDL audio device fed by our own mixer. Sound effects are
// voices over shared PCM; music players are sources that render into the mix. Every function
// may be called from any thread; sources are rendered on the audio thread, one block at a
// time, under the mixer's lock.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The mix is stereo float at this rate.
constexpr int kMixRate = 44100;

// Something that adds its own sound into the mix (a music stream, a synthesiser).
class cAudioSource {
 public:
  virtual ~cAudioSource() = default;
  // Adds frames of interleaved stereo samples into out; runs on the audio thread.
  virtual void Render(float* out, int frames) = 0;
};

// The output has users: each successful open is matched by one AudioClose, and the output
// closes with its last user. An open while it is open only adds a user.
// Opens the default output device. Where SDL cannot (a machine without any sound device),
// the output opens on SDL's silent driver instead: everything plays, nothing is heard, and
// AudioError() keeps the reason. False only when the silent driver fails as well.
bool AudioOpenDevice();
// True while the output is open on the silent driver because no device could be opened.
bool AudioRunsSilent();
// Tests: the driver taken as the silent one (null: SDL's "dummy").
void SetSilentAudioDriverForTest(const char* driver);
// Opens the mixer without a device: the caller pulls the mix with MixerRender (used where
// the output is measured rather than heard).
void AudioOpenOffline();
// Ends one user; the last one closes the device and forgets every voice and source.
void AudioClose();
bool AudioIsOpen();
std::string AudioError();

// Gain of a volume in hundredths of a decibel: 10^(v/2000), -10000 or below silent.
float GainFromHundredthsDb(int volume);

struct sPcmFormat {
  int nRate = 0;
  int nBits = 0;      // 8 (unsigned) or 16 (signed little-endian)
  int nChannels = 0;  // 1 or 2
  int nBlockAlign = 0;
};

// A voice holding a copy of the PCM data; 0 when the mixer is closed, the format is not one
// we can play or the sound is longer than five minutes. Voice ids are never reused.
int VoiceCreate(const sPcmFormat& format, const std::uint8_t* data, std::size_t bytes);
// A new voice sharing the PCM of voice, with its own position and volume; 0 on failure.
int VoiceDuplicate(int voice);
void VoiceDestroy(int voice);
// Stops the voice, rewinds it and starts it again.
void VoicePlay(int voice, bool loop);
void VoiceStop(int voice);
bool VoiceIsPlaying(int voice);
void VoiceSetVolume(int voice, int hundredthsDb);
int VoiceGetVolume(int voice);

void SourceAdd(const std::shared_ptr<cAudioSource>& source);
// After this returns the source is not being rendered and never will be again.
void SourceRemove(const cAudioSource* source);

// Fills out with frames of the mix (interleaved stereo, clipped to -1..1). This is what the
// device pulls; offline it is the way to hear the output.
void MixerRender(float* out, int frames);

}  // namespace platform
