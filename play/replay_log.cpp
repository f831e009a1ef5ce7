#include "play/replay_log.h"

#include "play/input.h"
#include "play/requests.h"
#include "play/scene_manager.h"
#include "platform/input.h"
#include "media/sound.h"
#include "project/system_data.h"

cReplayKeyLog g_ReplayLog;
cReplayKeyLog g_PrevReplayLog;
std::int32_t g_nReplayNoticeWait = 0;

namespace {

constexpr int kSoundDecide = 1;
constexpr int kSoundRefused = 3;
constexpr std::int32_t kNoticeCalls = 60;

template <class Word>
void AppendFrame(cVector<Word>& words, cVector<std::int32_t>& runs, Word word) {
  if (!words.empty() && !runs.empty() && words.back() == word) {
    ++runs.back();
    return;
  }
  words.push_back(word);
  runs.push_back(1);
}

// The channel's word at its cursor, the cursor moved on at the end of the run.
std::int16_t NextWord(const cVector<std::int16_t>& words, const cVector<std::int32_t>& runs,
                      std::int32_t& index, std::int32_t& count) {
  const std::int16_t word = words[static_cast<std::size_t>(index)];
  ++count;
  if (runs[static_cast<std::size_t>(index)] <= count) {
    count = 0;
    ++index;
  }
  return word;
}

bool Exhausted(std::int32_t index, std::size_t words, std::size_t runs) {
  return index < 0 || static_cast<std::size_t>(index) >= std::min(words, runs);
}

}  // namespace

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

void cReplayKeyLog::Read(cDataFile& file) {
  SetupItems(file.Version());
  cFileData::Read(file);
  if (file.Failed()) return;
  if (!ReadValueList(file, m_DirWords, "direction words") ||
      !ReadValueList(file, m_ButtonWords, "button words") ||
      !ReadValueList(file, m_DirRuns, "direction runs") ||
      !ReadValueList(file, m_ButtonRuns, "button runs"))
    return;
  // Playback reads a channel's runs at its words' index.
  if (m_DirWords.size() != m_DirRuns.size() || m_ButtonWords.size() != m_ButtonRuns.size())
    file.Fail("a key-log channel has words and runs of different numbers");
}

void cReplayKeyLog::Write(cDataFile& file) {
  SetupItems(g_nDataVersion);
  cFileData::Write(file);
  WriteValueList(file, m_DirWords);
  WriteValueList(file, m_ButtonWords);
  WriteValueList(file, m_DirRuns);
  WriteValueList(file, m_ButtonRuns);
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

void cReplayKeyLog::Record(const cInputState& record) {
  AppendFrame(m_DirWords, m_DirRuns, record.m_wDirection);
  AppendFrame(m_ButtonWords, m_ButtonRuns, record.m_wButton);
}

int cReplayKeyLog::Play(cInputState& record) {
  if (Exhausted(m_nDirIndex, m_DirWords.size(), m_DirRuns.size()) ||
      Exhausted(m_nButtonIndex, m_ButtonWords.size(), m_ButtonRuns.size()))
    return 1;
  record.m_wDirection = NextWord(m_DirWords, m_DirRuns, m_nDirIndex, m_nDirCount);
  record.m_wButton = NextWord(m_ButtonWords, m_ButtonRuns, m_nButtonIndex, m_nButtonCount);
  return 0;
}

void ClearReplayLogs() {
  g_ReplayLog.Clear();
  g_PrevReplayLog.Clear();
}

int CheckPlayHotKeys() {
  if (g_SceneManager.m_nGameKind == GAME_REPLAY || !g_SystemData.m_bRecordReplay) return 0;
  if (g_nReplayNoticeWait > 0) --g_nReplayNoticeWait;
  int previous = 0;
  if (platform::IsKeyDown(platform::VK_F1))
    previous = 0;
  else if (platform::IsKeyDown(platform::VK_F2))
    previous = 1;
  else
    return 0;
  const cReplayKeyLog& log = previous ? g_PrevReplayLog : g_ReplayLog;
  if (log.IsEmpty()) {
    if (g_nReplayNoticeWait <= 0) {
      PlaySystemSound(kSoundRefused);
      g_nReplayNoticeWait = kNoticeCalls;
    }
    return 0;
  }
  PlaySystemSound(kSoundDecide);
  RequestSaveReplay(previous);
  return 1;
}
