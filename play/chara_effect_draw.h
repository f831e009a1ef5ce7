#pragma once
// The drawing of a character through its running character effect, one handler per kind
// (1 to 16) for the character-effect table. Each takes (character, target, graphic source,
// frozen, draw): with draw 1 it draws the character from the source onto the target through
// the effect; then, unless the frame is frozen, it advances the effect. With draw 0 the
// target and source are not used. 1 when the effect is over.
class cCharaBase;
struct DDSURFACEDATA;
struct sGraphicSrc;

int CharaEffectBurst(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                     int draw);
int CharaEffectSplitRows(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                         int draw);
int CharaEffectSplitColumns(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                            int draw);
int CharaEffectWaveRows(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                        int draw);
int CharaEffectWaveColumns(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                           int draw);
int CharaEffectBlink(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                     int draw);
int CharaEffectRotateA(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                       int draw);
int CharaEffectRotateB(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                       int draw);
int CharaEffectRotateDepth(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                           int draw);
int CharaEffectCircle(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                      int draw);
int CharaEffectZoom(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                    int draw);
int CharaEffectLens(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                    int draw);
int CharaEffectColour(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                      int draw);
int CharaEffectTranslucent(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                           int draw);
int CharaEffectMosaic(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                      int draw);
int CharaEffectBlur(cCharaBase& chara, DDSURFACEDATA* target, sGraphicSrc* src, int frozen,
                    int draw);
