#pragma once
// One entry of a menu the game's author arranges in the editor: whether it is shown, and its
// caption. A menu is a cVector of entries; an entry's position in it is its command id.
#include <cstdint>
#include <string>

#include "foundation/file_data.h"

class cCmd : public cFileData {
 public:
  std::int32_t m_bEnabled = 1;  // 0 hides the entry
  std::string m_strCaption;

  cCmd() = default;
  cCmd(std::int32_t enabled, std::string caption)
      : m_bEnabled(enabled), m_strCaption(std::move(caption)) {}

  void SetupItems(int version) override;
};
