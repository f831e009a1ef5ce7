#pragma once
// Dialog windows and file choosers of the host toolkit (GTK 3), main thread only. Text is
// UTF-8 here. The toolkit starts without touching the C locale, so number formatting stays
// as the program expects. While a dialog runs, a timer keeps the main thread's duties going
// (requests, presentation) through the idle service.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Starts the toolkit once; false when there is no display (dialogs then answer cancelled).
bool StartDialogToolkit();
// True once the toolkit has started (it then shares the font configuration until the end).
bool DialogToolkitStarted();
// Run about every millisecond while a dialog or chooser is open.
void SetDialogIdleService(void (*service)());

struct sDialogEvents {
  std::function<void(int id, std::uint32_t notification)> command;  // clicks, edit changes
  std::function<void()> close;                                      // the close box, Esc
  std::function<void(int key, bool release, bool composing)> key;   // Windows key codes
};

class cHostDialog {
 public:
  cHostDialog(const std::string& title, int width, int height);
  ~cHostDialog();
  cHostDialog(const cHostDialog&) = delete;
  cHostDialog& operator=(const cHostDialog&) = delete;

  void AddLabel(int id, const std::string& text, int x, int y, int w, int h);
  void AddEdit(int id, int x, int y, int w, int h);
  void AddButton(int id, const std::string& text, int x, int y, int w, int h);
  void AddCheckBox(int id, const std::string& text, int x, int y, int w, int h);
  // Radio buttons of one group share group (the id of the group's first button).
  void AddRadioButton(int id, int group, const std::string& text, int x, int y, int w, int h);
  // A framed caption over the controls placed inside it afterwards.
  void AddGroupBox(int id, const std::string& text, int x, int y, int w, int h);
  // Enter in an edit, or wherever no control takes it, presses this button.
  void SetDefaultButton(int id);
  void Focus(int id);
  void SetTitle(const std::string& title);
  // The size of the area the controls are laid out in (the dialog's own size).
  void SetClientSize(int width, int height);

  bool HasControl(int id) const;
  std::string Text(int id) const;
  void SetText(int id, const std::string& text);
  int Check(int id) const;
  void SetCheck(int id, int checked);
  // Selection of an edit in characters.
  void Selection(int id, int& start, int& end) const;
  void SetSelection(int id, int start, int end);
  void Enable(int id, bool enabled);
  bool ControlRect(int id, int& x, int& y, int& w, int& h) const;

  // Shows the dialog and runs its loop until End; returns the code given to End.
  int RunModal(const sDialogEvents& events);
  void End(int code);
  bool Running() const { return m_bRunning; }
  bool WindowRect(int& x, int& y, int& w, int& h) const;
  void Move(int x, int y);

  // A user at the dialog, through the toolkit's own event handling (tests): a key of the
  // keyboard (a character, or one of the Windows key codes Enter, Esc and Tab) to the focused
  // control, the characters of text typed into an edit, a click on a button, and the close box.
  void PressKey(char32_t key);
  void Type(int id, const std::u32string& text);
  void Click(int id);
  void CloseBox();
  bool HasFocus(int id) const;

  struct sImpl;

 private:
  std::unique_ptr<sImpl> m_pImpl;
  bool m_bRunning = false;
};

struct sFileFilter {
  std::string name;
  std::vector<std::string> patterns;  // "*.stg4_*": matched without regard to case
};
struct sFileChoice {
  bool save = false;
  bool multiple = false;
  std::string folder;  // absolute
  std::string title;
  std::vector<sFileFilter> filters;
  std::string proposal;          // save: the proposed name
  std::string defaultExtension;  // save: appended to a name typed without extension
};
// A saved name typed without extension gets the whole default extension (UTF-8 paths).
std::string WithDefaultExtension(const std::string& path, const std::string& extension);
// A pattern that matches without regard to case, as the toolkit's filters take it.
std::string CaselessPattern(const std::string& pattern);

// The chosen paths; empty when cancelled or without a display. Save asks before overwriting.
std::vector<std::string> ChooseFiles(const sFileChoice& choice);
// Runs while a file chooser is open, with its title (tests answer the chooser through it).
using ChooserWatcher = void (*)(const std::string& title);
void SetChooserWatcher(ChooserWatcher watcher);
// Answers the open chooser: a file name (made absolute against its folder) accepted, or
// cancelled when name is empty. False when no chooser is open.
bool AnswerChooser(const std::string& name);
// The open chooser's folder and proposed name (tests).
std::string ChooserFolder();
std::string ChooserName();
// The open chooser's window size once it is on the screen (tests); false before.
bool ChooserWindowSize(int& width, int& height);
// The work area (the screen less panels) of the monitor dialogs open on; false without one.
bool MonitorWorkArea(int& x, int& y, int& width, int& height);

// Moves the pointer to a screen position where the display allows it (X11); false elsewhere.
bool MovePointer(int x, int y);

}  // namespace platform
