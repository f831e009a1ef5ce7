#pragma once
// One frame of play: the input of the frame, the times, then N sub-steps in which every
// object moves, meets the blocks, the solid characters and the screen, runs its flows, and
// hits, pick-ups and the hero's death checks are decided. The order of every step decides who
// pushes whom and who dies first, and replays depend on it.
class cPlayScene;

// The presence, on-screen and activity flags of every object (once per sub-step, and by the
// stage set-up).
void UpdateAppearance(cPlayScene& scene);
// Counts the stage time down by one every 60th call; 1 when the time has run out.
int CountTime(cPlayScene& scene, int delta);
// The play time in hundredths of a second, from the frames played, at most 599999.
void CountPlayTime(cPlayScene& scene);
// One sub-step c (1 to N) of the frame; 1 when the frame ends there (nothing more is done
// and nothing is drawn).
int RunSubStep(cPlayScene& scene, int c);
// The hero's defeat: system sound 8, then the hero's end; the stage ends when that says so.
void DefeatHero(cPlayScene& scene);
