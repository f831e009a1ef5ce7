// The searches by place (solid characters, group boxes, shots against shots) against the plain
// walks of every object: random crowded stages played both ways give the same sub-steps.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/heavy_stage.h"
#include "foundation/random.h"
#include "objects/chara_flows.h"
#include "objects/play_units.h"
#include "play/hits.h"
#include "play/play_frame.h"
#include "play/solid_collision.h"
#include "stage_fixture.h"

namespace {

class PlayIndexTest : public cStageFixture {
 protected:
  void TearDown() override {
    UseSolidIndex(true);
    UseHitIndex(true);
    cStageFixture::TearDown();
  }

  // A stage of 60 x 15 cells from the seed: a floor, scattered blocks, and characters packed
  // close (a third of them solid, moving along lines or the ground, jumping, shooting shots
  // that break on each other) in three groups that harm each other.
  static void BuildStage(unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    g_Stage.m_nWidth = 60;
    g_Stage.m_nScrollExtraX = 60 * 32;
    CharaVector placed;
    cEdChara hero = Chara(0, 2, 3);
    placed.push_back(hero);
    for (int i = 0; i < 90; ++i) {
      cEdChara c = Chara(1, pick(0, 59), pick(1, 12));
      c.m_nGroup = static_cast<std::uint8_t>(pick(1, 3));
      c.m_bNoHitBox = static_cast<std::uint8_t>(pick(0, 2) == 0 ? 1 : 0);
      c.m_nFlyMode = static_cast<std::uint8_t>(pick(0, 1) * 2);
      c.m_nActiveRange = 3;
      c.m_nMaxHP = pick(1, 30);
      c.m_nPower = pick(0, 2);
      cEdCmd move = Command(c.m_nFlyMode != 0 ? CMD_MOVE_LINE : CMD_MOVE_GROUND, pick(3, 20));
      NewMove(move.m_pMove);
      move.m_pMove->m_sSpeed = static_cast<std::int16_t>(pick(2, 30));
      move.m_pMove->m_nDirection = static_cast<std::int8_t>(pick(0, 9));
      cEdCmd turn = Command(CMD_TURN, 1);
      cEdCmd jump = Command(CMD_JUMP, 1);
      cEdCmd shoot = Command(CMD_SHOT, 1);
      NewShot(shoot.m_pShot);
      shoot.m_pShot->m_nCount = 1;
      shoot.m_pShot->m_sSpeed = static_cast<std::int16_t>(pick(5, 40));
      shoot.m_pShot->m_sGraphic = 1;
      shoot.m_pShot->m_bLifetime = 1;
      shoot.m_pShot->m_sLifetime = 30;
      shoot.m_pShot->m_nPower = pick(0, 1);
      shoot.m_pShot->m_byReserved47 = static_cast<std::int8_t>(pick(0, 1));
      shoot.m_pShot->m_nVanishValue = static_cast<std::int8_t>(pick(0, 3));
      c.m_Flows.push_back(AlwaysFlow({move, turn}));
      c.m_Flows.push_back(AlwaysFlow({Command(CMD_WAIT, pick(1, 10)), shoot}));
      if (c.m_nFlyMode == 0) c.m_Flows.push_back(AlwaysFlow({Command(CMD_WAIT, pick(5, 20)), jump}));
      placed.push_back(c);
    }
    g_Stage.m_PlacedCharas = placed;
  }

  void Floor(unsigned seed) {
    std::mt19937 rng(seed + 1000);
    for (int column = 0; column < 60; ++column) {
      Put(column, 14, BLOCK_HIT_SOLID);
      if (rng() % 6 == 0) Put(column, static_cast<int>(4 + rng() % 9), BLOCK_HIT_SOLID);
    }
  }

  // Every object after every sub-step of the frames played, and how often objects touched
  // solid characters and rode them.
  struct sPlay {
    std::vector<std::string> lines;
    int touches = 0, rides = 0, shots = 0;
  };
  sPlay Play(unsigned seed, bool indexed, int frames) {
    UseSolidIndex(indexed);
    UseHitIndex(indexed);
    RandSeed(seed);
    BuildStage(seed);
    SetUpStage(10);
    Floor(seed);
    cHero& hero = g_Heroes.front();
    hero.SetUpFromDef(0, g_Stage.m_PlacedCharas[0], (2 + 10) * 32, (3 + 10) * 32, 0);
    scene.m_nPhase = PLAYPHASE_PLAY;
    sPlay play;
    char buffer[256];
    for (int frame = 0; frame < frames; ++frame) {
      hero.m_bFinished = 0;
      hero.m_HP.m_nValue = 10;
      for (cChara& chara : g_CharaList)
        if (!chara.m_bFinished) ResetFlowTriggers(chara);
      for (int c = 1; c <= g_nHitLevel; ++c) {
        const int ends = RunSubStep(scene, c);
        std::string line = std::to_string(frame) + "." + std::to_string(c) + ":" +
                           std::to_string(ends);
        for (const cChara& o : g_CharaList) {
          std::snprintf(buffer, sizeof buffer, " %d(%a,%a,%a,%a)%d%d%d%d r%d/%d hp%d f%d",
                        o.m_nNumber, o.m_dX, o.m_dY, o.m_dVX, o.m_dVY, o.m_bContactLeft,
                        o.m_bContactRight, o.m_bContactTop, o.m_bContactBottom, o.m_bRiding,
                        o.m_nRiddenNumber, o.m_HP.m_nValue, o.m_bFinished);
          line += buffer;
          play.touches += o.m_bContactLeft + o.m_bContactRight + o.m_bContactTop +
                          o.m_bContactBottom;
          play.rides += o.m_bRiding != 0;
        }
        for (const cShot& s : scene.m_ShotList) {
          std::snprintf(buffer, sizeof buffer, " s%d(%a,%a)", s.m_nNumber, s.m_dX, s.m_dY);
          line += buffer;
        }
        play.shots += static_cast<int>(scene.m_ShotList.size());
        play.lines.push_back(line);
        if (ends) break;
      }
    }
    return play;
  }
};

TEST_F(PlayIndexTest, SearchesByPlaceGiveThePlainWalksSubStepForSubStep) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    const sPlay plain = Play(seed, false, 40);
    const sPlay indexed = Play(seed, true, 40);
    // The stages put the searches to work: pushes, rides and shots in flight.
    EXPECT_GT(plain.touches, 100) << seed;
    EXPECT_GT(plain.rides, 20) << seed;
    EXPECT_GT(plain.shots, 1000) << seed;
    ASSERT_EQ(plain.lines.size(), indexed.lines.size()) << seed;
    for (std::size_t i = 0; i < plain.lines.size(); ++i)
      ASSERT_EQ(plain.lines[i], indexed.lines[i]) << "seed " << seed << ", sub-step " << i;
  }
}

}  // namespace
