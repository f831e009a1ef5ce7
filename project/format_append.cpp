#include "project/format_append.h"

#include <cstdarg>

#include "foundation/strings.h"

void FormatAppend(std::string& text, const char* format, ...) {
  std::string part;
  va_list args;
  va_start(args, format);
  FormatStringV(part, format, args);
  va_end(args);
  text += part;
}
