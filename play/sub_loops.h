#pragma once
// The modal loops that run while the game thread waits inside a frame: the message wait
// (messages, game waits, the extra-life notice) and the ranking display. Each runs on a
// thread of its own with its own frame pacing, input poll and presentation, because the game
// thread that normally does this is blocked until the loop ends.
#include <cstdint>

#include "foundation/containers.h"
#include "foundation/thread.h"

class cInputState;

// The first half of every frame of a loop: waits for the frame's time, restores lost
// surfaces (a display that cannot be restored asks the main window to close; the frame goes
// on) and polls input into inputs. The scene manager's frame and both sub-loops pace the
// same way; the caller draws and then calls PresentFrameStep.
void BeginFrameStep(cVector<cInputState>& inputs);
void PresentFrameStep();

// Runs proc on thread with the play scene as its argument and waits until it has ended:
// started, woken by WM_APP as soon as its queue takes it, then waited for. The game thread
// stands still meanwhile. 0 when the thread could not be started.
int RunSubLoop(cThread& thread, cThread::Proc proc);

// Thread procedures; param is the play scene.
// Serves the scene's m_MsgWait, drawing the stage still. 0 when the scene was quitting.
std::uint32_t MessageLoopThread(void* param);
// Shows the ranking table until button 1; button 4 changes the genre shown.
std::uint32_t RankingLoopThread(void* param);

// How long a quitting message loop waits for its WM_QUIT before it posts one itself.
inline constexpr std::uint32_t kQuitFallbackMs = 2000;
