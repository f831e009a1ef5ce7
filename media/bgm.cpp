#include "media/bgm.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "platform/audio_mixer.h"
#include "platform/ogg_stream.h"

namespace {

BGMINFO Entry(const char* file) {
  BGMINFO e;
  std::snprintf(e.szFile, sizeof(e.szFile), "%s", file);
  return e;
}

void SetEntry(BGMINFO& e, const std::string& file, int volume) {
  std::snprintf(e.szFile, sizeof(e.szFile), "%s", file.c_str());
  e.nVolume = volume;
}

}  // namespace

BGMINFO g_BgmOggTable[BGM_SLOT_COUNT] = {Entry("bgm\\Title.ogg"), Entry("bgm\\WorldMap.ogg"),
                                         Entry("bgm\\Challenge.ogg"), Entry("bgm\\Option.ogg"),
                                         Entry("bgm\\Stage.ogg")};
BGMINFO g_BgmMidTable[BGM_SLOT_COUNT] = {Entry("bgm\\Title.mid"), Entry("bgm\\WorldMap.mid"),
                                         Entry("bgm\\Challenge.mid"), Entry("bgm\\Option.mid"),
                                         Entry("bgm\\Stage.mid")};

cBgm g_Bgm;

// ---- Ogg Vorbis players ------------------------------------------------------------------

cVox::cVox() = default;

cVox::~cVox() { Release(); }

bool cVox::Init() {
  if (m_bLoaded) return true;
  if (!platform::AudioOpenDevice()) {
    ErrBox("oggの初期化に失敗！");
    return false;
  }
  m_bLoaded = true;
  return true;
}

bool cVox::Create(int n) {
  m_Voices.clear();
  m_nPlaying = -1;
  if (n < 0 || n > 64) {
    OutOfMemory();
    return false;
  }
  for (int i = 0; i < n; ++i) m_Voices.push_back(std::make_unique<platform::cOggVoice>());
  return true;
}

platform::cOggVoice* cVox::Voice(int channel) const {
  if (channel < 0 || channel >= static_cast<int>(m_Voices.size())) return nullptr;
  return m_Voices[static_cast<std::size_t>(channel)].get();
}

bool cVox::Play(int channel, const BGMINFO* entry, int loop, int volume) {
  if (!entry || entry->szFile[0] == '\0') return false;
  Stop();
  platform::cOggVoice* voice = Voice(channel);
  if (!voice) return false;
  // Reset also puts the gain back to full, so that a song at volume 100 after a quieter one
  // is not played at the quieter one's volume.
  voice->Reset();
  if (!voice->Load(entry->szFile)) {
    ReportErr("%s の読み込みに失敗しました！", entry->szFile);
    m_nPlaying = -1;
    return false;
  }
  if (volume < 100) voice->SetVolume(static_cast<float>(volume * 0.01));
  voice->SetLoop(loop ? platform::cOggVoice::kLoopForever : 0);
  voice->Play();
  m_nPlaying = channel;
  return true;
}

void cVox::Stop() {
  if (platform::cOggVoice* voice = Voice(m_nPlaying)) voice->Stop();
  m_nPlaying = -1;
}

void cVox::SetVolume(int channel, int volume) {
  if (platform::cOggVoice* voice = Voice(channel))
    voice->SetVolume(static_cast<float>(volume * 0.01));
}

void cVox::Release() {
  m_Voices.clear();
  m_nPlaying = -1;
  if (m_bLoaded) platform::AudioClose();
  m_bLoaded = false;
}

// ---- the manager -------------------------------------------------------------------------

cBgm::~cBgm() { Release(); }

bool cBgm::Init(int channels, BGMINFO* ogg, BGMINFO* mid, int count) {
  Release();
  m_bInit = true;
  m_bGgs = m_Ggs.Init();
  if (!m_bGgs) m_MidiSet.Clear();
  if (!m_Vox.Init()) {
    // Without the Ogg side the manager stays off as a whole rather than half set up.
    m_bInit = false;
    m_bGgs = false;
    return false;
  }
  SetChannels(channels);
  m_pOggTable = ogg;
  m_pMidTable = mid;
  m_nSlots = ogg && mid ? std::max(count, 0) : 0;
  m_Type.assign(static_cast<std::size_t>(m_nSlots), 0);
  return true;
}

void cBgm::SetChannels(int n) {
  if (!m_bInit) return;
  n = std::max(n, 0);
  if (!m_bGgs) m_MidiSet.SetChannels(n);
  m_Vox.Create(n);
  m_State.assign(static_cast<std::size_t>(n), 0);
}

int cBgm::SetBgm(int slot, const char* file, int volume) {
  if (!m_bInit) return 1;
  if (slot < 0 || slot >= m_nSlots) return 0;
  std::string name = file ? file : "";
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) {
    const std::string ext = name.substr(dot + 1);
    if (ext == "mid" || ext == "MID") {
      SetEntry(m_pMidTable[slot], name.substr(0, dot + 1) + "mid", volume);
      m_Type[slot] = 2;
      return 1;
    }
    if (ext == "ogg" || ext == "OGG") {
      SetEntry(m_pOggTable[slot], name, volume);
      m_Type[slot] = 1;
      return 1;
    }
  } else {
    name.clear();
    volume = 0;
  }
  SetEntry(m_pMidTable[slot], name, volume);
  SetEntry(m_pOggTable[slot], name, volume);
  m_Type[slot] = 0;
  return 0;
}

bool cBgm::PlayOgg(int channel, int slot, int loop) {
  return m_Vox.Play(channel, &m_pOggTable[slot], loop, m_pOggTable[slot].nVolume);
}

bool cBgm::PlayMidi(int channel, int slot, int loop) {
  const BGMINFO& e = m_pMidTable[slot];
  if (m_bGgs) return m_Ggs.Play(channel, e.szFile, loop, e.nVolume);
  return m_MidiSet.Play(channel, e.szFile, loop);
}

void cBgm::StopMidi(int pause) {
  if (m_bGgs) {
    m_Ggs.Stop(pause);
  } else {
    m_MidiSet.Stop(pause);
  }
}

int cBgm::Play(int channel, int slot, int loop, int pause, int force) {
  if (!m_bInit || (slot == m_nCurrent && force == 0)) return 1;
  if (slot < 0 || slot >= m_nSlots || channel < 0 || channel >= static_cast<int>(m_State.size()))
    return 0;
  m_nCurrent = slot;
  const int type = m_Type[slot];
  if (type != 2 && PlayOgg(channel, slot, loop)) {
    m_State[channel] = 1;
    StopMidi(type == 0 ? pause : 0);
    return 1;
  }
  if (type != 1 && PlayMidi(channel, slot, loop)) {
    m_State[channel] = 2;
    m_Vox.Stop();
    return 1;
  }
  m_State[channel] = 0;
  m_nCurrent = -1;
  StopMidi(0);
  m_Vox.Stop();
  return 0;
}

void cBgm::Stop() {
  if (!m_bInit) return;
  StopMidi(0);
  m_Vox.Stop();
}

void cBgm::Release() {
  if (!m_bInit) return;
  m_Vox.Release();
  if (m_bGgs) {
    ReleaseGgs4();
  } else {
    m_MidiSet.Clear();
  }
  m_bGgs = false;
  m_nCurrent = -1;
  m_bInit = false;
}

int cBgm::Type(int slot) const {
  return slot >= 0 && slot < static_cast<int>(m_Type.size()) ? m_Type[slot] : 0;
}

int cBgm::State(int channel) const {
  return channel >= 0 && channel < static_cast<int>(m_State.size()) ? m_State[channel] : 0;
}
