#include "play/replay_log.h"

cReplayKeyLog g_ReplayLog;
cReplayKeyLog g_PrevReplayLog;

cReplayKeyLog& cReplayKeyLog::operator=(const cReplayKeyLog& other) {
  if (&other == this) return *this;
  m_DirWords = other.m_DirWords;
  m_ButtonWords = other.m_ButtonWords;
  m_DirRuns = other.m_DirRuns;
  m_ButtonRuns = other.m_ButtonRuns;
  m_nSeed = other.m_nSeed;
  return *this;
}

void cReplayKeyLog::SetupItems(int) {
  ClearItems();
  AddInt(&m_nSeed);
}

void cReplayKeyLog::Clear() {
  SetupItems(g_nDataVersion);
  cFileData::Clear();
  m_DirWords.clear();
  m_ButtonWords.clear();
  m_DirRuns.clear();
  m_ButtonRuns.clear();
  ResetPlayCursors();
}

void cReplayKeyLog::ResetPlayCursors() {
  m_nDirIndex = m_nButtonIndex = 0;
  m_nDirCount = m_nButtonCount = 0;
}
