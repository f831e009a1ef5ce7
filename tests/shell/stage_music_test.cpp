// The stage's music through the main window: the stage asks, the window plays it with the
// stage's loop value and remembers it in the progress record, where a retry, the carry-over
// to the next stage and the saves find it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "../content/fake_refs.h"
#include "../play/stage_fixture.h"
#include "../support/empty_queue.h"
#include "foundation/window_messages.h"
#include "media/bgm.h"
#include "platform/audio_mixer.h"
#include "platform/ogg_stream.h"
#include "platform/ogg_writer.h"
#include "platform/thread_messages.h"
#include "platform/vorbis_trial.h"
#include "play/stage_end.h"
#include "project/carry_over.h"
#include "project/database.h"
#include "shell/main_window.h"

namespace {

constexpr int kSongFrames = 4410;  // 0.1 s at 44100 Hz
int g_nStageRequests = 0;

std::intptr_t CountingHandler(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
  if (message == WM_PLAYBGM && wParam == BGM_STAGE) ++g_nStageRequests;
  return HandleMainWindowRequest(message, wParam, lParam);
}

class StageMusic : public cStageFixture {
 protected:
  void SetUp() override {
    cStageFixture::SetUp();
    ReportOpen("Report_Game.txt");
    platform::BecomeMainThread();
    platform::SetRequestHandler(&CountingHandler);
    platform::AudioOpenOffline();
    std::vector<float> tone;
    for (int i = 0; i < kSongFrames; ++i)
      tone.push_back(0.3f * static_cast<float>(std::sin(i * 0.06)));
    ASSERT_TRUE(platform::WriteOggVorbis("stage.ogg", tone, 1, 44100));
    ASSERT_TRUE(platform::WriteOggVorbis("command.ogg", tone, 1, 44100));
    g_DataBase.m_Bgm.resize(3);
    g_DataBase.m_Bgm[1].m_strFile = "stage.ogg";
    g_DataBase.m_Bgm[2].m_strFile = "command.ogg";
    refs.m_Sizes[REF_BGM] = 3;
    for (int i = 0; i < BGM_SLOT_COUNT; ++i) m_ogg[i] = m_mid[i] = BGMINFO{};
    ASSERT_TRUE(g_Bgm.Init(1, m_ogg, m_mid, BGM_SLOT_COUNT));
    g_nStageRequests = 0;

    g_Stage.m_PlacedCharas.push_back(Chara(0, 2, 3));
    g_Stage.m_nBgm = 1;
    g_Stage.m_nBgmOptA = 1;  // loops
  }
  void TearDown() override {
    g_Bgm.Release();
    platform::AudioClose();
    platform::SetRequestHandler(nullptr);
    platform::LeaveMainThread();
    cStageFixture::TearDown();
  }
  static bool Playing() {
    platform::cOggVoice* voice = g_Bgm.Vox().Voice(0);
    return voice && voice->IsPlaying();
  }
  static void Mix(int frames) {
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    platform::MixerRender(out.data(), frames);
  }

  cEmptyQueue queue;
  cRestore<cDataBase> database{g_DataBase};
  cFakeRefs refs;
  platform::cTrialOutcomeScope trialOutcome;
  BGMINFO m_ogg[BGM_SLOT_COUNT];
  BGMINFO m_mid[BGM_SLOT_COUNT];
};

TEST_F(StageMusic, ItLoopsGoesOnThroughRetriesAndIsRemembered) {
  SetUpStage(1);
  EXPECT_EQ(g_nStageRequests, 1);
  EXPECT_EQ(g_PlayData.m_nStageBgm, 1);
  Mix(3 * kSongFrames);
  EXPECT_TRUE(Playing());  // round the third time

  // A death and a retry set the stage up again: its own music goes on, not from the start.
  SetStage(1, 0);
  SetStage(1, 0);
  EXPECT_EQ(g_nStageRequests, 1);
  EXPECT_TRUE(Playing());

  // A music command's tune gives way to the stage's own at the retry.
  RequestBgm(2, 0);
  EXPECT_EQ(g_PlayData.m_nStageBgm, 2);
  Mix(2 * kSongFrames);
  EXPECT_FALSE(Playing());  // played once
  SetStage(1, 0);
  EXPECT_EQ(g_nStageRequests, 3);
  EXPECT_EQ(g_PlayData.m_nStageBgm, 1);
  EXPECT_TRUE(Playing());

  // The saves keep the number.
  ASSERT_EQ(g_PlayData.SaveFile("save.dat"), 1);
  cPlayData saved;
  ASSERT_EQ(saved.LoadFile("save.dat"), 1);
  EXPECT_EQ(saved.m_nStageBgm, 1);
  EXPECT_EQ(saved.m_nStageBgmLoop, 1);

  // Number 0 stops the music and is remembered as none.
  RequestBgm(0, 1);
  EXPECT_EQ(g_PlayData.m_nStageBgm, 0);
  EXPECT_FALSE(Playing());
}

TEST_F(StageMusic, TheCarriedMusicReachesTheNextStage) {
  g_SystemData.m_InheritAllowed.assign(INHERIT_ITEM_COUNT, 0);
  g_SystemData.m_InheritAllowed[int{INHERIT_BGM}] = 1;
  g_Stage.m_bCarryOut = 1;
  SetUpStage(1);
  ASSERT_EQ(DecideNextStage(), SCENE_PLAY);

  // The next stage has no music of its own but takes what the last one played.
  g_Stage.m_nBgm = 0;
  g_Stage.m_bCarryOut = 0;
  g_Stage.m_bCarryIn = 1;
  SetUpStage(1);
  EXPECT_EQ(g_Stage.m_nBgm, 1);
  EXPECT_EQ(g_PlayData.m_nStageBgm, 1);
  EXPECT_TRUE(Playing());
}

}  // namespace
