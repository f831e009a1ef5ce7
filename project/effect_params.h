#pragma once
// The parameter tables of the character and screen effects: five labelled parameters per
// kind, kind k at entries 5k to 5k + 4. The player reads only the defaults that reading old
// effect tables needs; the rest of the labels, limits and defaults are the editor's.
#include <cstdint>

#include "foundation/containers.h"

struct sParamLabel {
  const char* pLabel = "";
  std::int16_t nMin = 0;
  std::int16_t nMax = 0;
  std::int16_t nDefault = 0;
};

inline constexpr int kParamsPerKind = 5;
inline constexpr int kCharaEffectKinds = 17;  // 0 (none) to 16
inline constexpr int kScrEffectKinds = 14;    // 0 (none) to 13

extern const cVector<sParamLabel> g_CharaEffectParams;
extern const cVector<sParamLabel> g_ScrEffectParams;

// The entry of parameter `param` (1 to 5) of `kind` in a table.
const sParamLabel& EffectParam(const cVector<sParamLabel>& table, int kind, int param);
