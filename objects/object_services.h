#pragma once
// What the content definitions ask of a running stage, answered by the play objects: the
// subject of block and item appearance conditions (the first hero), the variables and object
// tests of conditions, and the drawing of a block's tile.
void InstallObjectServices();
