#include "platform/ogg_stream.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <vector>

#include "platform/audio_mixer.h"
#include "platform/clock.h"
#include "platform/ogg_writer.h"
#include "platform/vorbis_trial.h"
#include "tests/support/temp_folder.h"

namespace platform {
namespace {

class OggStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { AudioOpenOffline(); }
  void TearDown() override { AudioClose(); }

  // A sine of the given length and amplitude written as Ogg Vorbis.
  static void WriteSine(const std::string& path, double seconds, int rate, int channels,
                        float amplitude) {
    const int frames = static_cast<int>(seconds * rate);
    std::vector<float> samples;
    for (int i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c)
        samples.push_back(amplitude * static_cast<float>(std::sin(2 * M_PI * 440.0 * i / rate)));
    ASSERT_TRUE(WriteOggVorbis(path, samples, channels, rate));
  }
  // Root mean square of the left channel over frames [from, to).
  static double Rms(const std::vector<float>& mix, int from, int to) {
    double sum = 0;
    for (int i = from; i < to; ++i) sum += mix[2 * i] * mix[2 * i];
    return std::sqrt(sum / (to - from));
  }
  static std::vector<float> Mix(int frames) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    MixerRender(out.data(), frames);
    return out;
  }

  cTempFolder m_folder;
  cTrialOutcomeScope m_trialOutcome;
};

TEST_F(OggStreamTest, PlaysOnceAtItsLengthAndRate) {
  struct {
    int rate;
    int channels;
  } cases[] = {{44100, 2}, {22050, 1}};
  for (auto c : cases) {
    WriteSine("song.ogg", 0.5, c.rate, c.channels, 0.5f);
    cOggVoice voice;
    ASSERT_TRUE(voice.Load("SONG.OGG"));  // program paths resolve without regard to case
    EXPECT_EQ(voice.Rate(), c.rate);
    voice.Play();
    auto mix = Mix(kMixRate);
    EXPECT_NEAR(Rms(mix, 1000, 20000), 0.5 / std::sqrt(2.0), 0.02) << c.rate;
    EXPECT_LT(Rms(mix, 23000, kMixRate), 1e-3) << c.rate;  // ended after half a second
    EXPECT_FALSE(voice.IsPlaying());
  }
}

TEST_F(OggStreamTest, LoopsAndVolume) {
  WriteSine("loop.ogg", 0.25, 44100, 2, 0.5f);
  cOggVoice voice;
  ASSERT_TRUE(voice.Load("loop.ogg"));
  voice.SetLoop(1);
  voice.SetVolume(0.5f);
  voice.Play();
  auto mix = Mix(kMixRate);
  EXPECT_NEAR(Rms(mix, 13000, 20000), 0.25 / std::sqrt(2.0), 0.02);  // the second time round
  EXPECT_LT(Rms(mix, 23000, kMixRate), 1e-3);                        // and no third

  voice.SetLoop(cOggVoice::kLoopForever);
  voice.Play();
  Mix(3 * kMixRate);
  EXPECT_TRUE(voice.IsPlaying());
  EXPECT_GT(Rms(Mix(5000), 0, 5000), 0.1);
  voice.Reset();  // stops, closes, and puts the volume back to full
  EXPECT_FALSE(voice.IsPlaying());
  EXPECT_FLOAT_EQ(voice.Volume(), 1.0f);
  EXPECT_LT(Rms(Mix(1000), 0, 1000), 1e-6);
}

TEST_F(OggStreamTest, DamagedFilesAreNotLoaded) {
  WriteSine("good.ogg", 0.5, 44100, 2, 0.5f);
  std::vector<std::uint8_t> good = ReadBytes("good.ogg");
  WriteBytes("text.ogg", {'n', 'o', 't', ' ', 'o', 'g', 'g'});
  WriteBytes("head.ogg", std::vector<std::uint8_t>(good.begin(), good.begin() + 60));
  WriteBytes("half.ogg", std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2));
  WriteBytes("empty.ogg", {});
  cOggVoice voice;
  ASSERT_TRUE(voice.Load("good.ogg"));
  for (const char* name : {"text.ogg", "head.ogg", "half.ogg", "empty.ogg", "missing.ogg", ""}) {
    EXPECT_FALSE(voice.Load(name)) << name;  // and what was loaded before is closed
    voice.Play();
    EXPECT_FALSE(voice.IsPlaying()) << name;
    EXPECT_EQ(voice.Rate(), 0) << name;
  }
}

TEST_F(OggStreamTest, ASetupThatMakesTheDecoderDivideByZeroIsRefused) {
  // A residue's book of no dimensions: libvorbis divides by it on the first audio packet.
  WriteBytes("fpe.ogg", ReadBytes(TW_PLATFORM_FIXTURES "/residue_divide_by_zero.ogg"));
  cOggVoice voice;
  EXPECT_FALSE(voice.Load("fpe.ogg"));
  voice.Play();
  EXPECT_LT(Rms(Mix(4096), 0, 4096), 1e-6);
  EXPECT_FALSE(voice.IsPlaying());
}

// What the trial's child meets at one of its reads: the decoder faulting, hanging until its
// stall limit runs out (which the hook makes happen at once), or hanging for good. With a gate
// the child first waits there until the test opens it.
enum class eFault { kNone, kSignal, kStall, kHang };
eFault g_fault = eFault::kNone;
std::int64_t g_nFaultAt = 0;
int g_nGate = -1;  // the reading end of a pipe

void FaultHook(std::int64_t index) {
  if (index != g_nFaultAt) return;
  if (g_nGate >= 0) {
    char open = 0;
    while (read(g_nGate, &open, 1) < 0 && errno == EINTR) {
    }
  }
  if (g_fault == eFault::kSignal) raise(SIGFPE);
  if (g_fault == eFault::kStall) ExpireVorbisTrialStallTimer();
  if (g_fault == eFault::kStall || g_fault == eFault::kHang)
    for (;;) pause();
}

// Frames of the left channel up to the last one with sound.
int SoundingFrames(const std::vector<float>& mix) {
  for (std::size_t i = mix.size() / 2; i > 0; --i)
    if (std::fabs(mix[2 * (i - 1)]) > 1e-6f) return static_cast<int>(i);
  return 0;
}

TEST_F(OggStreamTest, AStreamTheDecoderDoesNotSurviveIsRefused) {
  SetVorbisTrialHook(FaultHook);
  struct {
    eFault fault;
    std::int64_t at;
    bool loads;  // the fault comes after the reads a load waits for
  } cases[] = {{eFault::kSignal, 0, false},
               {eFault::kStall, 0, false},
               {eFault::kSignal, 40, true},
               {eFault::kStall, 40, true}};
  static int streams = 0;  // a new stream each time, as the refused ones are remembered
  for (auto c : cases) {
    SCOPED_TRACE(c.at);
    const float amplitude = 0.2f + 0.001f * static_cast<float>(++streams % 500);
    WriteSine("song.ogg", 3.0, 44100, 2, amplitude);
    g_fault = c.fault;
    g_nFaultAt = c.at;
    // A fault after the load waits until the load is over, however the two are scheduled.
    int gate[2] = {-1, -1};
    if (c.loads) {
      ASSERT_EQ(pipe(gate), 0);
    }
    g_nGate = gate[0];
    cOggVoice voice;
    EXPECT_EQ(voice.Load("song.ogg"), c.loads);
    if (c.loads) {
      EXPECT_EQ(write(gate[1], "o", 1), 1);
      close(gate[0]);
      close(gate[1]);
      g_nGate = -1;
    }
    voice.SetLoop(cOggVoice::kLoopForever);
    voice.Play();
    auto mix = Mix(3 * kMixRate);
    EXPECT_FALSE(voice.IsPlaying());
    EXPECT_EQ(voice.Rate(), 0);
    // Never a sample beyond what the child decoded (at most one packet of 1024 frames a read).
    EXPECT_LE(SoundingFrames(mix), c.at * 1024);

    g_fault = eFault::kNone;
    EXPECT_FALSE(voice.Load("song.ogg"));  // refused at once the next time
    WriteSine("other.ogg", 0.5, 44100, 2, amplitude);
    EXPECT_TRUE(voice.Load("other.ogg"));
  }
}

TEST_F(OggStreamTest, TrialsLeaveNoProcessBehind) {
  WriteSine("song.ogg", 1.0, 44100, 2, 0.25f);
  SetVorbisTrialHook(FaultHook);
  g_fault = eFault::kHang;  // a child still running when the voice goes
  g_nFaultAt = 30;
  const std::uint64_t start = MonotonicMs();
  {
    cOggVoice playing;
    cOggVoice loaded;
    ASSERT_TRUE(playing.Load("song.ogg"));
    ASSERT_TRUE(loaded.Load("song.ogg"));
    playing.Play();
    Mix(1000);
    ASSERT_TRUE(loaded.Load("song.ogg"));  // a new load ends the last one's child
  }
  EXPECT_LT(MonotonicMs() - start, 30000u);  // not the minute the stall limit allows
  // The children are reaped by threads of their own, at once: look without reaping (the
  // bound only keeps a fault from hanging the suite).
  bool none = false;
  for (int i = 0; i < 3000 && !none; ++i) {
    siginfo_t info{};
    none = waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
    if (!none) usleep(10000);
  }
  EXPECT_TRUE(none);
}

}  // namespace
}  // namespace platform
