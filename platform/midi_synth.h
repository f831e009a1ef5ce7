#pragma once
// The MIDI output device: a General MIDI software synthesiser rendered inside the mixer.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The General MIDI SoundFont found at the system's usual places; empty when there is none.
std::string FindGmSoundFont();

class cMidiSynth {
 public:
  cMidiSynth();
  ~cMidiSynth();
  cMidiSynth(const cMidiSynth&) = delete;
  cMidiSynth& operator=(const cMidiSynth&) = delete;

  // Loads the SoundFont; false with a reason when there is no synthesiser to be had.
  bool Open(std::string& error);
  bool IsOpen() const;
  // A channel message: status with its one or two data bytes.
  void ShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
  // An exclusive message without its framing F0 and F7 bytes.
  void Sysex(const std::uint8_t* data, int length);
  // Releases every sounding note on the 16 channels.
  void AllNotesOff();
  // Notes off, and the channels' controllers and programs back to their defaults.
  void Reset();
  // Adds frames of interleaved stereo at the mix rate into out.
  void Render(float* out, int frames);

 private:
  struct sImpl;
  std::unique_ptr<sImpl> m_pImpl;
};

// The one synthesiser the program's MIDI players share; loading a SoundFont is slow, so it
// stays loaded once made. Null when none can be opened (the reason goes to error).
std::shared_ptr<cMidiSynth> SharedMidiSynth(std::string& error);
// Starts opening the shared synthesiser on a thread of its own, so that the first music does
// not wait for the sound font; SharedMidiSynth waits for that opening when it is under way.
void PreloadMidiSynth();

}  // namespace platform
