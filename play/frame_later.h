#pragma once
// STAND-INS. What one frame of play calls of the replay key log and of the appearance
// conditions, declared under the names their own work gives them, with bodies in
// frame_later.cpp that do the least play needs. Each goes when its own work is built.
class cChara;
class cItem;
class cInputState;
class cReplayKeyLog;

// cReplayKeyLog::Play: the next frame of the log into the record; 0 when the log is over.
int PlayReplayKeys(cReplayKeyLog& log, cInputState& record);
// cReplayKeyLog::Record: the record's words appended to the log.
void RecordReplayKeys(cReplayKeyLog& log, const cInputState& record);
