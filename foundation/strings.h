#pragma once
// Text helpers used throughout the program. Texts are cp932 bytes.
#include <cstdarg>
#include <string>

// printf-style formatting into out. There is no limit on the formatted length.
void FormatString(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void FormatStringV(std::string& out, const char* format, va_list args);
// The same, returning the text.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Cuts text at its first NUL so that its length agrees with its characters; returns it.
int StrLength(std::string& text);

// out = count characters of text from start. A negative count reaches to the end; a
// negative start shortens count by as much and starts at 0.
void StrMid(std::string& text, std::string& out, int start, int count);
