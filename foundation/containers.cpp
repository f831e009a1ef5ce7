#include "foundation/containers.h"

#include <string>

#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/strings.h"

namespace foundation_detail {

void ReportIndexFault(char kind, std::int64_t index, std::int64_t size, std::int64_t elementSize) {
  std::string text;
  FormatString(text, kind == 'V' ? "err V[%d] ( %d , %d )" : "err L[%d] ( %d , %d )",
               static_cast<int>(index), static_cast<int>(size), static_cast<int>(elementSize));
  ErrLog(text.c_str());
  Report("%s", text.c_str());
}

void IndexFault(char kind, std::int64_t index, std::int64_t size, std::int64_t elementSize) {
  ReportIndexFault(kind, index, size, elementSize);
  PostCloseToMainWindow();
}

}  // namespace foundation_detail
