#include "platform/audio_mixer.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <mutex>
#include <new>
#include <vector>

namespace platform {
namespace {

using Pcm = std::vector<float>;  // interleaved stereo at kMixRate

// A sound effect longer than this is not one; the limit keeps a hostile file (a long wave at
// a tiny rate) from growing into gigabytes once converted.
constexpr std::size_t kMaxVoiceFrames = std::size_t{kMixRate} * 300;

struct sVoice {
  std::shared_ptr<const Pcm> pcm;
  std::size_t nFrame = 0;
  bool bPlaying = false;
  bool bLoop = false;
  int nVolume = 0;
  float fGain = 1.0f;
};

struct sMixer {
  std::mutex mutex;
  bool bOpen = false;
  int nUsers = 0;
  SDL_AudioDeviceID device = 0;
  bool bSilent = false;  // open on the silent driver in place of a device
  std::string strError;
  int nNextVoice = 1;
  std::map<int, sVoice> voices;
  std::vector<std::shared_ptr<cAudioSource>> sources;
};

// Never destroyed: the audio thread and objects with static lifetime may still reach it
// while the program's statics are torn down.
sMixer& Mixer() {
  static sMixer* mixer = new sMixer;
  return *mixer;
}

// Unlocked mix of one block; the caller holds the mixer's lock.
void MixLocked(sMixer& m, float* out, int frames) {
  std::fill(out, out + 2 * static_cast<std::size_t>(frames), 0.0f);
  for (auto& [id, v] : m.voices) {
    if (!v.bPlaying || v.fGain <= 0.0f) continue;
    const Pcm& pcm = *v.pcm;
    const std::size_t total = pcm.size() / 2;
    int done = 0;
    while (done < frames && v.bPlaying) {
      if (v.nFrame >= total) {
        if (v.bLoop && total > 0) {
          v.nFrame = 0;
        } else {
          v.bPlaying = false;
          break;
        }
      }
      std::size_t n = std::min<std::size_t>(total - v.nFrame, frames - done);
      const float* src = pcm.data() + 2 * v.nFrame;
      float* dst = out + 2 * done;
      for (std::size_t i = 0; i < 2 * n; ++i) dst[i] += src[i] * v.fGain;
      v.nFrame += n;
      done += static_cast<int>(n);
    }
  }
  for (auto& source : m.sources) source->Render(out, frames);
  for (int i = 0; i < 2 * frames; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

void SDLCALL DeviceCallback(void*, Uint8* stream, int len) {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  MixLocked(m, reinterpret_cast<float*>(stream), len / static_cast<int>(2 * sizeof(float)));
}

float SampleAt(const sPcmFormat& f, const std::uint8_t* frame, int channel) {
  if (f.nBits == 8) return (static_cast<int>(frame[channel]) - 128) / 128.0f;
  const std::uint8_t* p = frame + 2 * channel;
  return static_cast<std::int16_t>(p[0] | (p[1] << 8)) / 32768.0f;
}

// The file's PCM as stereo float at the mix rate, by linear interpolation; null when it
// would be longer than a sound effect can be.
//
// Done here rather than through SDL's audio stream: measured on SDL 2.26, the stream took
// about thirty times as long for a two-second effect at 22,050 Hz (start-up converts every
// effect of a game), ended every effect about 1,000 frames short, and rang at both ends (a
// constant level ended on a sample of the opposite sign, a click).
std::shared_ptr<Pcm> ConvertPcm(const sPcmFormat& f, const std::uint8_t* data, std::size_t bytes) {
  const std::size_t frameBytes = static_cast<std::size_t>(f.nBits / 8) * f.nChannels;
  const std::size_t inFrames = bytes / frameBytes;
  auto pcm = std::make_shared<Pcm>();
  if (inFrames == 0) return pcm;
  const double step = static_cast<double>(f.nRate) / kMixRate;
  const double outLength = std::ceil(static_cast<double>(inFrames) / step);
  if (outLength > static_cast<double>(kMaxVoiceFrames)) return nullptr;
  const std::size_t outFrames = static_cast<std::size_t>(outLength);
  pcm->resize(2 * outFrames);
  for (std::size_t i = 0; i < outFrames; ++i) {
    double pos = i * step;
    std::size_t a = std::min(static_cast<std::size_t>(pos), inFrames - 1);
    std::size_t b = std::min(a + 1, inFrames - 1);
    float t = static_cast<float>(pos - static_cast<double>(a));
    for (int c = 0; c < 2; ++c) {
      int ch = std::min(c, f.nChannels - 1);
      float sa = SampleAt(f, data + a * frameBytes, ch);
      float sb = SampleAt(f, data + b * frameBytes, ch);
      (*pcm)[2 * i + c] = sa + (sb - sa) * t;
    }
  }
  return pcm;
}

void ResetLocked(sMixer& m) {
  m.voices.clear();
  m.sources.clear();
  m.bOpen = false;
  m.bSilent = false;
}

// The output is shared by the sound effects and the music: it opens with its first user and
// closes with its last.
bool AcquireIfOpen(sMixer& m) {
  std::lock_guard lock(m.mutex);
  if (!m.bOpen) return false;
  ++m.nUsers;
  return true;
}

std::atomic<const char*> g_silentDriver{"dummy"};

// The sound library's own error printing, which a machine without a sound card fills with
// lines while SDL looks for a device. Its handler is set through the library SDL loads
// itself (when it is there); the reason still reaches AudioError().
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}
void QuietAlsa(bool quiet) {
  static void* library = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
  if (!library) return;
  using SetHandler = int (*)(AlsaErrorHandler);
  auto set = reinterpret_cast<SetHandler>(dlsym(library, "snd_lib_error_set_handler"));
  if (set) set(quiet ? &QuietAlsaError : nullptr);
}

// Opens the output on SDL's audio driver of that name, or the one SDL chooses (null).
bool OpenDeviceOn(const char* driver) {
  sMixer& m = Mixer();
  if (AcquireIfOpen(m)) return true;
  int init;
  if (driver) {
    // Over the environment's choice for this one start, then back to it.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    init = SDL_InitSubSystem(SDL_INIT_AUDIO);
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  } else {
    init = SDL_InitSubSystem(SDL_INIT_AUDIO);
  }
  if (init != 0) {
    std::lock_guard lock(m.mutex);
    m.strError = SDL_GetError();
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = kMixRate;
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = 1024;
  want.callback = DeviceCallback;
  SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
  if (device == 0) {
    std::string error = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    std::lock_guard lock(m.mutex);
    m.strError = error;
    return false;
  }
  {
    std::lock_guard lock(m.mutex);
    m.bOpen = true;
    m.nUsers = 1;
    m.device = device;
    m.strError.clear();
  }
  SDL_PauseAudioDevice(device, 0);
  return true;
}

}  // namespace

bool AudioOpenDevice() {
  QuietAlsa(true);
  const bool opened = OpenDeviceOn(nullptr);
  QuietAlsa(false);
  if (opened) return true;
  const std::string reason = AudioError();
  if (!OpenDeviceOn(g_silentDriver.load())) return false;
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  m.bSilent = true;
  m.strError = reason;
  return true;
}

bool AudioRunsSilent() {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  return m.bOpen && m.bSilent;
}

void SetSilentAudioDriverForTest(const char* driver) {
  g_silentDriver.store(driver ? driver : "dummy");
}

void AudioOpenOffline() {
  sMixer& m = Mixer();
  if (AcquireIfOpen(m)) return;
  std::lock_guard lock(m.mutex);
  m.bOpen = true;
  m.nUsers = 1;
  m.strError.clear();
}

void AudioClose() {
  sMixer& m = Mixer();
  SDL_AudioDeviceID device;
  {
    std::lock_guard lock(m.mutex);
    if (m.nUsers == 0 || --m.nUsers > 0) return;
    device = m.device;
    m.device = 0;
  }
  // Closing waits for the callback to finish, so the lock must not be held here.
  if (device != 0) {
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  std::vector<std::shared_ptr<cAudioSource>> sources;
  {
    std::lock_guard lock(m.mutex);
    sources.swap(m.sources);
    ResetLocked(m);
  }
  // Sources die outside the lock: their destructors may remove themselves.
  sources.clear();
}

bool AudioIsOpen() {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  return m.bOpen;
}

std::string AudioError() {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  return m.strError;
}

float GainFromHundredthsDb(int volume) {
  if (volume <= -10000) return 0.0f;
  if (volume >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

int VoiceCreate(const sPcmFormat& f, const std::uint8_t* data, std::size_t bytes) {
  if ((f.nBits != 8 && f.nBits != 16) || (f.nChannels != 1 && f.nChannels != 2) || f.nRate < 100 ||
      f.nRate > 384000 || (data == nullptr && bytes > 0))
    return 0;
  if (!AudioIsOpen()) return 0;
  std::shared_ptr<const Pcm> pcm;
  try {
    pcm = ConvertPcm(f, data, bytes);
  } catch (const std::bad_alloc&) {
    pcm = nullptr;
  }
  if (!pcm) return 0;
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  if (!m.bOpen) return 0;
  int id = m.nNextVoice++;
  m.voices[id].pcm = std::move(pcm);
  return id;
}

int VoiceDuplicate(int voice) {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  auto it = m.voices.find(voice);
  if (it == m.voices.end()) return 0;
  int id = m.nNextVoice++;
  m.voices[id].pcm = it->second.pcm;
  return id;
}

void VoiceDestroy(int voice) {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  m.voices.erase(voice);
}

void VoicePlay(int voice, bool loop) {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  auto it = m.voices.find(voice);
  if (it == m.voices.end()) return;
  it->second.nFrame = 0;
  it->second.bLoop = loop;
  it->second.bPlaying = true;
}

void VoiceStop(int voice) {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  auto it = m.voices.find(voice);
  if (it != m.voices.end()) it->second.bPlaying = false;
}

bool VoiceIsPlaying(int voice) {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  auto it = m.voices.find(voice);
  return it != m.voices.end() && it->second.bPlaying;
}

void VoiceSetVolume(int voice, int hundredthsDb) {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  auto it = m.voices.find(voice);
  if (it == m.voices.end()) return;
  it->second.nVolume = std::clamp(hundredthsDb, -10000, 0);
  it->second.fGain = GainFromHundredthsDb(it->second.nVolume);
}

int VoiceGetVolume(int voice) {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  auto it = m.voices.find(voice);
  return it == m.voices.end() ? 0 : it->second.nVolume;
}

void SourceAdd(const std::shared_ptr<cAudioSource>& source) {
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  if (!m.bOpen || !source) return;
  if (std::find(m.sources.begin(), m.sources.end(), source) == m.sources.end())
    m.sources.push_back(source);
}

void SourceRemove(const cAudioSource* source) {
  std::shared_ptr<cAudioSource> keep;
  sMixer& m = Mixer();
  {
    std::lock_guard lock(m.mutex);
    auto it = std::find_if(m.sources.begin(), m.sources.end(),
                           [&](const auto& s) { return s.get() == source; });
    if (it == m.sources.end()) return;
    keep = std::move(*it);
    m.sources.erase(it);
  }
}

void MixerRender(float* out, int frames) {
  if (frames <= 0) return;
  sMixer& m = Mixer();
  std::lock_guard lock(m.mutex);
  MixLocked(m, out, frames);
}

}  // namespace platform
