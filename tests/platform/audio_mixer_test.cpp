#include "platform/audio_mixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/env_guard.h"

namespace platform {
namespace {

// Offline output for one test: the mix is pulled and measured.
class AudioMixerTest : public ::testing::Test {
 protected:
  void SetUp() override { AudioOpenOffline(); }
  void TearDown() override { AudioClose(); }

  static std::vector<float> Mix(int frames) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    MixerRender(out.data(), frames);
    return out;
  }
  // A 16-bit mono clip at the mix rate holding one value throughout.
  static int Constant(std::int16_t value, int frames) {
    std::vector<std::uint8_t> pcm;
    for (int i = 0; i < frames; ++i) {
      pcm.push_back(static_cast<std::uint8_t>(value & 0xFF));
      pcm.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    }
    return VoiceCreate({kMixRate, 16, 1, 2}, pcm.data(), pcm.size());
  }
};

TEST_F(AudioMixerTest, GainFollowsHundredthsOfADecibel) {
  struct {
    int volume;
    float gain;
  } cases[] = {{0, 1.0f},      {-2000, 0.1f},  {-600, 0.501187f},
               {-10000, 0.0f}, {-12000, 0.0f}, {300, 1.0f}};
  for (auto c : cases) EXPECT_NEAR(GainFromHundredthsDb(c.volume), c.gain, 1e-5) << c.volume;
}

TEST_F(AudioMixerTest, VolumeScalesTheVoice) {
  const int voice = Constant(16384, 100);
  ASSERT_NE(voice, 0);
  struct {
    int volume;
    float level;
  } cases[] = {{0, 0.5f}, {-2000, 0.05f}, {-10000, 0.0f}};
  for (auto c : cases) {
    VoiceSetVolume(voice, c.volume);
    EXPECT_EQ(VoiceGetVolume(voice), c.volume);
    VoicePlay(voice, false);
    auto out = Mix(10);
    EXPECT_NEAR(out[0], c.level, 1e-4) << c.volume;
    EXPECT_NEAR(out[1], c.level, 1e-4) << c.volume;
  }
}

TEST_F(AudioMixerTest, FullScaleAtVolumeZeroAndClipping) {
  const int a = Constant(32767, 50);
  const int b = VoiceDuplicate(a);
  ASSERT_NE(b, 0);
  VoicePlay(a, false);
  EXPECT_NEAR(Mix(1)[0], 1.0f, 1e-4);
  VoicePlay(b, false);  // two full-scale voices overlap and are clipped, not wrapped
  EXPECT_FLOAT_EQ(Mix(1)[0], 1.0f);
}

TEST_F(AudioMixerTest, DuplicatesShareDataButKeepTheirOwnPosition) {
  const int a = Constant(8192, 100);
  const int b = VoiceDuplicate(a);
  VoicePlay(a, false);
  Mix(60);
  VoicePlay(b, false);
  auto out = Mix(60);
  EXPECT_NEAR(out[0], 0.5f, 1e-4);        // both sound
  EXPECT_NEAR(out[2 * 50], 0.25f, 1e-4);  // a ended after 100 frames, b goes on
  EXPECT_FALSE(VoiceIsPlaying(a));
  EXPECT_TRUE(VoiceIsPlaying(b));
  VoiceDestroy(a);  // the duplicate keeps the shared data alive
  EXPECT_NEAR(Mix(1)[0], 0.25f, 1e-4);
}

TEST_F(AudioMixerTest, EightBitMonoAtHalfRateIsResampled) {
  std::vector<std::uint8_t> pcm(50, 192);  // +0.5, 50 frames at 22050 Hz = 100 output frames
  const int voice = VoiceCreate({kMixRate / 2, 8, 1, 1}, pcm.data(), pcm.size());
  ASSERT_NE(voice, 0);
  VoicePlay(voice, false);
  auto out = Mix(120);
  EXPECT_NEAR(out[2 * 99], 0.5f, 1e-4);
  EXPECT_EQ(out[2 * 100], 0.0f);
}

TEST_F(AudioMixerTest, LoopingVoiceStartsAgainAndStops) {
  const int voice = Constant(8192, 10);
  VoicePlay(voice, true);
  auto out = Mix(35);
  EXPECT_NEAR(out[2 * 34], 0.25f, 1e-4);
  VoiceStop(voice);
  EXPECT_EQ(Mix(1)[0], 0.0f);
}

TEST_F(AudioMixerTest, UnplayableFormatsMakeNoVoice) {
  std::uint8_t pcm[8] = {};
  EXPECT_EQ(VoiceCreate({kMixRate, 24, 1, 3}, pcm, 6), 0);
  EXPECT_EQ(VoiceCreate({kMixRate, 16, 6, 12}, pcm, 8), 0);
  EXPECT_EQ(VoiceCreate({0, 16, 1, 2}, pcm, 8), 0);
  EXPECT_EQ(VoiceDuplicate(123456), 0);
  // A sound that would convert to more than five minutes is refused.
  std::vector<std::uint8_t> longSound(31000, 128);  // 310 s at 100 Hz
  EXPECT_EQ(VoiceCreate({100, 8, 1, 1}, longSound.data(), longSound.size()), 0);
  EXPECT_NE(VoiceCreate({100, 8, 1, 1}, longSound.data(), 3000), 0);
}

TEST(AudioOutput, LastUserClosesIt) {
  AudioOpenOffline();
  AudioOpenOffline();
  AudioClose();
  EXPECT_TRUE(AudioIsOpen());
  AudioClose();
  EXPECT_FALSE(AudioIsOpen());
  AudioClose();  // one close too many changes nothing
  EXPECT_FALSE(AudioIsOpen());
  std::uint8_t pcm[2] = {};
  EXPECT_EQ(VoiceCreate({kMixRate, 16, 1, 2}, pcm, 2), 0);
}

TEST(AudioOutput, TheDeviceOpensOnTheDummyDriver) {
  ASSERT_TRUE(AudioOpenDevice()) << AudioError();
  EXPECT_TRUE(AudioIsOpen());
  EXPECT_FALSE(AudioRunsSilent());  // the driver asked for, not a fallback
  AudioClose();
  EXPECT_FALSE(AudioIsOpen());
}

// A machine whose sound system cannot be used: the output opens on the silent driver, and
// says why; only a silent driver that fails as well is a failure.
TEST(AudioOutput, TheSilentDriverOpensWhereTheChosenDriverCannot) {
  cEnvGuard driver("SDL_AUDIODRIVER", "no_such_driver");
  ASSERT_TRUE(AudioOpenDevice()) << AudioError();
  EXPECT_TRUE(AudioIsOpen());
  EXPECT_TRUE(AudioRunsSilent());
  EXPECT_FALSE(AudioError().empty());
  ASSERT_TRUE(AudioOpenDevice());  // a second user of the same output
  AudioClose();
  EXPECT_TRUE(AudioRunsSilent());
  AudioClose();
  EXPECT_FALSE(AudioIsOpen());
  EXPECT_FALSE(AudioRunsSilent());

  SetSilentAudioDriverForTest("no_such_driver_either");
  EXPECT_FALSE(AudioOpenDevice());
  SetSilentAudioDriverForTest(nullptr);
  EXPECT_FALSE(AudioIsOpen());
}

}  // namespace
}  // namespace platform
