#include "foundation/message_box.h"

#include <atomic>
#include <cstdarg>

#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/strings.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

namespace {
std::atomic<DeviceBoxHook> g_deviceBox{nullptr};
}

void SetDeviceBoxHook(DeviceBoxHook hook) { g_deviceBox.store(hook); }

int MesBox(const char* text, const char* caption, int type) {
  if (!text) text = "";
  if (!caption) caption = "";
  static_assert(MB_TO_STDERR == platform::kAlsoToStandardError);
  if (DeviceBoxHook hook = g_deviceBox.load()) {
    int answer = hook(text, caption, type & ~MB_TO_STDERR);
    if (answer >= 0) {
      if (type & MB_TO_STDERR)
        platform::WriteBoxToStandardError(platform::Cp932ToUtf8(text),
                                          platform::Cp932ToUtf8(caption));
      return answer;
    }
  }
  int answer =
      platform::ShowMessageBox(platform::Cp932ToUtf8(text), platform::Cp932ToUtf8(caption), type);
  if (answer != 0) return answer;
  answer = platform::DefaultAnswer(type);
  Report("%s: %s (%d)", caption, text, answer);
  return answer;
}

int ErrBox(const char* text) { return MesBox(text, "エラー", MB_OK); }

int ErrBoxToStderr(const char* text) { return MesBox(text, "エラー", MB_OK | MB_TO_STDERR); }

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
