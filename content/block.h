#pragma once
// A block definition: the entry of a palette's block list and of a stage's placed blocks,
// and the map cell of a running stage, which is a block plus its appearance latch.
#include <cstdint>
#include <string>

#include "content/condition.h"
#include "foundation/containers.h"
#include "foundation/file_data.h"

// The sheet a graphic is taken from.
enum eGraphicKind : std::uint8_t {
  GRAPHIC_BLOCK = 0,
  GRAPHIC_CHARA = 1,
  GRAPHIC_ITEM = 2,
  GRAPHIC_SHOT = 3,
  GRAPHIC_DEDICATED = 4,
};

enum eBlockHitMode : std::uint8_t { BLOCK_HIT_NONE = 0, BLOCK_HIT_SOLID = 1, BLOCK_HIT_DEADLY = 2 };

enum eBlockEffect : std::uint8_t {
  BLOCK_EFFECT_NONE = 0,
  BLOCK_EFFECT_JUMP = 1,
  BLOCK_EFFECT_NO_JUMP = 2,
  BLOCK_EFFECT_SPEED = 3,
  BLOCK_EFFECT_MOVE_LEFT = 4,
  BLOCK_EFFECT_MOVE_RIGHT = 5,
};

inline constexpr int kBlockInheritGroups = 11;
// Pass group of a block that is solid for every group.
inline constexpr std::uint8_t kNoPassGroup = 255;

// Raises a shot-sheet graphic index stored before the sheet gained its first picture.
void UpgradeShotGraphic(std::int16_t& graphic, std::uint8_t kind, int version);
// Reads an inherit-flag vector: a 32-bit count, then one byte per flag.
bool ReadInheritFlags(cVector<std::uint8_t>& flags, cDataFile& file);
void WriteInheritFlags(const cVector<std::uint8_t>& flags, cDataFile& file);

// The parts every definition stores the same way: its bound fields and name, its map cell,
// for a character the item it drops, its inherit flags and its conditions.
template <class Def>
bool ReadDefinitionHead(Def& def, cDataFile& file) {
  def.cFileData::Read(file);
  if (file.Failed() || !file.ReadValue(def.m_sPosX) || !file.ReadValue(def.m_sPosY)) return false;
  if constexpr (requires { def.m_nDropItem; })
    if (!file.ReadValue(def.m_nDropItem)) return false;
  return ReadInheritFlags(def.m_Inherit, file) && ReadCondList(def.m_Conds, file);
}

template <class Def>
void WriteDefinitionHead(Def& def, cDataFile& file) {
  def.Validate();
  def.cFileData::Write(file);
  file.WriteValue(def.m_sPosX);
  file.WriteValue(def.m_sPosY);
  if constexpr (requires { def.m_nDropItem; }) file.WriteValue(def.m_nDropItem);
  WriteInheritFlags(def.m_Inherit, file);
  WriteCondList(def.m_Conds, file);
}

class cEdBlock : public cFileData {
 public:
  cEdBlock();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  void Clear();

  void Validate();
  void ValidateItemRef();
  void ApplyInheritance();

  // Draws the block's 32x32 picture at (x, y) of the target, with its mark when shown.
  void DrawTile(struct DDSURFACEDATA* target, int x, int y) const;

  std::int16_t m_sPosX = 0;  // placed blocks: map column
  std::int16_t m_sPosY = 0;  // placed blocks: map row
  std::uint8_t m_nBasePalette = 0;  // ePaletteKind
  std::int16_t m_sBaseIndex = 0;
  cVector<std::uint8_t> m_Inherit;
  std::string m_strName;
  CondVector m_Conds;
  std::uint8_t m_nCondMode = 0;  // eCondMode
  std::uint8_t m_bCondOnce = 0;
  std::int16_t m_sGraphic = 0;  // 0: no picture, an empty cell
  std::uint8_t m_nGraphicKind = 0;  // eGraphicKind
  std::int16_t m_sGraphicFrame = 0;
  std::uint8_t m_nLayer = 0;  // 0 drawn before the characters, 1 after
  std::uint8_t m_bHidden = 0;
  std::uint8_t m_nMarkShow = 0;  // 0 no, 1 yes, 2 in the editor only
  std::int16_t m_sMark = 0;
  std::uint8_t m_nHitMode = BLOCK_HIT_SOLID;  // eBlockHitMode
  std::uint8_t m_nPassGroup = kNoPassGroup;
  std::uint8_t m_nEffect = 0;  // eBlockEffect
  std::int32_t m_nEffectValue = 0;
  std::uint8_t m_nItemPalette = 0;  // ePaletteKind
  std::int16_t m_sItemIndex = 0;
  std::uint8_t m_bNoChange = 0;
};

// One cell of the running stage's map.
class cMapCell : public cEdBlock {
 public:
  // The cell receives another block: the latch starts again.
  void SetBlock(const cEdBlock& block);
  // Whether the block is there now: no conditions, the latch held, or the conditions hold
  // for the hero (which then sets the latch).
  bool Appears() { return m_Conds.empty() || AppearsByConditions(); }
  // The hit mode for an object of character group group (0 to 7).
  std::uint8_t GetHitMode(int group);

  std::uint8_t m_bAppeared = 0;

 private:
  bool AppearsByConditions();
};

// The subject block and item appearance conditions are tested for (the first hero). Stage
// play installs it; without it the conditions are tested without a subject.
void SetAppearanceSubject(cCharaBase* (*subject)());
cCharaBase* AppearanceSubject();

// The drawing of a map tile, which the media layer installs: the picture of graphic index of
// kind (frame for the character sheets and dedicated bitmaps), then the mark-sheet cell at
// (srcX, srcY), each 32x32 at (x, y) with the colour key. Until installed nothing is drawn.
struct sTileDrawer {
  void (*pDrawGraphic)(DDSURFACEDATA* target, int kind, int index, int frame, int x,
                       int y) = nullptr;
  void (*pDrawMark)(DDSURFACEDATA* target, int srcX, int srcY, int x, int y) = nullptr;
};
void SetTileDrawer(const sTileDrawer& drawer);
