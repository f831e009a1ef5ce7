#include "platform/text_codec.h"

#include <gtest/gtest.h>

using platform::Cp932ToUtf8;
using platform::Utf8ToCp932;

TEST(TextCodec, ConvertsBothWays) {
  // "エラー" in cp932 and in UTF-8, spelled in bytes so the test does not depend on the
  // compiler's character sets.
  const std::string cp932 = "\x83\x47\x83\x89\x81\x5B";
  const std::string utf8 = "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC";
  EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
  EXPECT_EQ(Utf8ToCp932(utf8), cp932);
  EXPECT_EQ(Cp932ToUtf8("plain ascii"), "plain ascii");
}

TEST(TextCodec, TrailByteBackslashIsPartOfTheCharacter) {
  // U+30BD is 0x83 0x5C in cp932: the second byte is a backslash.
  EXPECT_EQ(Cp932ToUtf8("\x83\x5C"), "\xE3\x82\xBD");
  EXPECT_EQ(Utf8ToCp932("\xE3\x82\xBD"), "\x83\x5C");
}

TEST(TextCodec, BrokenInputIsMarkedNotDropped) {
  // A lone lead byte at the end of the text.
  EXPECT_EQ(Cp932ToUtf8("ab\x83"), "ab\xEF\xBF\xBD");
}
