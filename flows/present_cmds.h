#pragma once
// The commands that change how a character or the screen looks or sounds: graphic,
// animation set, one-shot animation, effect animation, character and screen effect, picture,
// screen colour, background layer, sound and music. Character kinds 26 to 36 and item kinds 11
// to 21 share these bodies; each does its work in one call.
class cCharaBase;
class cEdCmd;

void ExecChangeGraphic(cCharaBase* chara, cEdCmd& cmd);
void ExecChangeAnimeSet(cCharaBase* chara, cEdCmd& cmd);
// The one-shot animation is keyed by the serial of the flow whose command started it, or -1
// for an item's command, which belongs to no flow (also when a flow's item acquisition ran
// the item's list).
void ExecPlayAnime(cCharaBase* chara, cEdCmd& cmd, int key);
void ExecEffect(cCharaBase* chara, cEdCmd& cmd);
void ExecCharaEffect(cCharaBase* chara, cEdCmd& cmd);
void ExecScreenEffect(cCharaBase* chara, cEdCmd& cmd);
void ExecShowPicture(cCharaBase* chara, cEdCmd& cmd);
void ExecScreenColor(cCharaBase* chara, cEdCmd& cmd);
void ExecBackground(cCharaBase* chara, cEdCmd& cmd);
void ExecSound(cCharaBase* chara, cEdCmd& cmd);
void ExecBgm(cCharaBase* chara, cEdCmd& cmd);

// The map position of the top-left corner of an effect animation of w x h placed by the
// effect command's position (0 screen centre, 1 the character, 2 the hero, 3 a screen block,
// 4 a map block; any other counts as 0), block column and row and pixel offset.
void EffectPosition(double& x, double& y, int w, int h, const cCharaBase* chara, int position,
                    int column, int row, int offsetX, int offsetY);
