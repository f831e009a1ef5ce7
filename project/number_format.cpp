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
  const std::int64_t t = Magnitude(hundredths);
  std::string minutes, seconds, rest;
  FormatNumber(minutes, static_cast<int>(t / 6000), 2, 1, 0);
  FormatNumber(seconds, static_cast<int>(t / 100 % 60), 2, 1, 0);
  FormatNumber(rest, static_cast<int>(t % 100), 2, 1, 0);
  out = (hundredths < 0 ? "-" : "") + minutes + ":" + seconds + "." + rest;
}
