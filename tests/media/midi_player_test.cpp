#include "media/midi_player.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "foundation/report.h"
#include "platform/audio_mixer.h"
#include "platform/midi_synth.h"
#include "tests/media/abc_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kRate = platform::kMixRate;

// One-track file at 480 ticks a quarter: tempo, piano, one short note at tick 480, end at
// tick 1440 (0.75 s at the default tempo).
Bytes NoteFile(std::uint32_t tempo) {
  Bytes events = {0x00,
                  0xFF,
                  0x51,
                  0x03,
                  static_cast<std::uint8_t>(tempo >> 16),
                  static_cast<std::uint8_t>(tempo >> 8),
                  static_cast<std::uint8_t>(tempo),
                  0x00,
                  0xC0,
                  0x00,
                  0x83,
                  0x60,
                  0x90,
                  0x3C,
                  0x70,  // +480 note on
                  0x78,
                  0x80,
                  0x3C,
                  0x00,  // +120 note off
                  0x86,
                  0x38,
                  0xFF,
                  0x2F,
                  0x00};  // +824: end at 1424
  Bytes b = {
      'M', 'T',  'h',  'd', 0,   0,   0,   6, 0, 0, 0,
      1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(events.size())};
  b.insert(b.end(), events.begin(), events.end());
  return b;
}

class MidiPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReportOpen("Report_Game.txt");
    ASSERT_FALSE(platform::FindGmSoundFont().empty())
        << "a General MIDI SoundFont is needed (Debian package timgm6mb-soundfont)";
    platform::AudioOpenOffline();
  }
  void TearDown() override { platform::AudioClose(); }

  static std::vector<float> Mix(int frames) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    platform::MixerRender(out.data(), frames);
    return out;
  }
  // The first frame from which the left channel is audible, or -1.
  static int Onset(const std::vector<float>& mix, int from = 0) {
    for (std::size_t i = 2 * static_cast<std::size_t>(from); i < mix.size(); i += 2)
      if (std::fabs(mix[i]) > 1e-3f) return static_cast<int>(i / 2);
    return -1;
  }
  static double Peak(const std::vector<float>& mix, int from, int to) {
    double peak = 0;
    for (int i = from; i < to; ++i)
      peak = std::max(peak, static_cast<double>(std::fabs(mix[2 * i])));
    return peak;
  }

  cTempFolder m_folder;
};

TEST_F(MidiPlayerTest, NotesSoundAtTheirTimeUnderTheFileTempo) {
  struct {
    std::uint32_t tempo;
    int onset;  // frames
  } cases[] = {{500000, kRate / 2}, {250000, kRate / 4}};
  for (auto c : cases) {
    WriteBytes("n.mid", NoteFile(c.tempo));
    cMidi midi("n.mid");
    ASSERT_FALSE(midi.Image().empty());
    midi.Play(0);
    auto mix = Mix(kRate);
    const int onset = Onset(mix);
    EXPECT_GE(onset, c.onset - 2) << c.tempo;
    EXPECT_LE(onset, c.onset + kRate / 100) << c.tempo;
    EXPECT_GT(Peak(mix, onset, onset + kRate / 10), 0.02) << c.tempo;
  }
}

TEST_F(MidiPlayerTest, AFileOfAnExternalWriterIsHeard) {
  ASSERT_FALSE(Abc2Midi(kTwoVoiceAbc).empty());
  cMidi midi("tune.mid");
  ASSERT_FALSE(midi.Image().empty());
  midi.Play(0);
  auto mix = Mix(kRate);
  EXPECT_LT(Onset(mix), kRate / 50);
  EXPECT_GT(Peak(mix, 0, kRate / 2), 0.01);
  EXPECT_GT(Peak(mix, kRate / 2, kRate), 0.01);  // the second pair of notes
  Mix(kRate);
  EXPECT_EQ(midi.State(), cMidi::kStopped);  // two beats and a little, then the end
}

TEST_F(MidiPlayerTest, EndLoopsOrStopsAndRewinds) {
  WriteBytes("n.mid", NoteFile(500000));
  const int end = 1424 * kRate / 960;  // 1424 ticks at 960 ticks a second
  {
    cMidi midi("n.mid");
    midi.Play(1);
    auto mix = Mix(end + kRate);
    const int again = Onset(mix, end);
    EXPECT_NEAR(again, end + kRate / 2, kRate / 100);
    EXPECT_EQ(midi.State(), cMidi::kPlaying);
  }
  cMidi midi("n.mid");
  midi.Play(0);
  auto mix = Mix(end + kRate);
  EXPECT_EQ(midi.State(), cMidi::kStopped);
  EXPECT_EQ(midi.Position(), kSmfImageEvents);
  EXPECT_LT(Peak(mix, end + kRate / 2, end + kRate / 2 + kRate / 10), 1e-3);
  midi.Play(0);  // a later start plays from the beginning
  EXPECT_NEAR(Onset(Mix(kRate)), kRate / 2, kRate / 100);
}

TEST_F(MidiPlayerTest, PauseKeepsThePlaceAndStopRewinds) {
  WriteBytes("n.mid", NoteFile(500000));
  cMidi midi("n.mid");
  midi.Play(0);
  Mix(kRate / 4);
  midi.Stop(1);
  EXPECT_EQ(midi.State(), cMidi::kPaused);
  const std::size_t position = midi.Position();
  EXPECT_EQ(Onset(Mix(kRate)), -1);  // nothing plays while paused
  EXPECT_EQ(midi.Position(), position);
  midi.Play(0);
  EXPECT_NEAR(Onset(Mix(kRate / 2)), kRate / 4, kRate / 100);  // the quarter second left
  midi.Stop(0);
  EXPECT_EQ(midi.State(), cMidi::kStopped);
  EXPECT_EQ(midi.Position(), kSmfImageEvents);
  midi.Stop(1);  // pausing a stopped player changes nothing
  EXPECT_EQ(midi.State(), cMidi::kStopped);
}

TEST_F(MidiPlayerTest, AnEndWithoutTimeDoesNotLoopForEver) {
  const Bytes file = {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
                      96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
  WriteBytes("e.mid", file);
  cMidi midi("e.mid");
  ASSERT_FALSE(midi.Image().empty());
  midi.Play(1);
  Mix(kRate / 10);
  EXPECT_EQ(midi.State(), cMidi::kStopped);
}

TEST_F(MidiPlayerTest, TheSetPlaysOnlyMidFilesItCanRead) {
  WriteBytes("n.mid", NoteFile(500000));
  WriteBytes("N.MID", NoteFile(500000));
  WriteBytes("bad.mid", {'M', 'T', 'h', 'd'});
  cMidiSet set;
  set.SetChannels(1);
  ASSERT_TRUE(set.Play(0, "n.mid", 1));
  ASSERT_NE(set.Player(0), nullptr);
  EXPECT_EQ(set.Player(0)->State(), cMidi::kPlaying);
  struct {
    int channel;
    const char* file;
  } refused[] = {{0, "N.MID"}, {0, "n.Mid"},  {0, "bad.mid"}, {0, "none.mid"},
                 {1, "n.mid"}, {-1, "n.mid"}, {0, "n"}};
  for (auto c : refused) {
    EXPECT_FALSE(set.Play(c.channel, c.file, 0)) << c.file;
    EXPECT_EQ(Onset(Mix(kRate / 100)), -1) << c.file;  // the old music went with it
  }
  EXPECT_TRUE(set.Play(0, "n.mid", 0));
  set.Stop(1);
  EXPECT_EQ(set.Player(0)->State(), cMidi::kPaused);
  set.Clear();
  EXPECT_EQ(set.Player(0), nullptr);
}

TEST(Ggs, TheExternalLibraryIsNeverThere) {
  EXPECT_EQ(LoadGuruGuruSMF4(), 1);
  cGgs ggs;
  EXPECT_FALSE(ggs.Init());
  EXPECT_FALSE(ggs.Play(0, "a.mid", 1, 100));
}

}  // namespace
