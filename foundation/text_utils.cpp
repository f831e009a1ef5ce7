#include "foundation/text_utils.h"

bool IsDbcsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool IsDbcsTrail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

bool IsDbcsPair(const char* p) {
  return p && IsDbcsLead(static_cast<unsigned char>(p[0])) &&
         IsDbcsTrail(static_cast<unsigned char>(p[1]));
}

int StrCountChars(const char* text) {
  if (!text) return 0;
  int count = 0;
  for (const char* p = text; *p;) {
    if (IsDbcsPair(p)) {
      ++count;
      p += 2;
    } else {
      if (*p != '\n') ++count;
      ++p;
    }
  }
  return count;
}

bool StrEqualNoCase(const char* a, const char* b) {
  auto fold = [](unsigned char c) {
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  };
  while (*a && *b) {
    if (IsDbcsPair(a)) {
      // Trail bytes are never folded: they are not letters there.
      if (a[0] != b[0] || a[1] != b[1]) return false;
      a += 2;
      b += 2;
      continue;
    }
    if (fold(static_cast<unsigned char>(*a)) != fold(static_cast<unsigned char>(*b))) return false;
    ++a;
    ++b;
  }
  return *a == *b;
}
