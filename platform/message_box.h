#pragma once
// Message boxes as the host shows them. Text and caption are UTF-8.
#include <string>

namespace platform {

// Button sets and answers, with the values the program's callers compare against.
enum : int { kBoxOk = 0, kBoxOkCancel = 1, kBoxYesNo = 4 };
enum : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

// Shows a modal box and returns the answer. Where no display can be used the text goes to
// standard error and the box answers as its default (first) button would.
using MessageBoxHandler = int (*)(const std::string& text, const std::string& caption, int type);
int ShowMessageBox(const std::string& text, const std::string& caption, int type);
// The main thread installs the real box once it can show one.
void SetMessageBoxHandler(MessageBoxHandler handler);
int DefaultAnswer(int type);

}  // namespace platform
