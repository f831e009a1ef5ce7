#pragma once
// Conversion between the program's cp932 text and the host's UTF-8.
#include <string>
#include <string_view>

namespace platform {

// cp932 bytes to UTF-8. Bytes that do not form a cp932 character become U+FFFD.
std::string Cp932ToUtf8(std::string_view text);

// UTF-8 to cp932 bytes. Characters without a cp932 form become '?'.
std::string Utf8ToCp932(std::string_view text);

}  // namespace platform
