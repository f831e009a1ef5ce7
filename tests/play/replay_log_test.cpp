// Key logs, replay files and their names, and the keys that save a replay during play.
#include "play/replay_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../support/record_bytes.h"
#include "../support/scoped_value.h"
#include "../support/temp_folder.h"
#include "content/shot.h"
#include "flows/cmd_dispatch.h"
#include "flows/flow_run.h"
#include "foundation/random.h"
#include "foundation/path_utils.h"
#include "foundation/report.h"
#include "foundation/text_utils.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "play/input.h"
#include "project/play_data.h"
#include "project/stage.h"
#include "stage_end_fixture.h"
#include "stage_fixture.h"

namespace {

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

cInputState Frame(int direction, int buttons) {
  cInputState record;
  record.m_wDirection = static_cast<std::int16_t>(direction);
  record.m_wButton = static_cast<std::int16_t>(buttons);
  return record;
}

// Right for 100 frames, then nothing for 20, with button 1 held in frames 50 to 59.
cReplayKeyLog PatternLog() {
  cReplayKeyLog log;
  for (int frame = 0; frame < 120; ++frame)
    log.Record(Frame(frame < 100 ? 2 : 0, frame >= 50 && frame < 60 ? 1 : 0));
  return log;
}

TEST(ReplayKeyLog, RecordsEachChannelAsRunsAndPlaysThemBack) {
  cReplayKeyLog log = PatternLog();
  EXPECT_EQ(std::vector<std::int16_t>(log.m_DirWords.begin(), log.m_DirWords.end()),
            (std::vector<std::int16_t>{2, 0}));
  EXPECT_EQ(std::vector<std::int32_t>(log.m_DirRuns.begin(), log.m_DirRuns.end()),
            (std::vector<std::int32_t>{100, 20}));
  EXPECT_EQ(std::vector<std::int16_t>(log.m_ButtonWords.begin(), log.m_ButtonWords.end()),
            (std::vector<std::int16_t>{0, 1, 0}));
  EXPECT_EQ(std::vector<std::int32_t>(log.m_ButtonRuns.begin(), log.m_ButtonRuns.end()),
            (std::vector<std::int32_t>{50, 10, 60}));

  for (int frame = 0; frame < 120; ++frame) {
    cInputState record = Frame(9, 9);
    ASSERT_EQ(log.Play(record), 0) << frame;
    EXPECT_EQ(record.m_wDirection, frame < 100 ? 2 : 0) << frame;
    EXPECT_EQ(record.m_wButton, frame >= 50 && frame < 60 ? 1 : 0) << frame;
  }
  cInputState after = Frame(9, 9);
  EXPECT_EQ(log.Play(after), 1);
  EXPECT_EQ(after.m_wDirection, 9);  // nothing written at the end
  EXPECT_EQ(after.m_wButton, 9);

  // A copy keeps the cursors of its target; a reset plays from the start.
  cReplayKeyLog again;
  again = log;
  EXPECT_EQ(again.m_nDirIndex, 0);
  log.ResetPlayCursors();
  EXPECT_EQ(log.Play(after), 0);
  EXPECT_EQ(after.m_wDirection, 2);

  // One empty channel ends the playback at once.
  cReplayKeyLog empty;
  EXPECT_EQ(empty.Play(after), 1);
  empty.m_DirWords.push_back(2);
  empty.m_DirRuns.push_back(5);
  EXPECT_EQ(empty.Play(after), 1);
}

// Captures the boxes shown while it lives.
class cBoxCapture {
 public:
  cBoxCapture() {
    s_texts.clear();
    platform::SetMessageBoxHandler(&Show);
  }
  ~cBoxCapture() { platform::SetMessageBoxHandler(nullptr); }
  cBoxCapture(const cBoxCapture&) = delete;
  cBoxCapture& operator=(const cBoxCapture&) = delete;
  static std::vector<std::string>& Texts() { return s_texts; }

 private:
  static int Show(const std::string& text, const std::string&, int) {
    s_texts.push_back(text);
    return 1;
  }
  static inline std::vector<std::string> s_texts;
};

class ReplayFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    stage.m_nWidth = 30;
    stage.m_nHeight = 15;
    stage.m_nTimeLimit = 90;
    stage.m_PlacedCharas.resize(2);
    stage.m_PlacedCharas[1].m_sGraphic = 3;
    stage.m_PlacedCharas[1].m_nControl = 0;
    // What play changed: the copy keeps the stage as it was before the attempt.
    copy.TakePlayData(stage);
    stage.m_nTimeLimit = 5;
    log = PatternLog();
    log.m_nSeed = 12345;
    progress.m_nLives = 7;
    progress.m_nTotalScore = 4321;
  }
  std::vector<std::uint8_t> StageBody() {
    cDataFile body("body");
    stage.WriteMerged(body, copy);
    return body.Bytes();
  }
  // Loads path into records that hold other values first; the records are compared after.
  int LoadInto(const std::string& path, cReplayKeyLog& outLog, cStage& outStage,
               cStage& outSecond, cPlayData& outProgress) {
    return LoadReplayFile(outLog, path, outStage, outSecond, outProgress);
  }

  cTempFolder folder;
  cStage stage;
  cStage copy;
  cReplayKeyLog log;
  cPlayData progress;
  cScopedGlobal<int> playbackVersion{g_nPlaybackReplayVersion, 0};
};

TEST_F(ReplayFile, HoldsTheStageTheKeyLogAndTheProgressAndReadsBackEqual) {
  ASSERT_EQ(SaveReplayFile(log, "a.rpl4_821", stage, copy, progress), 1);
  const std::vector<std::uint8_t> bytes = ReadBytes("a.rpl4_821");
  const std::vector<std::uint8_t> body = StageBody();

  // The header, the stage body, then the key log: its base and its four channels.
  ASSERT_GT(bytes.size(), 4 + body.size());
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 4), cBytes().I32(821).data);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 4, bytes.begin() + 4 + body.size()), body);
  const std::vector<std::uint8_t> keyLog = cBytes()
                                               .I32(1).I32(12345).I32(0)
                                               .I32(2).I16(2).I16(0)
                                               .I32(3).I16(0).I16(1).I16(0)
                                               .I32(2).I32(100).I32(20)
                                               .I32(3).I32(50).I32(10).I32(60)
                                               .data;
  const auto keyStart = bytes.begin() + 4 + static_cast<std::ptrdiff_t>(body.size());
  ASSERT_GE(bytes.end() - keyStart, static_cast<std::ptrdiff_t>(keyLog.size()));
  EXPECT_EQ(std::vector<std::uint8_t>(keyStart, keyStart + keyLog.size()), keyLog);
  cDataFile progressBytes("progress");
  progress.Write(progressBytes);
  EXPECT_EQ(static_cast<std::size_t>(bytes.end() - keyStart),
            keyLog.size() + progressBytes.Bytes().size());

  cReplayKeyLog readLog;
  cStage readStage, second;
  readStage.m_strPath = "kept path";
  cPlayData readProgress;
  ASSERT_EQ(LoadInto("a.rpl4_821", readLog, readStage, second, readProgress), 1);
  EXPECT_EQ(readLog.m_nSeed, 12345);
  cDataFile a("a"), b("b");
  readLog.Write(a);
  log.Write(b);
  EXPECT_EQ(a.Bytes(), b.Bytes());
  // The stage as it was before the attempt, with the placed lists of the loaded one.
  EXPECT_EQ(readStage.m_nTimeLimit, 90);
  EXPECT_EQ(readStage.m_nWidth, 30);
  EXPECT_EQ(readStage.m_PlacedCharas.size(), 2u);
  EXPECT_EQ(readStage.m_strPath, "kept path");
  EXPECT_EQ(second.m_nTimeLimit, 90);
  EXPECT_TRUE(second.m_PlacedCharas.empty());
  EXPECT_EQ(readProgress.m_nLives, 7);
  EXPECT_EQ(readProgress.m_nTotalScore, 4321);
  EXPECT_EQ(g_nPlaybackReplayVersion, 821);
}

TEST_F(ReplayFile, AFileThatDoesNotReadWholeChangesNothingAndIsReported) {
  ASSERT_EQ(SaveReplayFile(log, "good.rpl4_821", stage, copy, progress), 1);
  const std::vector<std::uint8_t> good = ReadBytes("good.rpl4_821");
  const std::size_t keyAt = 4 + StageBody().size();
  auto patched = [&](std::size_t at, const std::vector<std::uint8_t>& with) {
    std::vector<std::uint8_t> bytes = good;
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
  };
  auto cut = [&](std::size_t size) {
    return std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
  };
  struct sCase {
    const char* name;
    std::vector<std::uint8_t> bytes;  // empty: no file
    bool newer;
  };
  const sCase cases[] = {
      {"missing", {}, false},
      {"shorter than its header", cut(3), false},
      {"cut inside the stage", cut(40), false},
      {"cut inside the key log", cut(keyAt + 20), false},
      {"cut inside the progress", cut(good.size() - 10), false},
      {"a word count past the end", patched(keyAt + 12, cBytes().I32(0x10000000).data), false},
      {"a negative run count", patched(keyAt + 12 + 4 + 4 + 4 + 6, cBytes().I32(-1).data), false},
      // Three direction runs against two direction words.
      {"words and runs of different numbers",
       patched(keyAt + 12 + 4 + 4 + 4 + 6, cBytes().I32(3).data), false},
      {"newer", patched(0, cBytes().I32(822).data), true},
  };
  for (const sCase& c : cases) {
    const std::string name = std::string("bad") + ".rpl4_821";
    std::filesystem::remove(name);
    if (!c.bytes.empty()) WriteBytes(name, c.bytes);
    cReplayKeyLog readLog = PatternLog();
    readLog.m_nSeed = 99;
    cStage readStage, second;
    readStage.m_nWidth = 44;
    second.m_nWidth = 45;
    cPlayData readProgress;
    readProgress.m_nLives = 2;
    cBoxCapture boxes;
    EXPECT_EQ(LoadInto(name, readLog, readStage, second, readProgress), 0) << c.name;
    EXPECT_EQ(readLog.m_nSeed, 99) << c.name;
    EXPECT_EQ(readLog.m_DirWords.size(), 2u) << c.name;
    EXPECT_EQ(readStage.m_nWidth, 44) << c.name;
    EXPECT_EQ(second.m_nWidth, 45) << c.name;
    EXPECT_EQ(readProgress.m_nLives, 2) << c.name;
    EXPECT_EQ(g_nPlaybackReplayVersion, 0) << c.name;
    ASSERT_EQ(boxes.Texts().size(), 1u) << c.name;
    const std::string& text = boxes.Texts()[0];
    EXPECT_NE(text.find("bad.rpl4_821" + Utf8(u8" の読み込みに失敗しました！")), std::string::npos)
        << c.name;
    const bool newerText =
        text.find(Utf8(u8"ソフトより上位のバージョンのファイルは使用できません。")) != std::string::npos;
    EXPECT_EQ(newerText, c.newer) << c.name;
  }
}

TEST_F(ReplayFile, AFileOfVersion172HasNoProgressAndLeavesTheRecordsValues) {
  std::vector<std::uint8_t> bytes = FileAtVersion(172, [&](cDataFile& f) { stage.WriteMerged(f, copy); });
  bytes.resize(bytes.size() - 4);  // no trailer before 173
  cDataFile keyLog("log");
  log.Write(keyLog);
  bytes.insert(bytes.end(), keyLog.Bytes().begin(), keyLog.Bytes().end());
  WriteBytes("old.rpl4_172", bytes);

  cReplayKeyLog readLog;
  cStage readStage, second;
  cPlayData readProgress;
  readProgress.m_nLives = 2;
  ASSERT_EQ(LoadInto("old.rpl4_172", readLog, readStage, second, readProgress), 1);
  EXPECT_EQ(readLog.m_nSeed, 12345);
  EXPECT_EQ(readLog.m_ButtonRuns.size(), 3u);
  EXPECT_EQ(readStage.m_nWidth, 30);
  EXPECT_EQ(readProgress.m_nLives, 2);
  EXPECT_EQ(g_nPlaybackReplayVersion, 172);
}

TEST_F(ReplayFile, AFileThatCannotBeWrittenLeavesNothingBehind) {
  EXPECT_EQ(SaveReplayFile(log, "no folder\\a.rpl4_821", stage, copy, progress), 0);
  EXPECT_FALSE(std::filesystem::exists("no folder"));
  std::filesystem::create_directory("no folder");
  EXPECT_EQ(SaveReplayFile(log, "no folder\\a.rpl4_821", stage, copy, progress), 1);
  EXPECT_EQ(std::vector<std::string>(), [] {
    std::vector<std::string> others;
    for (const auto& entry : std::filesystem::directory_iterator("no folder"))
      if (entry.path().filename() != "a.rpl4_821") others.push_back(entry.path().filename());
    return others;
  }());
}

TEST(ReplayFileName, StageNameAndSavingTimeThenNumberedWithinTheMinute) {
  cTempFolder folder;
  cScopedGlobal<cPlayData> play{g_PlayData};
  std::filesystem::create_directories("user_data/rpl4");
  platform::sSystemTime now;
  now.wYear = 2024;
  now.wMonth = 5;
  now.wDay = 1;
  now.wHour = 13;
  now.wMinute = 7;
  std::string absoluteFolder = "user_data\\rpl4\\";
  ASSERT_TRUE(PathToAbsoluteStr(absoluteFolder));

  std::string out;
  ASSERT_EQ(MakeReplayFileName(out, "data\\stg4\\stage01.", now), 1);
  EXPECT_EQ(out, absoluteFolder + "stage01__2024__05_01__13_07.rpl4_821");
  WriteBytes("user_data/rpl4/stage01__2024__05_01__13_07.rpl4_821", {1});
  ASSERT_EQ(MakeReplayFileName(out, "data\\stg4\\stage01.", now), 1);
  EXPECT_EQ(out, absoluteFolder + "stage01__2024__05_01__13_07 (2).rpl4_821");

  // The progress record's variant is part of the name.
  g_PlayData.m_bVariant = 1;
  g_PlayData.m_nVariantVar = 4;
  g_PlayData.m_nVariantValue = 2;
  ASSERT_EQ(MakeReplayFileName(out, "abc.", now), 1);
  EXPECT_EQ(out, absoluteFolder + "abc_c004_2__2024__05_01__13_07.rpl4_821");
  g_PlayData.m_bVariant = 0;

  // A name too long for a path is cut before a whole character.
  std::string longName;
  for (int i = 0; i < 200; ++i) longName += "\x82\xA0";
  for (int shift = 0; shift < 2; ++shift) {
    const std::string name = std::string(static_cast<std::size_t>(shift), 'x') + longName + ".";
    ASSERT_EQ(MakeReplayFileName(out, name, now), 1);
    EXPECT_LE(out.size() + 6, 259u);  // room for " (999)"
    const std::string stem = out.substr(absoluteFolder.size());
    const std::size_t stampAt = stem.size() - 29;
    EXPECT_EQ(stem.substr(stampAt), "__2024__05_01__13_07.rpl4_821");
    std::size_t i = 0;
    while (i < stampAt) i += IsDbcsPair(stem.c_str() + i) ? 2 : 1;
    EXPECT_EQ(i, stampAt) << shift;
  }

  // No name: the current folder.
  ASSERT_EQ(MakeReplayFileName(out, "", now), 1);
  std::string current;
  PathToAbsoluteStr(current);
  EXPECT_EQ(out, current);
}

class ReplayKeys : public StageEndScene {
 protected:
  cRestore<std::int32_t> noticeWait{g_nReplayNoticeWait, 0};
};

TEST_F(ReplayKeys, F2WithNothingToSaveSoundsTheRefusalOnceInSixtyCalls) {
  g_SystemData.m_bRecordReplay = 1;
  g_SceneManager.m_nGameKind = GAME_FREEPLAY;
  g_ReplayLog.Clear();
  g_ReplayLog.Record(Frame(2, 0));
  g_PrevReplayLog.Clear();
  platform::SetKeyDown(platform::VK_F2, true);
  for (int call = 0; call < 120; ++call) EXPECT_EQ(CheckPlayHotKeys(), 0);
  EXPECT_EQ(cSoundLog::Count(3), 2);
  EXPECT_EQ(cSoundLog::Count(1), 0);
  platform::SetKeyDown(platform::VK_F2, false);

  // In a replay, or with the setting off, the keys are not looked at.
  cSoundLog::Clear();
  platform::SetKeyDown(platform::VK_F1, true);
  g_SceneManager.m_nGameKind = GAME_REPLAY;
  EXPECT_EQ(CheckPlayHotKeys(), 0);
  g_SceneManager.m_nGameKind = GAME_FREEPLAY;
  g_SystemData.m_bRecordReplay = 0;
  EXPECT_EQ(CheckPlayHotKeys(), 0);
  EXPECT_TRUE(cSoundLog::Sounds().empty());
  platform::SetKeyDown(platform::VK_F1, false);
}

// A stage of a hero over a floor, with a walker, played with the replay setting on.
class ReplayPlay : public cStageFixture {
 protected:
  struct sEnd {
    std::int32_t frame, score;
    double x, y;
    std::size_t charas;
  };
  void Build() {
    g_SystemData.m_bRecordReplay = 1;
    g_SceneManager.m_nGameKind = GAME_FREEPLAY;
    // The hero's one flow runs all the time: its command steps it by the keys of the frame
    // and by a random draw, so that the end depends on both.
    cEdChara hero = Chara(0, 2, 3);
    cEdFlow flow;
    flow.m_nTrigger = TRIGGER_ALWAYS;
    cEdCmd cmd;
    cmd.m_nKind = CMD_STATUS_OP2;
    cmd.m_bParallel = 1;
    cmd.m_Params.assign(CmdParamCount(CMDSET_CHARA, CMD_STATUS_OP2), 0);
    flow.m_Cmds.push_back(cmd);
    hero.m_Flows.push_back(flow);
    CharaVector placed;
    placed.push_back(hero);
    placed.push_back(Chara(1, 12, 3));
    g_Stage.m_PlacedCharas = placed;
    BlockVector floor;
    for (int column = 0; column < 20; ++column) {
      cEdBlock block;
      block.m_sGraphic = 1;
      block.m_sPosX = static_cast<std::int16_t>(column);
      block.m_sPosY = 5;
      floor.push_back(block);
    }
    g_Stage.m_PlacedBlocks = floor;
  }
  // Frame by frame through the play phase with the recording's keys, or with others that a
  // replay must not see (it takes its own from the log).
  sEnd Play(int frames, bool recording) {
    scene.m_nPhase = PLAYPHASE_PLAY;
    for (int frame = 0; frame < frames; ++frame) {
      cInputState& input = g_Inputs.front();
      input.m_wDirection = static_cast<std::int16_t>(frame < 90 ? 2 : frame < 120 ? 0 : 1);
      input.m_wButton = static_cast<std::int16_t>(frame >= 30 && frame < 40 ? 1 : 0);
      if (!recording) {
        input.m_wDirection = 1;
        input.m_wButton = 0;
      }
      input.m_nDirection = GetDirection(input);
      scene.PhasePlay();
    }
    const cHero& hero = g_Heroes.front();
    return {scene.m_nFrame, g_PlayData.m_nScore, hero.m_dX, hero.m_dY, g_CharaList.size()};
  }
  static void StepByKeys(cCharaBase* chara, cCmdRun&) {
    if (!chara) return;
    const cInputState& input = g_Inputs.front();
    const int sense = input.m_wDirection == 2 ? 1 : input.m_wDirection == 1 ? -1 : 0;
    chara->m_dX += sense * 0.75 + (RandNext() % 3) * 0.125;
    if (input.m_wButton & 1) g_PlayData.m_nScore += 1 + RandNext() % 5;
  }
  cRestore<std::int32_t> playbackVersion{g_nPlaybackReplayVersion};
  cRestore<CmdExecutor> stepper{CmdExecFunc[CMD_STATUS_OP2], StepByKeys};
};

TEST_F(ReplayPlay, ASavedAttemptLoadedIntoFreshRecordsPlaysToTheSameEnd) {
  Build();
  SetUpStage(3);
  ASSERT_FALSE(g_Heroes.empty());
  const double startX = g_Heroes.front().m_dX;
  const sEnd recorded = Play(180, true);
  EXPECT_NE(recorded.x, startX);  // the keys moved the hero
  EXPECT_GT(recorded.score, 0);
  ASSERT_EQ(SaveReplayFile(g_ReplayLog, "t.rpl4_821", g_Stage, g_StageCopy, g_PlayDataAtStart), 1);

  g_Stage.SetDefault();
  g_StageCopy.SetDefault();
  g_ReplayLog.Clear();
  g_PlayData = cPlayData();
  ASSERT_EQ(LoadReplayFile(g_ReplayLog, "t.rpl4_821", g_Stage, g_StageCopy, g_PlayData), 1);
  g_Stage.m_strPath = "t.rpl4_821";
  g_SceneManager.m_nGameKind = GAME_REPLAY;
  SetStage(1, 1);
  ASSERT_FALSE(g_Heroes.empty());
  EXPECT_EQ(g_Heroes.front().m_dX, startX);
  const sEnd replayed = Play(180, false);
  EXPECT_EQ(replayed.frame, recorded.frame);
  EXPECT_EQ(replayed.score, recorded.score);
  EXPECT_EQ(replayed.x, recorded.x);
  EXPECT_EQ(replayed.y, recorded.y);
  EXPECT_EQ(replayed.charas, recorded.charas);

  // The next call finds the log over and starts the replay again.
  scene.PhasePlay();
  EXPECT_EQ(g_Heroes.front().m_dX, startX);
  EXPECT_EQ(scene.m_nPhase, PLAYPHASE_START);
}

}  // namespace
