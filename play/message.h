#pragma once
// Messages: the small objects the play scene draws over the stage every frame until they end.
// A text window of the message command (its text pre-rendered into a surface of its own), the
// empty entry that times a game wait, and the 16x16 icons that rise over the hero (a picked-up
// item's graphic, the extra-life sign). Every text is cp932.
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "media/bmp_info.h"
#include "media/surface.h"

enum eMessageKind : std::int32_t {
  MESSAGE_WAIT = 0,
  MESSAGE_TEXT = 1,
  MESSAGE_ICON = 2,
  MESSAGE_EXTRA_LIFE = 3,
};

// Where a message's top-left corner goes (w, h its size; the dot offset is added in every mode).
enum eMessagePos : std::int32_t {
  MSGPOS_SCREEN_CENTRE = 0,
  MSGPOS_ABOVE_CHARA = 1,  // the executing character's graphic cell
  MSGPOS_BELOW_CHARA = 2,
  MSGPOS_ON_CHARA = 3,
  MSGPOS_ABOVE_HERO = 4,  // the same about the hero
  MSGPOS_BELOW_HERO = 5,
  MSGPOS_ON_HERO = 6,
  MSGPOS_SCREEN_BLOCK = 7,  // block x 32 on the screen
  MSGPOS_MAP_BLOCK = 8,     // a map cell
};

// The per-stage message surfaces and their descriptions live with the play graphics:
// g_MessageSurfaces and g_MessageBmpInfo (play_graphics.h).

class cMessage {
 public:
  cMessage() = default;
  cMessage(int kind, const char* text, int iconKind, int iconIndex, int iconCell, int posMode,
           int blockX, int blockY, int dotX, int dotY, int keepOnScreen, int fixed, int timerMode,
           int count, int countWhileStopped, int objNo, int continued, int expand, int refresh,
           int refreshInterval, int box, int hasId, int id);

  // (Re)sets every field. A text message makes its surface at the end of the surface list,
  // unless keepSurface is set (a new text of the same size drawn into the surface it has).
  void Init(int kind, const char* text, int iconKind, int iconIndex, int iconCell, int posMode,
            int blockX, int blockY, int dotX, int dotY, int keepOnScreen, int fixed, int timerMode,
            int count, int countWhileStopped, int objNo, int continued, int expand, int refresh,
            int refreshInterval, int box, int hasId, int id, int keepSurface);
  // One frame onto target; 1 when the message has ended and must be removed (a text message
  // has then released its surface).
  int Update(DDSURFACEDATA* target, int stopped);
  // Makes the message's surface at position of the surface list (at the end for the list's
  // size or beyond).
  void LoadBitmap(int position);
  // Draws the shown text into surface.
  void DrawText(DDSURFACEDATA* surface);
  // Removes the message's surface from the surface list (nothing for a message without one).
  void RemoveSurface();

  DDSURFACEDATA* m_pSurface = nullptr;
  cBmpInfo* m_pBmpInfo = nullptr;
  std::int32_t m_nKind = 0;  // eMessageKind
  std::string m_strText;     // as shown: codes expanded
  std::string m_strSource;   // as given
  std::int32_t m_nIconKind = 0, m_nIconIndex = 0, m_nIconCell = 0;
  std::int32_t m_bExpand = 0;
  std::int32_t m_bRefresh = 0;
  std::int32_t m_nRefreshInterval = 0;
  std::int32_t m_bBox = 0;
  std::int32_t m_nPosMode = 0;  // eMessagePos
  std::int32_t m_nBlockX = 0, m_nBlockY = 0;
  std::int32_t m_nDotX = 0, m_nDotY = 0;
  std::int32_t m_nWidth = 0, m_nHeight = 0;
  std::int32_t m_bKeepOnScreen = 0;
  std::int32_t m_nTimerMode = 0;  // 2: counts m_nCount down; 0 and 1 never end by themselves
  std::int32_t m_bFixed = 0;
  std::int32_t m_bPlaced = 0;
  std::int32_t m_nPlacedX = 0, m_nPlacedY = 0;
  std::int32_t m_bHasId = 0;
  std::int32_t m_nId = 0;
  std::int32_t m_nObjNo = 0;
  std::int32_t m_nCount = 0;
  std::int32_t m_bCountWhileStopped = 0;
  std::int32_t m_bZoomIn = 0;
  double m_dZoom = 0;
};

// Expands the variable codes of text in place: "#C5" common variable 5, "#S12" stage variable
// 12; after "_" a digit sets the field width, Z keeps leading zeros, P adds a plus sign; a full
// stop that ends a code goes with it. A code naming no variable 1 to 1000 stays as written.
void ExpandMessageCodes(std::string& text);
// The size of a text in the message font, each plus 2.
void MeasureMessageText(const std::string& text, int& width, int& height);
