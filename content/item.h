#pragma once
// An item definition: a picture placed in the stage that the hero can take, and the item
// commands that run on the hero when it is taken.
#include <cstdint>
#include <string>

#include "content/command.h"
#include "content/condition.h"
#include "foundation/containers.h"
#include "foundation/file_data.h"

inline constexpr int kItemInheritGroups = 13;

enum eItemTakeMode : std::uint8_t { TAKE_ONCE = 0, TAKE_ALWAYS = 1, TAKE_NEVER = 2 };

class cEdItem : public cFileData {
 public:
  cEdItem();

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  // The defaults; the conditions, commands and position stay.
  void Clear();

  void Validate();
  void ClampIndexes();
  void ApplyInheritance();

  std::int16_t m_sPosX = 0;
  std::int16_t m_sPosY = 0;
  std::uint8_t m_nBasePalette = 0;
  std::int16_t m_sBaseIndex = 0;
  cVector<std::uint8_t> m_Inherit;
  std::string m_strName;
  CondVector m_Conds;
  std::uint8_t m_nCondMode = 0;
  std::uint8_t m_bCondOnce = 0;
  std::int16_t m_sOffsetX = 0;
  std::int16_t m_sOffsetY = 0;
  std::int16_t m_sGraphic = 0;
  std::uint8_t m_nGraphicKind = 2;
  std::int16_t m_sGraphicFrame = 0;
  std::uint8_t m_nExtra5 = 6;  // carried unchanged into item objects
  std::uint8_t m_bHidden = 0;
  std::uint8_t m_nMarkShow = 0;
  std::int16_t m_sMark = 0;
  std::uint8_t m_nTakeMode = TAKE_ONCE;  // eItemTakeMode
  std::uint8_t m_bShowOnTake = 1;
  std::uint8_t m_nScale = 1;
  std::int16_t m_sSound = 0;
  CmdVector m_Cmds;
};
