#pragma once
// printf-style formatting appended to a text.
#include <string>

void FormatAppend(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));
