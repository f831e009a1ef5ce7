#include "project/menu_command.h"

void cCmd::SetupItems(int) {
  ClearItems();
  AddInt(&m_bEnabled);
  AddString(&m_strCaption);
}
