#include "shell/edit_limits.h"

#include <algorithm>

#include "foundation/text_utils.h"

namespace {

int Length(const std::string& text, bool countChars) {
  return countChars ? StrCountChars(text.c_str()) : static_cast<int>(text.size());
}

int CountLines(const std::string& text) {
  int lines = 1;
  for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2))
    ++lines;
  return lines;
}

}  // namespace

sEditText ApplyEditLimits(const sEditText& current, const std::string& previous,
                          const std::string& bound, const sEditLimits& limits, bool atSetup,
                          bool backspaceHeld) {
  const int readMax = limits.bCountChars ? 2 * limits.nMaxBytes - 1 : limits.nMaxBytes;
  sEditText out{CutCp932(current.text, readMax), current.nSelStart, current.nSelEnd};
  const sEditText remembered = out;
  const int perLine = limits.nMaxLineChars;
  const int maxCuts = limits.bCountChars ? 2 * perLine : perLine;
  auto clampSelection = [](sEditText& t) {
    const int n = static_cast<int>(t.text.size());
    for (int* s : {&t.nSelStart, &t.nSelEnd}) {
      if (*s > 0 && *s < n && t.text[*s - 1] == '\r' && t.text[*s] == '\n') ++*s;
      *s = std::clamp(*s, 0, n);
    }
  };
  if (limits.nMaxLines <= 0 && perLine <= 0) {
    clampSelection(out);
    return out;
  }
  // A Backspace that would join a full line to the one before is refused.
  if (backspaceHeld && out.nSelStart == out.nSelEnd &&
      previous.size() == out.text.size() + 2 && CountLines(previous) > CountLines(out.text)) {
    const std::size_t caret = std::min<std::size_t>(out.nSelEnd, previous.size());
    // The caret's line in the previous text, from the line end before it (counted too); the
    // first line runs from the start.
    std::size_t lineStart = caret < 2 ? std::string::npos : previous.rfind("\r\n", caret - 2);
    if (lineStart == std::string::npos) lineStart = 0;
    if (Length(previous.substr(lineStart, caret - lineStart), limits.bCountChars) >= perLine) {
      out.text = previous;
      clampSelection(out);
      return out;
    }
  }
  // Lines longer than the per-line limit are wrapped; the rest joins the next line.
  std::size_t lineStart = 0;
  for (int line = 0; line < limits.nMaxLines && lineStart <= out.text.size(); ++line) {
    std::size_t lineEnd = out.text.find("\r\n", lineStart);
    if (lineEnd == std::string::npos) lineEnd = out.text.size();
    std::size_t cut = lineEnd;
    int cuts = 0;
    while (perLine > 0 && cuts < maxCuts && cut > lineStart &&
           Length(out.text.substr(lineStart, cut - lineStart), limits.bCountChars) > perLine) {
      --cut;
      ++cuts;
    }
    if (cut < lineEnd) {
      out.text.insert(cut, "\r\n");
      for (int* s : {&out.nSelStart, &out.nSelEnd})
        if (*s >= static_cast<int>(cut)) *s += 2;
      const std::size_t next = out.text.find("\r\n", lineEnd + 2);
      if (next != std::string::npos) out.text.erase(next, 2);
      lineEnd = cut;
    }
    if (lineEnd >= out.text.size()) break;
    lineStart = lineEnd + 2;
  }
  if (limits.nMaxLines > 0 && CountLines(out.text) > limits.nMaxLines) {
    if (atSetup) {
      out.text = bound;
      int cuts = 0;
      while (!out.text.empty() && cuts < maxCuts &&
             Length(out.text, limits.bCountChars) > perLine) {
        out.text.pop_back();
        ++cuts;
      }
    } else {
      out.text = previous;
      out.nSelStart = remembered.nSelStart;
      out.nSelEnd = remembered.nSelEnd;
    }
  }
  clampSelection(out);
  return out;
}
