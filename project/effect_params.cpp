#include "project/effect_params.h"

namespace {
cVector<sParamLabel> MakeTable(int kinds,
                               std::initializer_list<std::pair<int, sParamLabel>> entries) {
  cVector<sParamLabel> table(static_cast<std::size_t>(kinds * kParamsPerKind));
  for (const auto& [index, label] : entries) table[index] = label;
  return table;
}
constexpr int At(int kind, int param) { return kind * kParamsPerKind + param - 1; }
}  // namespace

const cVector<sParamLabel> g_CharaEffectParams =
    MakeTable(kCharaEffectKinds, {{At(4, 5), {"波の粗さ(dot)", 1, 4, 2}},
                                  {At(5, 5), {"波の粗さ(dot)", 1, 4, 2}},
                                  {At(10, 4), {"円の粗さ(dot)", 1, 4, 2}}});

const cVector<sParamLabel> g_ScrEffectParams =
    MakeTable(kScrEffectKinds, {{At(6, 5), {"波の粗さ(dot)", 1, 48, 8}},
                                {At(7, 5), {"波の粗さ(dot)", 1, 64, 10}},
                                {At(10, 4), {"円の粗さ(dot)", 1, 48, 8}}});

const sParamLabel& EffectParam(const cVector<sParamLabel>& table, int kind, int param) {
  return table[At(kind, param)];
}
