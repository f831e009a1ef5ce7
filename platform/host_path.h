#pragma once
// The program builds paths as cp932 text with backslashes, relative to the game folder.
// HostPath turns such a path into the host's file name: cp932 to UTF-8 first (0x5C can be
// the trail byte of a double-byte character), then backslashes to slashes, then each
// component resolved case-insensitively against the entries of its folder.
#include <string>
#include <string_view>

namespace platform {

std::string HostPath(std::string_view programPath);

// The inverse direction for names the host hands to the program (file dialogs, folder
// listings): UTF-8 with slashes to cp932 with backslashes.
std::string ProgramPath(std::string_view hostPath);

}  // namespace platform
