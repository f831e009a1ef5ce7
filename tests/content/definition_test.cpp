#include <gtest/gtest.h>

#include "content/inheritance.h"
#include "content/palette.h"
#include "foundation/shell_services.h"
#include "tests/content/fake_refs.h"
#include "tests/support/record_bytes.h"
#include "tests/support/scoped_value.h"

namespace {

class DefinitionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetStagePaletteLists(m_Stage.Lists());
    g_CommonPalette = cPalette();
    m_Refs.m_bRealPalettes = true;
  }
  void TearDown() override { SetStagePaletteLists({}); }
  cScopedGlobal<cPalette> m_KeepCommonPalette{g_CommonPalette};
  cScopedGlobal<int> m_KeepEditorLaunch{g_bEditorLaunch};
  template <class Def>
  Def ReadBack(Def& def, int version = kDataVersion) {
    const auto bytes = FileAtVersion(version, [&](cDataFile& f) { def.Write(f); });
    Def read;
    EXPECT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { read.Read(f); }));
    return read;
  }
  cFakeRefs m_Refs;
  cPalette m_Stage;  // stands for the loaded stage's palette
};

TEST_F(DefinitionTest, BlockRoundTripsByteForByte) {
  cEdBlock block;
  block.m_strName = "岩";
  block.m_sGraphic = 12;
  block.m_nHitMode = 2;
  block.m_nPassGroup = 3;
  block.m_nEffect = BLOCK_EFFECT_JUMP;
  block.m_nEffectValue = -7;
  block.m_sPosX = 40;
  block.m_sPosY = -2;
  block.m_Conds.resize(2);
  block.m_Conds[1].m_nKind = COND_COMMON_VAR;
  const auto bytes = FileAtVersion(kDataVersion, [&](cDataFile& f) { block.Write(f); });
  cEdBlock read;
  ASSERT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { read.Read(f); }));
  EXPECT_EQ(FileAtVersion(kDataVersion, [&](cDataFile& f) { read.Write(f); }), bytes);
  EXPECT_EQ(read.m_strName, "岩");
  EXPECT_EQ(read.m_sPosY, -2);
  EXPECT_EQ(read.m_Conds.size(), 2u);
  // 18 fields of 26 bytes, one string.
  EXPECT_EQ(LayoutAt(block, 219), std::make_pair(18, 26));
}

TEST_F(DefinitionTest, BlockReadUpgradesAndValidates) {
  struct Case {
    int version;
    std::uint8_t kind;
    std::int16_t graphic, expected;
  } cases[] = {{218, GRAPHIC_SHOT, 5, 6},   {218, GRAPHIC_SHOT, 119, 119},
               {218, GRAPHIC_SHOT, 200, 119}, {219, GRAPHIC_SHOT, 5, 5},
               {218, GRAPHIC_BLOCK, 5, 5}};
  for (const Case& c : cases) {
    cEdBlock block;
    block.m_nGraphicKind = c.kind;
    block.m_sGraphic = c.graphic;
    EXPECT_EQ(ReadBack(block, c.version).m_sGraphic, c.expected) << c.version << " " << c.graphic;
  }
  // A block without a picture is never solid and never protected.
  cEdBlock empty;
  empty.m_nHitMode = 2;
  empty.m_bNoChange = 1;
  empty.m_sGraphic = 0;
  cEdBlock read = ReadBack(empty);
  EXPECT_EQ(read.m_nHitMode, 0);
  EXPECT_EQ(read.m_bNoChange, 0);
}

TEST_F(DefinitionTest, OutOfRangeReferencesAreReset) {
  m_Stage.m_Blocks.resize(8);  // while the fixture is written
  m_Stage.m_Items.resize(3);
  cEdBlock block;
  block.m_sGraphic = 1;
  block.m_nBasePalette = PALETTE_STAGE;
  block.m_sBaseIndex = 7;
  block.m_Inherit[6] = 1;
  const auto bytes = FileAtVersion(kDataVersion, [&](cDataFile& f) { block.Write(f); });
  m_Stage.m_Blocks.resize(5);
  cEdBlock read;
  ASSERT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { read.Read(f); }));
  // Inheritance finds no base and drops the palette; validation leaves palette 0 alone.
  EXPECT_EQ(read.m_nBasePalette, 0);
  EXPECT_EQ(read.m_sBaseIndex, 7);
  block.Validate();
  EXPECT_EQ(block.m_nBasePalette, 0);
  EXPECT_EQ(block.m_sBaseIndex, 0);

  const struct {
    std::uint8_t palette;
    std::int16_t index;
    bool kept;
  } items[] = {{2, 2, true}, {2, 3, false}, {2, -1, false}, {1, 1, false}, {1, 0, true}};
  for (const auto& c : items) {
    block.m_nItemPalette = c.palette;
    block.m_sItemIndex = c.index;
    block.ValidateItemRef();
    EXPECT_EQ(block.m_nItemPalette, c.kept ? c.palette : 0) << c.index;
    EXPECT_EQ(block.m_sItemIndex, c.kept ? c.index : 0) << c.index;
  }
  EXPECT_EQ(GetEdItem(2, 2), &m_Stage.m_Items[2]);
  EXPECT_EQ(GetEdItem(1, -1), nullptr);
  EXPECT_EQ(GetEdItem(3, 0), nullptr);
  EXPECT_EQ(GetEdItem(2, 3), nullptr);
}

TEST_F(DefinitionTest, InheritFlagCountsAreKeptAsStored) {
  for (int count : {0, 14}) {
    cEdBlock block;
    block.m_sGraphic = 4;
    block.m_nBasePalette = PALETTE_COMMON;
    block.m_sBaseIndex = 0;
    block.m_Inherit.assign(static_cast<std::size_t>(count), 0);
    if (count == 14) block.m_Inherit[12] = 1;  // past the table: no group
    EXPECT_EQ(ReadBack(block).m_Inherit.size(), static_cast<std::size_t>(count));
  }
}

int g_nVariable = 0;
std::int32_t ReadVariable(int, int, cCharaBase*) { return g_nVariable; }

TEST_F(DefinitionTest, MapCellHitModeFollowsPassGroupAndLatch) {
  cMapCell cell;
  cEdBlock solid;
  solid.m_sGraphic = 1;
  solid.m_nPassGroup = 3;
  cell.SetBlock(solid);
  for (int group = 0; group < 8; ++group)
    EXPECT_EQ(cell.GetHitMode(group), group == 3 ? 0 : 1) << group;
  cell.m_nPassGroup = kNoPassGroup;
  for (int group = 0; group < 8; ++group) EXPECT_EQ(cell.GetHitMode(group), 1);

  sConditionServices services;
  services.pReadVariable = &ReadVariable;
  SetConditionServices(services);
  solid.m_Conds.resize(1);
  solid.m_Conds[0].m_nKind = COND_COMMON_VAR;
  solid.m_Conds[0].m_nConst = 1;
  for (std::uint8_t once : {0, 1}) {
    solid.m_bCondOnce = once;
    cell.SetBlock(solid);
    g_nVariable = 0;
    EXPECT_EQ(cell.GetHitMode(0), 0);
    g_nVariable = 1;
    EXPECT_EQ(cell.GetHitMode(0), 1);
    g_nVariable = 0;
    EXPECT_EQ(cell.GetHitMode(0), once ? 1 : 0) << "once " << int(once);
    cell.SetBlock(solid);  // another block: the latch starts again
    EXPECT_EQ(cell.GetHitMode(0), 0);
  }
  SetConditionServices({});
}

struct sDrawn {
  int kind, index, frame, srcX, srcY;
};
sDrawn g_Drawn;

TEST_F(DefinitionTest, TileDrawsGraphicAndMarkCell) {
  SetTileDrawer({[](DDSURFACEDATA*, int kind, int index, int frame, int, int) {
                   g_Drawn.kind = kind, g_Drawn.index = index, g_Drawn.frame = frame;
                 },
                 [](DDSURFACEDATA*, int sx, int sy, int, int) {
                   g_Drawn.srcX = sx, g_Drawn.srcY = sy;
                 }});
  cEdBlock block;
  block.m_sGraphic = 9;
  block.m_nGraphicKind = GRAPHIC_DEDICATED;
  block.m_sGraphicFrame = 2;
  block.m_sMark = 17;
  g_Drawn = {-1, -1, -1, -1, -1};
  block.m_nMarkShow = 2;  // editor only
  block.DrawTile(nullptr, 0, 0);
  EXPECT_EQ(g_Drawn.index, 9);
  EXPECT_EQ(g_Drawn.frame, 2);
  EXPECT_EQ(g_Drawn.srcX, -1);
  block.m_nMarkShow = 1;
  block.DrawTile(nullptr, 0, 0);
  EXPECT_EQ(g_Drawn.srcX, 32);
  EXPECT_EQ(g_Drawn.srcY, 64);
  SetTileDrawer({});
}

// A version-167 character: 47 fields, 34 flags, no flows.
TEST_F(DefinitionTest, OldCharacterGainsTheNewGroupsFlags) {
  cEdChara chara;
  chara.m_Inherit.assign(34, 0);
  chara.m_Inherit[33] = 1;
  EXPECT_EQ(LayoutAt(chara, 167).first, 47);
  EXPECT_EQ(LayoutAt(chara, 821).first, 53);
  cEdChara read = ReadBack(chara, 167);
  ASSERT_EQ(read.m_Inherit.size(), 37u);
  for (int g = 0; g < 37; ++g)
    EXPECT_EQ(read.m_Inherit[g], g == 21 || g == 25 || g == 29 || g == 36 ? 1 : 0) << g;
}

TEST_F(DefinitionTest, CharacterUpgradesByVersion) {
  struct Case {
    int version;
    std::uint8_t hitSize, invincibleShow;
    std::uint8_t expectHitSize, expectShow;
  } cases[] = {{205, 2, 0, 3, 1}, {205, 1, 0, 1, 1}, {206, 2, 0, 2, 1},
               {284, 2, 0, 2, 1}, {285, 2, 0, 2, 0}, {285, 2, 2, 2, 2}};
  for (const Case& c : cases) {
    cEdChara chara;
    chara.m_nHitSize = c.hitSize;
    chara.m_nInvincibleShow = c.invincibleShow;
    cEdChara read = ReadBack(chara, c.version);
    EXPECT_EQ(read.m_nHitSize, c.expectHitSize) << c.version;
    EXPECT_EQ(read.m_nInvincibleShow, c.expectShow) << c.version;
  }
}

TEST_F(DefinitionTest, CharacterFlowsAndValidation) {
  cEdChara chara;
  chara.m_Flows.resize(3);
  chara.m_Flows[0].m_nTrigger = 3;          // empty but triggered: kept
  chara.m_Flows[1].m_bTestPlayOnly = 1;     // kept only in test play
  chara.m_Flows[1].m_nTrigger = 4;
  // flow 2 is empty in every way: removed
  chara.m_nControl = 0;
  chara.m_nCopies = 3;
  chara.m_bNoHitBox = 1;
  chara.m_nScale = 0xFD;  // -3
  chara.m_sAnimeSet = 4;
  chara.m_nGraphicKind = GRAPHIC_DEDICATED;
  chara.m_sGraphic = 9;
  m_Refs.m_Sizes[REF_ANIME_SET] = 4;
  m_Refs.m_Sizes[REF_BMP_CHARA_EXC] = 3;
  cEdChara played = ReadBack(chara);
  EXPECT_EQ(played.m_Flows.size(), 1u);
  EXPECT_EQ(played.m_nCopies, 0);
  EXPECT_EQ(played.m_bNoHitBox, 0);
  EXPECT_EQ(played.m_nScale, 1);
  EXPECT_EQ(played.m_sAnimeSet, 0);
  EXPECT_EQ(played.m_sGraphic, 1);
  g_bEditorLaunch = 1;
  EXPECT_EQ(ReadBack(chara).m_Flows.size(), 2u);

  chara.m_sCopyOffsetX = 8;
  chara.m_sCopyStepX = 40;
  chara.m_bCopyMirrorX = 1;
  EXPECT_EQ(chara.GetPlaceOffsetX(2, 1), -88);
  EXPECT_EQ(chara.GetPlaceOffsetX(2, 0), 88);
}

TEST_F(DefinitionTest, ItemStoresShowOnTakeBeforeTakeMode) {
  cBytes b;
  b.I32(821).I32(17).U8(0).I16(0).U8(0).U8(0).I16(0).I16(0).I16(0).U8(2).I16(0).U8(6);
  b.U8(0).U8(0).I16(0).U8(1).U8(2).U8(0).I16(5).I32(0);
  b.I16(0).I16(0).I32(0).I32(0).I32(0);
  m_Refs.m_Sizes[REF_SOUND] = 5;
  cEdItem item;
  ASSERT_TRUE(ReadFromBytes(b.data, [&](cDataFile& f) { item.Read(f); }));
  EXPECT_EQ(item.m_bShowOnTake, 1);
  EXPECT_EQ(item.m_nTakeMode, TAKE_NEVER);
  EXPECT_EQ(item.m_nScale, 1);  // stored 0
  EXPECT_EQ(item.m_sSound, 0);  // stored 5, the table's size
}

class InheritanceTest : public DefinitionTest {
 protected:
  // Writes the common palette as it stands and reads it back into g_CommonPalette, so that
  // bases are resolved in file order.
  void Reload() {
    const auto bytes = FileAtVersion(kDataVersion, [&](cDataFile& f) {
      sPaletteLists lists = g_CommonPalette.Lists();
      g_CommonPalette.cFileData::Write(f);
      WritePaletteLists(lists, f);
    });
    ASSERT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { g_CommonPalette.Read(f); }));
  }
  BlockVector& Blocks() { return g_CommonPalette.m_Blocks; }
};

TEST_F(InheritanceTest, BlockBaseEarlierGivesResolvedValuesLaterGivesDefaults) {
  Blocks().resize(6);
  for (cEdBlock& block : Blocks()) block.m_sGraphic = 1;
  Blocks()[1].m_nHitMode = BLOCK_HIT_DEADLY;
  Blocks()[5].m_nHitMode = BLOCK_HIT_DEADLY;
  Blocks()[2].m_nHitMode = BLOCK_HIT_NONE;
  Blocks()[2].m_nBasePalette = PALETTE_COMMON;
  Blocks()[2].m_sBaseIndex = 1;
  Blocks()[2].m_Inherit[6] = 1;
  Blocks()[3] = Blocks()[2];
  Blocks()[3].m_sBaseIndex = 5;  // later in the list
  Blocks()[4] = Blocks()[2];
  Blocks()[4].m_Inherit[6] = 0;  // valid base, nothing flagged
  Reload();
  EXPECT_EQ(Blocks()[2].m_nHitMode, BLOCK_HIT_DEADLY);
  EXPECT_EQ(Blocks()[3].m_nHitMode, BLOCK_HIT_SOLID);
  EXPECT_EQ(Blocks()[4].m_nHitMode, BLOCK_HIT_NONE);
  for (const cEdBlock& block : Blocks()) EXPECT_EQ(block.m_Inherit[6], 0);
}

TEST_F(InheritanceTest, BaseOutsideItsListDropsThePaletteOnly) {
  cEdItem item;
  item.m_nBasePalette = PALETTE_COMMON;
  item.m_sBaseIndex = 1;  // the common item list holds one entry
  item.m_Inherit[4] = 1;
  item.m_sGraphic = 7;
  item.ApplyInheritance();
  EXPECT_EQ(item.m_nBasePalette, 0);
  EXPECT_EQ(item.m_sBaseIndex, 1);
  EXPECT_EQ(item.m_sGraphic, 7);
}

TEST_F(InheritanceTest, CharacterGroupsAndFlows) {
  g_CommonPalette.m_Charas.resize(2);
  cEdChara& base = g_CommonPalette.m_Charas[1];
  base.m_nMaxHP = 77;
  base.m_nPower = 5;
  cEdChara chara;
  chara.m_nBasePalette = PALETTE_COMMON;
  chara.m_sBaseIndex = 1;
  chara.m_Inherit[23] = 1;
  chara.m_Inherit[36] = 1;
  chara.m_Flows.resize(2);
  chara.m_Flows[0].m_nTrigger = 2;
  chara.ApplyInheritance();
  EXPECT_EQ(chara.m_nMaxHP, 77);
  EXPECT_EQ(chara.m_nPower, 0);
  // A base without flows leaves one fresh flow, which validation then removes as empty.
  EXPECT_EQ(chara.m_Flows.size(), 1u);
  chara.Validate();
  EXPECT_TRUE(chara.m_Flows.empty());

  // A definition that is its own base keeps its commands and their sub-records.
  cEdItem self;
  self.m_nBasePalette = 3;
  self.m_sBaseIndex = 1;
  self.m_Inherit.assign(kItemInheritGroups, 1);
  self.m_Cmds.resize(1);
  self.m_Cmds[0].m_strText = "keep";
  self.ApplyInheritance();
  ASSERT_EQ(self.m_Cmds.size(), 1u);
  EXPECT_EQ(self.m_Cmds[0].m_strText, "keep");
}

TEST_F(InheritanceTest, PaletteResetsNoneEntriesAndPads) {
  Blocks().resize(1);
  Blocks()[0].m_nHitMode = BLOCK_HIT_DEADLY;
  Blocks()[0].m_strName = "x";
  Blocks()[0].m_sGraphic = 3;
  g_CommonPalette.m_Charas.clear();
  Reload();
  ASSERT_EQ(Blocks().size(), 2u);
  EXPECT_EQ(Blocks()[0].m_strName, "");
  // Reset to a block without a picture, which validation makes passable.
  EXPECT_EQ(Blocks()[0].m_nHitMode, BLOCK_HIT_NONE);
  EXPECT_EQ(Blocks()[0].m_Inherit.size(), 11u);
  EXPECT_EQ(g_CommonPalette.m_Charas.size(), 2u);

  cPalette fresh;
  const auto bytes = FileAtVersion(kDataVersion, [&](cDataFile& f) { fresh.Write(f); });
  // Header, two zero counts, then a count of 2 for the blocks.
  EXPECT_EQ(bytes[12], 2);
}

TEST_F(InheritanceTest, DamagedPaletteFileChangesNothing) {
  cTempFolder folder;
  Blocks().resize(3);
  Blocks()[2].m_strName = "kept";
  ASSERT_EQ(g_CommonPalette.SaveFile("pal.cplt4"), 1);
  std::vector<std::uint8_t> bytes = ReadBytes("pal.cplt4");
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"truncated", {bytes.begin(), bytes.end() - 3}},
      {"huge count", cBytes().I32(821).I32(0).I32(0).I32(0x7FFFFFFF).data},
      {"negative count", cBytes().I32(821).I32(0).I32(0).I32(-1).data},
  };
  for (const auto& c : cases) {
    WriteBytes("bad.cplt4", c.bytes);
    EXPECT_EQ(g_CommonPalette.LoadFile("bad.cplt4"), 0) << c.what;
    ASSERT_EQ(Blocks().size(), 3u) << c.what;
    EXPECT_EQ(Blocks()[2].m_strName, "kept") << c.what;
  }
}

}  // namespace
