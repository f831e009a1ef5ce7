#pragma once
// Starting a stage file for free play, test play or a restart of the same file.
#include <string>

// Resets the progress record, loads the stage file (mode 1: its newest numbered variant) and
// sets the progress record up for free play of it. 1 when the stage was loaded; 0 otherwise
// (the loader has reported why), and a name of 260 bytes or more is never read.
int StartStageFile(const std::string& path, int mode);
