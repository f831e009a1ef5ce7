#include "foundation/strings.h"

#include <gtest/gtest.h>

TEST(StrMid, CasesOnAbcdef) {
  struct Case {
    int start, count;
    const char* expected;
  } cases[] = {{2, 3, "cde"}, {2, 10, "cdef"}, {2, -1, "cdef"}, {6, 2, ""},   {7, 1, ""},
               {0, 0, ""},    {-2, 2, ""},     {-2, 3, "a"},    {-3, 2, "abcdef"}};
  for (const Case& c : cases) {
    std::string text = "abcdef", out = "junk";
    StrMid(text, out, c.start, c.count);
    EXPECT_EQ(out, c.expected) << c.start << "," << c.count;
  }
}

TEST(StrLength, CutsAtFirstNul) {
  std::string text("ab\0cd", 5);
  EXPECT_EQ(StrLength(text), 2);
  EXPECT_EQ(text, "ab");
}

TEST(FormatString, HasNoLengthLimit) {
  std::string big(20000, 'x');
  std::string out;
  FormatString(out, "<%s|%d>", big.c_str(), 7);
  EXPECT_EQ(out.size(), big.size() + 4);
  EXPECT_EQ(out.substr(out.size() - 3), "|7>");
}
