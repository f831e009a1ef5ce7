#include "project/story_save.h"

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "foundation/strings.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/player_file.h"
#include "project/system_data.h"

cVector<cSlotInfo> g_SlotInfo(kStorySlotCount);

void cSlotInfo::SetupItems(int /*version*/) {
  ClearItems();
  AddInt(&m_bValid);
}

void cSlotInfo::Set(const cPlayData& record) {
  m_bValid = 1;
  m_SaveTime = record.m_SaveTime;
  m_nState = SLOT_SAVED;
}

std::string MakeStorySlotPath(int slot) {
  return FormatText("%s%02d.dat", g_PathTable[PATH_STORY_SAVE_PREFIX], slot + 1);
}

void LoadSlotHeaders(cVector<cSlotInfo>& headers) {
  cPlayData scratch;
  for (int i = 0; i < static_cast<int>(headers.size()); ++i) {
    cSlotInfo& header = headers[i];
    const ePlayerFileState state = LoadPlayerFile(scratch, MakeStorySlotPath(i));
    if (state == PLAYER_FILE_LOADED) {
      header.Set(scratch);
      continue;
    }
    header.m_bValid = 0;
    header.m_SaveTime = {};
    // A file that is there but does not read is shown as such, so that nobody takes the
    // slot for an empty one and saves over the progress it holds.
    header.m_nState = state == PLAYER_FILE_MISSING ? SLOT_EMPTY : SLOT_UNREADABLE;
  }
}

std::string SlotDateText(const cSlotInfo& header) {
  if (header.m_nState == SLOT_UNREADABLE) return "読み込めないデータ";
  if (!header.m_bValid) return {};
  const platform::sSystemTime& t = header.m_SaveTime;
  return FormatText("%04d/%02d/%02d %02d:%02d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
}

std::vector<sSlotListLine> BuildSlotList(const cVector<cSlotInfo>& headers, int first, int rows) {
  std::vector<sSlotListLine> lines;
  for (int i = 0; i < rows; ++i) {
    const std::int64_t slot = static_cast<std::int64_t>(first) + i;
    if (slot >= static_cast<std::int64_t>(headers.size())) break;
    if (slot < 0) continue;
    sSlotListLine& line = lines.emplace_back();
    line.nRow = i;
    line.nSlotNumber = static_cast<int>(slot) + 1;
    line.strDate = SlotDateText(headers[slot]);
  }
  return lines;
}

// ---- the progress record's files -------------------------------------------------------

void cPlayData::FixLoadedLives(int playMode) {
  const cVector<std::int32_t>& unlimited = g_SystemData.m_bUnlimitedLives;
  const cVector<std::int32_t>& start = g_SystemData.m_nStartLives;
  if (playMode < static_cast<int>(unlimited.size()) && unlimited[playMode] != 0) {
    m_nEntryLives = kUnlimitedLives;
    m_nLives = kUnlimitedLives;
  } else if (m_nLives == kUnlimitedLives && playMode < static_cast<int>(start.size())) {
    // Saved while lives were unlimited: the project's starting lives instead.
    m_nLives = start[playMode];
  }
}

int cPlayData::SaveSlot(int slot) {
  if (slot < 0 || slot >= static_cast<int>(g_SlotInfo.size())) {
    ReportErrBox("セーブ先のスロット %d がありません！", slot + 1);
    return 0;
  }
  const platform::sSystemTime previous = m_SaveTime;
  m_SaveTime = platform::LocalTime();
  if (!SavePlayerFile(*this, MakeStorySlotPath(slot))) {
    // The slot list goes on showing the save that is still in the file.
    m_SaveTime = previous;
    return 0;
  }
  g_SlotInfo[slot].Set(*this);
  return 1;
}

namespace {

int LoadProgressFile(cPlayData& record, const std::string& path) {
  const ePlayerFileState state = LoadPlayerFile(record, path);
  if (state == PLAYER_FILE_NEWER || state == PLAYER_FILE_DAMAGED)
    ErrBox(PlayerFileProblem(state, path).c_str());
  return state == PLAYER_FILE_LOADED ? 1 : 0;
}

}  // namespace

int cPlayData::LoadSlot(int slot) {
  if (slot < 0 || slot >= kStorySlotCount) return 0;
  if (!LoadProgressFile(*this, MakeStorySlotPath(slot))) return 0;
  FixLoadedLives(PLAY_MODE_STORY);
  return 1;
}

int cPlayData::LoadChallenge() {
  if (!LoadProgressFile(*this, g_PathTable[PATH_CHALLENGE_DATA])) return 0;
  FixLoadedLives(PLAY_MODE_CHALLENGE);
  return 1;
}

int cPlayData::SaveChallenge() { return SavePlayerFile(*this, g_PathTable[PATH_CHALLENGE_DATA]); }
