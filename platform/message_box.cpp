#include "platform/message_box.h"

#include <gtk/gtk.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/close_request.h"
#include "platform/dialog_host.h"
#include "platform/thread_messages.h"
#include "platform/video.h"

namespace platform {
namespace {

std::atomic<MessageBoxHandler> g_handler{nullptr};
std::atomic<bool> g_shown{true};

// Boxes are shown on the main thread; before there is one, on the process's first thread.
bool OnBoxThread() {
  if (IsMainThread()) return true;
  return MainThreadId() == 0 && static_cast<pid_t>(::syscall(SYS_gettid)) == ::getpid();
}

// Requests of other threads keep being served while the box waits for the user. A close
// request (a signal from outside, the main window's close box) answers the box as its button
// that does nothing; the request itself stays for the program's loop.
gboolean ServeWhileOpen(gpointer box) {
  ServeRequests();
  if (CloseSignalPending() || WindowCloseWaiting())
    gtk_dialog_response(GTK_DIALOG(box), GTK_RESPONSE_DELETE_EVENT);
  return G_SOURCE_CONTINUE;
}

int ShowGtkBox(const std::string& text, const std::string& caption, int type) {
  // The toolkit is shared with the dialogs: started once, the same way, and known to hold
  // the font configuration from then on.
  if (!StartDialogToolkit()) return 0;
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
  guint serving = g_timeout_add(5, &ServeWhileOpen, box);
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
      // Closed by the window manager or a close request: the answer that does nothing.
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

void WriteBoxToStandardError(const std::string& text, const std::string& caption) {
  std::string line = "[" + caption + "] " + text;
  std::replace(line.begin(), line.end(), '\n', ' ');
  line += '\n';
  std::fputs(line.c_str(), stderr);
}

int ShowMessageBox(const std::string& text, const std::string& caption, int typeAndFlags) {
  const int type = typeAndFlags & ~kAlsoToStandardError;
  int answer = 0;
  if (OnBoxThread())
    answer = ShowHere(text, caption, type);
  else if (!RunOnMainThread([&] { answer = ShowHere(text, caption, type); }))
    answer = 0;
  if (answer == 0 || (typeAndFlags & kAlsoToStandardError)) WriteBoxToStandardError(text, caption);
  return answer;
}

void SetMessageBoxHandler(MessageBoxHandler handler) { g_handler.store(handler); }

void SetMessageBoxesShown(bool shown) { g_shown.store(shown); }

}  // namespace platform
