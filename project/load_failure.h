#pragma once
// The report of a data file that could not be read: report log, error log and error box.
// The message names the file, and adds the newer-version sentence when the last open
// refused the file for its version.
void ReportLoadFailure(const char* name);
