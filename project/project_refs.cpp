#include "project/project_refs.h"

#include "content/palette.h"
#include "project/system_data.h"

std::int32_t cProjectRefs::PaletteListSize(bool stagePalette, ePaletteList list) const {
  return ::PaletteListSize(stagePalette ? 2 : 1, list);
}

bool cProjectRefs::KeepTestPlayFlows() const { return g_SystemData.m_bKeepTestPlayFlows != 0; }

void InstallProjectRefs() {
  static const cProjectRefs refs;
  SetContentRefs(&refs);
}
