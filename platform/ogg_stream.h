#pragma once
// An Ogg Vorbis music voice streamed from its file into the mixer: the player object the
// music manager drives (load, play, stop, loop count, volume).
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
  // Opens a program path; false (nothing loaded) when the file is missing or not Vorbis.
  bool Load(std::string_view programPath);
  // Plays from the start of the loaded file.
  void Play();
  void Stop();
  // Times the file starts again after its end: 0 plays it once.
  void SetLoop(int count);
  // Linear gain, 0 to 1.
  void SetVolume(float gain);
  float Volume() const;
  bool IsPlaying() const;
  // The loaded file's sample rate and channels (0 when nothing is loaded).
  int Rate() const;
  int Channels() const;

 private:
  struct sStream;
  std::shared_ptr<sStream> m_pStream;
};

}  // namespace platform
