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

namespace {
// The trail byte of the small letter of a double-byte capital: full-width Latin (0x8260-0x8279),
// Greek (0x839F-0x83B6) and Cyrillic (0x8440-0x8460, whose small letters skip trail 0x7F) fold
// as the host file systems of the games fold them. Other characters keep their trail byte.
unsigned char FoldDbcsTrail(unsigned char lead, unsigned char trail) {
  if (lead == 0x82 && trail >= 0x60 && trail <= 0x79) return static_cast<unsigned char>(trail + 0x21);
  if (lead == 0x83 && trail >= 0x9F && trail <= 0xB6) return static_cast<unsigned char>(trail + 0x20);
  if (lead == 0x84 && trail >= 0x40 && trail <= 0x60) {
    const int small = trail + 0x30;
    return static_cast<unsigned char>(small >= 0x7F ? small + 1 : small);
  }
  return trail;
}
}  // namespace

bool StrEqualNoCase(const char* a, const char* b) {
  auto fold = [](unsigned char c) {
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  };
  while (*a && *b) {
    if (IsDbcsPair(a)) {
      // Trail bytes are letters only as part of their character: A-Z there is not folded.
      const auto lead = static_cast<unsigned char>(a[0]);
      if (a[0] != b[0] || !IsDbcsPair(b) ||
          FoldDbcsTrail(lead, static_cast<unsigned char>(a[1])) !=
              FoldDbcsTrail(lead, static_cast<unsigned char>(b[1])))
        return false;
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

std::string CutCp932(const std::string& text, int maxBytes) {
  if (maxBytes <= 0) return {};
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t step = IsDbcsPair(text.c_str() + end) ? 2 : 1;
    if (end + step > static_cast<std::size_t>(maxBytes)) break;
    end += step;
  }
  return text.substr(0, end);
}
