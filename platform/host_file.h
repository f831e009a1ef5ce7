#pragma once
// File access of the program. Every name given here is a program path (cp932, backslashes,
// any letter case) and is mapped through HostPath.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

FILE* OpenHostFile(std::string_view programPath, const char* mode);

enum class eReadResult { Ok, CannotOpen, TooLarge, ReadError };

// Reads a whole file. Files larger than maxBytes are refused without being read.
eReadResult ReadHostFile(std::string_view programPath, std::vector<std::uint8_t>& out,
                         std::size_t maxBytes);

// Writes a file so that a reader never sees it half written: the bytes go to a temporary
// file in the same folder, are flushed to disk, and the temporary file is renamed over the
// old one. On any failure the old file is left as it was and false is returned.
bool ReplaceHostFile(std::string_view programPath, const void* data, std::size_t size);

// Test hook: when set, called after the temporary file is complete and before the rename;
// returning false abandons the replace as an interrupted write would.
using ReplaceFaultHook = bool (*)(const std::string& tempHostPath);
void SetReplaceFaultHook(ReplaceFaultHook hook);

bool HostFileExists(std::string_view programPath);
bool HostFolderExists(std::string_view programPath);
bool MakeHostFolder(std::string_view programPath);
bool RemoveHostFile(std::string_view programPath);

// The names of the entries of a folder (cp932), without "." and ".."; the current folder when
// programPath is empty. False when the folder cannot be read.
bool ListHostFolder(std::string_view programPath, std::vector<std::string>& names);

// Copies a folder with everything in it to a folder that does not exist yet. The copy is made
// in a temporary folder beside the destination and renamed into place once complete, so an
// interrupted copy never leaves a half destination behind. Symbolic links are copied as links,
// never followed. False, with nothing left behind, when any part fails.
bool CopyHostFolder(std::string_view fromProgramPath, std::string_view toProgramPath);
// Test hook: called before each file is copied; returning false fails the copy there.
using CopyFaultHook = bool (*)(const std::string& hostFile);
void SetCopyFaultHook(CopyFaultHook hook);

// The current folder as a program path (cp932, backslashes, no trailing separator).
std::string CurrentFolder();
bool ChangeCurrentFolder(std::string_view programPath);

}  // namespace platform
