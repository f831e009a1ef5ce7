#include "content/shot.h"

#include <gtest/gtest.h>

#include "content/content_refs.h"
#include "tests/support/record_bytes.h"
#include "tests/support/scoped_value.h"

namespace {

class cEffectTable : public cContentRefs {
 public:
  std::int32_t TableSize(eRefTable table) const override { return table == REF_EFFECT ? 5 : 0; }
};

class ShotTest : public ::testing::Test {
 protected:
  void SetUp() override { SetContentRefs(&refs); }
  void TearDown() override { SetContentRefs(nullptr); }
  cEffectTable refs;
  cScopedGlobal<int> m_KeepReplayVersion{g_nPlaybackReplayVersion};
};

TEST_F(ShotTest, LayoutFollowsTheVersionGates) {
  cEdShot shot;
  const struct {
    int version, bindings, bytes;
  } cases[] = {{157, 52, 83}, {158, 53, 84}, {197, 54, 85}, {211, 55, 86}, {213, 58, 91},
               {636, 59, 92}, {671, 60, 93}, {762, 62, 95}, {767, 64, 97}, {821, 64, 97}};
  for (const auto& c : cases)
    EXPECT_EQ(LayoutAt(shot, c.version), std::make_pair(c.bindings, c.bytes)) << c.version;
}

// The fields a version-157 file stores start: count, formation, its three values, direction.
TEST_F(ShotTest, Version157BytesStartWithTheFormation) {
  cEdShot shot;
  shot.m_nCount = 3;
  shot.m_sFormationValue[2] = 0x0102;
  shot.m_byReserved4 = 9;  // not stored before 671
  shot.m_nDirection = 12;
  const auto bytes = FileAtVersion(157, [&](cDataFile& f) { shot.Write(f); });
  const std::vector<std::uint8_t> head(bytes.begin() + 8, bytes.begin() + 17);
  EXPECT_EQ(head, (std::vector<std::uint8_t>{3, 0, 0, 0, 0, 0, 2, 1, 12}));
}

TEST_F(ShotTest, UpgradesOfOldFiles) {
  const struct {
    int version;
    std::int8_t guide, storedHoming;
    std::int8_t homing;
  } cases[] = {{200, GUIDE_HOME_TARGET, 0, 1},
               {200, GUIDE_WAVE, 0, 0},
               {211, GUIDE_STRAIGHT, 1, 0},
               {212, GUIDE_STRAIGHT, 1, 1},
               {212, GUIDE_HOME_HERO, 0, 0}};
  for (const auto& c : cases) {
    cEdShot stored;
    stored.m_nGuide = c.guide;
    stored.m_bHoming = c.storedHoming;
    stored.m_bMirrorAngle = 1;
    stored.m_byReserved45 = 7;
    stored.m_byReserved56 = 6;
    stored.m_byReserved57 = 6;
    stored.m_byReserved4 = 5;
    stored.m_bAccel = 1;
    stored.m_sAccel = 3;
    const auto bytes = FileAtVersion(c.version, [&](cDataFile& f) { stored.Write(f); });
    ShotPtr shot;
    NewShot(shot);
    ASSERT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { shot->Read(f); })) << c.version;
    EXPECT_EQ(shot->m_bHoming, c.homing) << c.version << " guide " << int{c.guide};
    EXPECT_EQ(shot->m_bMirrorAngle, 1);
    EXPECT_EQ(shot->m_byReserved57, 6) << "takes field 56 below 197";
    EXPECT_EQ(shot->m_byReserved46, 7) << "takes field 45 below 636";
    EXPECT_EQ(shot->m_byReserved4, 0);
    EXPECT_EQ(shot->m_bAccel, c.version >= 213);
    EXPECT_EQ(shot->m_sAccel, 0);
  }
  cEdShot stored;
  const auto bytes = FileAtVersion(157, [&](cDataFile& f) { stored.Write(f); });
  ShotPtr shot;
  NewShot(shot);
  ASSERT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { shot->Read(f); }));
  EXPECT_EQ(shot->m_bMirrorAngle, 0);
}

TEST_F(ShotTest, ValidateMendsSizeAndHitEffect) {
  const struct {
    std::int8_t size;
    std::int16_t effect;
    std::int8_t wantSize;
    std::int16_t wantEffect;
  } cases[] = {{0, 4, 1, 4}, {-5, 5, 1, 0}, {3, -1, 3, 0}, {1, 0, 1, 0}};
  for (const auto& c : cases) {
    cEdShot stored;
    stored.m_nSizeFactor = c.size;
    stored.m_sHitEffect = c.effect;
    cDataFile out("x");
    stored.cFileData::Write(out);  // the bytes as a file may hold them
    std::vector<std::uint8_t> bytes = cBytes().I32(g_nDataVersion).data;
    bytes.insert(bytes.end(), out.Bytes().begin(), out.Bytes().end());
    cEdShot shot;
    ASSERT_TRUE(ReadFromBytes(bytes, [&](cDataFile& f) { shot.Read(f); }));
    EXPECT_EQ(shot.m_nSizeFactor, c.wantSize);
    EXPECT_EQ(shot.m_sHitEffect, c.wantEffect);
    stored.Write(out);
    EXPECT_EQ(stored.m_sHitEffect, c.wantEffect) << "writing validates too";
  }
}

TEST_F(ShotTest, NewShotDefaultsAndOffsets) {
  ShotPtr shot;
  NewShot(shot);
  EXPECT_EQ(shot->m_bMirrorAngle, 1);
  EXPECT_EQ(shot->m_bMirrorX, 1);
  EXPECT_EQ(shot->m_bMirrorY, 0);
  EXPECT_EQ(shot->m_bGroupFromFirer, 1);
  EXPECT_EQ(shot->m_nSizeFactor, 1);
  shot->m_sOffsetX = 10;
  shot->m_sOffsetXClone = 4;
  shot->m_sOffsetY = -3;
  shot->m_sOffsetYClone = 2;
  EXPECT_EQ(shot->GetOffsetX(2, 0), 18.0);
  EXPECT_EQ(shot->GetOffsetX(2, 1), -18.0);
  EXPECT_EQ(shot->GetOffsetY(2, 1), 1.0) << "mirror Y off";
  shot->m_bMirrorY = 1;
  EXPECT_EQ(shot->GetOffsetY(2, 1), -1.0);
}

TEST_F(ShotTest, MapDirection) {
  const struct {
    int replay, choice, keepNone, facing, want;
  } cases[] = {
      {0, 9, 0, 1, 3},   {0, 9, 1, 1, 0},   {0, 4, 0, 0, 7},   {0, 0, 1, 0, 2},   {0, 0, 0, 1, 3},
      {0, 1, 0, 1, 2},   {0, 8, 0, 0, 11},  {0, 5, 1, 1, 8},   {0, 10, 0, 0, 0},  {0, -1, 0, 0, 0},
      {777, 9, 0, 1, 0}, {778, 9, 1, 1, 3}, {779, 9, 1, 0, 2}, {780, 9, 1, 1, 0}, {780, 9, 0, 1, 3},
  };
  for (const auto& c : cases) {
    g_nPlaybackReplayVersion = c.replay;
    EXPECT_EQ(MapDirection(c.choice, c.keepNone, c.facing), c.want)
        << c.replay << " " << c.choice << " " << c.keepNone << " " << c.facing;
  }
}

TEST_F(ShotTest, FormationAndGuidanceRanges) {
  const sParamLabel& columns = g_FormationParamTable[FORMATION_THUNDER * 3 + 1];
  EXPECT_EQ(columns.sMin, 1);
  EXPECT_EQ(columns.sMax, 50);
  EXPECT_EQ(g_FormationParamTable[FORMATION_SURROUND * 3].sDefault, 6);
  EXPECT_EQ(g_FormationParamTable[FORMATION_EXPLODE * 3].pLabel[0], '\0');
  EXPECT_EQ(g_GuideParamTable[GUIDE_HOME_NEAREST * 3 + 1].sDefault, 999);
  EXPECT_EQ(g_GuideParamTable[GUIDE_WAVE * 3 + 2].sMax, 359);
  EXPECT_EQ(g_GuideParamTable[GUIDE_AIM_NEAREST * 3 + 1].sMax, 7);
}

}  // namespace
