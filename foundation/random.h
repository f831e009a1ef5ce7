#pragma once
// The program's one random source: the C runtime's generator, with its exact sequence, and
// its state kept per thread (1 until the thread seeds it). Replays rely on the exact draws.
#include <cstdint>

void RandSeed(std::uint32_t seed);
// The next value, 0 to 32767.
int RandNext();
// A value from a to b inclusive, in either order. Only the lowest 32768 values of a wider range
// can be drawn, as the game has always drawn them.
int RandRange(int a, int b);
