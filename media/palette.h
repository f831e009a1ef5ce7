#pragma once
// The game's palette of 256 colours, the transparent colour in every form the two drawing
// modes need, palette-index maps and the surface lock.
#include <cstdint>
#include <vector>

#include "media/surface.h"

extern PALETTEENTRY g_Palette[256];
extern PALETTEENTRY g_WorkPalette[256];
// The transparent colour as a pixel value of the current surface format.
extern std::uint32_t g_dwTransmit;

bool DDLoadPaletteFromFile(PALETTEENTRY* palette, const char* file);
void DDSetTransmit(std::uint8_t cbRed, std::uint8_t cbGreen, std::uint8_t cbBlue);
bool DDSetTransmitFromFile(const char* file);
std::uint32_t PalNumToRGB(std::uint32_t dwPalNum);
std::uint16_t DDPalToRGB16(const PALETTEENTRY& entry);
void DDAnalysePixelFormat(DDPIXELLAYOUT* layout);
// Builds the surface's palette-index map into map; 1 built, 0 failed.
int DDMakePalIndexMap(std::vector<std::uint8_t>& map, DDSURFACEDATA* surface);
// Reads the 256 colours from the 16 x 16 block at row 8 of sd (always true).
bool DDSetPalette_UnPal(PALETTEENTRY* palette, DDSURFACEDATA* sd);
// Off-screen lock of a whole surface (a second lock of the same surface fails).
bool DDLock(DDSURFACEDATA* surface, std::uint8_t** bits, int bpp);
void DDUnlock(DDSURFACEDATA* surface);
// The 32-bit colours of a palette as 0x00RRGGBB, for presenting an 8-bit frame.
void PaletteToRgb(const PALETTEENTRY* palette, std::uint32_t* out);

// Scope lock of a surface for one pixel operation. m_lpBits stays null when the lock fails
// (the surface has no pixels, or is locked already); the user reports its own failure.
class cDDLock {
 public:
  cDDLock(DDSURFACEDATA* surface, int bpp);
  ~cDDLock();
  cDDLock(const cDDLock&) = delete;
  cDDLock& operator=(const cDDLock&) = delete;

  DDSURFACEDATA* m_lpSD = nullptr;
  std::uint8_t* m_lpBits = nullptr;
  int m_nPitch = 0;  // in pixels
  int m_nBpp = 32;
  int m_nBytes = 4;

 private:
  cPixelSurface* m_pPixels = nullptr;
};
