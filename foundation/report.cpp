#include "foundation/report.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "foundation/message_box.h"
#include "foundation/shell_services.h"
#include "foundation/strings.h"
#include "platform/host_file.h"
#include "platform/host_path.h"
#include "platform/system_info.h"
#include "platform/text_codec.h"

namespace {

std::mutex g_pathLock;
std::string g_szReportPath;
std::string g_szErrLogPath;
std::atomic<int> g_errLogEnabled{0};
std::atomic<bool> g_errLogFirstDone{false};
std::atomic<DisplayReportSource> g_displaySource{nullptr};

std::string ReportPathCopy() {
  std::lock_guard<std::mutex> guard(g_pathLock);
  return g_szReportPath;
}

// Opens the existing report log for appending; never creates it.
FILE* OpenReport() {
  std::string path = ReportPathCopy();
  if (path.empty()) return nullptr;
  FILE* f = platform::OpenHostFile(path, "r+");
  if (f) std::fseek(f, 0, SEEK_END);
  return f;
}

void WriteLine(FILE* f, const std::string& cp932Text) {
  std::string line = platform::Cp932ToUtf8(cp932Text);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), f);
}

void ErrLogLine(const std::string& text) {
  if (!g_errLogEnabled.load()) return;
  std::string path;
  {
    std::lock_guard<std::mutex> guard(g_pathLock);
    path = g_szErrLogPath;
  }
  // The first line of a run replaces what an earlier run left.
  bool first = !g_errLogFirstDone.exchange(true);
  FILE* f = platform::OpenHostFile(path, first ? "w" : "a");
  if (!f) return;
  WriteLine(f, text);
  std::fclose(f);
}

int ReportLines(const std::vector<std::string>& lines) {
  FILE* f = OpenReport();
  if (!f) return 0;
  for (const std::string& line : lines) WriteLine(f, line);
  std::fclose(f);
  return 1;
}

}  // namespace

int ReportOpen(const char* path) {
  if (!path || !*path) return 0;
  FILE* f = platform::OpenHostFile(path, "w");
  if (!f) return 0;
  std::fclose(f);
  std::lock_guard<std::mutex> guard(g_pathLock);
  g_szReportPath = path;
  return 1;
}

std::string ReportPath() { return ReportPathCopy(); }

namespace {
// Formats one line into text and appends it to the report log; 0 when the log cannot be
// opened (nothing is formatted then, so nothing goes anywhere else either).
int ReportLineV(std::string& text, const char* format, va_list args) {
  FILE* f = OpenReport();
  if (!f) return 0;
  FormatStringV(text, format, args);
  WriteLine(f, text);
  std::fclose(f);
  return 1;
}
}  // namespace

int Report(const char* format, ...) {
  std::string text;
  va_list args;
  va_start(args, format);
  const int ok = ReportLineV(text, format, args);
  va_end(args);
  return ok;
}

int ReportErr(const char* format, ...) {
  std::string text;
  va_list args;
  va_start(args, format);
  const int ok = ReportLineV(text, format, args);
  va_end(args);
  if (ok) ErrLogLine(text);
  return ok;
}

namespace {
int ReportErrBoxV(bool toStderr, const char* format, va_list args) {
  std::string text;
  va_list copy;
  va_copy(copy, args);
  const int ok = ReportLineV(text, format, copy);
  va_end(copy);
  // A log that could not be written (a read-only game folder) does not silence the box: its
  // text then goes to standard error in the log's place.
  if (ok)
    ErrLogLine(text);
  else
    FormatStringV(text, format, args);
  if (ok && !toStderr)
    ErrBox(text.c_str());
  else
    ErrBoxToStderr(text.c_str());
  return ok;
}
}  // namespace

int ReportErrBox(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int ok = ReportErrBoxV(false, format, args);
  va_end(args);
  return ok;
}

int ReportErrBoxStderr(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int ok = ReportErrBoxV(true, format, args);
  va_end(args);
  return ok;
}

int ReportSystem() {
  platform::sSystemInfo info = platform::ReadSystemInfo();
  std::string os = platform::Utf8ToCp932(info.osName);
  std::vector<std::string> lines;
  lines.push_back(FormatText("OS : %s Linux %s", os.c_str(),
                             platform::Utf8ToCp932(info.kernel).c_str()));
  lines.push_back(FormatText("CPU : %s %s %d", info.cpuVendor.c_str(), info.cpuBrand.c_str(),
                             static_cast<int>(info.cpuClockHz * 0.000001)));
  lines.push_back(FormatText("Mem Total : %.3fMB", info.memTotal / 1048576.0));
  lines.push_back(FormatText("Mem Free : %3.fMB", info.memFree / 1048576.0));
  lines.push_back(FormatText("Vir Total : %.3fMB", info.virTotal / 1048576.0));
  lines.push_back(FormatText("Vir Free : %3.fMB", info.virFree / 1048576.0));
  // The figure has always been capped at 2 GiB.
  std::uint64_t disk = platform::DiskFreeBytes(std::string());
  if (disk > 2147483647ull) disk = 2147483647ull;
  lines.push_back(FormatText("HD Free : %3.fMB", static_cast<double>(disk) / 1048576.0));
  return ReportLines(lines);
}

void SetDisplayReportSource(DisplayReportSource source) { g_displaySource.store(source); }

int ReportDisplay(int detail) {
  std::vector<std::string> lines;
  if (auto source = g_displaySource.load()) source(lines, detail);
  return ReportLines(lines);
}

void ErrLogSetup(int enabled, const char* path) {
  std::lock_guard<std::mutex> guard(g_pathLock);
  g_szErrLogPath = path ? path : "";
  g_errLogEnabled.store(enabled);
}

bool ErrLogEnabled() { return g_errLogEnabled.load() != 0; }

void ErrLog(const char* text) { ErrLogLine(text ? text : ""); }

void ErrLogStr(const char* text) { ErrLog(text); }

void ErrLogF(const char* format, ...) {
  if (!g_errLogEnabled.load()) return;
  std::string text;
  va_list args;
  va_start(args, format);
  FormatStringV(text, format, args);
  va_end(args);
  ErrLogLine(text);
}

void ErrLogFatal(const char* format, ...) {
  if (g_errLogEnabled.load()) {
    std::string text;
    va_list args;
    va_start(args, format);
    FormatStringV(text, format, args);
    va_end(args);
    ErrLogLine(text);
  }
  PostCloseToMainWindow();
}

void GetVramMB(int* total, int* free) {
  if (total) *total = 0;
  if (free) *free = 0;
}

int GetDDIVersion() { return 99999; }

bool IsWindowsVersionAtLeast(int major, int minor) {
  platform::sSystemInfo info = platform::ReadSystemInfo();
  return info.osMajor > major || (info.osMajor == major && info.osMinor >= minor);
}
