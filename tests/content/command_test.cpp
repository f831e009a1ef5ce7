#include "content/command.h"

#include <gtest/gtest.h>

#include <vector>

#include "content/flow.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "tests/content/fake_refs.h"
#include "tests/support/record_bytes.h"
#include "tests/support/scoped_value.h"

namespace {

using Params = std::vector<std::int32_t>;

// A command laid by hand as a file of the given version stores it, without sub-records or
// nested flows. From version 764 a condition-list presence flag is stored.
cBytes& LayCommand(cBytes& b, int version, int set, int kind, const Params& params,
                   std::int16_t anime = 0, std::int16_t sound = 0) {
  b.I32(8).U8(static_cast<std::uint8_t>(set)).U8(static_cast<std::uint8_t>(kind));
  b.I16(20).I16(0).U8(0).I16(sound).U8(1).I16(anime);
  b.I32(1).Str("");  // text
  b.I32(0).I32(0);   // no move, no shot
  if (version >= 764) b.I32(0);
  b.I32(0);  // nested flows
  b.I32(static_cast<std::int32_t>(params.size()));
  for (std::int32_t p : params) b.I32(p);
  return b;
}

std::vector<std::uint8_t> CommandFile(int version, int set, int kind, const Params& params,
                                      std::int16_t anime = 0, std::int16_t sound = 0) {
  cBytes b;
  b.I32(version);
  return LayCommand(b, version, set, kind, params, anime, sound).data;
}

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ReportOpen("Report_Game.txt"));
    refs.m_Sizes = {
        {REF_ANIME, 4},     {REF_SOUND, 6},  {REF_SWORD_TYPE, 3},   {REF_BMP_CHARA_EXC, 2},
        {REF_ANIME_SET, 5}, {REF_EFFECT, 3}, {REF_CHARA_EFFECT, 3}, {REF_SCR_EFFECT, 3},
        {REF_PICTURE, 3},   {REF_BGM, 3}};
  }
  cEdCmd ReadCommand(const std::vector<std::uint8_t>& bytes) {
    cEdCmd cmd;
    EXPECT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { cmd.Read(f); }));
    return cmd;
  }
  cTempFolder folder;
  cFakeRefs refs;
  cScopedGlobal<int> m_KeepEditorLaunch{g_bEditorLaunch};
};

TEST_F(CommandTest, ParameterCountsFollowTheKindTable) {
  EXPECT_EQ(CmdParamCount(CMDSET_CHARA, CMD_CODE), 0);
  EXPECT_EQ(CmdParamCount(CMDSET_CHARA, CMD_LOOP), 2);
  EXPECT_EQ(CmdParamCount(CMDSET_ITEM, 22), 0);
  EXPECT_EQ(CmdParamCount(CMDSET_ITEM, ITEMCMD_FLOW_CHANGE), 2);
  for (int kind = 2; kind < ITEMCMD_KIND_COUNT; ++kind)
    EXPECT_EQ(CmdParamCount(CMDSET_ITEM, kind), CmdParamCount(CMDSET_CHARA, kind + 15)) << kind;
  for (auto [set, kind] : {std::pair{0, -1}, {0, 40}, {1, 25}, {2, 1}})
    EXPECT_EQ(CmdParamCount(set, kind), 0) << set << " " << kind;

  const struct {
    int kind;
    Params stored;
    std::size_t want;
  } cases[] = {{CMD_MESSAGE, Params(20, 3), 18},
               {CMD_MESSAGE, Params(5, 3), 18},
               {CMD_SOUND, {1, 2, 3}, 1},
               {CMD_CODE, {4}, 0}};
  for (const auto& c : cases) {
    cEdCmd cmd = ReadCommand(CommandFile(821, 0, c.kind, c.stored));
    ASSERT_EQ(cmd.m_Params.size(), c.want) << c.kind;
    for (std::size_t i = 0; i < c.want; ++i)
      EXPECT_EQ(cmd.m_Params[i], i < c.stored.size() ? c.stored[i] : 0) << c.kind << " p" << i;
    cDataFile out("x");
    cmd.Write(out);
    cBytes expected;
    EXPECT_EQ(out.Bytes().size(), LayCommand(expected, 821, 0, 0, Params(c.want)).data.size());
  }
}

TEST_F(CommandTest, DatabaseReferencesOutsideTheirTables) {
  const struct {
    int set, kind;
    Params stored;
    Params want;
  } cases[] = {
      {0, CMD_BGM, {-1, 0}, {1, 0}},
      {0, CMD_BGM, {2, 7}, {2, 7}},
      {0, CMD_SET_ANIMESET, {5}, {0}},
      {0, CMD_SET_ANIMESET, {4}, {4}},
      {0, CMD_ANIME, {4}, {1}},
      {0, CMD_EFFECT, {3}, {1, 0, 0, 0, 0, 0, 0, 0}},
      {0, CMD_CHARA_EFFECT, {-5}, {1, 0, 0}},
      {0, CMD_SCREEN_EFFECT, {9}, {1, 0, 0}},
      {0, CMD_PICTURE, {3}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {0, CMD_SOUND, {6}, {1}},
      {0, CMD_SET_GRAPHIC, {4, 2, 0}, {4, 1, 0}},
      {0, CMD_SET_GRAPHIC, {3, 2, 0}, {3, 2, 0}},
      {1, 20, {9}, {1}},          // item sound
      {1, 12, {7}, {0}},          // item animation set
      {1, 10, {1, 99}, {1, 99}},  // item get-item: a palette reference, not a database one
  };
  for (const auto& c : cases) {
    cEdCmd cmd = ReadCommand(CommandFile(821, c.set, c.kind, c.stored));
    EXPECT_EQ(static_cast<const Params&>(cmd.m_Params), c.want) << c.set << " " << c.kind;
  }
  cEdCmd cmd = ReadCommand(CommandFile(821, 0, CMD_WAIT, {}, /*anime=*/4, /*sound=*/-1));
  EXPECT_EQ(cmd.m_sAnime, 0);
  EXPECT_EQ(cmd.m_sSound, 0);
  cmd = ReadCommand(CommandFile(821, 0, CMD_WAIT, {}, 3, 5));
  EXPECT_EQ(cmd.m_sAnime, 3);
  EXPECT_EQ(cmd.m_sSound, 5);
}

TEST_F(CommandTest, SwordTimeComesFromItsSwordType) {
  refs.m_SwordTimes = {{0, {3}}, {1, {5000, 6000}}, {2, {40, -10, 25}}};
  const struct {
    std::int8_t type;
    std::int8_t wantType;
    std::int16_t wantTime;
  } cases[] = {{1, 1, 9999}, {2, 2, 55}, {3, 0, 3}, {-1, 0, 3}};
  for (const auto& c : cases) {
    cEdCmd cmd;
    cmd.m_nKind = CMD_SWORD;
    NewShot(cmd.m_pShot);
    cmd.m_pShot->m_nGuide = c.type;
    cmd.Validate();
    EXPECT_EQ(cmd.m_pShot->m_nGuide, c.wantType);
    EXPECT_EQ(cmd.m_sTime, c.wantTime) << int{c.type};
  }
  // Stored without its shot record, a sword keeps its time.
  cEdCmd bare;
  bare.m_nKind = CMD_SWORD;
  bare.m_sTime = 12;
  bare.Validate();
  bare.ClampIndexes();
  EXPECT_EQ(bare.m_sTime, 12);
  EXPECT_FALSE(bare.m_pShot);
}

TEST_F(CommandTest, PaletteReferencesOutsideTheirLists) {
  refs.m_Palettes = {{{false, PLIST_ITEM}, 4},
                     {{true, PLIST_ITEM}, 2},
                     {{false, PLIST_BLOCK}, 3},
                     {{true, PLIST_CHARA}, 5}};
  const struct {
    int kind;
    std::int8_t palette;
    std::int16_t index;
    std::int8_t wantPalette;
    std::int16_t wantIndex;
  } shots[] = {
      {CMD_SHOT, PALETTE_COMMON, 3, PALETTE_COMMON, 3},
      {CMD_SHOT, PALETTE_COMMON, 4, 0, 0},
      {CMD_SWORD, PALETTE_STAGE, 2, 0, 0},
      {CMD_SHOT, 7, 50, 7, 50},
      {CMD_SUMMON_BLOCK, SUMMON_COMMON, 3, SUMMON_COMMON, 1},
      {CMD_SUMMON_BLOCK, SUMMON_COMMON, 2, SUMMON_COMMON, 2},
      {CMD_SUMMON_CHARA, SUMMON_STAGE, 5, SUMMON_STAGE, 1},
      {CMD_SUMMON_ITEM, SUMMON_STAGE, 1, SUMMON_STAGE, 1},
      {CMD_SUMMON_ITEM, SUMMON_STAGE, -1, SUMMON_STAGE, 1},
      {CMD_SUMMON_ITEM, 4, 9, 4, 9},
  };
  for (const auto& s : shots) {
    cEdCmd cmd;
    cmd.m_nKind = static_cast<std::int8_t>(s.kind);
    NewShot(cmd.m_pShot);
    const bool summon = s.kind >= CMD_SUMMON_BLOCK;
    (summon ? cmd.m_pShot->m_nSummonPalette : cmd.m_pShot->m_nItemPalette) = s.palette;
    (summon ? cmd.m_pShot->m_sSummonIndex : cmd.m_pShot->m_sItemIndex) = s.index;
    cmd.ClampIndexes();
    EXPECT_EQ(summon ? cmd.m_pShot->m_nSummonPalette : cmd.m_pShot->m_nItemPalette, s.wantPalette);
    EXPECT_EQ(summon ? cmd.m_pShot->m_sSummonIndex : cmd.m_pShot->m_sItemIndex, s.wantIndex)
        << s.kind << " " << int{s.palette} << " " << s.index;
  }
  const struct {
    int set, kind;
    Params params, want;
  } items[] = {{0, CMD_GET_ITEM, {0, 4}, {0, 1}},
               {1, ITEMCMD_GET_ITEM, {1, 1}, {1, 1}},
               {1, ITEMCMD_GET_ITEM, {1, 2}, {1, 1}},
               {0, CMD_GET_ITEM, {2, 9}, {2, 9}}};
  for (const auto& g : items) {
    cEdCmd cmd;
    cmd.m_nCmdSet = static_cast<std::int8_t>(g.set);
    cmd.m_nKind = static_cast<std::int8_t>(g.kind);
    cmd.m_Params = g.params;
    cmd.ClampIndexes();
    EXPECT_EQ(static_cast<const Params&>(cmd.m_Params), g.want);
  }
}

TEST_F(CommandTest, SubRecordsAndTheirPresenceFlags) {
  // Without sub-records, three zero flags follow the generic part.
  cEdCmd plain;
  plain.m_nKind = CMD_WAIT;
  plain.m_sTime = 20;
  auto bytes = FileAtVersion(821, [&](cDataFile& f) { plain.Write(f); });
  EXPECT_EQ(bytes, CommandFile(821, 0, CMD_WAIT, {}, 0, 0));
  cEdCmd back = ReadCommand(bytes);
  EXPECT_FALSE(back.m_pMove || back.m_pShot || back.m_pCondList);

  cEdCmd full;
  full.m_nKind = CMD_FLOW_OP;
  full.m_Params = {1, 2, 3, 4};
  NewMove(full.m_pMove);
  full.m_pMove->m_sSpeed = 33;
  NewShot(full.m_pShot);
  full.m_pShot->m_nCount = 3;
  NewCondList(full.m_pCondList);
  full.m_pCondList->m_bEnabled = 1;
  full.m_pCondList->m_Conds.resize(1);
  full.m_Flows.resize(1);
  full.m_Flows[0].m_nTrigger = TRIGGER_DEAD;
  back = ReadCommand(FileAtVersion(821, [&](cDataFile& f) { full.Write(f); }));
  ASSERT_TRUE(back.m_pMove && back.m_pShot && back.m_pCondList);
  EXPECT_EQ(back.m_pMove->m_sSpeed, 33);
  EXPECT_EQ(back.m_pShot->m_nCount, 3);
  EXPECT_EQ(back.m_pCondList->m_bEnabled, 1);
  EXPECT_EQ(back.m_pCondList->m_Conds.size(), 1u);
  ASSERT_EQ(back.m_Flows.size(), 1u);
  EXPECT_EQ(back.m_Flows[0].m_nTrigger, TRIGGER_DEAD);
  EXPECT_EQ(static_cast<const Params&>(back.m_Params), (Params{1, 2, 3, 4}));

  // A version-763 file has no condition-list flag; its flow operation gets a switched-off list.
  back = ReadCommand(CommandFile(763, 0, CMD_FLOW_OP, {1, 2, 3, 9}));
  ASSERT_TRUE(back.m_pCondList);
  EXPECT_EQ(back.m_pCondList->m_bEnabled, 0);
  EXPECT_EQ(static_cast<const Params&>(back.m_Params), (Params{1, 2, 3, 9}));
  back = ReadCommand(CommandFile(764, 0, CMD_FLOW_OP, {1, 2, 3, 9}));
  EXPECT_FALSE(back.m_pCondList) << "from 764 the file's own (absent) list holds";
}

TEST_F(CommandTest, CopiesOwnTheirSubRecords) {
  cEdCmd source;
  source.m_nKind = CMD_MOVE_LINE;
  source.m_strText = "text";
  NewMove(source.m_pMove);
  NewShot(source.m_pShot);
  NewCondList(source.m_pCondList);
  source.m_Flows.resize(1);
  source.m_Flows[0].m_Cmds.resize(1);
  NewMove(source.m_Flows[0].m_Cmds[0].m_pMove);

  cEdCmd copy(source);
  copy.m_pMove->m_sSpeed = 99;
  copy.m_pShot->m_nCount = 7;
  copy.m_pCondList->m_bEnabled = 1;
  copy.m_Flows[0].m_Cmds[0].m_pMove->m_sSpeed = 55;
  EXPECT_EQ(source.m_pMove->m_sSpeed, 10);
  EXPECT_EQ(source.m_pShot->m_nCount, 0);
  EXPECT_EQ(source.m_pCondList->m_bEnabled, 0);
  EXPECT_EQ(source.m_Flows[0].m_Cmds[0].m_pMove->m_sSpeed, 10);
  EXPECT_EQ(source.m_pMove.use_count(), 1);
  EXPECT_EQ(copy.m_strText, "text");

  cEdCmd target;
  NewMove(target.m_pMove);
  target = source;  // the source has no sub-record the target lacks, and vice versa
  EXPECT_NE(target.m_pMove, source.m_pMove);
  cEdCmd none;
  target = none;
  EXPECT_FALSE(target.m_pMove || target.m_pShot || target.m_pCondList);

  // Assigning a command to itself, or from inside its own nested flows, keeps everything.
  cEdCmd& self = source;
  source = self;
  ASSERT_TRUE(source.m_pMove && source.m_pShot && source.m_pCondList);
  EXPECT_EQ(source.m_Flows.size(), 1u);
  source = source.m_Flows[0].m_Cmds[0];
  ASSERT_TRUE(source.m_pMove);
  EXPECT_TRUE(source.m_Flows.empty());
}

TEST_F(CommandTest, NestedTestPlayFlowsAreDroppedOutsideTestPlay) {
  cEdCmd cmd;
  cmd.m_nCmdSet = CMDSET_ITEM;
  cmd.m_nKind = ITEMCMD_FLOW_CHANGE;
  cmd.m_Flows.resize(3);
  for (int i = 0; i < 3; ++i) cmd.m_Flows[i].m_nID = static_cast<std::int8_t>(i + 1);
  cmd.m_Flows[1].m_bTestPlayOnly = 1;
  const auto bytes = FileAtVersion(821, [&](cDataFile& f) { cmd.Write(f); });
  const struct {
    int editor;
    bool keep;
    std::vector<int> ids;
  } cases[] = {{0, false, {1, 3}}, {1, false, {1, 2, 3}}, {0, true, {1, 2, 3}}};
  for (const auto& c : cases) {
    g_bEditorLaunch = c.editor;
    refs.m_bKeepTestPlay = c.keep;
    cEdCmd back = ReadCommand(bytes);
    std::vector<int> ids;
    for (const cEdFlow& flow : back.m_Flows) ids.push_back(flow.m_nID);
    EXPECT_EQ(ids, c.ids);
  }
}

TEST_F(CommandTest, DamagedAndUnknownCommands) {
  // A kind no table holds keeps no parameters and is reported.
  cEdCmd unknown = ReadCommand(CommandFile(821, 0, 60, {1, 2, 3}));
  EXPECT_EQ(unknown.m_nKind, 60);
  EXPECT_TRUE(unknown.m_Params.empty());
  EXPECT_NE(ReadText("Report_Game.txt").find("kind 60"), std::string::npos);

  // A truncated list of commands fails and leaves the list it was read into as it was.
  cBytes b;
  b.I32(821).I32(2);
  LayCommand(b, 821, 0, CMD_SOUND, {1});
  LayCommand(b, 821, 0, CMD_SOUND, {1});
  for (std::size_t cut : {4u, 9u, 30u}) {
    std::vector<std::uint8_t> bytes(b.data.begin(), b.data.end() - static_cast<long>(cut));
    CmdVector list(1);
    list[0].m_nKind = CMD_WAIT;
    EXPECT_FALSE(ReadFromBytes(bytes, [&](cDataFile& f) { LoadCmdList(list, f); }));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].m_nKind, CMD_WAIT);
  }
  // A parameter count larger than the file can hold is refused, not allocated.
  cBytes huge;
  huge.I32(821);
  LayCommand(huge, 821, 0, CMD_SOUND, {});
  huge.data.resize(huge.data.size() - 4);
  huge.I32(0x7fffffff);
  cEdCmd cmd;
  EXPECT_FALSE(ReadFromBytes(huge.data, [&](cDataFile& f) { cmd.Read(f); }));
}

TEST_F(CommandTest, NestingOfFlowsIsBounded) {
  for (int depth : {kMaxFlowNesting, kMaxFlowNesting + 1}) {
    cEdCmd outer;
    cEdCmd* cmd = &outer;
    for (int level = 1; level < depth; ++level) {
      cmd->m_Flows.resize(1);
      cmd->m_Flows[0].m_Cmds.resize(1);
      cmd = &cmd->m_Flows[0].m_Cmds[0];
    }
    const auto bytes = FileAtVersion(821, [&](cDataFile& f) { outer.Write(f); });
    cEdCmd back;
    EXPECT_EQ(ReadFromBytes(bytes, [&](cDataFile& f) { back.Read(f); }), depth <= kMaxFlowNesting)
        << depth;
  }
}

}  // namespace
