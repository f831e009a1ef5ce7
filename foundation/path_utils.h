#pragma once
// Editing of the program's paths: cp932 text, backslash separators (a slash is taken as one
// too), relative to the current folder. The char* forms work in place on buffers of kMaxPath
// bytes and refuse (0) input or results of kMaxPath characters or more. They return 1 on
// success and 0 on failure.
#include <string>

constexpr int kMaxPath = 260;
// The longest extension MakeNumberedName takes.
constexpr int kMaxExt = 31;

// Relative form against the current folder ("data\stg4\a.stg4", "..\x"); a relative path is
// kept as it is. Unchanged on failure.
int PathToRelative(char* path);
int PathToRelativeStr(std::string& path);
// Full form with "." and ".." resolved; an absolute path is kept as it is.
int PathToAbsolute(char* path);
int PathToAbsoluteStr(std::string& path);

// Keeps only what follows the last separator.
void StripDir(char* path);
// dest = src with the text after the file name's last dot replaced by ext (given without its
// dot), or cut at that dot when ext is null. 0 when the file name has no dot; dest then holds
// the copy.
int ChangeExt(char* dest, const char* src, const char* ext);
int ChangeExtStr(std::string& path, const char* ext);
// Removes the file name's last dot and what follows.
int StripExt(char* path);
int StripExtStr(std::string& path);
// dest = the text after the file name's last dot.
int GetExt(char* dest, const char* path);
// dest = "name (number).ext" for src "name.ext"; 0 without an extension.
int MakeNumberedName(char* dest, const char* src, int number);
// dest = the highest existing "name_NNN" (file or folder), name being base with its
// extension changed to ext. 0, dest unchanged, when none of 000 to 999 exists.
int FindNumberedFile(char* dest, const char* base, const char* ext);
int FindNumberedFileStr(std::string& dest, const std::string& base, const char* ext);
