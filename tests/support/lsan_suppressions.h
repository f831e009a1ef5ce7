#pragma once
// Included by exactly one file of each test program. The desktop bus and X libraries that
// SDL's video start-up loads keep a few buffers for the life of the process; they are not the
// program's.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libX11.so\nleak:libxcb\n";
}
