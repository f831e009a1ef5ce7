// The effect and picture commands that stop the game: the message loop runs while they are
// shown, with the wait they set or, when they set none, the wait left from before.
#include <gtest/gtest.h>

#include <vector>

#include "../media/bmp_fixture.h"
#include "../play/stage_end_fixture.h"
#include "../support/scoped_value.h"
#include "content/command.h"
#include "content/command_tables.h"
#include "flows/present_cmds.h"
#include "foundation/thread.h"
#include "play/effect_anim.h"
#include "play/sub_loops.h"
#include "project/database.h"

namespace {

class StoppingCmds : public StageEndScene {
 protected:
  void SetUp() override {
    StageEndScene::SetUp();
    ReleasePictures();
    g_DataBase.m_Picture.assign(2, cDbPicture());
    g_DataBase.m_Picture[1].m_strFile = "a.bmp";
    WriteBytes(folder.HostPath() + "/a.bmp",
               MakeBmp(8, 4, 24, std::vector<std::uint32_t>(32, 0xFF)));
    g_DataBase.m_Effect.assign(2, cDbEffect());
    g_DataBase.m_Effect[1].m_Frames.assign(2, cDbEffectFrame());
    g_DataBase.m_Effect[1].m_Frames[0].m_nTime = 1;
    g_DataBase.m_Effect[1].m_Frames[1].m_nTime = 2;
    BuildEffectFrameTable(g_EffectSequences);
  }
  void TearDown() override {
    ReleasePictures();
    StageEndScene::TearDown();
  }
  static cEdCmd Cmd(int kind, std::vector<int> params) {
    cEdCmd cmd;
    cmd.m_nKind = static_cast<std::int8_t>(kind);
    cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, kind), 0);
    for (std::size_t i = 0; i < params.size(); ++i) cmd.m_Params[i] = params[i];
    return cmd;
  }
  // A stopping picture with a timer mode and a time in tenths; the frames the loop ran.
  int StoppingPicture(int timerMode, int tenths) {
    cEdCmd cmd = Cmd(CMD_PICTURE, {1, 0, 0, 0, 0, 0, 0, 100, timerMode, tenths, 1});
    const int before = cScriptClock::Reads();
    ExecShowPicture(&g_Heroes.front(), cmd);
    return cScriptClock::Reads() - before;
  }

  cScopedGlobal<cVector<cDbPicture>> pictures{g_DataBase.m_Picture};
  cScopedGlobal<cVector<cDbEffect>> effects{g_DataBase.m_Effect};
  cScopedGlobal<cVector<AnimeRun>> sequences{g_EffectSequences};
};

TEST_F(StoppingCmds, ATimedPictureStopsTheGameForItsTimeAndGoesAfterwards) {
  EXPECT_EQ(StoppingPicture(2, 1), 7);  // 6 frames drawn, left on the next
  EXPECT_TRUE(scene.m_PictureList.empty());
  EXPECT_TRUE(g_PictureSurfaces.empty());
  EXPECT_TRUE(g_PictureBmpInfo.empty());
}

TEST_F(StoppingCmds, APictureWithoutTimerServesTheWaitLeftBefore) {
  // After a counted wait the loop leaves on its first turn: the picture goes unseen.
  scene.m_MsgWait.Set(2, 0, 3, 0);
  ASSERT_EQ(RunSubLoop(thPause, MessageLoopThread), 1);
  EXPECT_EQ(StoppingPicture(1, 50), 1);
  EXPECT_TRUE(scene.m_PictureList.empty());
  EXPECT_TRUE(g_PictureSurfaces.empty());
  // After a key wait it waits for a new press of button 1.
  scene.m_MsgWait.Set(3, 1, 0, 0);
  clock.Button1("0001");
  EXPECT_EQ(StoppingPicture(1, 50), 4);
  EXPECT_TRUE(scene.m_PictureList.empty());
}

TEST_F(StoppingCmds, APictureKeyWaitTakesOnlyANewPressOfButton1) {
  struct {
    const char* keys;
    int frames;  // the frame that closes it
  } const cases[] = {
      {"01", 2},
      {"1110001", 7},     // still held from the wait before: released, then pressed again
      {"0111110001", 2},  // a press on a later turn is taken at once
  };
  for (const auto& c : cases) {
    clock.Button1(c.keys);
    EXPECT_EQ(StoppingPicture(0, 0), c.frames) << c.keys;
    EXPECT_TRUE(scene.m_PictureList.empty()) << c.keys;
  }
}

TEST_F(StoppingCmds, AStoppingEffectHoldsTheGameWhileItPlaysOnce) {
  cEdCmd cmd = Cmd(CMD_EFFECT, {1, 0, 0, 0, 0, 0, 100, 1});
  const int before = cScriptClock::Reads();
  ExecEffect(&g_Heroes.front(), cmd);
  EXPECT_EQ(cScriptClock::Reads() - before, 19);  // (1 + 2) tenths, then the leaving turn
  EXPECT_EQ(scene.m_MsgWait.m_nMode, 2);
  EXPECT_EQ(scene.m_MsgWait.m_nFrames, -1);
}

}  // namespace
