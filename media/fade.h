#pragma once
// The screen fades every scene runs at its start and end, one frame per call. The angle runs
// between 90 degrees (picture fully shown) and 0 (fully faded) by the step; the call that
// draws the last frame returns true and re-arms the fade, so the next one starts afresh and
// an interrupted one goes on from where it stopped.
//
// Direct3D: a black quad over the screen, its alpha following the angle (the colour is not
// used). DirectDraw at 8 bits: the palette entries first..last blended toward the colour;
// at 16 and 32 bits: the screen as it was when the fade started, mixed with the colour.
#include "media/surface.h"

// A step of 0 or below ends the fade at once, as the finish flag does.
bool FadeScreenOut(PALETTEENTRY* work, int first, int last, int red, int green, int blue,
                   double step, const PALETTEENTRY* source, int finish);
bool FadeScreenIn(PALETTEENTRY* work, int first, int last, int red, int green, int blue,
                  double step, const PALETTEENTRY* source, int finish);

// The fades of both modes back to their state at process start (out 90, in 0).
void ResetScreenFades();
