#pragma once
// STAND-INS. What one frame of play calls of the replay key log and of the appearance
// conditions, declared under the names their own work gives them, with bodies in
// frame_later.cpp that do the least play needs. Each goes when its own work is built.
class cChara;
class cItem;
class cInputState;
class cReplayKeyLog;

