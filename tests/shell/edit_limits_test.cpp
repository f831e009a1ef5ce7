#include "shell/edit_limits.h"

#include <gtest/gtest.h>

namespace {

struct sCase {
  const char* what;
  sEditLimits limits;
  std::string previous;
  sEditText typed;
  bool atSetup;
  std::string bound;
  sEditText expected;
};

TEST(EditLimits, LimitsAppliedToTheTypedText) {
  const sEditLimits name{6, 3, 1, true};     // one line of three characters
  const sEditLimits bytes{4096, 3, 2, false};  // two lines of three bytes
  const sCase cases[] = {
      {"three double-byte characters fit", name, "\x82\xA0\x82\xA2", {"\x82\xA0\x82\xA2\x82\xA4", 6, 6},
       false, "", {"\x82\xA0\x82\xA2\x82\xA4", 6, 6}},
      {"a fourth is refused, the caret clamped", name, "\x82\xA0\x82\xA2\x82\xA4",
       {"\x82\xA0\x82\xA2\x82\xA4\x82\xA6", 8, 8}, false, "", {"\x82\xA0\x82\xA2\x82\xA4", 6, 6}},
      {"a fourth single-byte one too", name, "abc", {"abxc", 3, 3}, false, "", {"abc", 3, 3}},
      {"a long line wraps and the caret moves on", bytes, "abcd", {"abcde", 5, 5}, false, "",
       {"abc\r\nde", 7, 7}},
      {"the rest joins the next line", bytes, "abcd\r\nf", {"abcde\r\nf", 5, 5}, false, "",
       {"abc\r\ndef", 7, 7}},
      {"too many lines bring the old text back", bytes, "abc\r\ndef", {"abc\r\ndefg", 9, 9}, false,
       "", {"abc\r\ndef", 8, 8}},
      {"at set-up the bound string is cut instead", {4096, 3, 1, false}, "", {"abcdefgh", 0, 0},
       true, "abcdefgh", {"abcde", 0, 0}},
      {"no line limits: only the byte limit", {4, 0, 0, false}, "", {"abcdef", 6, 6}, false, "",
       {"abcd", 4, 4}},
  };
  for (const sCase& c : cases) {
    const sEditText out = ApplyEditLimits(c.typed, c.previous, c.bound, c.limits, c.atSetup, false);
    EXPECT_EQ(out.text, c.expected.text) << c.what;
    EXPECT_EQ(out.nSelStart, c.expected.nSelStart) << c.what;
    EXPECT_EQ(out.nSelEnd, c.expected.nSelEnd) << c.what;
  }
}

TEST(EditLimits, BackspaceDoesNotJoinAFullLineToTheOneBefore) {
  const sEditLimits limits{4096, 3, 2, false};
  const sEditText joined{"abcdef", 3, 3};
  const sEditText kept = ApplyEditLimits(joined, "abc\r\ndef", "", limits, false, true);
  EXPECT_EQ(kept.text, "abc\r\ndef");
  EXPECT_EQ(kept.nSelEnd, 3);  // the caret stays at the end of the first line
  // Without the key held the join is an ordinary edit, wrapped again behind the caret.
  const sEditText wrapped = ApplyEditLimits(joined, "abc\r\ndef", "", limits, false, false);
  EXPECT_EQ(wrapped.text, "abc\r\ndef");
  EXPECT_EQ(wrapped.nSelEnd, 5);
}

TEST(EditLimits, TextIsCutAtAWholeCharacter) {
  EXPECT_EQ(CutCp932("ab\x82\xA0", 3), "ab");
  EXPECT_EQ(CutCp932("ab\x82\xA0", 4), "ab\x82\xA0");
  EXPECT_EQ(CutCp932("ab\x82", 3), "ab\x82");  // a lead byte without trail counts alone
  EXPECT_EQ(CutCp932("abc", 0), "");
}

}  // namespace
