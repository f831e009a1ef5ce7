// Firing and summoning on a small stage: whole volleys read back from the shot list as
// tables, the copies of a firing, aiming, the random draws, summons from the palettes and the
// links of new shots; then the shot, sword and summon commands as their flows run them.
#include "objects/shot_fire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "content/palette.h"
#include "flows/shot_cmds.h"
#include "foundation/random.h"
#include "media/sound.h"
#include "objects/chara_flows.h"
#include "play/scroll_axis.h"
#include "play/spawn.h"
#include "project/database.h"
#include "project/sword_type.h"
#include "stage_end_fixture.h"
#include "stage_fixture.h"

namespace {

struct sShotRow {
  int x, y;
  double vx, vy;
};

class ShotFireTest : public cStageFixture {
 protected:
  void SetUp() override {
    cStageFixture::SetUp();
    SetUpStage(1);
    ASSERT_EQ(&ScrollAxisX(), &scene.m_ScrollX);
    scene.m_ScrollX.m_dPos = 320;
    scene.m_ScrollY.m_dPos = 320;
    owner = &AddChara(1, 0);
    // Player-controlled, so that firing keeps the screen rectangle the test gives it.
    owner->m_nControl = 0;
    SetRect(*owner, 100, 200);
    Command(CMD_SHOT);
  }
  void TearDown() override {
    ClearShots();
    cStageFixture::TearDown();
  }

  cChara& AddChara(int control, int group) {
    cEdChara def = Chara(control, 3, 3);
    def.m_nGroup = static_cast<std::uint8_t>(group);
    cChara& c = g_CharaList.emplace_back();
    c.InitFromDef(static_cast<int>(g_CharaList.size()) + 100, def, nullptr, 0, 0, 0, nullptr);
    return c;
  }
  // The 32 x 32 screen rectangle of the graphic cell at (left, top).
  static void SetRect(cObject& o, int left, int top) {
    o.m_Rect.m_nLeft = left;
    o.m_Rect.m_nTop = top;
    o.m_Rect.m_nRight = left + 31;
    o.m_Rect.m_nBottom = top + 31;
    o.m_Rect.m_nWidth = o.m_Rect.m_nHeight = 32;
  }
  void Command(int kind) {
    cmd = cEdCmd();
    cmd.m_nKind = static_cast<std::int8_t>(kind);
    NewShot(cmd.m_pShot);
    run = cCmdRun();
    run.m_pCmd = &cmd;
    run.m_nDuration = run.m_nRemain = 600;
    Def().m_nCount = 1;
    Def().m_sSpeed = 10;
    Def().m_bMirrorX = 0;
  }
  cEdShot& Def() { return *cmd.m_pShot; }
  void ClearShots() {
    for (auto& group : scene.m_ShotGroup) group.clear();
    scene.m_ShotList.clear();
  }
  std::vector<sShotRow> Fire() {
    ClearShots();
    FireShot(scene.m_ShotList, *owner, run, Def());
    return Shots();
  }
  std::vector<sShotRow> Shots() const {
    std::vector<sShotRow> rows;
    for (const cShot& s : scene.m_ShotList)
      rows.push_back(
          {static_cast<int>(s.m_dX), static_cast<int>(s.m_dY), s.m_dBaseVX, s.m_dBaseVY});
    return rows;
  }
  // The velocity of speed 1 at the angle, degrees.
  static void ExpectHeading(const sShotRow& row, double degrees) {
    const double r = degrees * 3.14159265358979323846 / 180;
    EXPECT_NEAR(row.vx, -std::cos(r), 1e-12) << degrees;
    EXPECT_NEAR(row.vy, -std::sin(r), 1e-12) << degrees;
  }

  // A row of count shots in the direction, spacing half-blocks apart, shifted by the launch
  // offset.
  void Row(int dir, int count, int spacing, int offX, int offY) {
    Def().m_nDirection = static_cast<std::int8_t>(dir);
    Def().m_nCount = static_cast<std::int8_t>(count);
    Def().m_sFormationValue[0] = static_cast<std::int16_t>(spacing);
    Def().m_sOffsetX = static_cast<std::int16_t>(offX);
    Def().m_sOffsetY = static_cast<std::int16_t>(offY);
  }
  // The volley against the positions and velocities worked out for it.
  static void ExpectRows(const std::vector<sShotRow>& got, const std::vector<sShotRow>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].x, want[i].x) << i;
      EXPECT_EQ(got[i].y, want[i].y) << i;
      EXPECT_NEAR(got[i].vx, want[i].vx, 1e-12) << i;
      EXPECT_NEAR(got[i].vy, want[i].vy, 1e-12) << i;
    }
  }

  cEdCmd cmd;
  cCmdRun run;
  cChara* owner = nullptr;
};

TEST_F(ShotFireTest, StraightRowsStandBesideTheOwner) {
  // The owner's cell at screen (100, 200) to (131, 231), the camera at (320, 320).
  struct sCase {
    int dir, count, spacing;
    std::vector<sShotRow> want;
  };
  const double k = 1 / std::sqrt(2.0);
  const sCase cases[] = {
      {3, 3, 1, {{452, 496, 1, 0}, {452, 528, 1, 0}, {452, 560, 1, 0}}},
      {2, 1, 0, {{405, 528, -1, 0}}},
      {6, 2, 0, {{420, 504, 0, -1}, {436, 504, 0, -1}}},
      // Up-left from the anchor that keeps its "1 -": (411, 511).
      {8, 1, 0, {{411, 511, -k, -k}}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.dir);
    Def().m_nDirection = static_cast<std::int8_t>(c.dir);
    Def().m_nCount = static_cast<std::int8_t>(c.count);
    Def().m_sFormationValue[0] = static_cast<std::int16_t>(c.spacing);
    const std::vector<sShotRow> got = Fire();
    ASSERT_EQ(got.size(), c.want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].x, c.want[i].x) << i;
      EXPECT_EQ(got[i].y, c.want[i].y) << i;
      EXPECT_DOUBLE_EQ(got[i].vx, c.want[i].vx) << i;
      EXPECT_DOUBLE_EQ(got[i].vy, c.want[i].vy) << i;
    }
  }
}

TEST_F(ShotFireTest, StraightBColumnsStandOnTheOwnersFloor) {
  // The owner's cell at screen (100, 200) to (131, 231), the camera at (320, 320): the
  // column's first shot stands on the owner's floor (map y 536) on the side it fires to.
  Def().m_nFormation = FORMATION_STRAIGHT_B;
  struct sCase {
    int dir, facing, count, spacing, offX, offY;
    std::vector<sShotRow> want;
  };
  const double k = 1 / std::sqrt(2.0);
  const sCase cases[] = {
      {2, 0, 2, 1, 0, 0, {{405, 536, -1, 0}, {405, 504, -1, 0}}},
      {3, 0, 1, 0, 0, 0, {{452, 536, 1, 0}}},
      // Up and down take the side the owner faces.
      {6, 1, 2, 0, 0, 0, {{452, 536, 0, -1}, {452, 520, 0, -1}}},
      {7, 0, 1, 0, 0, 0, {{405, 536, 0, 1}}},
      {9, 0, 1, 0, 0, 0, {{405, 536, -k, k}}},
      {10, 1, 1, 0, 0, 0, {{452, 536, k, -k}}},
      {11, 0, 1, 0, 5, -3, {{457, 533, k, k}}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.dir);
    owner->m_nFacing = c.facing;
    Row(c.dir, c.count, c.spacing, c.offX, c.offY);
    ExpectRows(Fire(), c.want);
  }
}

TEST_F(ShotFireTest, RotatedStraightRowStandsAcrossItsHeading) {
  // Fired left with an angle, the row is placed beside the owner in the turned direction
  // and stands across it; without the rotate flag only the velocity turns.
  struct sCase {
    int dir, angle, rotate, count, spacing, offX, offY;
    std::vector<sShotRow> want;
  };
  const double k = 1 / std::sqrt(2.0);
  const sCase cases[] = {
      // Turned up: a row of three above the owner, centred on it. The turned point lands a
      // hair short of (428, 504), since the degrees-to-radians factor is not exact, and
      // truncates to (427, 503).
      {2, 90, 1, 3, 1, 0, 0, {{395, 503, 0, -1}, {427, 503, 0, -1}, {459, 503, 0, -1}}},
      {2, 90, 1, 1, 0, 5, -3, {{432, 500, 0, -1}}},
      // Turned right: just right of the owner, the second shot above the first, the pair
      // centred on the owner's middle (again a hair short: 535, not 536).
      {2, 180, 1, 2, 0, 0, 0, {{452, 535, 1, 0}, {452, 519, 1, 0}}},
      // Up-left: the diagonal steps are scaled, unlike those of the unturned row.
      {2, 45, 1, 2, 1, 0, 0, {{399, 522, -k, -k}, {421, 500, -k, -k}}},
      // No rotate flag: the row of the direction, the velocity turned by 30 degrees.
      {3, 30, 0, 1, 0, 0, 0, {{452, 528, std::sqrt(3.0) / 2, 0.5}}},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.angle);
    owner->m_nFacing = 0;
    Def().m_sAngleDev = static_cast<std::int16_t>(c.angle);
    Def().m_byReserved12 = static_cast<std::int8_t>(c.rotate);
    Row(c.dir, c.count, c.spacing, c.offX, c.offY);
    ExpectRows(Fire(), c.want);
  }
}

TEST_F(ShotFireTest, SpreadAndExplosionAngles) {
  struct sCase {
    int formation, dir, count, fan;
    std::vector<double> angles;
  };
  const sCase cases[] = {
      {FORMATION_SPREAD, 2, 3, 30, {-30, 0, 30}},
      {FORMATION_SPREAD, 2, 2, 30, {-15, 15}},
      {FORMATION_EXPLODE, 3, 4, 0, {180, 270, 360, 450}},
  };
  for (const sCase& c : cases) {
    Def().m_nFormation = static_cast<std::int8_t>(c.formation);
    Def().m_nDirection = static_cast<std::int8_t>(c.dir);
    Def().m_nCount = static_cast<std::int8_t>(c.count);
    Def().m_sFormationValue[0] = static_cast<std::int16_t>(c.fan);
    const std::vector<sShotRow> got = Fire();
    ASSERT_EQ(got.size(), c.angles.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      ExpectHeading(got[i], c.angles[i]);
      EXPECT_EQ(got[i].x, got[0].x);  // all from one point
    }
  }
  // The explosion starts at the owner's centre.
  EXPECT_EQ(Shots()[0].x, 320 + 116 - 8);
  EXPECT_EQ(Shots()[0].y, 320 + 216 - 8);
}

TEST_F(ShotFireTest, SurroundStartsOnItsRingAndHeadsInward) {
  Def().m_nFormation = FORMATION_SURROUND;
  Def().m_nCount = 4;
  Def().m_sFormationValue[0] = 6;  // 96 px
  Def().m_byReserved4 = 2;         // around the owner
  Def().m_nDirection = 2;
  const std::vector<sShotRow> got = Fire();
  ASSERT_EQ(got.size(), 4u);
  const int centreX = 320 + 116 - 8, centreY = 320 + 216 - 8;
  EXPECT_EQ(got[0].x, centreX + 96);
  EXPECT_EQ(got[0].y, centreY);
  ExpectHeading(got[0], 0);
  EXPECT_EQ(got[1].x, centreX);
  EXPECT_EQ(got[1].y, centreY + 96);
  // Around the aim target with an empty slot: nothing.
  Def().m_byReserved4 = 0;
  EXPECT_TRUE(Fire().empty());
}

TEST_F(ShotFireTest, ThunderRowsAndSpacing) {
  Def().m_nFormation = FORMATION_THUNDER;
  Def().m_byReserved4 = 2;
  Def().m_nDirection = 2;
  Def().m_nCount = 2;
  Def().m_sFormationValue[0] = 1;  // 16 px between the shots of a row
  Def().m_sFormationValue[2] = 2;  // 32 px between rows
  struct sCase {
    int rows, compat555;
    std::vector<std::pair<int, int>> points;
  };
  const int right = 320 + 640 - 16, centre = 320 + 216 - 8;
  const sCase cases[] = {
      {3,
       0,
       {{right, centre - 32},
        {right, centre},
        {right, centre + 32},
        {right - 32, centre - 32},
        {right - 32, centre},
        {right - 32, centre + 32}}},
      {2,
       0,
       {{right, centre - 16},
        {right, centre + 16},
        {right - 32, centre - 16},
        {right - 32, centre + 16}}},
      {1, 1, {{right, centre}, {right - 16, centre}}},  // older projects: no spacing
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.rows);
    g_SystemData.bCompatShot = c.compat555;
    Def().m_sFormationValue[1] = static_cast<std::int16_t>(c.rows);
    const std::vector<sShotRow> got = Fire();
    ASSERT_EQ(got.size(), c.points.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].x, c.points[i].first) << i;
      EXPECT_EQ(got[i].y, c.points[i].second) << i;
    }
  }
}

TEST_F(ShotFireTest, ThunderDiagonalsComeFromTheScreenEdge) {
  // The diagonal through the reference object's centre meets the screen edge first on the
  // side it comes from; 16-pixel shots 16 pixels apart step 22 pixels along each axis.
  Def().m_nFormation = FORMATION_THUNDER;
  Def().m_byReserved4 = 2;         // around the owner
  Def().m_sFormationValue[0] = 1;  // 16 px between the shots of a row
  Def().m_sFormationValue[2] = 2;  // 32 px between rows
  struct sCase {
    int dir, left, top, count, rows;
    std::vector<std::pair<int, int>> points;
    double vx, vy;
  };
  const double k = 1 / std::sqrt(2.0);
  const sCase cases[] = {
      // The owner's centre at screen (116, 216).
      {8, 100, 200, 2, 1, {{684, 784}, {662, 762}}, -k, -k},
      {9, 100, 200, 2, 1, {{636, 320}, {614, 342}}, -k, k},
      {10, 100, 200, 1, 1, {{320, 636}}, k, -k},
      {11, 100, 200, 2, 1, {{320, 420}, {342, 442}}, k, k},
      // Centre at (576, 56): the other edge comes first.
      {8, 560, 40, 1, 1, {{944, 424}}, -k, -k},
      {11, 560, 40, 1, 1, {{840, 320}}, k, k},
      // Rows across the diagonal, centred on it.
      {8, 100, 200, 1, 3, {{662, 806}, {684, 784}, {706, 762}}, -k, -k},
      {9, 100, 200, 1, 2, {{625, 309}, {647, 331}}, -k, k},
  };
  for (const sCase& c : cases) {
    SCOPED_TRACE(c.dir);
    SetRect(*owner, c.left, c.top);
    Def().m_nDirection = static_cast<std::int8_t>(c.dir);
    Def().m_nCount = static_cast<std::int8_t>(c.count);
    Def().m_sFormationValue[1] = static_cast<std::int16_t>(c.rows);
    std::vector<sShotRow> want;
    for (const auto& [x, y] : c.points) want.push_back({x, y, c.vx, c.vy});
    ExpectRows(Fire(), want);
  }
}

TEST_F(ShotFireTest, CopiesMirroredAnglesAndRandomDraws) {
  // Three copies at 3.0, 4.0 and 5.0 px per frame.
  Def().m_nDirection = 3;
  Def().m_nClonesPerShot = 2;
  Def().m_sSpeed = 30;
  Def().m_sSpeedClone = 10;
  std::vector<sShotRow> got = Fire();
  ASSERT_EQ(got.size(), 3u);
  EXPECT_DOUBLE_EQ(got[0].vx, 3.0);
  EXPECT_DOUBLE_EQ(got[1].vx, 4.0);
  EXPECT_DOUBLE_EQ(got[2].vx, 5.0);

  // An angle of 30 mirrored: 330 facing right, 30 facing left.
  Command(CMD_SHOT);
  Def().m_nFormation = FORMATION_EXPLODE;
  Def().m_nDirection = 2;
  Def().m_sAngleDev = 30;
  for (int facing : {0, 1}) {
    owner->m_nFacing = facing;
    got = Fire();
    ASSERT_EQ(got.size(), 1u);
    ExpectHeading(got[0], facing ? 330 : 30);
  }

  // A spread angle draws once for the firing and once after every copy.
  Def().m_sSpreadAngle = 5;
  Def().m_nClonesPerShot = 2;
  RandSeed(7);
  Fire();
  const int next = RandNext();
  RandSeed(7);
  for (int i = 0; i < 4; ++i) RandNext();
  EXPECT_EQ(RandNext(), next);
}

TEST_F(ShotFireTest, AimAngleTowardTheTargetOrAhead) {
  sVolley v{};
  for (int facing : {0, 1}) {
    owner->m_nFacing = facing;
    EXPECT_EQ(AimAngle(0, 0, *owner, Def(), v), facing ? 180 : 0);
  }
  cChara& target = AddChara(1, 1);
  SetRect(target, 300, 200);
  SetTarget(*owner, 0, &target, 0);
  // From a point level with the target's centre and left of it: straight right.
  EXPECT_EQ(AimAngle(320 + 200, 320 + 216, *owner, Def(), v), 180);
  // From straight below it: up.
  EXPECT_EQ(AimAngle(320 + 316, 320 + 400, *owner, Def(), v), 90);
}

TEST_F(ShotFireTest, AimAngleLeadsATargetThatKeepsItsPlaceOnAScrollingScreen) {
  cChara& target = AddChara(1, 1);
  SetRect(target, 300, 200);
  SetTarget(*owner, 0, &target, 0);
  target.m_bScreenBound = 1;
  // The screen scrolls down by itself, slower than the shot flies; from level with the target
  // and left of it.
  scene.m_ScrollY.m_dSpeed = 0.5 / g_dHitLevel;
  struct {
    const char* name;
    int atLimit, shotBound, targetBound;
    bool led;
  } const cases[] = {
      {"scrolling: aimed ahead, down the screen's way", 0, 0, 1, true},
      {"held at the limit", 1, 0, 1, false},
      {"a shot that keeps its place too", 0, 1, 1, false},
      {"a target that does not", 0, 0, 0, false},
  };
  for (const auto& c : cases) {
    scene.m_ScrollY.m_bAtLimit = c.atLimit;
    Def().m_bHoming = static_cast<std::uint8_t>(c.shotBound);
    target.m_bScreenBound = c.targetBound;
    sVolley v{};
    v.dSpeed = -7;
    const int angle = AimAngle(320 + 200, 320 + 216, *owner, Def(), v);
    if (c.led) {
      // The shot flies 1 pixel a frame, the screen 0.5: 30 degrees down from straight right.
      EXPECT_EQ(angle, 210) << c.name;
      // The volley takes the lead's speed, per frame.
      EXPECT_NEAR(v.dSpeed, 1.0, 1e-9) << c.name;
    } else {
      EXPECT_EQ(angle, 180) << c.name;
      EXPECT_EQ(v.dSpeed, -7) << c.name;
    }
  }
}

TEST_F(ShotFireTest, NewShotsLinkTheirTargetOnlyWhenGuidedToIt) {
  cChara& target = AddChara(1, 1);
  SetTarget(*owner, 0, &target, 0);
  Def().m_nDirection = 3;
  for (int guide : {GUIDE_HOME_TARGET, GUIDE_STRAIGHT}) {
    Def().m_nGuide = static_cast<std::int8_t>(guide);
    Fire();
    ASSERT_EQ(scene.m_ShotList.size(), 1u);
    cShot& shot = scene.m_ShotList.front();
    const bool kept = guide == GUIDE_HOME_TARGET;
    EXPECT_EQ(shot.m_pTarget, kept ? &target : nullptr);
    EXPECT_EQ(HasShotLink(target.m_ShotLinks, {&shot, 0}), kept ? 1 : 0);
    EXPECT_EQ(HasShotLink(owner->m_ShotLinks, {&shot, kOwnerSlot}), 1);
  }
}

TEST_F(ShotFireTest, SummonsTakeValidPaletteEntriesOnly) {
  cRestore<cPalette> common{g_CommonPalette};
  cEdChara computer = Chara(1, 0, 0), player = Chara(0, 0, 0);
  g_CommonPalette.m_Charas = CharaVector{cEdChara(), computer, player};
  Command(CMD_SUMMON_CHARA);
  Def().m_nDirection = 3;
  Def().m_byReserved60 = 1;  // the owner's group
  owner->m_Def.m_nGroup = 5;
  owner->m_nControl = 1;
  owner->SetBlockPos(5, 5);
  struct sCase {
    int index;
    std::size_t made;
  };
  for (const sCase& c : {sCase{3, 0}, sCase{2, 0}, sCase{-1, 0}, sCase{1, 1}}) {
    const std::size_t before = g_CharaList.size();
    Def().m_sSummonIndex = static_cast<std::int16_t>(c.index);
    SummonCharaFromPalette(*owner, run, Def());
    EXPECT_EQ(g_CharaList.size() - before, c.made) << c.index;
  }
  EXPECT_EQ(g_CharaList.back().m_nGroup, 5);
}

TEST_F(ShotFireTest, ToggleSwitchesACellOncePerVolley) {
  cRestore<cPalette> common{g_CommonPalette};
  cEdBlock block;
  block.m_sGraphic = 1;
  g_CommonPalette.m_Blocks = BlockVector{cEdBlock(), block};
  Command(CMD_SUMMON_BLOCK);
  Def().m_sSummonIndex = 1;
  Def().m_nBlockSummonMode = BLOCKCHANGE_TOGGLE;
  Def().m_nFormation = FORMATION_EXPLODE;
  Def().m_nCount = 2;  // both points in one cell
  owner->m_nControl = 1;
  owner->SetBlockPos(5, 5);
  owner->UpdateScreenRect();
  cMapCell* cell = MapCellAtBlock(5, 5);
  ASSERT_NE(cell, nullptr);
  for (int volley : {1, 2}) {
    for (int i = 0; i < 6; ++i) ExecCmd_SummonBlock(owner, run);
    EXPECT_EQ(cell->m_sGraphic, volley == 1 ? 1 : 0) << volley;
  }
}

TEST_F(ShotFireTest, CommandsFireEveryTenthSwordOnce) {
  cSoundLog sounds;
  // One second of shots at N = 1: sub-steps 0, 6, ..., 54.
  Def().m_nDirection = 3;
  cmd.m_sSound = 4;
  cmd.m_bSoundOnScreen = 0;
  std::vector<int> fired;
  for (int step = 0; step < 60; ++step) {
    const std::size_t before = scene.m_ShotList.size();
    ExecCmd_Shot(owner, run);
    if (scene.m_ShotList.size() > before) fired.push_back(step);
  }
  EXPECT_EQ(fired, (std::vector<int>{0, 6, 12, 18, 24, 30, 36, 42, 48, 54}));
  EXPECT_EQ(cSoundLog::Sounds().size(), 10u);
  // The sound for the view only stays silent off screen; the shots still fly.
  cSoundLog::Clear();
  cmd.m_bSoundOnScreen = 1;
  owner->m_bOnScreen = 0;
  run.m_nCount = 0;
  ExecCmd_Shot(owner, run);
  EXPECT_TRUE(cSoundLog::Sounds().empty());
  EXPECT_EQ(scene.m_ShotList.size(), 11u);

  // Three seconds of a sword: one sword; a type without frames makes none.
  cRestore<cVector<cDbSwordType>> types{g_DataBase.m_SwordType};
  cDbSwordType type;
  cDbSwordFrame frame;
  frame.m_nWidth = 40;
  frame.m_nHeight = 20;
  type.m_Frames.push_back(frame);
  cDbSwordType bare;
  bare.m_Frames.clear();
  g_DataBase.m_SwordType = cVector<cDbSwordType>{bare, type};
  for (int swordType : {1, 0}) {
    ClearShots();
    Command(CMD_SWORD);
    Def().m_nGuide = static_cast<std::int8_t>(swordType);
    for (int step = 0; step < 180; ++step) ExecCmd_Sword(owner, run);
    EXPECT_EQ(scene.m_ShotList.size(), swordType == 1 ? 1u : 0u);
  }
  // Nor does an empty table of sword types.
  g_DataBase.m_SwordType.clear();
  ClearShots();
  Command(CMD_SWORD);
  ExecCmd_Sword(owner, run);
  EXPECT_TRUE(scene.m_ShotList.empty());
  // Commands without their shot record do nothing.
  ClearShots();
  Command(CMD_SHOT);
  cmd.m_pShot.reset();
  ExecCmd_Shot(owner, run);
  Command(CMD_SWORD);
  cmd.m_pShot.reset();
  ExecCmd_Sword(owner, run);
  EXPECT_TRUE(scene.m_ShotList.empty());
}

}  // namespace
