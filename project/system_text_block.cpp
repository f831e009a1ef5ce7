// The drawing of the system record's text blocks, apart from the record so that the record
// itself needs no fonts.
#include "media/font.h"
#include "project/system_data.h"

void DrawSysTextBlock(int x, int y, int first, int count, int cursorColumn) {
  std::string text;
  int width = 0, height = 0;
  if (!BuildSysTextBlock(first, count, cursorColumn, text, width, height)) return;
  // The texts go through no formatting: a '%' in them is drawn as it stands.
  g_Font[1].DrawWidth(&BackBuffer, x, y, width, height, text.c_str(), 0);
}
