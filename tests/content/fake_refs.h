#pragma once
// Table sizes for the definition tests, installed for one test and removed after it.
#include <map>

#include "content/content_refs.h"
#include "content/palette.h"

class cFakeRefs : public cContentRefs {
 public:
  cFakeRefs() { SetContentRefs(this); }
  ~cFakeRefs() override { SetContentRefs(nullptr); }

  std::int32_t TableSize(eRefTable table) const override {
    auto it = m_Sizes.find(table);
    return it == m_Sizes.end() ? 0 : it->second;
  }
  std::vector<std::int32_t> SwordFrameTimes(std::int32_t swordType) const override {
    auto it = m_SwordTimes.find(swordType);
    return it == m_SwordTimes.end() ? std::vector<std::int32_t>{} : it->second;
  }
  std::int32_t PaletteListSize(bool stage, ePaletteList list) const override {
    if (m_bRealPalettes) return ::PaletteListSize(stage ? PALETTE_STAGE : PALETTE_COMMON, list);
    auto it = m_Palettes.find({stage, list});
    return it == m_Palettes.end() ? 0 : it->second;
  }
  bool KeepTestPlayFlows() const override { return m_bKeepTestPlay; }

  std::map<eRefTable, std::int32_t> m_Sizes;
  std::map<std::int32_t, std::vector<std::int32_t>> m_SwordTimes;
  std::map<std::pair<bool, ePaletteList>, std::int32_t> m_Palettes;
  bool m_bKeepTestPlay = false;
  // Palette sizes answered from the common palette and the installed stage palette, as the
  // project does, instead of from m_Palettes.
  bool m_bRealPalettes = false;
};
