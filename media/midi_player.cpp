#include "media/midi_player.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "platform/audio_mixer.h"
#include "platform/midi_synth.h"

namespace {

constexpr double kDefaultTempo = 500000.0;  // microseconds per quarter note

bool HasMidExtension(const char* file) {
  const char* dot = file ? std::strrchr(file, '.') : nullptr;
  return dot && std::strcmp(dot + 1, "mid") == 0;
}

}  // namespace

// ---- the external library's front ------------------------------------------------------

int LoadGuruGuruSMF4() { return 1; }

void ReleaseGgs4() {}

bool cGgs::Init() {
  if (LoadGuruGuruSMF4() == 1) {
    ErrBoxDebugF("dllがないテスト");
    return false;
  }
  m_nId = 0;
  m_nMasterVolume = 0;
  return true;
}

bool cGgs::Play(int id, const char* file, int loop, int volume) {
  Stop(1);
  (void)id;
  (void)file;
  (void)loop;
  (void)volume;
  return false;
}

void cGgs::Stop(int pause) { (void)pause; }

// ---- the stream player -----------------------------------------------------------------

// Walks the image on the audio thread, sending each event to the synthesiser at its sample.
struct cMidi::sSequencer : platform::cAudioSource {
  mutable std::mutex mutex;
  std::string strFile;
  std::vector<std::uint8_t> image;
  std::shared_ptr<platform::cMidiSynth> synth;
  int nState = kStopped;
  bool bLoop = false;
  std::size_t nPos = kSmfImageEvents;  // next event, its delta already counted
  bool bDeltaRead = false;
  double dTempo = kDefaultTempo;
  double dUntilNext = 0.0;  // samples until the event at nPos
  long long nPassSamples = 0;

  double SamplesPerTick() const {
    const std::uint16_t division = static_cast<std::uint16_t>((image[12] << 8) | image[13]);
    if (division & 0x8000) {
      // Time code: frames per second times ticks per frame; 29 stands for 29.97.
      int fps = -static_cast<std::int8_t>(division >> 8);
      int perFrame = division & 0xFF;
      double rate = (fps == 29 ? 29.97 : fps) * perFrame;
      return rate > 0 ? platform::kMixRate / rate : 0.0;
    }
    return dTempo * 1e-6 * platform::kMixRate / division;
  }

  void Rewind() {
    nPos = kSmfImageEvents;
    bDeltaRead = false;
    dTempo = kDefaultTempo;
    dUntilNext = 0.0;
    nPassSamples = 0;
  }

  // Counts the delta of the event at nPos; false when the image has no more events.
  bool ReadDelta() {
    std::uint32_t delta = 0;
    int used = cSmf::ReadVarLen(image.data() + nPos, image.data() + image.size(), delta);
    if (used == 0) return false;
    nPos += static_cast<std::size_t>(used);
    dUntilNext += delta * SamplesPerTick();
    bDeltaRead = true;
    return true;
  }

  void StopLocked(int pause) {
    if (pause == 0) {
      nState = kStopped;
      Rewind();
    } else if (nState == kPlaying) {
      nState = kPaused;
    } else {
      return;
    }
    // Notes left on would hang while nothing plays.
    if (synth) synth->AllNotesOff();
  }

  // The end of the track: stop, and start again from the first event when looping. A track
  // that takes no time at all is not looped, or it would loop for ever within one block.
  void EndReached() {
    const bool again = bLoop && nPassSamples > 0;
    StopLocked(0);
    if (again) nState = kPlaying;
  }

  // Sends the event at nPos and moves past it.
  void Dispatch() {
    const std::uint8_t* base = image.data();
    const std::uint8_t* end = base + image.size();
    if (nPos >= image.size()) return EndReached();
    const std::uint8_t status = base[nPos];
    std::size_t length = 0;
    if (!(status & 0x80) || !cSmf::EventDataLength(status, base + nPos + 1, end, length))
      return EndReached();
    const std::uint8_t* data = base + nPos + 1;
    bDeltaRead = false;
    nPos += 1 + length;
    if (status == 0xFF) {
      std::uint32_t size = 0;
      int used = cSmf::ReadVarLen(data + 1, end, size);
      const std::uint8_t* body = data + 1 + used;
      if (data[0] == 0x2F) return EndReached();
      if (data[0] == 0x51 && size == 3) dTempo = (body[0] << 16) | (body[1] << 8) | body[2];
    } else if (status == 0xF0 || status == 0xF7) {
      std::uint32_t size = 0;
      int used = cSmf::ReadVarLen(data, end, size);
      const std::uint8_t* body = data + used;
      if (size > 0 && body[size - 1] == 0xF7) --size;
      if (synth && size > 0) synth->Sysex(body, static_cast<int>(size));
    } else if (status < 0xF0 && synth) {
      synth->ShortMessage(status, data[0], length > 1 ? data[1] : 0);
    }
  }

  void Render(float* out, int frames) override {
    std::lock_guard lock(mutex);
    int done = 0;
    while (done < frames) {
      int n = frames - done;
      // Every event due before the next sample is sent; a bounded number per sample, so
      // that no image can hold the audio thread.
      for (int guard = 0; nState == kPlaying && guard < 100000; ++guard) {
        if (!bDeltaRead && !ReadDelta()) {
          EndReached();
          continue;
        }
        if (dUntilNext > 0.5) break;
        Dispatch();
      }
      if (nState == kPlaying)
        n = static_cast<int>(std::clamp(std::ceil(dUntilNext - 0.5), 1.0, static_cast<double>(n)));
      if (synth) synth->Render(out + 2 * done, n);
      if (nState == kPlaying) {
        dUntilNext -= n;
        nPassSamples += n;
      }
      done += n;
    }
  }
};

cMidi::cMidi(const char* file) : cSmf(file), m_pSeq(std::make_shared<sSequencer>()) {
  if (m_Image.empty()) return;
  m_pSeq->strFile = m_strFile;
  m_pSeq->image = m_Image;
  std::string error;
  m_pSeq->synth = platform::SharedMidiSynth(error);
  if (!m_pSeq->synth) {
    ReportErr("Midi %s Open %s", m_strFile.c_str(), error.c_str());
  } else if (!platform::AudioIsOpen()) {
    ReportErr("Midi %s Open %s", m_strFile.c_str(), "no sound output");
  }
  // Without a device the player still keeps its time; it is only not heard.
  platform::SourceAdd(m_pSeq);
}

cMidi::~cMidi() {
  platform::SourceRemove(m_pSeq.get());
  std::lock_guard lock(m_pSeq->mutex);
  // The next music must not inherit this one's notes, programs or controllers.
  if (m_pSeq->synth) m_pSeq->synth->Reset();
}

void cMidi::Play(int loop) {
  if (m_Image.empty()) return;
  std::lock_guard lock(m_pSeq->mutex);
  m_pSeq->bLoop = loop != 0;
  if (m_pSeq->nState == kPlaying) return;
  m_pSeq->nState = kPlaying;
}

void cMidi::Stop(int pause) {
  if (m_Image.empty()) return;
  std::lock_guard lock(m_pSeq->mutex);
  m_pSeq->StopLocked(pause);
}

int cMidi::State() const {
  std::lock_guard lock(m_pSeq->mutex);
  return m_pSeq->nState;
}

std::size_t cMidi::Position() const {
  std::lock_guard lock(m_pSeq->mutex);
  return m_pSeq->nPos;
}

// ---- one player per channel --------------------------------------------------------------

cMidiSet::~cMidiSet() { Clear(); }

void cMidiSet::SetChannels(int n) {
  n = std::max(n, 0);
  m_Players.resize(static_cast<std::size_t>(n));
  m_Values.resize(static_cast<std::size_t>(n), 0);
}

void cMidiSet::Clear() {
  m_Players.clear();
  m_Values.clear();
}

bool cMidiSet::Play(int channel, const char* file, int loop) {
  for (auto& player : m_Players)
    if (player) player->Stop(1);
  for (auto& player : m_Players) player.reset();
  if (!HasMidExtension(file)) return false;
  if (channel < 0 || channel >= static_cast<int>(m_Players.size())) return false;
  auto& player = m_Players[static_cast<std::size_t>(channel)];
  player = std::make_unique<cMidi>(file);
  if (player->Image().empty()) return false;
  player->Play(loop);
  return true;
}

void cMidiSet::Stop(int pause) {
  for (auto& player : m_Players)
    if (player) player->Stop(pause);
}

cMidi* cMidiSet::Player(int channel) const {
  if (channel < 0 || channel >= static_cast<int>(m_Players.size())) return nullptr;
  return m_Players[static_cast<std::size_t>(channel)].get();
}
