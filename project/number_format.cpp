#include "project/number_format.h"

#include <cstdint>

namespace {

// Works on the magnitude in 64 bits, so that the smallest int has its ten digits.
int DigitCount64(std::int64_t magnitude) {
  int digits = 1;
  while (magnitude >= 10) {
    magnitude /= 10;
    ++digits;
  }
  return digits;
}

std::int64_t Magnitude(int value) {
  std::int64_t v = value;
  return v < 0 ? -v : v;
}

}  // namespace

int GetDigitCount(int value) { return DigitCount64(Magnitude(value)); }

void FormatNumber(std::string& out, int value, int width, int zeroPad, int plusSign) {
  std::int64_t magnitude = Magnitude(value);
  int digits = DigitCount64(magnitude);
  if (width <= 0 || width < digits) width = digits;
  std::string text(static_cast<std::size_t>(width), '0');
  for (int i = width - 1; i >= 0 && magnitude > 0; --i) {
    text[static_cast<std::size_t>(i)] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  if (!zeroPad) {
    for (std::size_t i = 0; i + 1 < text.size() && text[i] == '0'; ++i) text[i] = ' ';
  }
  if (value < 0) {
    text.insert(text.begin(), '-');
  } else if (plusSign) {
    text.insert(text.begin(), '+');
  }
  out = text;
}

void FormatTime(std::string& out, int hundredths) {
  // A negative time (an altered file, a wrapped total) shows its sign once, then its magnitude.
  std::int64_t t = hundredths;
  bool negative = t < 0;
  if (negative) t = -t;
  std::int64_t minutes = t / 6000;
  std::int64_t seconds = (t / 100) % 60;
  std::int64_t rest = t % 100;
  auto twoDigits = [](std::int64_t v) {
    std::string s = std::to_string(v);
    if (s.size() < 2) s.insert(s.begin(), 2 - s.size(), '0');
    return s;
  };
  out = (negative ? "-" : "") + twoDigits(minutes) + ":" + twoDigits(seconds) + "." + twoDigits(rest);
}
