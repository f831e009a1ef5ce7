#include "project/number_format.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(NumberFormat, NumbersKeepTheirDigitsAndPadAsAsked) {
  struct sCase {
    int value, width, zeroPad, plusSign;
    const char* text;
    int digits;
  } cases[] = {
      {7, 3, 1, 0, "007", 1},
      {7, 3, 0, 0, "  7", 1},
      {-42, 4, 0, 0, "-  42", 2},
      {-42, 4, 1, 0, "-0042", 2},
      {5, 0, 0, 1, "+5", 1},
      {0, 0, 0, 1, "+0", 1},
      {0, 3, 0, 0, "  0", 1},    // the last character stays a digit
      {250, 2, 1, 0, "250", 3},  // never cut
      {-3, -5, 0, 1, "-3", 1},
      {INT_MAX, 0, 0, 0, "2147483647", 10},
      {INT_MIN, 0, 0, 0, "-2147483648", 10},
      {INT_MIN, 12, 0, 0, "-  2147483648", 10},
  };
  for (const sCase& c : cases) {
    std::string text = "old";
    FormatNumber(text, c.value, c.width, c.zeroPad, c.plusSign);
    EXPECT_EQ(text, c.text) << c.value << " width " << c.width;
    EXPECT_EQ(GetDigitCount(c.value), c.digits) << c.value;
  }
}

TEST(NumberFormat, TimesShowMinutesSecondsAndHundredths) {
  struct sCase {
    int hundredths;
    const char* text;
  } cases[] = {
      {0, "00:00.00"},
      {12345, "02:03.45"},
      {599999, "99:59.99"},
      {600000, "100:00.00"},
      {612345, "102:03.45"},
      {5, "00:00.05"},
      // Only an altered file or a wrapped total holds these: one sign, then the magnitude.
      {-12345, "-02:03.45"},
      {INT_MIN, "-357913:56.48"},
  };
  for (const sCase& c : cases) {
    std::string text;
    FormatTime(text, c.hundredths);
    EXPECT_EQ(text, c.text) << c.hundredths;
  }
}

}  // namespace
