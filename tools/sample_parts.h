#pragma once
// The pieces the sample game is made of. Paths are program paths relative to the game
// folder, which is the current folder while the sample is written.
#include <cstdint>
#include <string>
#include <vector>

#include "content/command.h"
#include "content/condition.h"
#include "content/flow.h"

namespace sample {

// Names a problem on stderr; the run then ends in failure.
void Fail(const std::string& problem);
void FailToWrite(const std::string& path);
// Writes bytes through the safe replace; a failure is recorded.
void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Colours of the game palette that the pictures and the data files share.
enum ePaletteColour : std::uint8_t {
  COL_CLEAR = 0,  // the transparent colour
  COL_BLACK = 1,
  COL_WHITE = 2,
  COL_RED = 3,
  COL_GREEN = 4,
  COL_BLUE = 5,
  COL_YELLOW = 6,
  COL_CYAN = 7,
  COL_ORANGE = 8,
  COL_BROWN = 9,
  COL_DARK_GREEN = 10,
  COL_GREY = 11,
  COL_DARK_GREY = 12,
  COL_LIGHT_GREY = 13,
  COL_SKY = 14,
  COL_NAVY = 15,
  COL_FILL = 16,  // black, the first colour of the cube and the stages' default fill
  COL_FRAME = 240,
  COL_TEXT = 241,
};
// The colour of the cube nearest to r (0-5), g (0-7), b (0-3).
std::uint8_t CubeColour(int r, int g, int b);

// The graphics indices the stages use, and the pictures draw.
inline constexpr int BLOCK_GROUND = 1, BLOCK_DIRT = 2, BLOCK_BRICK = 3, BLOCK_STONE = 4,
                     BLOCK_SPIKES = 5;
inline constexpr int CHARA_HERO = 1, CHARA_SLIME = 2, CHARA_BIRD = 3;
inline constexpr int ITEM_COIN = 1, ITEM_GOAL = 2, ITEM_HEART = 3;

// The shot pictures the flows fire.
inline constexpr int kShotGraphicHero = 1, kShotGraphicEnemy = 3;
// The hero's walking speed (tenths of a pixel per frame) and full jump (half-blocks).
inline constexpr int kHeroSpeed = 30, kHeroJumpHalfBlocks = 7;
// The common variable that counts the coins taken.
inline constexpr int kCoinVariable = 1;

// Every system bitmap of the table that names a file, and the palette bitmap.
void WritePictures();
// The system sounds, the database sounds, one MIDI and one Ogg piece.
void WriteSounds();
// File names the data files refer to.
extern const char* const kSystemSoundFiles[17];
// The database sounds, numbered from 1 in this order.
enum eSampleSound { SOUND_COIN = 1, SOUND_STOMP, SOUND_GOAL, SOUND_JUMP, SOUND_SHOT };
inline constexpr int kDatabaseSoundCount = 5;
extern const char* const kDatabaseSoundFiles[kDatabaseSoundCount];
extern const char* const kMidiFile;
extern const char* const kOggFile;
// The data files of default\ and System.ini.
void WriteDataFiles();

// The flows of the hero, the slime and the bird, and the item commands of coin and heart.
FlowVector HeroFlows();
FlowVector SlimeFlows();
FlowVector BirdFlows();
CmdVector CoinCmds();
CmdVector HeartCmds();
// The appearance condition of the block that shows once enough coins were taken.
cEdCond CoinsAtLeast(int count);

}  // namespace sample
