#include "foundation/text_utils.h"

#include <gtest/gtest.h>

TEST(TextUtils, CountsDisplayedCharacters) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {
      {"", 0},
      {"\x82\xA0\x82\xA2\nab", 4},  // two double-byte characters, a line feed, two letters
      {"\x95\x5C", 1},              // trail byte with the value of a backslash
      {"a\x82", 2},                 // a lead byte at the very end counts on its own
      {"\x82\x20", 2},              // a lead byte without a trail byte
      {"\n\n", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(StrCountChars(c.text), c.expected) << c.text;
}

TEST(TextUtils, CompareIgnoresCaseOfLettersOnly) {
  EXPECT_TRUE(StrEqualNoCase("Data\\STG4", "data\\stg4"));
  EXPECT_FALSE(StrEqualNoCase("abc", "abcd"));
  // 0x83 0x41 and 0x83 0x61 are two different characters: their trail bytes are not letters.
  EXPECT_FALSE(StrEqualNoCase("\x83\x41", "\x83\x61"));
  EXPECT_TRUE(StrEqualNoCase("\x83\x41x", "\x83\x41X"));
  // Full-width letters: Latin S/s, Greek alpha and omega, Cyrillic A, IO, N, O and YA.
  const struct {
    const char* capital;
    const char* small;
  } pairs[] = {{"\x82\x72", "\x82\x93"}, {"\x83\x9F", "\x83\xBF"}, {"\x83\xB6", "\x83\xD6"},
               {"\x84\x40", "\x84\x70"}, {"\x84\x46", "\x84\x76"}, {"\x84\x4E", "\x84\x7E"},
               {"\x84\x4F", "\x84\x80"}, {"\x84\x60", "\x84\x91"}};
  for (const auto& p : pairs) {
    EXPECT_TRUE(StrEqualNoCase(p.capital, p.small)) << p.capital;
    EXPECT_TRUE(StrEqualNoCase(p.small, p.capital)) << p.capital;
  }
  // Neighbours that are not case pairs: Cyrillic N and small O, Greek omega and small alpha.
  EXPECT_FALSE(StrEqualNoCase("\x84\x4E", "\x84\x80"));
  EXPECT_FALSE(StrEqualNoCase("\x83\xB6", "\x83\xBF"));
}
