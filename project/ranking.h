#pragma once
// The ranking: for each stage and play mode, one best-of table per ranking genre (score, time
// left, clear time, HP left, SP left), kept in a ranking file under the player's folder; the
// drawing of one table and of the result panel shown at the end of a stage.
//
// Play modes are passed as ints: 0 story, 1 challenge, 2 free or test play, 3 replay.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"
#include "media/surface.h"

class cPlayData;

inline constexpr int kRankGenreCount = 5;
inline constexpr int kRankEntryCount = 20;
// The genre whose values are times in hundredths of a second, ranked lower first.
inline constexpr int kRankTimeGenre = 2;

// One line of a table.
class cRankEntry : public cFileData {
 public:
  void SetupItems(int version) override;

  std::int32_t m_bUsed = 0;
  std::string m_strName;  // cp932 bytes as the player typed them
  std::int32_t m_nValue = 0;
};

// The table of one genre, best first. A table made by the program holds 20 entries; one read
// from a file keeps the count the file gives.
class cRankTable : public cFileData {
 public:
  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;

  // The position at which value would enter: the first free entry or the first one it beats
  // (strictly, so a tie ranks below); -1 when it enters nowhere.
  int FindRank(int value) const;
  // Registers value under name at FindRank's position; the entry count does not change.
  void AddEntry(const std::string& name, int value);
  // The order flag cleared and exactly 20 entries: the first 20 kept, missing ones free.
  void Reset();

  cVector<cRankEntry> m_Entries;  // empty until Reset or a read
  std::int32_t m_bHighFirst = 0;
};

// The tables of one stage and play mode, one per genre.
class cRanking : public cFileData {
 public:
  // Five tables of 20 free entries, ordered as Reset orders them.
  cRanking();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;

  // Five tables of 20 free entries; the clear-time table ranks lower values first, the
  // others higher ones.
  void Reset();
  // Draws the table of a genre; a genre the holder has no table for is a fault of the caller
  // that the bounds test reports (and the program closes).
  void DrawTable(DDSURFACEDATA* dest, int x, int y, int genre, int pointedRow);

  cVector<cRankTable> m_Tables;
};

// The ranking of the stage last loaded.
extern cRanking g_Ranking;

// The ranking file of a stage for a play mode: the mode's folder, the stage file name without
// its folder (in story mode with the variant suffix), then "rkg". 1 and the path in out; 0,
// out untouched, for a mode without ranking files or a path too long for the system.
int MakeRankingPath(std::string& out, int playMode, const std::string& stageName, int variantFlag,
                    int variantA, int variantB);
// Reads a stage's ranking file into ranking: 1 when it was read; otherwise ranking holds five
// empty tables and 0 is returned. A file that exists but cannot be read is kept: saving over
// it is refused until the player removes it.
int LoadRanking(cRanking& ranking, int playMode, const std::string& stageName, int variantFlag,
                int variantA, int variantB);
// Writes ranking as the stage's ranking file through the safe replace. 1 when written; 0 when
// the mode has no file, the file is one kept unread (with an error box), or writing failed.
int SaveRanking(cRanking& ranking, int playMode, const std::string& stageName, int variantFlag,
                int variantA, int variantB);

// The value that a genre ranks, from the totals of the progress record.
int GetRankingValue(const cPlayData& play, int genre);

// Draws one table with font 1: its box, the title with the genre's caption, one row per
// occupied entry, the hint for switching genres when the current play mode ranks two genres
// or more, and the pointer at pointedRow (-1 none). Returns 1.
int DrawRankingTable(cRankTable& table, DDSURFACEDATA* dest, int x, int y, int genre,
                     int pointedRow);
// The result panel of a stage end: one row per genre that the stage shows and the current
// play mode ranks (every genre the stage shows in test play), and the pointer at as many rows
// as positions holds entries other than -1.
void DrawResultPanel(DDSURFACEDATA* dest, int x, int y, const cVector<int>& positions);

// What the ranking reads of the program above this library: the scene manager's play mode
// and whether a stage file is being test-played. Until a source is installed both read 0.
using RankingStateSource = int (*)();
void SetRankingPlayModeSource(RankingStateSource source);
void SetRankingTestPlaySource(RankingStateSource source);
int RankingPlayMode();
int RankingTestPlay();
