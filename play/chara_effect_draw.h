#pragma once
// The drawing of a character through its running character effect, one handler per kind
// (1 to 16). Each takes (character, target, graphic source, frozen, draw): with draw 1 it
// draws the character from the source onto the target through the effect; then, unless the
// frame is frozen, it advances the effect. With draw 0 the target and source are not used.
// 1 when the effect is over (the caller then sets the entry to 0).
#include <cstdint>

class cCharaBase;
struct DDSURFACEDATA;
struct sGraphicSrc;

using CharaEffectFunc = int (*)(cCharaBase* chara, DDSURFACEDATA* target, sGraphicSrc* src,
                                int frozen, int draw);

// The handlers of kinds 1 to 16 (index 0 is left to the plain drawing).
inline constexpr int kCharaEffectKinds = 17;
extern const CharaEffectFunc g_CharaEffectKindFunc[kCharaEffectKinds];

// The character drawn plainly from its source, as with no effect (kind 0).
void DrawCharaPlain(cCharaBase& chara, DDSURFACEDATA* target, const sGraphicSrc& src);
