#pragma once
// What the definitions need to know of the tables they refer to: the sizes of the project
// database's tables, the frame times of a sword type, the sizes of the palettes' lists and
// whether test-play-only flows are kept. The project layer installs its answers once it has
// loaded those tables; until then every table counts as empty.
#include <cstdint>
#include <vector>

enum eRefTable : std::int8_t {
  REF_ANIME,
  REF_SOUND,
  REF_SWORD_TYPE,
  REF_BMP_CHARA_EXC,
  REF_ANIME_SET,
  REF_EFFECT,
  REF_CHARA_EFFECT,
  REF_SCR_EFFECT,
  REF_PICTURE,
  REF_BGM,
};

// The three lists of a palette.
enum ePaletteList : std::int8_t { PLIST_BLOCK, PLIST_CHARA, PLIST_ITEM };

class cContentRefs {
 public:
  virtual ~cContentRefs() = default;
  virtual std::int32_t TableSize(eRefTable /*table*/) const { return 0; }
  // The display times (tenths of a second) of the frames of a sword type in the SwordType
  // table; empty for an index outside it.
  virtual std::vector<std::int32_t> SwordFrameTimes(std::int32_t /*swordType*/) const { return {}; }
  // The number of entries of one list of the common palette or of the loaded stage's palette.
  virtual std::int32_t PaletteListSize(bool /*stagePalette*/, ePaletteList /*list*/) const {
    return 0;
  }
  // Whether the project keeps flows marked for test play only in normal play.
  virtual bool KeepTestPlayFlows() const { return false; }
};

// The installed answers (an empty default before any are installed).
const cContentRefs& ContentRefs();
// Installs refs (kept by pointer, not owned); null goes back to the empty default.
void SetContentRefs(const cContentRefs* refs);

// Whether an index lies inside a table of the given size, compared as unsigned so that a
// negative index counts as outside, as the stored data has always been checked.
inline bool IndexInTable(std::int64_t index, std::int32_t size) {
  return size > 0 && static_cast<std::uint64_t>(index) < static_cast<std::uint64_t>(size);
}

// Resets a definition's base reference that points outside its palette's list (palette 1
// common, 2 stage); other palette values stay.
template <class Def>
void ValidateBaseRef(Def& def, ePaletteList list) {
  if (def.m_nBasePalette != 1 && def.m_nBasePalette != 2) return;
  if (IndexInTable(static_cast<std::uint16_t>(def.m_sBaseIndex),
                   ContentRefs().PaletteListSize(def.m_nBasePalette == 2, list)))
    return;
  def.m_nBasePalette = 0;
  def.m_sBaseIndex = 0;
}
