#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

namespace platform {
namespace {
std::atomic<MessageBoxHandler> g_handler{nullptr};
}

int DefaultAnswer(int type) {
  switch (type & 0xF) {
    case kBoxYesNo:
      return kAnswerYes;
    default:
      return kAnswerOk;
  }
}

int ShowMessageBox(const std::string& text, const std::string& caption, int type) {
  if (auto handler = g_handler.load()) return handler(text, caption, type);
  std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  return DefaultAnswer(type);
}

void SetMessageBoxHandler(MessageBoxHandler handler) { g_handler.store(handler); }

}  // namespace platform
