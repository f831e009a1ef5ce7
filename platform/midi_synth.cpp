#include "platform/midi_synth.h"

#include <fluidsynth.h>
#include <sys/stat.h>

#include <future>
#include <mutex>
#include <vector>

#include "platform/audio_mixer.h"

namespace platform {
namespace {

bool IsFile(const char* path) {
  struct stat st;
  return ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

void QuietLog(int, const char*, void*) {}

}  // namespace

std::string FindGmSoundFont() {
  static const char* const kCandidates[] = {
      "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
      "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/soundfonts/default.sf2",
      "/usr/share/soundfonts/FluidR3_GM.sf2",
  };
  for (const char* path : kCandidates)
    if (IsFile(path)) return path;
  return {};
}

struct cMidiSynth::sImpl {
  std::mutex mutex;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  std::vector<float> left, right;
};

cMidiSynth::cMidiSynth() : m_pImpl(std::make_unique<sImpl>()) {}

cMidiSynth::~cMidiSynth() {
  if (m_pImpl->synth) delete_fluid_synth(m_pImpl->synth);
  if (m_pImpl->settings) delete_fluid_settings(m_pImpl->settings);
}

bool cMidiSynth::Open(std::string& error) {
  std::lock_guard lock(m_pImpl->mutex);
  if (m_pImpl->synth) return true;
  std::string font = FindGmSoundFont();
  if (font.empty()) {
    error = "no General MIDI SoundFont found in /usr/share/sounds/sf2";
    return false;
  }
  // The library's warnings would go to the terminal; our own log says what matters.
  fluid_set_log_function(FLUID_WARN, QuietLog, nullptr);
  fluid_set_log_function(FLUID_INFO, QuietLog, nullptr);
  fluid_set_log_function(FLUID_DBG, QuietLog, nullptr);
  fluid_settings_t* settings = new_fluid_settings();
  if (!settings) {
    error = "the synthesiser's settings could not be made";
    return false;
  }
  fluid_settings_setnum(settings, "synth.sample-rate", kMixRate);
  fluid_settings_setint(settings, "synth.threadsafe-api", 0);
  // One rendering thread: the program renders into its own mixer, and worker threads would
  // only wait (or spin) between blocks.
  fluid_settings_setint(settings, "synth.cpu-cores", 1);
  fluid_synth_t* synth = new_fluid_synth(settings);
  if (!synth || fluid_synth_sfload(synth, font.c_str(), 1) == FLUID_FAILED) {
    if (synth) delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    error = "the SoundFont " + font + " could not be loaded";
    return false;
  }
  m_pImpl->settings = settings;
  m_pImpl->synth = synth;
  return true;
}

bool cMidiSynth::IsOpen() const {
  std::lock_guard lock(m_pImpl->mutex);
  return m_pImpl->synth != nullptr;
}

void cMidiSynth::ShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  std::lock_guard lock(m_pImpl->mutex);
  fluid_synth_t* s = m_pImpl->synth;
  if (!s) return;
  const int ch = status & 0x0F;
  data1 &= 0x7F;
  data2 &= 0x7F;
  switch (status & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(s, ch, data1);
      break;
    case 0x90:
      fluid_synth_noteon(s, ch, data1, data2);
      break;
    case 0xA0:
      fluid_synth_key_pressure(s, ch, data1, data2);
      break;
    case 0xB0:
      fluid_synth_cc(s, ch, data1, data2);
      break;
    case 0xC0:
      fluid_synth_program_change(s, ch, data1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(s, ch, data1);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(s, ch, data1 | (data2 << 7));
      break;
    default:
      break;  // system messages have no meaning for the synthesiser
  }
}

void cMidiSynth::Sysex(const std::uint8_t* data, int length) {
  std::lock_guard lock(m_pImpl->mutex);
  if (!m_pImpl->synth || !data || length <= 0) return;
  fluid_synth_sysex(m_pImpl->synth, reinterpret_cast<const char*>(data), length, nullptr, nullptr,
                    nullptr, 0);
}

void cMidiSynth::AllNotesOff() {
  std::lock_guard lock(m_pImpl->mutex);
  if (!m_pImpl->synth) return;
  for (int ch = 0; ch < 16; ++ch) fluid_synth_all_notes_off(m_pImpl->synth, ch);
}

void cMidiSynth::Reset() {
  std::lock_guard lock(m_pImpl->mutex);
  if (!m_pImpl->synth) return;
  fluid_synth_system_reset(m_pImpl->synth);
}

void cMidiSynth::Render(float* out, int frames) {
  std::lock_guard lock(m_pImpl->mutex);
  if (!m_pImpl->synth || frames <= 0) return;
  auto& l = m_pImpl->left;
  auto& r = m_pImpl->right;
  l.assign(frames, 0.0f);
  r.assign(frames, 0.0f);
  fluid_synth_write_float(m_pImpl->synth, frames, l.data(), 0, 1, r.data(), 0, 1);
  for (int i = 0; i < frames; ++i) {
    out[2 * i] += l[i];
    out[2 * i + 1] += r[i];
  }
}

namespace {
std::mutex g_sharedMutex;
std::shared_ptr<cMidiSynth> g_shared;
}  // namespace

std::shared_ptr<cMidiSynth> SharedMidiSynth(std::string& error) {
  std::lock_guard lock(g_sharedMutex);
  auto& shared = g_shared;
  if (!shared) {
    auto synth = std::make_shared<cMidiSynth>();
    if (!synth->Open(error)) return nullptr;
    shared = synth;
  }
  return shared;
}

void PreloadMidiSynth() {
  // The future's destructor at the end of the program waits for an opening still under way.
  static std::future<void> preload;
  if (preload.valid()) return;
  preload = std::async(std::launch::async, [] {
    std::string error;
    SharedMidiSynth(error);  // a failure is reported by the music that asks next
  });
}

}  // namespace platform
