// The ranking table and the result panel, drawn with font 1 in cells of 16 pixels.
#include <algorithm>

#include "foundation/text_utils.h"
#include "media/blit.h"
#include "media/font.h"
#include "project/number_format.h"
#include "project/play_data.h"
#include "project/ranking.h"
#include "project/stage.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/system_ini.h"

namespace {

constexpr int kCell = 16;
// The 16 x 16 pointer of "bmp\Accessory.bmp".
constexpr int kAccessorySurface = 49;
constexpr int kPointerX = 16, kPointerY = 48;
// System texts: the caption of genre 0 (the others follow), and the hint for switching genres.
constexpr int kGenreCaptionText = 5;
constexpr int kGenreHintText = 25;
// The table's box and the column its hint is centred on.
constexpr int kTableBoxW = 270, kTableBoxH = 350;
constexpr int kTableCentre = 136;
// A time is shown as 00:00.00.
constexpr int kTimeWidth = 8;

// Font 1 shows the letters a to z as icons when the project asks for it; a player's name is
// drawn as letters all the same. The switch is given back as it was.
class cIconsOff {
 public:
  explicit cIconsOff(cFont& font) : m_Font(font), m_bSaved(font.m_bIcons) { font.m_bIcons = 0; }
  ~cIconsOff() { m_Font.m_bIcons = m_bSaved; }
  cIconsOff(const cIconsOff&) = delete;
  cIconsOff& operator=(const cIconsOff&) = delete;

 private:
  cFont& m_Font;
  int m_bSaved;
};

void DrawPointer(DDSURFACEDATA* dest, int x, int y) {
  DDBlt(dest, x, y, kCell, kCell, &g_SystemSurface[kAccessorySurface], kPointerX, kPointerY,
        DDBLT_KEY);
}

// A genre's value: a time as minutes, seconds and hundredths, anything else as a number.
void DrawValue(cFont& font, DDSURFACEDATA* dest, int x, int y, int genre, int value) {
  if (genre == kRankTimeGenre) {
    std::string time;
    FormatTime(time, value);
    font.DrawF(dest, x, y, "%s", time.c_str());
  } else {
    font.DrawF(dest, x, y, "%d", value);
  }
}

const std::string& GenreCaption(int genre) {
  return g_SystemData.m_Texts[kGenreCaptionText + genre];
}

// Stage and project switches that a damaged file may leave short count as off.
template <class T>
int FlagAt(const cVector<T>& flags, int i) {
  return i < static_cast<int>(flags.size()) ? flags[i] : 0;
}

}  // namespace

int DrawRankingTable(cRankTable& table, DDSURFACEDATA* dest, int x, int y, int genre,
                     int pointedRow) {
  cFont& font = g_Font[1];
  font.DrawBox(dest, x + 1, y + 1, kTableBoxW, kTableBoxH);
  const std::string& caption = GenreCaption(genre);
  if (g_SystemIni.English) {
    cIconsOff letters(font);
    font.DrawF(dest, x, y, "Ranking     %s", caption.c_str());
  } else {
    font.DrawF(dest, x, y, "ランキング    %s", caption.c_str());
  }

  cVector<cRankEntry>& entries = table.m_Entries;
  const int count = static_cast<int>(entries.size());
  // Values end in one column, the width of the top value's digits; a table without entries
  // has no rows to line up.
  int width = 1;
  if (genre == kRankTimeGenre)
    width = kTimeWidth;
  else if (count > 0)
    width = GetDigitCount(entries[0].m_nValue);
  for (int i = 0; i < count; ++i) {
    const cRankEntry& entry = entries[i];
    if (!entry.m_bUsed) continue;
    const int rowY = y + kCell * (i + 1);
    font.DrawF(dest, x + kCell, rowY, "%d", i + 1);
    {
      cIconsOff letters(font);
      font.DrawF(dest, x + 4 * kCell, rowY, "%s", entry.m_strName.c_str());
    }
    const int digits = genre == kRankTimeGenre ? width : GetDigitCount(entry.m_nValue);
    DrawValue(font, dest, x + kCell * (9 + width - digits), rowY, genre, entry.m_nValue);
  }

  if (CountRankingGenres(g_SystemData, RankingPlayMode()) >= 2) {
    const std::string& hint = g_SystemData.m_Texts[kGenreHintText];
    const int left = x + kTableCentre - kCell * StrCountChars(hint.c_str()) / 2;
    font.Draw(dest, left, y + kCell * (count + 1), hint.c_str());
  }
  if (pointedRow != -1) DrawPointer(dest, x, y + kCell * (pointedRow + 1));
  return 1;
}

void cRanking::DrawTable(DDSURFACEDATA* dest, int x, int y, int genre, int pointedRow) {
  DrawRankingTable(m_Tables[genre], dest, x, y, genre, pointedRow);
}

void DrawResultPanel(DDSURFACEDATA* dest, int x, int y, const cVector<int>& positions) {
  const int playMode = RankingPlayMode();
  const cVector<std::uint8_t>* genreFlags = nullptr;
  if (playMode >= 0 && playMode < static_cast<int>(g_SystemData.m_RankingSets.size()))
    genreFlags = &g_SystemData.m_RankingSets[playMode].m_Genres;
  const int testPlay = RankingTestPlay();

  bool shown[kRankGenreCount] = {};
  int rows = 0;
  int captionWidth = 1;
  int numberWidth = 1;
  for (int genre = 0; genre < kRankGenreCount; ++genre) {
    const bool ranked = testPlay || (genreFlags && FlagAt(*genreFlags, genre));
    shown[genre] = FlagAt(g_Stage.m_ResultItems, genre) && ranked;
    if (!shown[genre]) continue;
    ++rows;
    captionWidth = std::max(captionWidth, StrCountChars(GenreCaption(genre).c_str()));
    const int digits =
        genre == kRankTimeGenre ? kTimeWidth : GetDigitCount(GetRankingValue(g_PlayData, genre));
    numberWidth = std::max(numberWidth, digits);
  }
  if (rows == 0) return;

  cFont& font = g_Font[1];
  font.DrawBox(dest, x, y, (numberWidth + captionWidth + 3) * kCell, kCell * rows);
  int rowY = y;
  for (int genre = 0; genre < kRankGenreCount; ++genre) {
    if (!shown[genre]) continue;
    font.DrawF(dest, x + kCell, rowY, "%s", GenreCaption(genre).c_str());
    DrawValue(font, dest, x + kCell * captionWidth + 2 * kCell, rowY, genre,
              GetRankingValue(g_PlayData, genre));
    rowY += kCell;
  }
  // The pointers stack from the top, one for each new rank, whichever rows those are.
  int pointerY = y;
  for (int position : positions) {
    if (position == -1) continue;
    DrawPointer(dest, x, pointerY);
    pointerY += kCell;
  }
}
