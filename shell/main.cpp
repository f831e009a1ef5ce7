// The game player's entry point.
#include "shell/entry.h"

int main(int argc, char** argv) { return WinMain(argc, argv); }
