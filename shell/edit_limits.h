#pragma once
// The limits of an edit box on its cp932 text: maximum bytes, characters per line and lines.
// Offsets and selections are byte offsets into the cp932 text.
#include <string>

#include "foundation/text_utils.h"

struct sEditLimits {
  int nMaxBytes = 4096;
  int nMaxLineChars = 1024;
  int nMaxLines = 32;
  bool bCountChars = false;  // true: a double-byte character counts as one
};

struct sEditText {
  std::string text;
  int nSelStart = 0;
  int nSelEnd = 0;
};

// The edit's text after a change (current: the text and selection read from the control;
// previous: the text before the change; bound: the bound string, used at set-up), as it is
// written back. backspaceHeld: the Backspace key is down.
sEditText ApplyEditLimits(const sEditText& current, const std::string& previous,
                          const std::string& bound, const sEditLimits& limits, bool atSetup,
                          bool backspaceHeld);
