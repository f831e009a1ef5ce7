#pragma once
// The music manager: per music slot the file to play and its volume, kept in one table for
// Ogg Vorbis files and one for MIDI files; the extension decides which player plays a slot.
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/containers.h"
#include "media/midi_player.h"

namespace platform {
class cOggVoice;
}

enum eBgmSlot : int {
  BGM_TITLE = 0,
  BGM_WORLDMAP = 1,
  BGM_CHALLENGE = 2,
  BGM_OPTION = 3,
  BGM_STAGE = 4,
  BGM_SLOT_COUNT = 5
};

// A slot's music: the path first, as the Ogg player reads it; nValue is kept for the MIDI
// table and not used; the volume is 0 to 100.
struct BGMINFO {
  char szFile[260] = {};
  std::int32_t nValue = 0;
  std::int32_t nVolume = 0;
};

extern BGMINFO g_BgmOggTable[BGM_SLOT_COUNT];
extern BGMINFO g_BgmMidTable[BGM_SLOT_COUNT];

// The Ogg Vorbis players, one per channel.
class cVox {
 public:
  cVox();
  ~cVox();
  cVox(const cVox&) = delete;
  cVox& operator=(const cVox&) = delete;

  // Takes the sound output; false (after the error box) when there is none.
  bool Init();
  bool Create(int n);
  bool Play(int channel, const BGMINFO* entry, int loop, int volume);
  void Stop();
  void SetVolume(int channel, int volume);
  void Release();
  int Playing() const { return m_nPlaying; }
  platform::cOggVoice* Voice(int channel) const;

 private:
  std::vector<std::unique_ptr<platform::cOggVoice>> m_Voices;
  bool m_bLoaded = false;
  int m_nPlaying = -1;
};

class cBgm {
 public:
  ~cBgm();

  bool Init(int channels, BGMINFO* ogg, BGMINFO* mid, int count);
  void SetChannels(int n);
  int SetBgm(int slot, const char* file, int volume);
  int Play(int channel, int slot, int loop, int pause, int force);
  void Stop();
  void Release();

  bool IsInit() const { return m_bInit; }
  int Current() const { return m_nCurrent; }
  int Type(int slot) const;
  int State(int channel) const;
  const cVox& Vox() const { return m_Vox; }
  const cMidiSet& MidiSet() const { return m_MidiSet; }

 private:
  bool PlayOgg(int channel, int slot, int loop);
  bool PlayMidi(int channel, int slot, int loop);
  void StopMidi(int pause);

  bool m_bInit = false;
  cVox m_Vox;
  BGMINFO* m_pOggTable = nullptr;
  cGgs m_Ggs;
  cMidiSet m_MidiSet;
  BGMINFO* m_pMidTable = nullptr;
  int m_nSlots = 0;
  int m_nCurrent = -1;
  cVector<int> m_Type;
  cVector<int> m_State;
  bool m_bGgs = false;
};

extern cBgm g_Bgm;
