#pragma once
// Colour-mixing blits: half-transparent drawing and a tint toward one palette colour, with the
// blend table through which an 8-bit palette screen mixes colours. All three blits return
// false only when a lock of their pixel paths fails.
#include <cstdint>

#include "media/surface.h"

constexpr int kBlendTableSize = 65536;
// Entry [a * 256 + b]: the palette index shown for the half-and-half mix of colour a (already
// there) and colour b (laid over it). Zero until loaded.
extern std::uint8_t g_BlendTable[kBlendTableSize];

// Fills table from a blend-table file of exactly 65536 bytes. The Direct3D mode never uses a
// table and reads nothing (true). A file that is missing, shorter or longer gives false with
// the table unchanged.
bool DDLoadBlendTable(std::uint8_t* table, const char* path);

// DDBltTransEx with level 128.
bool DDBltTrans(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
                int flags, const std::uint8_t* table);
// level 0 to 255 is the transparency of the source on the Direct3D quad path; the pixel paths
// always mix half and half.
bool DDBltTransEx(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx,
                  int sy, int flags, const std::uint8_t* table, int level);
// colour: the palette number of the tint (its low 8 bits); level: the strength, 1 (half) to 4
// and beyond (pure colour); 0 draws nothing. palette: the working palette.
bool DDBltTint(DDSURFACEDATA* dst, int x, int y, int w, int h, DDSURFACEDATA* src, int sx, int sy,
               int flags, const PALETTEENTRY* palette, const std::uint8_t* table,
               std::uint32_t colour, int level);
