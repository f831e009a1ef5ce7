#include "foundation/message_box.h"

#include <cstdarg>

#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/strings.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

int MesBox(const char* text, const char* caption, int type) {
  return platform::ShowMessageBox(platform::Cp932ToUtf8(text ? text : ""),
                                  platform::Cp932ToUtf8(caption ? caption : ""), type);
}

int ErrBox(const char* text) { return MesBox(text, "エラー", MB_OK); }

int ErrBoxF(const char* format, ...) {
  std::string text;
  va_list args;
  va_start(args, format);
  FormatStringV(text, format, args);
  va_end(args);
  return ErrBox(text.c_str());
}

int ErrBoxDebugF(const char* format, ...) {
  if (!ErrLogEnabled()) return 0;
  std::string text;
  va_list args;
  va_start(args, format);
  FormatStringV(text, format, args);
  va_end(args);
  return ErrBox(text.c_str());
}

void OutOfMemory() {
  ErrBox("メモリが不足しています！");
  PostCloseToMainWindow();
}
