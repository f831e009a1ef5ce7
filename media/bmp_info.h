#pragma once
// The description of one surface: where its pixels come from and how it is kept.
#include <cstdint>
#include <string>

class cBmpInfo {
 public:
  std::string szFile;          // bitmap file; "E" makes an empty surface of nWidth x nHeight
  int bColorKey = 0;           // drawn with the transparent colour left out
  int nDDMemory = 0;           // off-screen placement: 0 video, 1 system memory
  int nDTMemory = 0;           // texture placement, a DTMEMORYTYPE
  std::intptr_t lpMirror = 0;  // non-zero: a mirrored view of another surface (a flag only)
  int bIndexMap = 0;           // build the palette-index map of the loaded image
  int bOptional = 0;           // a failure to load is not fatal
  int nMirrorW = 0;            // mirror cell width; 0 = no horizontal flip
  int nMirrorH = 0;            // mirror cell height; 0 = no vertical flip
  int nWidth = 0;              // size of an empty surface
  int nHeight = 0;

  void Set(const char* file, int colorKey, int ddMemory, int dtMemory, std::intptr_t mirror,
           int indexMap, int optional, int mirrorW, int mirrorH, int width, int height) {
    szFile = file ? file : "";
    bColorKey = colorKey;
    nDDMemory = ddMemory;
    nDTMemory = dtMemory;
    lpMirror = mirror;
    bIndexMap = indexMap;
    bOptional = optional;
    nMirrorW = mirrorW;
    nMirrorH = mirrorH;
    nWidth = width;
    nHeight = height;
  }
};
