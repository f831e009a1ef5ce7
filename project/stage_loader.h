#pragma once
// Loading a stage file into g_Stage: the newest numbered variant when asked, the trailer
// test, the read on the stage-loader thread while the calling thread keeps its messages
// moving, and the hero test.
#include <string>

#include "platform/thread_messages.h"
#include "project/stage.h"

// 1 when the stage file was loaded into g_Stage and has a hero; then, when copy is given,
// copy receives the play data. 0 on every failure, each reported but the missing numbered
// variant and a close or quit request during the read (the read finishes, its result is
// dropped, and the request is posted again for the caller's own loop).
int LoadStageFile(const std::string& name, int findNewest, cStage* copy);
// The box of a stage file that could not be read.
void StageReadFailureBox(const std::string& path);
// The loader thread's procedure: reads g_Stage.m_strPath into g_Stage.
std::uint32_t LoadStageThreadProc(void* param);
// 0 when the file is of a version that ends with the trailer and its last four bytes are
// not the trailer (reported); 1 otherwise.
int CheckStageFileTrailer(const std::string& path);

// Handles the calling thread's other messages while a stage loads (the main window installs
// its dispatcher). Without one they are kept and posted again once the load ends.
using NestedMessageHandler = void (*)(const platform::sThreadMessage& message);
void SetStageLoadMessageHandler(NestedMessageHandler handler);
