#include "media/sound.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/report.h"
#include "platform/audio_mixer.h"
#include "platform/text_codec.h"
#include "tests/support/temp_folder.h"

namespace {

// A RIFF WAVE file laid out by hand: a format chunk of fmtSize bytes, then the data chunk,
// whose declared size may differ from the bytes that follow.
std::vector<std::uint8_t> Wave(int tag, int channels, int rate, int bits,
                               const std::vector<std::uint8_t>& data, int fmtSize = 16,
                               int declaredData = -1) {
  cBytes fmt;
  const int align = channels * bits / 8;
  fmt.I16(static_cast<std::int16_t>(tag)).I16(static_cast<std::int16_t>(channels)).I32(rate);
  fmt.I32(rate * align).I16(static_cast<std::int16_t>(align)).I16(static_cast<std::int16_t>(bits));
  while (static_cast<int>(fmt.data.size()) < fmtSize) fmt.U8(0);
  cBytes body;
  body.Raw({'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}).I32(fmtSize).Raw(fmt.data);
  if (fmtSize & 1) body.U8(0);
  body.Raw({'d', 'a', 't', 'a'})
      .I32(declaredData < 0 ? static_cast<int>(data.size()) : declaredData);
  body.Raw(data);
  cBytes file;
  file.Raw({'R', 'I', 'F', 'F'}).I32(static_cast<int>(body.data.size())).Raw(body.data);
  return file.data;
}

std::string Utf8(const char* cp932) { return platform::Cp932ToUtf8(cp932); }

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReportOpen("Report_Game.txt");
    platform::AudioOpenOffline();
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
  }
  void TearDown() override {
    DS_Release();
    platform::AudioClose();
    SetPlaySoundSender(nullptr);
  }
  static std::vector<float> Mix(int frames) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    platform::MixerRender(out.data(), frames);
    return out;
  }

  // Registers lists of one short sound with count buffers. DS_Release must run before the
  // lists go out of scope.
  static void RegisterOne(cVector<DSSOUNDDATA>& sounds, cVector<DSSOUNDINFO>& files, int count) {
    WriteBytes("one.wav", Wave(1, 1, 22050, 8, {200, 200}));
    std::snprintf(files[0].szFile, 260, "one.wav");
    files[0].nCount = count;
    DS_LoadSounds(sounds, files, 0);
    ASSERT_EQ(sounds[0].lpBuffers.size(), static_cast<std::size_t>(count));
  }

  cTempFolder m_folder;
};

TEST_F(SoundTest, LoadWaveAcceptsPcmAndRefusesTheRestWithItsMessage) {
  const std::vector<std::uint8_t> pcm = {1, 2, 3, 4};
  std::vector<std::uint8_t> notRiff = Wave(1, 1, 22050, 8, pcm);
  notRiff[8] = 'X';
  struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    bool ok;
    const char* message;  // part of the report line, or null for none
  } cases[] = {
      {"pcm8.wav", Wave(1, 1, 22050, 8, pcm), true, nullptr},
      {"pcm16.wav", Wave(1, 2, 44100, 16, pcm, 18), true, nullptr},
      {"long.wav", Wave(1, 1, 22050, 8, pcm, 16, 1000), true, nullptr},
      {"adpcm.wav", Wave(2, 1, 22050, 4, pcm, 18), false, "PCM形式以外の形式です。"},
      {"bigfmt.wav", Wave(1, 1, 22050, 8, pcm, 40), false, "不正なwavファイルです。"},
      {"riff.wav", notRiff, false, "不正なファイルです。"},
      {"short.wav", {'R', 'I', 'F'}, false, "不正なファイルです。"},
      {"empty.wav", Wave(1, 1, 22050, 8, {}), false, nullptr},
      {"nodata.wav", Wave(1, 1, 22050, 8, pcm, 16, 0), false, nullptr},
  };
  for (auto& c : cases) {
    WriteBytes(c.name, c.bytes);
    const std::size_t before = ReadText("Report_Game.txt").size();
    WAVEDATA wave;
    EXPECT_EQ(LoadWave(c.name, wave), c.ok) << c.name;
    const std::string added = ReadText("Report_Game.txt").substr(before);
    if (c.message) {
      EXPECT_NE(added.find(Utf8(c.message)), std::string::npos) << c.name << ": " << added;
    } else if (!c.ok) {
      EXPECT_EQ(added, "") << c.name;
    }
    // A data chunk claiming more than the file holds gives what is there.
    if (c.ok) {
      EXPECT_EQ(wave.data, pcm) << c.name;
    }
  }
  WAVEDATA wave;
  EXPECT_FALSE(LoadWave("missing.wav", wave));
}

TEST_F(SoundTest, BuffersAreUsedInTurnAndDuplicatesOverlap) {
  WriteBytes("a.wav", Wave(1, 1, platform::kMixRate, 8, std::vector<std::uint8_t>(1000, 192)));
  DSSOUNDDATA sound;
  ASSERT_TRUE(DS_CreateSound(sound, "a.wav", 3, 0));
  ASSERT_EQ(sound.lpBuffers.size(), 3u);
  std::vector<int> used;
  for (int i = 0; i < 4; ++i) {
    used.push_back(sound.nNext);
    DS_Play(sound, 0);
    Mix(100);
  }
  EXPECT_EQ(used, (std::vector<int>{0, 1, 2, 0}));
  // Buffer 0 was cut off and restarted, so three copies sound at once: 3 x 0.5 clipped.
  EXPECT_FLOAT_EQ(Mix(1)[0], 1.0f);
  Mix(850);  // buffer 1 (started 300 frames ago, 1000 long) ends first
  EXPECT_FLOAT_EQ(Mix(1)[0], 0.5f);
  DS_DeleteSound(sound);
  EXPECT_TRUE(sound.lpBuffers.empty());
  DS_Play(sound, 0);  // a sound that is not loaded is a silent no-op
}

TEST_F(SoundTest, PlaysFromTwoThreadsKeepTheRotation) {
  cVector<DSSOUNDDATA> sounds(1);
  cVector<DSSOUNDINFO> files(1);
  RegisterOne(sounds, files, 3);
  // The menus' thread plays the cursor sound while the main thread serves requests.
  std::thread menus([] {
    for (int i = 0; i < 1000; ++i) PlayCursorSound(1, 1, 0);
  });
  for (int i = 0; i < 1000; ++i) {
    DS_Play(0, 0);
    Mix(4);
  }
  menus.join();
  EXPECT_EQ(sounds[0].nNext, 2000 % 3);
  DS_Release();
}

TEST_F(SoundTest, VolumeIsClampedAndRelative) {
  WriteBytes("a.wav", Wave(1, 1, 22050, 16, {0, 0x40}));
  DSSOUNDDATA sound;
  ASSERT_TRUE(DS_CreateSound(sound, "a.wav", 2, -500));
  EXPECT_EQ(DS_GetVolume(sound, 1), -500);
  EXPECT_EQ(DS_SetVolume(sound, 0, 800, 1), 0);
  EXPECT_EQ(DS_SetVolume(sound, 1, -12000, 0), -10000);
  EXPECT_EQ(DS_GetVolume(sound, 1), -10000);
  EXPECT_EQ(DS_SetVolume(sound, 2, -100, 0), 0);  // no such buffer
  EXPECT_EQ(DS_GetVolume(sound, -1), 0);
  DS_Play(sound, 0);
  EXPECT_NEAR(Mix(1)[0], 0.5f, 1e-4);  // buffer 0 at full volume
  DS_Play(sound, 0);
  EXPECT_NEAR(Mix(1)[0], 0.5f, 1e-4);  // buffer 1 silent
  DS_DeleteSound(sound);
}

TEST_F(SoundTest, LoadSoundsSkipsWhatCannotBeLoadedAndUsesTheListVolume) {
  WriteBytes("ok.wav", Wave(1, 1, 22050, 8, {200, 200}));
  WriteBytes("adpcm.wav", Wave(2, 1, 22050, 4, {1, 2}, 18));
  cVector<DSSOUNDDATA> sounds(4);
  cVector<DSSOUNDINFO> files(4);
  std::snprintf(files[0].szFile, 260, "ok.wav");
  files[0].nVolume = -700;
  std::snprintf(files[1].szFile, 260, "adpcm.wav");
  std::snprintf(files[3].szFile, 260, "missing.wav");
  files[3].nCount = -5;
  EXPECT_EQ(DS_LoadSounds(sounds, files, 0), 1);
  EXPECT_EQ(DS_GetVolume(sounds[0], 0), -700);
  EXPECT_TRUE(sounds[1].lpBuffers.empty());
  EXPECT_TRUE(sounds[2].lpBuffers.empty());
  EXPECT_TRUE(sounds[3].lpBuffers.empty());
  EXPECT_NE(ReadText("Report_Game.txt").find("missing.wav"), std::string::npos);

  DS_DeleteSound(sounds[0]);
  EXPECT_EQ(DS_LoadSounds(sounds, files, g_nSoundVolumeTable[3]), 1);
  EXPECT_EQ(DS_GetVolume(sounds[0], 0), -1300);
  DS_Release();  // deletes the registered list's sounds
  EXPECT_TRUE(sounds[0].lpBuffers.empty());
}

TEST_F(SoundTest, WithoutOutputEverythingIsASilentSuccess) {
  DS_Release();
  WriteBytes("a.wav", Wave(1, 1, 22050, 8, {1}));
  DSSOUNDDATA sound;
  EXPECT_TRUE(DS_CreateSound(sound, "a.wav", 2, 0));
  EXPECT_TRUE(sound.lpBuffers.empty());
  DS_Play(sound, 0);
  DS_Play(5, 0);
  EXPECT_EQ(DS_SetVolume(sound, 0, -100, 0), 0);
}

std::vector<int> g_Sent;
void Spy(int n) { g_Sent.push_back(n); }

TEST_F(SoundTest, RequestsAndTheCursorSound) {
  SetPlaySoundSender(Spy);
  g_Sent.clear();
  PlayDatabaseSound(0);
  EXPECT_TRUE(g_Sent.empty());
  PlayDatabaseSound(3);
  PlaySystemSound(2);
  EXPECT_EQ(g_Sent, (std::vector<int>{19, 2}));

  cVector<DSSOUNDDATA> sounds(1);
  cVector<DSSOUNDINFO> files(1);
  RegisterOne(sounds, files, 8);
  struct {
    int keys, mask, plays;
  } cases[] = {{1, 1, 1}, {2, 2, 0}, {4, 2, 1}, {8, 1, 0}, {5, 3, 2}, {0, 3, 0}, {15, 0, 0}};
  for (auto c : cases) {
    sounds[0].nNext = 0;
    PlayCursorSound(c.keys, c.mask, 0);
    EXPECT_EQ(sounds[0].nNext, c.plays) << c.keys << " " << c.mask;
  }
  DS_Release();  // the registered list lives in this scope
}

}  // namespace
