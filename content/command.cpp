#include "content/command.h"

#include <algorithm>
#include <utility>

#include "content/command_conversion.h"
#include "content/content_refs.h"
#include "content/flow.h"
#include "foundation/report.h"
#include "foundation/strings.h"

void NewCondList(CondListPtr& list) { list.reset(new cCondList); }

cEdCmd::cEdCmd() { Clear(); }

cEdCmd::cEdCmd(const cEdCmd& source)
    : cFileData(source),
      m_nCmdSet(source.m_nCmdSet),
      m_nKind(source.m_nKind),
      m_sTime(source.m_sTime),
      m_sTimeClone(source.m_sTimeClone),
      m_bParallel(source.m_bParallel),
      m_sSound(source.m_sSound),
      m_bSoundOnScreen(source.m_bSoundOnScreen),
      m_sAnime(source.m_sAnime),
      m_strText(source.m_strText),
      m_Params(source.m_Params),
      m_Flows(source.m_Flows) {
  // Each command gets its own sub-records, so that changing one never changes another.
  if (source.m_pMove) m_pMove.reset(new cEdMove(*source.m_pMove));
  if (source.m_pShot) m_pShot.reset(new cEdShot(*source.m_pShot));
  if (source.m_pCondList) m_pCondList.reset(new cCondList(*source.m_pCondList));
}

cEdCmd::cEdCmd(cEdCmd&&) noexcept = default;
cEdCmd& cEdCmd::operator=(cEdCmd&&) noexcept = default;
cEdCmd::~cEdCmd() = default;

cEdCmd& cEdCmd::operator=(const cEdCmd& source) {
  // A copy first: the source may be this command or lie inside its nested flows.
  if (this != &source) *this = cEdCmd(source);
  return *this;
}

void cEdCmd::SetupItems(int) {
  ClearItems();
  AddByte(&m_nCmdSet);
  AddByte(&m_nKind);
  AddShort(&m_sTime);
  AddShort(&m_sTimeClone);
  AddByte(&m_bParallel);
  AddShort(&m_sSound);
  AddByte(&m_bSoundOnScreen);
  AddShort(&m_sAnime);
  AddString(&m_strText);
}

void cEdCmd::Clear() {
  cFileData::Clear();
  m_pMove.reset();
  m_pShot.reset();
  m_pCondList.reset();
  m_bSoundOnScreen = 1;
}

namespace {
// Reads a presence flag and, when it is set, a new sub-record of the pointer's kind.
template <class Ptr, class MakeNew>
void ReadSubRecord(cDataFile& file, Ptr& pointer, MakeNew makeNew) {
  if (file.ReadInt() == 0 || file.Failed()) {
    pointer.reset();
    return;
  }
  if (!file.Claim(sizeof(*pointer), "a command's part")) return;
  makeNew(pointer);
  pointer->Read(file);
}

template <class Ptr>
void WriteSubRecord(cDataFile& file, const Ptr& pointer) {
  file.WriteInt(pointer ? 1 : 0);
  if (pointer) pointer->Write(file);
}
}  // namespace

void cEdCmd::Read(cDataFile& file) {
  const int version = file.Version();
  cFileData::Read(file);
  if (file.Failed()) return;
  ReadSubRecord(file, m_pMove, [](MovePtr& p) { NewMove(p); });
  if (file.Failed()) return;
  ReadSubRecord(file, m_pShot, [](ShotPtr& p) { NewShot(p); });
  if (file.Failed()) return;
  if (version >= 764) {
    ReadSubRecord(file, m_pCondList, [](CondListPtr& p) { NewCondList(p); });
    if (file.Failed()) return;
  }
  // Flows hold commands that hold flows again; a file that nests them without end would
  // exhaust the stack long before its bytes run out.
  static thread_local int s_nNesting = 0;
  if (s_nNesting >= kMaxFlowNesting) {
    file.Fail(FormatText("flows nested more than %d deep", kMaxFlowNesting));
    return;
  }
  ++s_nNesting;
  const bool flowsRead = LoadFlowList(m_Flows, file);
  --s_nNesting;
  if (!flowsRead) return;
  if (!ReadValueList(file, m_Params, "command parameters")) return;
  if (version < kDataVersion) ConvertCommand(*this, version);
  if (!IsKnownCmdKind(m_nCmdSet, m_nKind)) {
    Report(
        "%s : a command of set %d has kind %d, which no kind table holds; its %d parameters "
        "are dropped",
        file.Path().c_str(), m_nCmdSet, m_nKind, static_cast<int>(m_Params.size()));
  }
  if (!KeepTestPlayOnlyFlows()) RemoveTestPlayOnlyFlows(m_Flows);
  Validate();
}

void cEdCmd::Write(cDataFile& file) {
  Validate();
  cFileData::Write(file);
  WriteSubRecord(file, m_pMove);
  WriteSubRecord(file, m_pShot);
  WriteSubRecord(file, m_pCondList);
  WriteFlowList(m_Flows, file);
  WriteValueList(file, m_Params);
}

int cEdCmd::CharaKind() const {
  if (m_nCmdSet == CMDSET_CHARA) return IsKnownCmdKind(m_nCmdSet, m_nKind) ? m_nKind : -1;
  if (m_nCmdSet == CMDSET_ITEM && m_nKind >= 2 && m_nKind < ITEMCMD_KIND_COUNT)
    return m_nKind + kItemCmdKindOffset;
  return -1;
}

namespace {
// Replaces a parameter that does not index its table.
void ClampParam(std::int32_t& param, eRefTable table, std::int32_t replacement) {
  if (!IndexInTable(param, ContentRefs().TableSize(table))) param = replacement;
}

struct sParamCheck {
  int nKind;
  eRefTable table;
  std::int32_t nReplacement;
};
const sParamCheck kParamChecks[] = {
    {CMD_SET_ANIMESET, REF_ANIME_SET, 0},
    {CMD_ANIME, REF_ANIME, 1},
    {CMD_EFFECT, REF_EFFECT, 1},
    {CMD_CHARA_EFFECT, REF_CHARA_EFFECT, 1},
    {CMD_SCREEN_EFFECT, REF_SCR_EFFECT, 1},
    {CMD_PICTURE, REF_PICTURE, 1},
    {CMD_SOUND, REF_SOUND, 1},
    {CMD_BGM, REF_BGM, 1},
};
}  // namespace

void cEdCmd::Validate() {
  const cContentRefs& refs = ContentRefs();
  if (!IndexInTable(m_sAnime, refs.TableSize(REF_ANIME))) m_sAnime = 0;
  if (!IndexInTable(m_sSound, refs.TableSize(REF_SOUND))) m_sSound = 0;
  m_Params.resize(static_cast<std::size_t>(CmdParamCount(m_nCmdSet, m_nKind)));
  switch (CharaKind()) {
    case CMD_SWORD: {
      // A sword stored without its shot record has no sword type to check or time by.
      if (!m_pShot) break;
      if (!IndexInTable(m_pShot->m_nGuide, refs.TableSize(REF_SWORD_TYPE))) m_pShot->m_nGuide = 0;
      std::int64_t time = 0;
      for (std::int32_t frame : refs.SwordFrameTimes(m_pShot->m_nGuide))
        time = std::min<std::int64_t>(time + frame, 9999);
      m_sTime = static_cast<std::int16_t>(std::max<std::int64_t>(time, INT16_MIN));
      break;
    }
    case CMD_SET_GRAPHIC:
      if (m_Params[0] == 4) ClampParam(m_Params[1], REF_BMP_CHARA_EXC, 1);
      break;
    default:
      // The kinds whose first parameter names an entry of a database table.
      for (const sParamCheck& check : kParamChecks)
        if (check.nKind == CharaKind()) ClampParam(m_Params[0], check.table, check.nReplacement);
      break;
  }
  for (cEdFlow& flow : m_Flows) flow.Validate();
}

void cEdCmd::ClampIndexes() {
  const cContentRefs& refs = ContentRefs();
  const int kind = CharaKind();
  if (m_nCmdSet == CMDSET_CHARA && m_pShot) {
    cEdShot& shot = *m_pShot;
    if (kind == CMD_SHOT || kind == CMD_SWORD) {
      const int palette = shot.m_nItemPalette;
      if ((palette == PALETTE_COMMON || palette == PALETTE_STAGE) &&
          !IndexInTable(shot.m_sItemIndex,
                        refs.PaletteListSize(palette == PALETTE_STAGE, PLIST_ITEM))) {
        shot.m_nItemPalette = PALETTE_NONE;
        shot.m_sItemIndex = 0;
      }
    } else if (kind >= CMD_SUMMON_BLOCK && kind <= CMD_SUMMON_ITEM) {
      const int palette = shot.m_nSummonPalette;
      const ePaletteList list = kind == CMD_SUMMON_BLOCK   ? PLIST_BLOCK
                                : kind == CMD_SUMMON_CHARA ? PLIST_CHARA
                                                           : PLIST_ITEM;
      if ((palette == SUMMON_COMMON || palette == SUMMON_STAGE) &&
          !IndexInTable(shot.m_sSummonIndex, refs.PaletteListSize(palette == SUMMON_STAGE, list)))
        shot.m_sSummonIndex = 1;
    }
  }
  if (kind == CMD_GET_ITEM && m_Params.size() >= 2) {
    const int palette = m_Params[0];
    if ((palette == 0 || palette == 1) &&
        !IndexInTable(m_Params[1], refs.PaletteListSize(palette == 1, PLIST_ITEM)))
      m_Params[1] = 1;
  }
  for (cEdFlow& flow : m_Flows) flow.ClampIndexes();
}

bool LoadCmdList(CmdVector& list, cDataFile& file) {
  return ReadRecordList(file, list, "commands");
}
