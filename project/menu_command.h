#pragma once
// One entry of a menu the game's author arranges in the editor: whether it is shown, and its
// caption. A menu is a cVector of entries; an entry's position in it is its command id.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"

struct DDSURFACEDATA;

class cCmd : public cFileData {
 public:
  std::int32_t m_bEnabled = 1;  // 0 hides the entry
  std::string m_strCaption;

  cCmd() = default;
  cCmd(std::int32_t enabled, std::string caption)
      : m_bEnabled(enabled), m_strCaption(std::move(caption)) {}

  void SetupItems(int version) override;

  // The number of enabled entries.
  static int CountEnabled(const cVector<cCmd>& list);
  // The list position of the n-th enabled entry; 0 with a debug box when there is none.
  static int GetCmdNum(int n, const cVector<cCmd>& list);
  // The left edge of the command window centred on x (x itself when every caption is empty).
  static int GetCmdWindowX(int x, const cVector<cCmd>& list);
  // The window of the enabled entries with font 1: a framed box, one 16-pixel row each,
  // captions after a 16-pixel cursor column.
  static void DrawCmdWindow(DDSURFACEDATA* surface, int x, int y, const cVector<cCmd>& list);
};
