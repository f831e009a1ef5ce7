// The game player's entry point: the program's scenes, then the entry.
#include "play/play_scene.h"
#include "shell/entry.h"
#include "shell/menu_scene.h"

int main(int argc, char** argv) {
  RegisterMenuScenes();
  RegisterPlayScene();
  return WinMain(argc, argv);
}
