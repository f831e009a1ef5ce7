#include "foundation/strings.h"

#include <cstdio>
#include <cstring>
#include <vector>

void FormatStringV(std::string& out, const char* format, va_list args) {
  char small[512];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof(small), format, copy);
  va_end(copy);
  if (n < 0) {
    out.clear();
    return;
  }
  if (static_cast<size_t>(n) < sizeof(small)) {
    out.assign(small, static_cast<size_t>(n));
    return;
  }
  std::vector<char> big(static_cast<size_t>(n) + 1);
  std::vsnprintf(big.data(), big.size(), format, args);
  out.assign(big.data(), static_cast<size_t>(n));
}

void FormatString(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatStringV(out, format, args);
  va_end(args);
}

std::string FormatText(const char* format, ...) {
  std::string out;
  va_list args;
  va_start(args, format);
  FormatStringV(out, format, args);
  va_end(args);
  return out;
}

int StrLength(std::string& text) {
  size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  return static_cast<int>(text.size());
}

void StrMid(std::string& text, std::string& out, int start, int count) {
  if (start < 0) {
    count += start;
    start = 0;
  } else {
    int length = StrLength(text);
    if (start > length) {
      out.clear();
      return;
    }
  }
  if (count == 0) {
    out.clear();
    return;
  }
  int length = StrLength(text);
  if (count < 0 || static_cast<long long>(start) + count > length) count = length - start;
  out = text.substr(static_cast<size_t>(start), static_cast<size_t>(count));
}
