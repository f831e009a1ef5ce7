#include "play/message.h"

#include <cstdint>
#include <iterator>

#include "foundation/play_math.h"
#include "foundation/shell_services.h"
#include "foundation/text_utils.h"
#include "media/blit.h"
#include "media/font.h"
#include "media/surface_create.h"
#include "media/surface_list.h"
#include "objects/chara.h"
#include "objects/chara_base.h"
#include "objects/hero.h"
#include "play/anchor.h"
#include "play/play_graphics.h"
#include "play/play_scene.h"
#include "project/play_data.h"
#include "project/system_bitmaps.h"

namespace {

constexpr int kMessageFont = 1;
constexpr int kAccessorySheet = 49;  // "bmp\Accessory.bmp": the extra-life sign at (0, 48)
constexpr int kMaxVariable = 1000;

cFont& MessageFont() { return g_Font[kMessageFont]; }

// The replacement of a code: |v| right-aligned in width places (at least its digits), leading
// zeros blank unless zeros is set (never the last place), then the sign.
std::string FormatCode(std::int32_t v, int width, bool zeros, bool plus) {
  std::uint64_t magnitude = v < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(v))
                                  : static_cast<std::uint64_t>(v);
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  const int places = width != 0 && width >= static_cast<int>(digits.size())
                         ? width
                         : static_cast<int>(digits.size());
  digits.insert(0, static_cast<std::size_t>(places) - digits.size(), zeros ? '0' : ' ');
  if (v < 0) return "-" + digits;
  if (plus) return "+" + digits;
  return digits;
}

// The value of variable n (1 to 1000) of the common (C) or stage (S) set; false when the
// stage set is asked for outside a stage.
bool ReadVariable(bool common, int n, std::int32_t& value) {
  if (common) {
    value = g_PlayData.m_CommonVar[n];
    return true;
  }
  if (!g_pPlayScene) return false;
  value = g_pPlayScene->m_StageVar[n];
  return true;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The list position of a surface of the message list, or the list's size.
int MessageSurfacePosition(const DDSURFACEDATA* surface) {
  int position = 0;
  for (const DDSURFACEDATA& s : g_MessageSurfaces) {
    if (&s == surface) return position;
    ++position;
  }
  return position;
}

}  // namespace

void ExpandMessageCodes(std::string& text) {
  std::string out;
  out.reserve(text.size());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    // A lead byte takes the next byte with it, whatever it is.
    if (IsDbcsLead(static_cast<unsigned char>(text[i])) && i + 1 < n) {
      out.append(text, i, 2);
      i += 2;
      continue;
    }
    if (text[i] != '#') {
      out.push_back(text[i++]);
      continue;
    }
    std::size_t end = i + 1;
    int number = 0, width = 0;
    bool hasNumber = false, tooLarge = false, common = false, stage = false;
    bool underscore = false, zeros = false, plus = false;
    for (; end < n; ++end) {
      const char c = text[end];
      if (IsDigit(c)) {
        if (underscore) {
          width = c - '0';
        } else {
          hasNumber = true;
          // Past 1000 the number names no variable: it stops counting.
          if (!tooLarge) number = number * 10 + (c - '0');
          if (number > kMaxVariable) tooLarge = true;
        }
      } else if (c == 'C' || c == 'c') {
        common = true;
      } else if (c == 'S' || c == 's') {
        stage = true;
      } else if (c == '_') {
        underscore = true;
      } else if (c == 'Z' || c == 'z') {
        zeros = true;
      } else if (c == 'P' || c == 'p') {
        plus = true;
      } else {
        break;
      }
    }
    if (end < n && text[end] == '.') ++end;
    std::int32_t value = 0;
    if (hasNumber && !tooLarge && number >= 1 && (common || stage) &&
        ReadVariable(common, number, value)) {
      out += FormatCode(value, width, zeros, plus);
    } else {
      out.append(text, i, end - i);
    }
    i = end;
  }
  text = std::move(out);
}

void MeasureMessageText(const std::string& text, int& width, int& height) {
  int w = 0, h = 0;
  MessageFont().Measure(&w, &h, text.c_str());
  width = w + 2;
  height = h + 2;
}

cMessage::cMessage(int kind, const char* text, int iconKind, int iconIndex, int iconCell,
                   int posMode, int blockX, int blockY, int dotX, int dotY, int keepOnScreen,
                   int fixed, int timerMode, int count, int countWhileStopped, int objNo,
                   int continued, int expand, int refresh, int refreshInterval, int box,
                   int hasId, int id) {
  Init(kind, text, iconKind, iconIndex, iconCell, posMode, blockX, blockY, dotX, dotY,
       keepOnScreen, fixed, timerMode, count, countWhileStopped, objNo, continued, expand, refresh,
       refreshInterval, box, hasId, id, 0);
}

void cMessage::Init(int kind, const char* text, int iconKind, int iconIndex, int iconCell,
                    int posMode, int blockX, int blockY, int dotX, int dotY, int keepOnScreen,
                    int fixed, int timerMode, int count, int countWhileStopped, int objNo,
                    int continued, int expand, int refresh, int refreshInterval, int box,
                    int hasId, int id, int keepSurface) {
  m_nKind = kind;
  if (text) {
    m_strText = text;
    m_strSource = text;
  }
  m_nIconKind = iconKind;
  m_nIconIndex = iconIndex;
  m_nIconCell = iconCell;
  m_nPosMode = posMode;
  m_nBlockX = blockX;
  m_nBlockY = blockY;
  m_nDotX = dotX;
  m_nDotY = dotY;
  m_bKeepOnScreen = keepOnScreen;
  m_bFixed = fixed;
  m_nTimerMode = timerMode;
  m_nCount = count;
  m_bCountWhileStopped = countWhileStopped;
  m_nObjNo = objNo;
  m_bExpand = expand;
  m_bRefresh = refresh;
  m_nRefreshInterval = refreshInterval;
  m_bBox = box;
  m_bHasId = hasId;
  m_nId = id;
  m_bPlaced = 0;
  m_dZoom = 0;
  if (m_bExpand) ExpandMessageCodes(m_strText);
  if (kind == MESSAGE_TEXT) {
    MeasureMessageText(m_strText, m_nWidth, m_nHeight);
  } else if (kind == MESSAGE_ICON || kind == MESSAGE_EXTRA_LIFE) {
    m_nWidth = 16;
    m_nHeight = 16;
  }
  // A key-wait window that does not follow another one opens with its box growing.
  m_bZoomIn = timerMode == 0 && continued == 0;
  if (kind == MESSAGE_TEXT) {
    if (!keepSurface || !m_pSurface) LoadBitmap(static_cast<int>(g_MessageSurfaces.size()));
    DrawText(m_pSurface);
  } else {
    m_pSurface = nullptr;
    m_pBmpInfo = nullptr;
  }
}

void cMessage::LoadBitmap(int position) {
  const int size = static_cast<int>(g_MessageSurfaces.size());
  if (position < 0 || position > size) position = size;
  const bool made = DDInsertSurface(g_MessageSurfaces, g_MessageBmpInfo, position, m_nWidth,
                                    m_nHeight, 1, 0, DTMEMORYTYPE_VIDEO_RT, 0);
  m_pSurface = &*std::next(g_MessageSurfaces.begin(), position);
  m_pBmpInfo = position < static_cast<int>(g_MessageBmpInfo.size())
                   ? &*std::next(g_MessageBmpInfo.begin(), position)
                   : nullptr;
  // Without its surface the message draws nothing; the program closes.
  if (!made) PostCloseToMainWindow();
}

void cMessage::DrawText(DDSURFACEDATA* surface) {
  if (!surface) return;
  if (m_bBox) {
    MessageFont().DrawWidth(surface, 1, 1, 0, 0, m_strText.c_str(), 0);
  } else {
    DDClear(surface, 0);
    MessageFont().Draw(surface, 1, 1, m_strText.c_str());
  }
}

void cMessage::RemoveSurface() {
  if (m_pSurface) DDRemoveSurface(g_MessageSurfaces, g_MessageBmpInfo, m_pSurface);
  m_pSurface = nullptr;
  m_pBmpInfo = nullptr;
}

int cMessage::Update(DDSURFACEDATA* target, int stopped) {
  const bool text = m_nKind == MESSAGE_TEXT;
  if (m_nTimerMode == 2 && (!stopped || m_bCountWhileStopped)) {
    m_nCount = SubWrap32(m_nCount, 1);
    if (m_nCount < 0) {
      if (text) RemoveSurface();
      return 1;
    }
  }

  const std::int64_t frame = g_pPlayScene ? g_pPlayScene->m_nFrame : 0;
  if (text && m_bExpand && m_bRefresh && m_nRefreshInterval != 0 &&
      frame % m_nRefreshInterval == 0) {
    std::string shown = m_strSource;
    ExpandMessageCodes(shown);
    if (shown != m_strText) {
      m_strText = std::move(shown);
      int w = 0, h = 0;
      MeasureMessageText(m_strText, w, h);
      if (w != m_nWidth || h != m_nHeight || !m_pSurface) {
        m_nWidth = w;
        m_nHeight = h;
        const int position = MessageSurfacePosition(m_pSurface);
        RemoveSurface();
        LoadBitmap(position);
      }
      DrawText(m_pSurface);
    }
  }

  const sScroll scroll = CurrentScroll();
  const std::int64_t w = m_nWidth, h = m_nHeight;
  // A mode outside the table places the message like mode 0.
  const int mode = m_nPosMode >= MSGPOS_SCREEN_CENTRE && m_nPosMode <= MSGPOS_MAP_BLOCK
                       ? m_nPosMode
                       : MSGPOS_SCREEN_CENTRE;
  int x = 0, y = 0;
  bool unplaced = false;  // an icon whose object is gone before it was ever placed
  switch (mode) {
    case MSGPOS_SCREEN_BLOCK:
      x = Wrap32(static_cast<std::int64_t>(m_nBlockX) * 32 + m_nDotX);
      y = Wrap32(static_cast<std::int64_t>(m_nBlockY) * 32 + m_nDotY);
      break;
    case MSGPOS_MAP_BLOCK:
      x = TruncToInt32((static_cast<std::int64_t>(m_nBlockX) + 10) * 32.0 + m_nDotX - scroll.x);
      y = TruncToInt32((static_cast<std::int64_t>(m_nBlockY) + 10) * 32.0 + m_nDotY - scroll.y);
      break;
    case MSGPOS_SCREEN_CENTRE:
      x = Wrap32(320 - (w >> 1) + m_nDotX);
      y = Wrap32(240 - (h >> 1) + m_nDotY);
      break;
    default: {
      const cCharaBase* object = FindCharaByNumber(m_nObjNo);
      if (!object) {
        if (text) {
          RemoveSurface();
          return 1;
        }
        unplaced = !m_bPlaced;
        break;
      }
      const double sx = TruncToInt32(scroll.x), sy = TruncToInt32(scroll.y);
      const sDrawRect& cell = object->m_Rect;
      const std::int64_t left = static_cast<std::int64_t>(TruncToInt32(object->m_dX - sx)) -
                                cell.m_nOffsetX;
      const std::int64_t top = static_cast<std::int64_t>(TruncToInt32(object->m_dY - sy)) -
                               cell.m_nOffsetY;
      x = Wrap32(left + (cell.m_nWidth >> 1) - (w >> 1) + m_nDotX);
      const int place = (mode - 1) % 3;  // 0 above, 1 below, 2 on the cell
      if (place == 0)
        y = Wrap32(top - h + m_nDotY);
      else if (place == 1)
        y = Wrap32(top + cell.m_nHeight + 1 + m_nDotY);
      else
        y = Wrap32(top + (cell.m_nHeight >> 1) - (h >> 1) + m_nDotY);
      break;
    }
  }
  if (unplaced) return 0;

  sAnchor anchor{m_bPlaced, m_nPlacedX, m_nPlacedY};
  if (mode == MSGPOS_SCREEN_CENTRE || mode == MSGPOS_SCREEN_BLOCK) {
    if (!m_bFixed) anchor.PinToMap(x, y, scroll);
  } else if (m_bFixed) {
    // (An icon whose object has gone stays where it was placed.)
    anchor.KeepFirst(x, y);
  }

  if (m_bKeepOnScreen) {
    if (x < 0)
      x = 0;
    else if (x + w >= 639)
      x = Wrap32(640 - w);
    if (y < 20)
      y = 20;
    else if (y + h >= 479)
      y = Wrap32(480 - h);
  }

  switch (m_nKind) {
    case MESSAGE_TEXT: {
      if (!m_pSurface || !target) break;
      if (m_pSurface->bLost) {
        DrawText(m_pSurface);
        m_pSurface->bLost = 0;
      }
      if (m_strText.empty()) break;
      if (m_bZoomIn) {
        m_dZoom += 1.0;
        const double s = m_dZoom * 0.1;
        if (m_dZoom < 10) {
          if (m_bBox)
            MessageFont().DrawBox(target, TruncToInt32(x + (w >> 1) - (w >> 1) * s),
                                  TruncToInt32(y + (h >> 1) - (h >> 1) * s),
                                  TruncToInt32(w * s), TruncToInt32(h * s));
          break;
        }
      }
      DDBlt(target, x, y, m_nWidth, m_nHeight, m_pSurface, 0, 0, DDBLT_KEY);
      break;
    }
    case MESSAGE_ICON:
      if (target)
        DrawGraphicIcon(target, x, Wrap32(y - static_cast<std::int64_t>(SubWrap32(30, m_nCount) >> 2)),
                        m_nIconKind, m_nIconIndex, m_nIconCell);
      break;
    case MESSAGE_EXTRA_LIFE:
      if (target)
        DDBlt(target, x, Wrap32(y - static_cast<std::int64_t>(SubWrap32(30, m_nCount) >> 2)), 16,
              16, &g_SystemSurface[kAccessorySheet], 0, 48, DDBLT_KEY);
      break;
    default:
      break;
  }
  return 0;
}

void cHero::AddTextObject(int iconKind, int iconIndex, int iconCell) {
  if (!g_pPlayScene) return;
  g_pPlayScene->m_MessageList.emplace_back(MESSAGE_ICON, "", iconKind, iconIndex, iconCell,
                                           MSGPOS_ABOVE_HERO, 0, 0, 0, 0, 0, 1, 2, 30, 0,
                                           m_nNumber, 0, 0, 0, 0, 0, 0, 0);
}
