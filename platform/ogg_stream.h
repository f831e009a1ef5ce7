#pragma once
// An Ogg Vorbis music voice streamed from memory into the mixer: the player object the music
// manager drives (load, play, stop, loop count, volume). Each stream is first decoded by a trial
// in a child process (platform/vorbis_trial.h), and never decoded here beyond what the trial
// survived: a stream that kills the decoder costs its music, never the game.
#include <memory>
#include <string_view>

namespace platform {

class cOggVoice {
 public:
  // Loop count meaning "for ever".
  static constexpr int kLoopForever = 0x7FFFFFFF;

  cOggVoice();
  ~cOggVoice();
  cOggVoice(const cOggVoice&) = delete;
  cOggVoice& operator=(const cOggVoice&) = delete;

  // Stops and closes the file, and puts the volume back to full.
  void Reset();
  // Opens a program path; false (nothing loaded) when the file is missing or not Vorbis, or
  // when the decoder does not survive its first packets, or did not survive it before. Waits
  // for the trial's first packets, a few milliseconds.
  bool Load(std::string_view programPath);
  // Plays from the start of the loaded file.
  void Play();
  void Stop();
  // Times the file starts again after its end: 0 plays it once.
  void SetLoop(int count);
  // Linear gain, 0 to 1.
  void SetVolume(float gain);
  float Volume() const;
  // False also once the trial has died further on in the stream: the voice is then closed,
  // as if nothing had been loaded, and loading the same stream again is refused.
  bool IsPlaying() const;
  // The loaded file's sample rate and channels (0 when nothing is loaded).
  int Rate() const;
  int Channels() const;

 private:
  struct sStream;
  std::shared_ptr<sStream> m_pStream;
};

}  // namespace platform
