#pragma once
// Included by exactly one file of each test program. The desktop bus and X libraries that
// SDL's video start-up loads keep a few buffers for the life of the process, and so do the
// toolkit's type system and its font and drawing libraries once dialogs have run, and the
// GL driver of a window's renderer; they are not the program's.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libX11.so\nleak:libxcb\n"
         "leak:libglib-2.0.so\nleak:libgobject-2.0.so\nleak:libgio-2.0.so\nleak:libgtk-3.so\n"
         "leak:libgdk-3.so\nleak:libfontconfig.so\nleak:libpango\nleak:libcairo\n"
         "leak:libharfbuzz\nleak:libatk\nleak:libGLX_mesa.so\nleak:swrast_dri.so\n"
         "leak:libLLVM\n";
}
