#include "project/menu_command.h"

#include <algorithm>

#include "foundation/message_box.h"
#include "foundation/text_utils.h"
#include "media/font.h"

namespace {
// The widest enabled caption, in displayed characters.
int WidestCaption(const cVector<cCmd>& list) {
  int widest = 0;
  for (const cCmd& cmd : list)
    if (cmd.m_bEnabled) widest = std::max(widest, StrCountChars(cmd.m_strCaption.c_str()));
  return widest;
}
}  // namespace

void cCmd::SetupItems(int) {
  ClearItems();
  AddInt(&m_bEnabled);
  AddString(&m_strCaption);
}

int cCmd::CountEnabled(const cVector<cCmd>& list) {
  return static_cast<int>(
      std::count_if(list.begin(), list.end(), [](const cCmd& c) { return c.m_bEnabled != 0; }));
}

int cCmd::GetCmdNum(int n, const cVector<cCmd>& list) {
  int seen = 0;
  for (int i = 0; n >= 0 && i < static_cast<int>(list.size()); ++i) {
    if (!list[i].m_bEnabled) continue;
    if (seen++ == n) return i;
  }
  ErrBoxDebugF("cCmd::GetCmdNum 番号が不正です！");
  return 0;
}

int cCmd::GetCmdWindowX(int x, const cVector<cCmd>& list) {
  const int w = WidestCaption(list);
  return w == 0 ? x : x - ((w + 1) * 16) / 2;
}

void cCmd::DrawCmdWindow(DDSURFACEDATA* surface, int x, int y, const cVector<cCmd>& list) {
  const int n = CountEnabled(list);
  const int w = WidestCaption(list);
  if (w == 0) return;
  g_Font[1].DrawBox(surface, x, y, (w + 1) * 16, n * 16);
  for (int j = 0; j < n; ++j)
    g_Font[1].Draw(surface, x + 16, y + 16 * j, list[GetCmdNum(j, list)].m_strCaption.c_str());
}
