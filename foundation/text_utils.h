#pragma once
// cp932 text: a lead byte 0x81-0x9F or 0xE0-0xFC followed by a trail byte 0x40-0x7E or
// 0x80-0xFC forms one double-byte character. The trail byte can be a backslash or a letter,
// so text is always walked from its start.
#include <string>

bool IsDbcsLead(unsigned char c);
bool IsDbcsTrail(unsigned char c);
// True when p[0] and p[1] form a double-byte character.
bool IsDbcsPair(const char* p);
// The text cut to at most maxBytes bytes, never inside a double-byte character.
std::string CutCp932(const std::string& text, int maxBytes);
// The number of displayed characters: a double-byte character counts 1, a line feed 0.
int StrCountChars(const char* text);
// Equal but for letter case: of the single-byte letters, and of the full-width Latin, Greek
// and Cyrillic letters.
bool StrEqualNoCase(const char* a, const char* b);
