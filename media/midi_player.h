#pragma once
// MIDI music: the program's own stream player over a merged SMF image, its per-channel set,
// and the front of the external MIDI library, which is never present here.
#include <cstdint>
#include <memory>
#include <vector>

#include "media/midi_file.h"

// The external MIDI library's front. The library cannot be had, so Init always fails and the
// music manager uses the program's own players.
class cGgs {
 public:
  bool Init();
  bool Play(int id, const char* file, int loop, int volume);
  void Stop(int pause);

 private:
  int m_nId = 0;
  int m_nMasterVolume = 0;
};
// 0 when the library is loaded, 1 when it is missing (always, here).
int LoadGuruGuruSMF4();
void ReleaseGgs4();

// One player: the file's merged image streamed to the synthesiser inside the mixer. Plays,
// stops, pauses and the end-of-track handling are serialised by the player's own lock, so the
// main thread and the audio thread can both drive it.
class cMidi : public cSmf {
 public:
  enum : int { kStopped = 0, kPlaying = 1, kPaused = 2 };

  explicit cMidi(const char* file);
  ~cMidi() override;
  cMidi(const cMidi&) = delete;
  cMidi& operator=(const cMidi&) = delete;

  void Play(int loop);
  void Stop(int pause);
  int State() const;
  // Offset in the image of the next event to play (kSmfImageEvents at the start).
  std::size_t Position() const;

 private:
  struct sSequencer;
  std::shared_ptr<sSequencer> m_pSeq;
};

class cMidiSet {
 public:
  ~cMidiSet();
  // Sizes the per-channel lists; new channels have no player.
  void SetChannels(int n);
  bool Play(int channel, const char* file, int loop);
  void Stop(int pause);
  // Deletes every player and empties the lists.
  void Clear();
  cMidi* Player(int channel) const;

 private:
  std::vector<std::unique_ptr<cMidi>> m_Players;
  std::vector<std::int32_t> m_Values;
};
