#pragma once
// Animation records of the project database: the one-shot animations of Anime.dat and the
// animation sets of AnimeSet.dat (standing, moving, flying, flying and moving).
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"

class cDbAnimeFrame : public cFileData {
 public:
  cDbAnimeFrame();

  std::int32_t m_nCell = 0;  // graphic cell
  std::int32_t m_nTime = 1;  // tenths of a second
  std::int32_t m_bLock = 0;  // this frame and the later ones refuse non-forced changes

  void SetupItems(int version) override;
};

class cDbAnime : public cFileData {
 public:
  cDbAnime();

  std::string m_strName;
  std::int16_t m_nValue1 = 0;  // kept with the record, not used by the player
  std::uint8_t m_nValue2 = 1;
  std::int16_t m_nValue3 = 0;
  cVector<cDbAnimeFrame> m_Frames;

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  // The default animation: no name, one frame {0, 1, 0}.
  void Clear();
};

// The four animations of a set, in their fixed order.
inline constexpr int ANIMESET_STAND = 0;
inline constexpr int ANIMESET_MOVE = 1;
inline constexpr int ANIMESET_FLY = 2;
inline constexpr int ANIMESET_FLY_MOVE = 3;
inline constexpr int ANIMESET_COUNT = 4;

class cDbAnimeSet : public cFileData {
 public:
  cDbAnimeSet();

  std::string m_strName;
  std::int32_t m_nInvincibleCell = 0;  // cell offset while invincible
  std::int32_t m_nNoHitCell = 0;       // cell offset while without hit box
  std::int32_t m_nFlyCell = 0;         // cell offset while flying
  cVector<cDbAnime> m_Anime;

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
};

// The default animation set: offsets 4, 8 and 0 and the four default animations named
// "立ち", "立ち移動", "飛行" and "飛行移動".
void MakeDefaultAnimeSet(cDbAnimeSet& set);
