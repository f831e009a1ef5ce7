#include "media/bgm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/report.h"
#include "platform/audio_mixer.h"
#include "platform/message_box.h"
#include "platform/ogg_stream.h"
#include "platform/ogg_writer.h"
#include "platform/vorbis_trial.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes MidiFile() {
  return {'M',  'T',  'h',  'd',  0,    0,    0,    6,    0,    0,    0,    1,
          0x01, 0xE0, 'M',  'T',  'r',  'k',  0,    0,    0,    13,   0x00, 0x90,
          0x3C, 0x70, 0x83, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};
}

class BgmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReportOpen("Report_Game.txt");
    platform::AudioOpenOffline();
    std::vector<float> tone;
    for (int i = 0; i < 4410; ++i) tone.push_back(0.3f * static_cast<float>(std::sin(i * 0.06)));
    ASSERT_TRUE(platform::WriteOggVorbis("song.ogg", tone, 1, 44100));
    ASSERT_TRUE(platform::WriteOggVorbis("song.dat", tone, 1, 44100));
    WriteBytes("tune.mid", MidiFile());
    for (int i = 0; i < BGM_SLOT_COUNT; ++i) m_ogg[i] = m_mid[i] = BGMINFO{};
    ASSERT_TRUE(m_bgm.Init(1, m_ogg, m_mid, BGM_SLOT_COUNT));
  }
  void TearDown() override {
    m_bgm.Release();
    platform::AudioClose();
  }
  bool OggPlaying() const {
    platform::cOggVoice* voice = m_bgm.Vox().Voice(0);
    return voice && voice->IsPlaying();
  }
  bool MidiPlaying() const {
    const cMidi* midi = m_bgm.MidiSet().Player(0);
    return midi && midi->State() == cMidi::kPlaying;
  }
  static void Mix(int frames) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    platform::MixerRender(out.data(), frames);
  }

  cTempFolder m_folder;
  platform::cTrialOutcomeScope m_trialOutcome;
  BGMINFO m_ogg[BGM_SLOT_COUNT];
  BGMINFO m_mid[BGM_SLOT_COUNT];
  cBgm m_bgm;
};

TEST_F(BgmTest, TheExtensionChoosesThePlayer) {
  struct {
    const char* file;
    int result;
    int type;
    const char* ogg;
    const char* mid;
  } cases[] = {
      {"bgm\\a.OGG", 1, 1, "bgm\\a.OGG", ""},
      {"a.ogg", 1, 1, "a.ogg", ""},
      {"a.mid", 1, 2, "", "a.mid"},
      {"bgm\\A.MID", 1, 2, "", "bgm\\A.mid"},
      {"a.Mid", 0, 0, "a.Mid", "a.Mid"},
      {"a.wav", 0, 0, "a.wav", "a.wav"},
      {"noext", 0, 0, "", ""},
  };
  for (auto& c : cases) {
    for (int i = 0; i < BGM_SLOT_COUNT; ++i) m_ogg[i] = m_mid[i] = BGMINFO{};
    EXPECT_EQ(m_bgm.SetBgm(BGM_WORLDMAP, c.file, 80), c.result) << c.file;
    EXPECT_EQ(m_bgm.Type(BGM_WORLDMAP), c.type) << c.file;
    EXPECT_STREQ(m_ogg[1].szFile, c.ogg) << c.file;
    EXPECT_STREQ(m_mid[1].szFile, c.mid) << c.file;
    const int volume = std::string(c.file) == "noext" ? 0 : 80;
    if (c.ogg[0]) {
      EXPECT_EQ(m_ogg[1].nVolume, volume) << c.file;
    }
  }
  EXPECT_EQ(m_bgm.SetBgm(BGM_SLOT_COUNT, "a.ogg", 1), 0);  // no such slot: nothing written
  EXPECT_EQ(m_bgm.SetBgm(-1, "a.ogg", 1), 0);
}

TEST_F(BgmTest, PlayChoosesOneSideAndSilencesTheOther) {
  m_bgm.SetBgm(BGM_TITLE, "tune.mid", 100);
  EXPECT_EQ(m_bgm.Play(0, BGM_TITLE, 1, 0, 1), 1);
  EXPECT_EQ(m_bgm.State(0), 2);
  EXPECT_TRUE(MidiPlaying());

  m_bgm.SetBgm(BGM_WORLDMAP, "SONG.OGG", 80);
  EXPECT_EQ(m_bgm.Play(0, BGM_WORLDMAP, 0, 0, 1), 1);
  EXPECT_EQ(m_bgm.State(0), 1);
  EXPECT_EQ(m_bgm.Current(), BGM_WORLDMAP);
  EXPECT_TRUE(OggPlaying());
  EXPECT_FALSE(MidiPlaying());
  Mix(10000);  // the song (0.1 s, not looped) has ended
  EXPECT_FALSE(OggPlaying());
  EXPECT_EQ(m_bgm.Play(0, BGM_WORLDMAP, 0, 0, 0), 1);  // the current slot is not started again
  EXPECT_FALSE(OggPlaying());
  EXPECT_EQ(m_bgm.Play(0, BGM_WORLDMAP, 1, 0, 1), 1);  // unless forced
  EXPECT_TRUE(OggPlaying());

  // An unknown extension tries the Ogg player first, then the MIDI player.
  m_bgm.SetBgm(BGM_CHALLENGE, "song.dat", 50);
  EXPECT_EQ(m_bgm.Play(0, BGM_CHALLENGE, 1, 0, 1), 1);
  EXPECT_EQ(m_bgm.State(0), 1);

  m_bgm.Stop();
  EXPECT_FALSE(OggPlaying());
  EXPECT_FALSE(MidiPlaying());
}

TEST_F(BgmTest, MusicThatCannotBePlayedSilencesBothAndIsForgotten) {
  m_bgm.SetBgm(BGM_TITLE, "song.ogg", 100);
  ASSERT_EQ(m_bgm.Play(0, BGM_TITLE, 1, 0, 1), 1);
  struct {
    const char* file;
  } cases[] = {{"noext"}, {"missing.ogg"}, {"missing.mid"}, {"song.Mid"}, {"tune.wav"}};
  for (auto c : cases) {
    m_bgm.SetBgm(BGM_STAGE, c.file, 100);
    EXPECT_EQ(m_bgm.Play(0, BGM_STAGE, 1, 0, 1), 0) << c.file;
    EXPECT_EQ(m_bgm.Current(), -1) << c.file;
    EXPECT_EQ(m_bgm.State(0), 0) << c.file;
    EXPECT_FALSE(OggPlaying()) << c.file;
    EXPECT_FALSE(MidiPlaying()) << c.file;
  }
  EXPECT_NE(ReadText("Report_Game.txt").find("missing.ogg"), std::string::npos);
  EXPECT_EQ(m_bgm.Play(0, BGM_STAGE, 1, 0, 0), 0);  // forgotten, so tried again
  EXPECT_EQ(m_bgm.Play(1, BGM_TITLE, 1, 0, 1), 0);  // no such channel
}

TEST_F(BgmTest, VolumeOfTheOggPlayer) {
  struct {
    int volume;
    float gain;
  } cases[] = {{50, 0.5f}, {100, 1.0f}, {0, 0.0f}, {100, 1.0f}};
  for (auto c : cases) {
    m_bgm.SetBgm(BGM_TITLE, "song.ogg", c.volume);
    ASSERT_EQ(m_bgm.Play(0, BGM_TITLE, 1, 0, 1), 1);
    EXPECT_FLOAT_EQ(m_bgm.Vox().Voice(0)->Volume(), c.gain) << c.volume;
  }
}

TEST_F(BgmTest, OffMeansEveryCallIsASilentSuccess) {
  m_bgm.SetBgm(BGM_TITLE, "song.ogg", 100);
  m_bgm.Play(0, BGM_TITLE, 1, 0, 1);
  m_bgm.Release();
  EXPECT_FALSE(m_bgm.IsInit());
  EXPECT_EQ(m_bgm.SetBgm(BGM_TITLE, "x.wav", 1), 1);
  EXPECT_EQ(m_bgm.Play(0, BGM_TITLE, 1, 0, 1), 1);
  EXPECT_STREQ(m_ogg[0].szFile, "song.ogg");
  m_bgm.Stop();
  ASSERT_TRUE(m_bgm.Init(1, m_ogg, m_mid, BGM_SLOT_COUNT));  // the option switched on again
  m_bgm.SetBgm(BGM_TITLE, "song.ogg", 100);
  EXPECT_EQ(m_bgm.Play(0, BGM_TITLE, 1, 0, 0), 1);
  EXPECT_TRUE(OggPlaying());
}

// No sound device: the music runs on the silent driver. Only a silent driver that fails too
// leaves the manager off, with its box.
TEST(BgmWithoutOutput, NoDeviceRunsSilentAndOnlyAFailedSilentDriverLeavesTheManagerOff) {
  cEnvGuard driver("SDL_AUDIODRIVER", "no-such-driver");
  static std::vector<std::string> boxes;
  boxes.clear();
  platform::SetMessageBoxHandler([](const std::string& text, const std::string&, int) {
    boxes.push_back(text);
    return platform::kAnswerOk;
  });
  {
    BGMINFO ogg[BGM_SLOT_COUNT], mid[BGM_SLOT_COUNT];
    cBgm bgm;
    EXPECT_TRUE(bgm.Init(1, ogg, mid, BGM_SLOT_COUNT));
    EXPECT_TRUE(bgm.IsInit());
    EXPECT_TRUE(platform::AudioRunsSilent());
    bgm.Release();
  }
  EXPECT_TRUE(boxes.empty());

  platform::SetSilentAudioDriverForTest("no-such-driver-either");
  BGMINFO ogg[BGM_SLOT_COUNT], mid[BGM_SLOT_COUNT];
  cBgm bgm;
  EXPECT_FALSE(bgm.Init(1, ogg, mid, BGM_SLOT_COUNT));
  platform::SetSilentAudioDriverForTest(nullptr);
  platform::SetMessageBoxHandler(nullptr);
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_FALSE(bgm.IsInit());
  EXPECT_EQ(bgm.SetBgm(0, "a.ogg", 1), 1);
  EXPECT_STREQ(ogg[0].szFile, "");
  EXPECT_EQ(bgm.Play(0, 0, 1, 0, 1), 1);
  EXPECT_FALSE(platform::AudioIsOpen());
}

}  // namespace
