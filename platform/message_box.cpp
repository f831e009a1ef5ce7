#include "platform/message_box.h"

#include <gtk/gtk.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "platform/thread_messages.h"

namespace platform {
namespace {

std::atomic<MessageBoxHandler> g_handler{nullptr};
std::atomic<bool> g_shown{true};

// Boxes are shown on the main thread; before there is one, on the process's first thread.
bool OnBoxThread() {
  if (IsMainThread()) return true;
  return MainThreadId() == 0 && static_cast<pid_t>(::syscall(SYS_gettid)) == ::getpid();
}

bool GtkReady() {
  static const bool ready = gtk_init_check(nullptr, nullptr);
  return ready;
}

// Requests of other threads keep being served while the box waits for the user.
gboolean ServeWhileOpen(gpointer) {
  ServeRequests();
  return G_SOURCE_CONTINUE;
}

int ShowGtkBox(const std::string& text, const std::string& caption, int type) {
  if (!GtkReady()) return 0;
  const int buttons = type & 0xF;
  GtkMessageType kind = GTK_MESSAGE_INFO;
  switch (type & 0xF0) {
    case kIconError:
      kind = GTK_MESSAGE_ERROR;
      break;
    case kIconQuestion:
      kind = GTK_MESSAGE_QUESTION;
      break;
    case kIconWarning:
      kind = GTK_MESSAGE_WARNING;
      break;
    default:
      kind = buttons == kBoxYesNo ? GTK_MESSAGE_QUESTION : GTK_MESSAGE_INFO;
  }
  GtkButtonsType set = buttons == kBoxYesNo      ? GTK_BUTTONS_YES_NO
                       : buttons == kBoxOkCancel ? GTK_BUTTONS_OK_CANCEL
                                                 : GTK_BUTTONS_OK;
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, kind, set, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
  gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
  guint serving = g_timeout_add(5, &ServeWhileOpen, nullptr);
  gint response = gtk_dialog_run(GTK_DIALOG(box));
  g_source_remove(serving);
  gtk_widget_destroy(box);
  while (gtk_events_pending()) gtk_main_iteration();
  switch (response) {
    case GTK_RESPONSE_YES:
      return kAnswerYes;
    case GTK_RESPONSE_NO:
      return kAnswerNo;
    case GTK_RESPONSE_CANCEL:
      return kAnswerCancel;
    case GTK_RESPONSE_OK:
      return kAnswerOk;
    default:
      // Closed by the window manager: the answer that does nothing.
      return buttons == kBoxYesNo ? kAnswerNo : buttons == kBoxOkCancel ? kAnswerCancel : kAnswerOk;
  }
}

int ShowHere(const std::string& text, const std::string& caption, int type) {
  if (auto handler = g_handler.load()) return handler(text, caption, type);
  if (!g_shown.load()) return 0;
  return ShowGtkBox(text, caption, type);
}

}  // namespace

int DefaultAnswer(int type) {
  switch (type & 0xF) {
    case kBoxYesNo:
      return kAnswerYes;
    default:
      return kAnswerOk;
  }
}

int ShowMessageBox(const std::string& text, const std::string& caption, int type) {
  int answer = 0;
  if (OnBoxThread())
    answer = ShowHere(text, caption, type);
  else if (!RunOnMainThread([&] { answer = ShowHere(text, caption, type); }))
    answer = 0;
  if (answer == 0) std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
  return answer;
}

void SetMessageBoxHandler(MessageBoxHandler handler) { g_handler.store(handler); }

void SetMessageBoxesShown(bool shown) { g_shown.store(shown); }

}  // namespace platform
