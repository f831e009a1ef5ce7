#pragma once
// Records of the project database that name media files: pictures (Picture.dat), sound
// effects (Sound.dat), music (Bgm.dat) and dedicated character bitmaps (Bmp_CharaExc.dat).
// Paths are stored as the editor wrote them, relative to the game folder.
#include <cstdint>
#include <string>

#include "foundation/file_data.h"

// A name for the editor, a file, and an integer kept with the record but not interpreted.
class cDbMediaRecord : public cFileData {
 public:
  std::string m_strName;
  std::string m_strFile;
  std::int32_t m_nExtra = 0;

  // The base read; the extra integer of files older than 153 is cleared.
  void Read(cDataFile& file) override;
};

class cDbPicture : public cDbMediaRecord {
 public:
  cDbPicture();
  void SetupItems(int version) override;
};

// Sound entry n (n >= 1) is loaded into entry 16 + n of the sound list; entry 0 never is.
class cDbSound : public cDbMediaRecord {
 public:
  cDbSound();
  void SetupItems(int version) override;
};

class cDbBgm : public cDbMediaRecord {
 public:
  cDbBgm();
  std::int32_t m_nVolume = 100;  // playback volume handed to the music manager
  void SetupItems(int version) override;
};

class cDbBmpCharaExc : public cDbMediaRecord {
 public:
  cDbBmpCharaExc();
  // 0: 32x32 cells, 16 per row. 1: square cells of m_nCellBlocks x 32 pixels.
  std::int32_t m_bLargeCell = 0;
  std::int32_t m_nCellBlocks = 2;
  void SetupItems(int version) override;
};
