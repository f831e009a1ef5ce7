#pragma once
// Sword types of the project database (SwordType.dat): two images and the frames of a melee
// attack, each frame placing a hit area of its size beside the character for a time.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"

// Where a sword frame's hit area stands relative to the character.
enum eSwordAnchor : int {
  SWORD_ANCHOR_FRONT = 0,  // "前"
  SWORD_ANCHOR_BACK = 1,   // "後"
  SWORD_ANCHOR_ABOVE = 2,  // "上"
  SWORD_ANCHOR_BELOW = 3,  // "下"
};

class cDbSwordFrame : public cFileData {
 public:
  cDbSwordFrame();

  std::int32_t m_nOffsetX = 0;
  std::int32_t m_nOffsetY = 0;
  std::int32_t m_bFlipOffsetX = 1;  // the offset is subtracted when facing right
  std::int32_t m_bFlipOffsetY = 0;
  std::int32_t m_nAnchor = 0;  // eSwordAnchor
  std::int32_t m_nSrcX = 0;    // picture in the sword image
  std::int32_t m_nSrcY = 0;
  std::int32_t m_nWidth = 0;  // picture and hit area
  std::int32_t m_nHeight = 0;
  std::int32_t m_nTime = 0;  // tenths of a second

  void SetupItems(int version) override;
};

class cDbSwordType : public cFileData {
 public:
  cDbSwordType();

  std::string m_strName;
  std::int32_t m_nExtra = 0;  // kept with the record, not used by the player
  std::string m_strImage;
  std::string m_strImage2;
  cVector<cDbSwordFrame> m_Frames;  // may be empty in a file

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  // Every field cleared and one default frame lasting one tenth.
  void SetDefault();
};
