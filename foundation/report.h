#pragma once
// The two text logs of the program, kept in the game folder and written in UTF-8.
//  - The report log "Report_Game.txt" is always on: created at start, then one line per
//    fault the program notices.
//  - The error log "EC_Game.txt" holds detailed diagnostics and has a switch that start-up
//    leaves off.
// Every line is written by opening the file, appending and closing it again, so the log is
// complete on disk whatever happens afterwards and any thread can write.
#include <string>
#include <vector>

// Report log: each returns 1 when the line was written, 0 when the log could not be opened.
int ReportOpen(const char* path);
int Report(const char* format, ...) __attribute__((format(printf, 1, 2)));
int ReportErr(const char* format, ...) __attribute__((format(printf, 1, 2)));
int ReportErrBox(const char* format, ...) __attribute__((format(printf, 1, 2)));
// As ReportErrBox, and the text also goes to standard error as one line (start-up failures:
// the log may be what failed, and the program ends after the box).
int ReportErrBoxStderr(const char* format, ...) __attribute__((format(printf, 1, 2)));
int ReportSystem();
int ReportDisplay(int detail);
// The path the report log was opened with (empty before ReportOpen).
std::string ReportPath();

// Error log.
void ErrLogSetup(int enabled, const char* path);
bool ErrLogEnabled();
void ErrLog(const char* text);
void ErrLogStr(const char* text);
void ErrLogF(const char* format, ...) __attribute__((format(printf, 1, 2)));
// As ErrLogF, then the main window is asked to close, also while the log is off.
void ErrLogFatal(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Display lines for ReportDisplay, supplied by the media library once a device exists.
using DisplayReportSource = void (*)(std::vector<std::string>& lines, int detail);
void SetDisplayReportSource(DisplayReportSource source);

// Video memory in whole megabytes; both 0 where the host has no such figure.
void GetVramMB(int* total, int* free);
// The first display device's driver interface version; 99999 when it cannot be known.
int GetDDIVersion();
// True when the host system's version is major.minor or later (the kernel version here).
bool IsWindowsVersionAtLeast(int major, int minor);
