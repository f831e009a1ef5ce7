#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace platform {
namespace {

// iconv descriptors keep state, so each direction is guarded by its own lock.
struct Converter {
  iconv_t cd;
  std::mutex lock;
  Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Converter() {
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  }
};

std::string Convert(Converter& conv, std::string_view text, const char* replacement,
                    size_t replacementLen) {
  std::string out;
  if (text.empty()) return out;
  if (conv.cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::lock_guard<std::mutex> guard(conv.lock);
  iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
  out.reserve(text.size() * 2);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof(buffer);
    size_t r = iconv(conv.cd, &in, &inLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: drop one byte and mark it.
      out.append(replacement, replacementLen);
      ++in;
      --inLeft;
      iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* dst = buffer;
  size_t dstLeft = sizeof(buffer);
  iconv(conv.cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, static_cast<size_t>(dst - buffer));
  return out;
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  static Converter conv("UTF-8", "CP932");
  return Convert(conv, text, "\xEF\xBF\xBD", 3);
}

std::string Utf8ToCp932(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  static Converter conv("CP932", "UTF-8");
  return Convert(conv, text, "?", 1);
}

}  // namespace platform
