#pragma once
// The story save slots "user_data\story\Story01.dat" to "Story99.dat", the headers the slot
// menus list, and the challenge progress "user_data\challenge\Challenge.dat". Each file is
// one progress record. Saving, loading and the challenge file are operations of cPlayData.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/containers.h"
#include "foundation/file_data.h"
#include "platform/clock.h"

class cPlayData;

inline constexpr int kStorySlotCount = 99;

enum eSlotState : int {
  SLOT_EMPTY = 0,
  SLOT_SAVED = 1,
  SLOT_UNREADABLE = 2,  // a file is there but cannot be read: damaged, or from a newer version
};

// The header of one slot as the menus show it. Headers are never written to a file.
class cSlotInfo : public cFileData {
 public:
  std::int32_t m_bValid = 0;  // 1 when the slot's file exists and was read
  platform::sSystemTime m_SaveTime;
  std::int32_t m_nState = SLOT_EMPTY;

  void SetupItems(int version) override;
  // The header of a save just read or written.
  void Set(const cPlayData& record);
};

extern cVector<cSlotInfo> g_SlotInfo;

// The file of a slot (0-based): slot 9 is user_data\story\Story10.dat.
std::string MakeStorySlotPath(int slot);

// Fills every header from the slot files. Each file is read completely, so that a slot is
// shown as saved only when its whole file reads.
void LoadSlotHeaders(cVector<cSlotInfo>& headers);

// What a slot list window shows. Line i of a list of rows lines starting with slot first
// stands at y + 16 i; every line but the last has a separator under it, and the lines of
// slots that exist are numbered from 1 and show their header's save time.
inline constexpr int kSlotListWidth = 320;
inline constexpr int kSlotLineHeight = 16;
struct sSlotListLine {
  int nRow = 0;         // line within the window
  int nSlotNumber = 0;  // 1-based
  std::string strDate;
};
std::vector<sSlotListLine> BuildSlotList(const cVector<cSlotInfo>& headers, int first, int rows);

struct DDSURFACEDATA;
// Draws the list window of rows lines from slot first with font 1: a framed box 320 pixels
// wide, a separator under every line but the last, and for each slot that exists its number
// and save time. The lines stop at the last slot.
void DrawSlotList(DDSURFACEDATA* surface, int x, int y, const cVector<cSlotInfo>& headers,
                  int first, int rows);
// Draws one header's save time (or the notice of an unreadable slot); nothing for an empty one.
void DrawSlotDate(const cSlotInfo& header, DDSURFACEDATA* surface, int x, int y);

// A header's save time as the list shows it ("%04d/%02d/%02d %02d:%02d"), a notice for a slot
// that cannot be read, or nothing for an empty slot.
std::string SlotDateText(const cSlotInfo& header);
