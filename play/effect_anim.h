#pragma once
// Effect animations: an entry of the project's Effect table played once at a map position (an
// explosion, a spark, the flash where an attack lands), and the frame tables of the entries
// that start-up builds once the database is loaded.
#include <cstdint>

#include "foundation/containers.h"
#include "media/anime.h"
#include "media/surface.h"

struct sDRect;

// One frame table per Effect entry, in the table's order: {cell, tenths x 6, 0} per frame
// record, then the end step {-4, 0, 0}. Entry 0 ("none") holds its steps locked with no
// duration and loops ({-2, 0, 1}).
extern cVector<AnimeRun> g_EffectSequences;
// Sizes table to the Effect table's count and fills it.
void BuildEffectFrameTable(cVector<AnimeRun>& table);

// What the effect command asks for: an entry at a map position in a drawn size.
struct sEffectRecord {
  std::int32_t nEffect = 0;
  double dX = 0, dY = 0;  // top-left corner, map pixels
  std::int32_t nWidth = 0, nHeight = 0;
  std::int32_t bRunWhileStopped = 0;
};

class cEffectAnim {
 public:
  cEffectAnim() = default;
  explicit cEffectAnim(const sEffectRecord& record);
  // A hit effect centred on the overlap of two boxes, enlarged by the attacker's scale when
  // the entry allows it, and jittered by up to 4 pixels per scale unit each way.
  cEffectAnim(int effect, const sDRect& boxA, const sDRect& boxB, int scale);

  // Loads the entry's frame table into the sequencer and starts it.
  void Restart(int effect);
  // Advances (unless the game stands still and the animation does not run then) and draws one
  // frame onto target; 1 when the animation has ended.
  int Step(DDSURFACEDATA* target, int stopped);

  std::int32_t m_nEffect = 0;  // Effect entry number (read as int16)
  double m_dX = 0, m_dY = 0;   // top-left corner in map pixels
  std::int32_t m_nWidth = 0, m_nHeight = 0;
  std::int32_t m_bScaled = 0;
  cAnime m_Anime;
  std::int32_t m_bRunWhileStopped = 0;
};

// Appends a hit effect between two boxes to the play scene's effect list.
void AddHitEffect(int effect, const sDRect& victimBox, const sDRect& attackerBox, int scale);
