#include "platform/dialog_host.h"

#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

#include <algorithm>
#include <atomic>
#include <cctype>

#include "platform/close_request.h"
#include "platform/video.h"

namespace platform {
namespace {

std::atomic<void (*)()> g_idleService{nullptr};
int g_toolkit = -1;  // -1 not tried, 0 no display, 1 running

// The chooser that is open, what it was opened with, and the test's watcher and answer.
GtkWidget* g_openChooser = nullptr;
sFileChoice g_openChoice;
ChooserWatcher g_chooserWatcher = nullptr;
bool g_bChooserAnswered = false;
std::string g_strChooserAnswer;

// A close request (a signal from outside, the main window's close box) while a chooser or a
// dialog waits for the user: it gives way, and the request stays for the program's own loop.
bool CloseWaiting() { return CloseSignalPending() || WindowCloseWaiting(); }

gboolean ChooserTick(gpointer) {
  if (g_chooserWatcher && g_openChooser) g_chooserWatcher(g_openChoice.title);
  if (g_openChooser && CloseWaiting())
    gtk_dialog_response(GTK_DIALOG(g_openChooser), GTK_RESPONSE_CANCEL);
  return G_SOURCE_CONTINUE;
}

gboolean IdleTick(gpointer) {
  if (auto service = g_idleService.load()) service();
  return G_SOURCE_CONTINUE;
}

// Windows key codes of the keys a dialog sees.
int WindowsKey(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Return: case GDK_KEY_KP_Enter: return 0x0D;
    case GDK_KEY_Escape: return 0x1B;
    case GDK_KEY_Tab: return 0x09;
    case GDK_KEY_space: return 0x20;
    case GDK_KEY_Left: return 0x25;
    case GDK_KEY_Up: return 0x26;
    case GDK_KEY_Right: return 0x27;
    case GDK_KEY_Down: return 0x28;
    case GDK_KEY_Delete: return 0x2E;
    case GDK_KEY_BackSpace: return 0x08;
    case GDK_KEY_Control_L: case GDK_KEY_Control_R: return 0x11;
  }
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) return 0x70 + static_cast<int>(keyval - GDK_KEY_F1);
  if (keyval < 128 && std::isalnum(static_cast<int>(keyval)))
    return std::toupper(static_cast<int>(keyval));
  return 0;
}

}  // namespace

// A case-insensitive glob for GTK's filters: "*.stg4" -> "*.[sS][tT][gG]4".
std::string CaselessPattern(const std::string& pattern) {
  std::string out;
  for (char c : pattern) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isalpha(u)) {
      out += '[';
      out += static_cast<char>(std::tolower(u));
      out += static_cast<char>(std::toupper(u));
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
  if (extension.empty()) return path;
  const std::size_t slash = path.find_last_of('/');
  const std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
  return base.find('.') == std::string::npos ? path + "." + extension : path;
}

struct cHostDialog::sImpl {
  GtkWidget* window = nullptr;
  GtkWidget* fixed = nullptr;
  std::map<int, GtkWidget*> controls;
  std::map<int, GtkWidget*> groups;
  GMainLoop* loop = nullptr;
  int code = 0;
  const sDialogEvents* events = nullptr;
  bool composing = false;
  bool filling = false;  // set while the program writes a control: no change notification
  bool closeAsked = false;  // a close request was passed on to the dialog as its close box
};

namespace {

// A close request is passed on as the close box once; a dialog that stays open after that is
// ended as if it had been closed without an answer.
gboolean DialogCloseTick(gpointer p) {
  auto& d = *static_cast<cHostDialog::sImpl*>(p);
  if (!d.loop || !CloseWaiting()) return G_SOURCE_CONTINUE;
  if (!d.closeAsked) {
    d.closeAsked = true;
    if (d.events && d.events->close) d.events->close();
  } else {
    d.code = 0;
    g_main_loop_quit(d.loop);
  }
  return G_SOURCE_CONTINUE;
}

}  // namespace

bool StartDialogToolkit() {
  if (g_toolkit >= 0) return g_toolkit == 1;
  // The program formats numbers itself; the toolkit must not switch the C locale.
  gtk_disable_setlocale();
  g_toolkit = gtk_init_check(nullptr, nullptr) ? 1 : 0;
  return g_toolkit == 1;
}

bool DialogToolkitStarted() { return g_toolkit == 1; }

void SetDialogIdleService(void (*service)()) { g_idleService.store(service); }

cHostDialog::cHostDialog(const std::string& title, int width, int height)
    : m_pImpl(std::make_unique<sImpl>()) {
  if (!StartDialogToolkit()) return;
  sImpl& d = *m_pImpl;
  d.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  g_object_ref_sink(d.window);
  gtk_window_set_title(GTK_WINDOW(d.window), title.c_str());
  gtk_window_set_modal(GTK_WINDOW(d.window), TRUE);
  gtk_window_set_resizable(GTK_WINDOW(d.window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(d.window), width, height);
  d.fixed = gtk_fixed_new();
  gtk_widget_set_size_request(d.fixed, width, height);
  gtk_container_add(GTK_CONTAINER(d.window), d.fixed);
  g_signal_connect(d.window, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer p) {
                     auto* impl = static_cast<sImpl*>(p);
                     if (impl->events && impl->events->close) impl->events->close();
                     return TRUE;
                   }),
                   &d);
  g_signal_connect(d.window, "key-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, gpointer p) -> gboolean {
                     auto* impl = static_cast<sImpl*>(p);
                     const int key = WindowsKey(e->keyval);
                     if (impl->events && impl->events->key && key)
                       impl->events->key(key, false, impl->composing);
                     // Esc does nothing in a dialog; everything else goes on to the toolkit.
                     return key == 0x1B ? TRUE : FALSE;
                   }),
                   &d);
  g_signal_connect(d.window, "key-release-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventKey* e, gpointer p) -> gboolean {
                     auto* impl = static_cast<sImpl*>(p);
                     const int key = WindowsKey(e->keyval);
                     if (impl->events && impl->events->key && key)
                       impl->events->key(key, true, impl->composing);
                     return FALSE;
                   }),
                   &d);
}

cHostDialog::~cHostDialog() {
  if (m_pImpl->window) {
    gtk_widget_destroy(m_pImpl->window);
    g_object_unref(m_pImpl->window);
  }
}

namespace {
void Place(cHostDialog::sImpl& d, int id, GtkWidget* widget, int x, int y, int w, int h) {
  gtk_widget_set_size_request(widget, w, h);
  gtk_fixed_put(GTK_FIXED(d.fixed), widget, x, y);
  d.controls[id] = widget;
}

struct sSignal {
  cHostDialog::sImpl* impl;
  int id;
};

void Notify(cHostDialog::sImpl* d, int id, std::uint32_t notification) {
  if (!d->filling && d->events && d->events->command) d->events->command(id, notification);
}

sSignal* NewSignal(cHostDialog::sImpl* d, int id, GtkWidget* widget) {
  auto* s = new sSignal{d, id};
  g_object_set_data_full(G_OBJECT(widget), "tw-signal", s,
                         +[](gpointer p) { delete static_cast<sSignal*>(p); });
  return s;
}
}  // namespace

void cHostDialog::AddLabel(int id, const std::string& text, int x, int y, int w, int h) {
  if (!m_pImpl->fixed) return;
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  Place(*m_pImpl, id, label, x, y, w, h);
}

void cHostDialog::AddEdit(int id, int x, int y, int w, int h) {
  if (!m_pImpl->fixed) return;
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_width_chars(GTK_ENTRY(entry), 1);  // the layout's width, not the toolkit's
  sSignal* s = NewSignal(m_pImpl.get(), id, entry);
  g_signal_connect(entry, "changed", G_CALLBACK(+[](GtkEditable*, gpointer p) {
                     auto* sig = static_cast<sSignal*>(p);
                     Notify(sig->impl, sig->id, 0x0400);
                   }),
                   s);
  g_signal_connect(entry, "preedit-changed", G_CALLBACK(+[](GtkEntry*, gchar* text, gpointer p) {
                     static_cast<sSignal*>(p)->impl->composing = text && *text;
                   }),
                   s);
  // Enter in the edit acts on the dialog (the key handler sees it), not on the entry.
  Place(*m_pImpl, id, entry, x, y, w, h);
}

void cHostDialog::AddButton(int id, const std::string& text, int x, int y, int w, int h) {
  if (!m_pImpl->fixed) return;
  GtkWidget* button = gtk_button_new_with_label(text.c_str());
  sSignal* s = NewSignal(m_pImpl.get(), id, button);
  g_signal_connect(button, "clicked", G_CALLBACK(+[](GtkButton*, gpointer p) {
                     auto* sig = static_cast<sSignal*>(p);
                     Notify(sig->impl, sig->id, 0);
                   }),
                   s);
  Place(*m_pImpl, id, button, x, y, w, h);
}

void cHostDialog::AddCheckBox(int id, const std::string& text, int x, int y, int w, int h) {
  if (!m_pImpl->fixed) return;
  GtkWidget* box = gtk_check_button_new_with_label(text.c_str());
  sSignal* s = NewSignal(m_pImpl.get(), id, box);
  g_signal_connect(box, "toggled", G_CALLBACK(+[](GtkToggleButton*, gpointer p) {
                     auto* sig = static_cast<sSignal*>(p);
                     Notify(sig->impl, sig->id, 0);
                   }),
                   s);
  Place(*m_pImpl, id, box, x, y, w, h);
}

void cHostDialog::AddGroupBox(int id, const std::string& text, int x, int y, int w, int h) {
  if (!m_pImpl->fixed) return;
  Place(*m_pImpl, id, gtk_frame_new(text.c_str()), x, y, w, h);
}

void cHostDialog::SetDefaultButton(int id) {
  auto it = m_pImpl->controls.find(id);
  if (it == m_pImpl->controls.end() || !GTK_IS_BUTTON(it->second)) return;
  gtk_widget_set_can_default(it->second, TRUE);
  gtk_window_set_default(GTK_WINDOW(m_pImpl->window), it->second);
  for (auto& [other, widget] : m_pImpl->controls)
    if (GTK_IS_ENTRY(widget)) gtk_entry_set_activates_default(GTK_ENTRY(widget), TRUE);
}

void cHostDialog::SetTitle(const std::string& title) {
  if (m_pImpl->window) gtk_window_set_title(GTK_WINDOW(m_pImpl->window), title.c_str());
}

void cHostDialog::SetClientSize(int width, int height) {
  if (m_pImpl->fixed) gtk_widget_set_size_request(m_pImpl->fixed, width, height);
}

void cHostDialog::Focus(int id) {
  auto it = m_pImpl->controls.find(id);
  if (it != m_pImpl->controls.end()) gtk_widget_grab_focus(it->second);
}

bool cHostDialog::HasFocus(int id) const {
  auto it = m_pImpl->controls.find(id);
  return it != m_pImpl->controls.end() && gtk_widget_has_focus(it->second);
}

void cHostDialog::PressKey(char32_t key) {
  if (!m_pImpl->window) return;
  guint keyval = 0;
  switch (key) {
    case 0x0D: keyval = GDK_KEY_Return; break;
    case 0x1B: keyval = GDK_KEY_Escape; break;
    case 0x09: keyval = GDK_KEY_Tab; break;
    default: keyval = gdk_unicode_to_keyval(static_cast<guint32>(key)); break;
  }
  GdkWindow* window = gtk_widget_get_window(m_pImpl->window);
  if (!window) return;
  GdkDisplay* display = gdk_window_get_display(window);
  GdkSeat* seat = display ? gdk_display_get_default_seat(display) : nullptr;
  for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
    GdkEvent* event = gdk_event_new(type);
    event->key.window = GDK_WINDOW(g_object_ref(window));
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.keyval = keyval;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys,
                                          &count) &&
        count > 0)
      event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    g_free(keys);
    if (seat) gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
    gtk_main_do_event(event);
    gdk_event_free(event);
  }
}

void cHostDialog::Type(int id, const std::u32string& text) {
  Focus(id);
  for (char32_t c : text) PressKey(c);
}

void cHostDialog::Click(int id) {
  auto it = m_pImpl->controls.find(id);
  if (it != m_pImpl->controls.end() && GTK_IS_BUTTON(it->second))
    gtk_button_clicked(GTK_BUTTON(it->second));
}

void cHostDialog::CloseBox() {
  if (m_pImpl->window) gtk_window_close(GTK_WINDOW(m_pImpl->window));
}

void cHostDialog::AddRadioButton(int id, int group, const std::string& text, int x, int y, int w,
                                 int h) {
  if (!m_pImpl->fixed) return;
  auto it = m_pImpl->groups.find(group);
  GtkWidget* button =
      it == m_pImpl->groups.end()
          ? gtk_radio_button_new_with_label(nullptr, text.c_str())
          : gtk_radio_button_new_with_label_from_widget(GTK_RADIO_BUTTON(it->second), text.c_str());
  if (it == m_pImpl->groups.end()) m_pImpl->groups[group] = button;
  sSignal* s = NewSignal(m_pImpl.get(), id, button);
  g_signal_connect(button, "toggled", G_CALLBACK(+[](GtkToggleButton*, gpointer p) {
                     auto* sig = static_cast<sSignal*>(p);
                     Notify(sig->impl, sig->id, 0);
                   }),
                   s);
  Place(*m_pImpl, id, button, x, y, w, h);
}

bool cHostDialog::HasControl(int id) const { return m_pImpl->controls.count(id) != 0; }

std::string cHostDialog::Text(int id) const {
  auto it = m_pImpl->controls.find(id);
  if (it == m_pImpl->controls.end()) return {};
  GtkWidget* w = it->second;
  if (GTK_IS_ENTRY(w)) return gtk_entry_get_text(GTK_ENTRY(w));
  if (GTK_IS_LABEL(w)) return gtk_label_get_text(GTK_LABEL(w));
  if (GTK_IS_FRAME(w)) {
    const char* label = gtk_frame_get_label(GTK_FRAME(w));
    return label ? label : "";
  }
  if (GTK_IS_BUTTON(w)) {
    const char* label = gtk_button_get_label(GTK_BUTTON(w));
    return label ? label : "";
  }
  return {};
}

void cHostDialog::SetText(int id, const std::string& text) {
  auto it = m_pImpl->controls.find(id);
  if (it == m_pImpl->controls.end()) return;
  GtkWidget* w = it->second;
  m_pImpl->filling = true;
  if (GTK_IS_ENTRY(w))
    gtk_entry_set_text(GTK_ENTRY(w), text.c_str());
  else if (GTK_IS_LABEL(w))
    gtk_label_set_text(GTK_LABEL(w), text.c_str());
  else if (GTK_IS_FRAME(w))
    gtk_frame_set_label(GTK_FRAME(w), text.c_str());
  else if (GTK_IS_BUTTON(w))
    gtk_button_set_label(GTK_BUTTON(w), text.c_str());
  m_pImpl->filling = false;
}

int cHostDialog::Check(int id) const {
  auto it = m_pImpl->controls.find(id);
  if (it == m_pImpl->controls.end() || !GTK_IS_TOGGLE_BUTTON(it->second)) return 0;
  return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(it->second)) ? 1 : 0;
}

void cHostDialog::SetCheck(int id, int checked) {
  auto it = m_pImpl->controls.find(id);
  if (it == m_pImpl->controls.end() || !GTK_IS_TOGGLE_BUTTON(it->second)) return;
  m_pImpl->filling = true;
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(it->second), checked ? TRUE : FALSE);
  m_pImpl->filling = false;
}

void cHostDialog::Selection(int id, int& start, int& end) const {
  start = end = 0;
  auto it = m_pImpl->controls.find(id);
  if (it == m_pImpl->controls.end() || !GTK_IS_EDITABLE(it->second)) return;
  gint s = 0, e = 0;
  if (!gtk_editable_get_selection_bounds(GTK_EDITABLE(it->second), &s, &e))
    s = e = gtk_editable_get_position(GTK_EDITABLE(it->second));
  start = s;
  end = e;
}

void cHostDialog::SetSelection(int id, int start, int end) {
  auto it = m_pImpl->controls.find(id);
  if (it == m_pImpl->controls.end() || !GTK_IS_EDITABLE(it->second)) return;
  gtk_editable_select_region(GTK_EDITABLE(it->second), start, end);
}

void cHostDialog::Enable(int id, bool enabled) {
  auto it = m_pImpl->controls.find(id);
  if (it != m_pImpl->controls.end()) gtk_widget_set_sensitive(it->second, enabled);
}

bool cHostDialog::ControlRect(int id, int& x, int& y, int& w, int& h) const {
  auto it = m_pImpl->controls.find(id);
  if (it == m_pImpl->controls.end() || !WindowRect(x, y, w, h)) return false;
  GtkAllocation a;
  gtk_widget_get_allocation(it->second, &a);
  x += a.x;
  y += a.y;
  w = a.width;
  h = a.height;
  return true;
}

int cHostDialog::RunModal(const sDialogEvents& events) {
  sImpl& d = *m_pImpl;
  if (!d.window) return 0;
  d.events = &events;
  d.code = 0;
  d.loop = g_main_loop_new(nullptr, FALSE);
  d.closeAsked = false;
  const guint timer = g_timeout_add(1, IdleTick, nullptr);
  const guint closeWatch = g_timeout_add(5, DialogCloseTick, &d);
  gtk_widget_show_all(d.window);
  m_bRunning = true;
  g_main_loop_run(d.loop);
  m_bRunning = false;
  g_source_remove(closeWatch);
  g_source_remove(timer);
  gtk_widget_hide(d.window);
  g_main_loop_unref(d.loop);
  d.loop = nullptr;
  d.events = nullptr;
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  return d.code;
}

void cHostDialog::End(int code) {
  m_pImpl->code = code;
  if (m_pImpl->loop) g_main_loop_quit(m_pImpl->loop);
}

bool cHostDialog::WindowRect(int& x, int& y, int& w, int& h) const {
  if (!m_pImpl->window) return false;
  gtk_window_get_position(GTK_WINDOW(m_pImpl->window), &x, &y);
  gtk_window_get_size(GTK_WINDOW(m_pImpl->window), &w, &h);
  return true;
}

void cHostDialog::Move(int x, int y) {
  if (m_pImpl->window) gtk_window_move(GTK_WINDOW(m_pImpl->window), x, y);
}

namespace {
void FitToWorkArea(GtkWidget* window, gpointer) {
  int x = 0, y = 0, areaW = 0, areaH = 0;
  if (!MonitorWorkArea(x, y, areaW, areaH)) return;
  int w = 0, h = 0;
  gtk_window_get_size(GTK_WINDOW(window), &w, &h);
  if (w <= areaW && h <= areaH) return;
  gtk_window_resize(GTK_WINDOW(window), std::min(w, areaW), std::min(h, areaH));
  gtk_window_move(GTK_WINDOW(window), x, y);
}
}  // namespace

std::vector<std::string> ChooseFiles(const sFileChoice& choice) {
  std::vector<std::string> out;
  if (!StartDialogToolkit()) return out;
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      choice.title.c_str(), nullptr,
      choice.save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
      GTK_RESPONSE_CANCEL, choice.save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  if (!choice.folder.empty()) gtk_file_chooser_set_current_folder(chooser, choice.folder.c_str());
  gtk_file_chooser_set_select_multiple(chooser, choice.multiple && !choice.save);
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
  for (const sFileFilter& f : choice.filters) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, f.name.c_str());
    for (const std::string& p : f.patterns) gtk_file_filter_add_pattern(filter, CaselessPattern(p).c_str());
    gtk_file_chooser_add_filter(chooser, filter);
  }
  if (choice.save && !choice.proposal.empty())
    gtk_file_chooser_set_current_name(chooser, choice.proposal.c_str());
  // The toolkit sizes a chooser by its font and remembered settings, which can be larger
  // than a small screen (its buttons then lie off it): held to the monitor's work area, once
  // shown (the chooser sets its own size as it is shown).
  g_signal_connect_after(dialog, "map", G_CALLBACK(FitToWorkArea), nullptr);
  const guint timer = g_timeout_add(1, IdleTick, nullptr);
  g_openChooser = dialog;
  g_openChoice = choice;
  g_bChooserAnswered = false;
  const guint watch = g_timeout_add(1, ChooserTick, nullptr);
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  g_source_remove(watch);
  g_openChooser = nullptr;
  g_source_remove(timer);
  if (response == GTK_RESPONSE_ACCEPT && g_bChooserAnswered) {
    std::string path = g_strChooserAnswer;
    if (path.find('/') != 0) {
      const bool slash = !choice.folder.empty() && choice.folder.back() == '/';
      path = choice.folder + (slash ? "" : "/") + path;
    }
    out.push_back(choice.save ? WithDefaultExtension(path, choice.defaultExtension) : path);
  } else if (response == GTK_RESPONSE_ACCEPT) {
    GSList* names = gtk_file_chooser_get_filenames(chooser);
    for (GSList* n = names; n; n = n->next) {
      std::string path = static_cast<char*>(n->data);
      g_free(n->data);
      out.push_back(choice.save ? WithDefaultExtension(path, choice.defaultExtension) : path);
    }
    g_slist_free(names);
  }
  gtk_widget_destroy(dialog);
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
  return out;
}

void SetChooserWatcher(ChooserWatcher watcher) { g_chooserWatcher = watcher; }

bool AnswerChooser(const std::string& name) {
  if (!g_openChooser) return false;
  g_bChooserAnswered = !name.empty();
  g_strChooserAnswer = name;
  gtk_dialog_response(GTK_DIALOG(g_openChooser),
                      name.empty() ? GTK_RESPONSE_CANCEL : GTK_RESPONSE_ACCEPT);
  return true;
}

bool ChooserWindowSize(int& width, int& height) {
  if (!g_openChooser || !gtk_widget_get_mapped(g_openChooser)) return false;
  gtk_window_get_size(GTK_WINDOW(g_openChooser), &width, &height);
  return true;
}

bool MonitorWorkArea(int& x, int& y, int& width, int& height) {
  if (!StartDialogToolkit()) return false;
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
  if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
  if (!monitor) return false;
  GdkRectangle area;
  gdk_monitor_get_workarea(monitor, &area);
  x = area.x;
  y = area.y;
  width = area.width;
  height = area.height;
  return width > 0 && height > 0;
}

std::string ChooserFolder() { return g_openChooser ? g_openChoice.folder : std::string(); }
std::string ChooserName() { return g_openChooser ? g_openChoice.proposal : std::string(); }

bool MovePointer(int x, int y) {
  if (!StartDialogToolkit()) return false;
  GdkDisplay* display = gdk_display_get_default();
#ifdef GDK_WINDOWING_X11
  if (!display || !GDK_IS_X11_DISPLAY(display)) return false;
  GdkSeat* seat = gdk_display_get_default_seat(display);
  GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
  if (!pointer) return false;
  gdk_device_warp(pointer, gdk_display_get_default_screen(display), x, y);
  gdk_display_flush(display);
  return true;
#else
  (void)display;
  (void)x;
  (void)y;
  return false;
#endif
}

}  // namespace platform
