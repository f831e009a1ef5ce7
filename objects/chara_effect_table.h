#pragma once
// The character effects by kind: each handler draws the character from its graphic source
// (draw 1) or only lets the effect's time run (draw 0), and reports 1 when the effect is over.
// Kind 0 draws the character plainly and never ends.
#include <cstdint>

class cCharaBase;
class cCharaEffect;
struct DDSURFACEDATA;
struct sGraphicSrc;

using CharaEffectFunc = int (*)(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src,
                                int frozen, int draw);

inline constexpr int kCharaEffectKinds = 17;
extern CharaEffectFunc g_CharaEffectFunc[kCharaEffectKinds];

// The character drawn plainly at its screen rectangle: copied at scale 1 (or at the cell size
// of its own picture), else stretched from the unscaled cell.
int DrawCharaPlain(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                   int draw);

// The kind of the effect an instance runs: 0 when none runs, or when its entry or kind lies
// outside the tables.
int CharaEffectKind(const cCharaEffect& effect);
