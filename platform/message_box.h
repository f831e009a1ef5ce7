#pragma once
// Message boxes as the host shows them. Text and caption are UTF-8.
#include <string>

namespace platform {

// Button sets, icons and answers, with the values the program's callers compare against.
// A type is a button set or'ed with an icon.
constexpr int kBoxOk = 0, kBoxOkCancel = 1, kBoxYesNo = 4;
constexpr int kIconError = 0x10, kIconQuestion = 0x20, kIconWarning = 0x30, kIconInfo = 0x40;
constexpr int kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7;
// Or'ed into a type: the text also goes to standard error as one line, shown or not (for
// failures whose log may be what failed).
constexpr int kAlsoToStandardError = 0x01000000;

// Shows a modal box and returns the answer. Boxes belong to the main thread: asked on another
// thread, the box is carried to the main thread and the caller waits for the answer. Returns 0
// when no box could be shown (no display, or the main thread no longer serves requests); the
// caller then takes DefaultAnswer. A box that is not shown writes its text to standard error.
int ShowMessageBox(const std::string& text, const std::string& caption, int type);
int DefaultAnswer(int type);
// The box's text as one line on standard error: "[caption] text", line breaks as spaces.
void WriteBoxToStandardError(const std::string& text, const std::string& caption);

// Replaces the host's box (tests, and fakes): called on the main thread in its place.
using MessageBoxHandler = int (*)(const std::string& text, const std::string& caption, int type);
void SetMessageBoxHandler(MessageBoxHandler handler);
// Test programs run under a virtual display too, where a real box would wait for a click
// forever: with boxes off, a box without a handler counts as one that could not be shown.
void SetMessageBoxesShown(bool shown);

}  // namespace platform
