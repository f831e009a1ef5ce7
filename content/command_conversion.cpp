#include "content/command_conversion.h"

#include <algorithm>
#include <initializer_list>
#include <limits>

#include "content/command.h"
#include "foundation/report.h"

namespace {

// The character kinds as the files numbered them before version 734, where today's kinds
// from 25 on were one lower.
enum eOldCmdKind {
  OLD_MOVE_RUSH = 5,
  OLD_TURN = 9,
  OLD_SHOT = 11,
  OLD_SUMMON_CHARA = 14,
  OLD_SUMMON_ITEM = 15,
  OLD_FLOW_OP = 16,
  OLD_STAGE_CLEAR = 17,
  OLD_MESSAGE = 19,
  OLD_SET_TARGET = 21,
  OLD_STATUS_OP = 22,
  OLD_STATUS_OP2 = 23,
  OLD_SET_GRAPHIC = 25,
  OLD_CHARA_EFFECT = 29,
  OLD_SCREEN_EFFECT = 30,
  OLD_PICTURE = 31,
  OLD_BGM = 35,
  OLD_ARRANGE = 37,
};

// Raises a stored value; a value at the top of its range stays there rather than wrap.
void Raise(std::int32_t& value, int amount) {
  value = value > std::numeric_limits<std::int32_t>::max() - amount
              ? std::numeric_limits<std::int32_t>::max()
              : value + amount;
}

// The object number of the system in status commands before targets 2 to 4 were inserted.
constexpr int kOldSystemObject = 2;

class cConversion {
 public:
  cConversion(cEdCmd& cmd, int version) : m_Cmd(cmd), m_Params(cmd.m_Params), m_nVersion(version) {}

  void Run();

 private:
  // Steps that read or write parameters in place see the parameters the file did not store as
  // 0, so that a short vector is neither read past nor cut: the vector is padded to the count
  // the step needs (every such count lies within the kind's own count).
  std::int32_t& P(int index) {
    if (static_cast<int>(m_Params.size()) <= index) {
      if (!m_bPadReported)
        Report(
            "a command of kind %d stores %d parameters where its conversion reads %d; the "
            "missing ones are taken as 0",
            m_Cmd.m_nKind, static_cast<int>(m_Params.size()), index + 1);
      m_bPadReported = true;
      m_Params.resize(static_cast<std::size_t>(index) + 1);
    }
    return m_Params[index];
  }
  void Resize(int count) { m_Params.resize(static_cast<std::size_t>(count)); }
  // After a resize to count, entries index to count - 2 move up by one (the last is lost).
  void Insert(int count, int index, std::int32_t value) {
    Resize(count);
    for (int i = count - 1; i > index; --i) m_Params[i] = m_Params[i - 1];
    m_Params[index] = value;
  }
  void RenumberStatus(int threshold) {
    if (P(0) == 0 && P(3) != kOldSystemObject && P(4) >= threshold) Raise(P(4), 1);
    if (P(6) == 2 && P(12) != kOldSystemObject && P(13) >= threshold) Raise(P(13), 1);
  }
  bool Before(int version) const { return m_nVersion < version; }
  bool Is(int kind) const { return m_nKind == kind; }

  cEdCmd& m_Cmd;
  cVector<std::int32_t>& m_Params;
  int m_nVersion;
  int m_nKind = 0;  // in the character numbering
  bool m_bItem = false;
  bool m_bPadReported = false;
};

void cConversion::Run() {
  m_bItem = m_Cmd.m_nCmdSet == CMDSET_ITEM;
  if (m_bItem) {
    // The flow change of the hero has its own layout and was never converted.
    if (m_Cmd.m_nKind == ITEMCMD_FLOW_CHANGE) return;
    m_nKind = m_Cmd.m_nKind + kItemCmdKindOffset;
  } else if (m_Cmd.m_nCmdSet == CMDSET_CHARA) {
    m_nKind = m_Cmd.m_nKind;
  } else {
    return;
  }
  if (m_Cmd.m_nKind < 0) return;  // no kind table holds it: nothing to convert
  const bool chara = !m_bItem;

  if (Before(145) && Is(OLD_STAGE_CLEAR)) Resize(9);
  if (Before(166) && Is(OLD_BGM)) {
    Resize(2);
    P(1) = 1;
  }
  if (Before(168) && Is(OLD_STATUS_OP)) RenumberStatus(10);
  if (Before(189) && Is(OLD_SET_TARGET)) Insert(16, 2, 0);
  if (Before(194) && Is(OLD_PICTURE)) Insert(15, 6, 1);
  if (Before(195) && (Is(OLD_CHARA_EFFECT) || Is(OLD_SCREEN_EFFECT))) Insert(3, 1, 0);
  if (Before(203)) {
    if (chara && (Is(OLD_SUMMON_CHARA) || Is(OLD_SUMMON_ITEM))) m_Params.clear();
    if (chara && Is(OLD_FLOW_OP)) Resize(4);
    if (Is(OLD_STATUS_OP)) RenumberStatus(5);
  }
  if (Before(210) && Is(OLD_STATUS_OP2) && P(0) != kOldSystemObject && P(1) >= 6) Raise(P(1), 1);
  if (Before(219) && Is(OLD_SET_GRAPHIC) && P(0) == 3) {
    Raise(P(1), 1);
    P(1) = std::min(P(1), 119);
  }
  if (Before(220) && chara && Is(OLD_SHOT) && m_Cmd.m_pShot) {
    cEdShot& shot = *m_Cmd.m_pShot;
    shot.m_sGraphic = static_cast<std::int16_t>(std::min(shot.m_sGraphic + 1, 119));
  }
  if (Before(514) && chara && Is(OLD_MOVE_RUSH) && m_Cmd.m_pMove) {
    m_Cmd.m_pMove->m_sAngle = 0;
    m_Cmd.m_pMove->m_sAngleClone = 0;
    m_Cmd.m_pMove->m_bMirrorAngle = 1;
  }
  if (Before(545)) {
    if (Is(OLD_MESSAGE)) {
      Resize(18);
      P(10) = 1;
    }
    if (Is(OLD_PICTURE)) {
      Resize(15);
      P(11) = 0;
    }
  }
  if (Before(546) && Is(OLD_MESSAGE)) P(10) = (P(0) == 0 || P(0) == 7) ? 1 : 0;
  if (Before(547)) {
    if (Is(OLD_MESSAGE)) {
      Resize(18);
      P(11) = 0;
      P(12) = 0;
      P(13) = 0;
      P(14) = 1;
      P(15) = 0;
    }
    if (Is(OLD_PICTURE)) {
      Resize(15);
      P(12) = 0;
      P(13) = 0;
    }
  }
  if (Before(556) && Is(OLD_MESSAGE)) {
    Resize(18);
    P(16) = 1;
  }
  // The clear mode "by path" was inserted at 2.
  if (Before(722) && Is(OLD_STAGE_CLEAR) && P(0) >= 2) Raise(P(0), 1);
  if (Before(723)) {
    if (Is(OLD_MESSAGE)) {
      Resize(18);
      P(17) = 0;
    }
    if (Is(OLD_PICTURE)) {
      Resize(15);
      P(14) = 0;
    }
  }
  if (Before(726) && Is(OLD_ARRANGE)) {
    Resize(5);
    P(0) = CMD_SHOT;
  }
  if (Before(727) && Is(OLD_ARRANGE) && P(0) == CMD_SHOT) {
    // Seven changeable parameters were inserted into the shot's list, given here in the final
    // numbering, so each test sees the result of the one before.
    for (int threshold : {2, 3, 4, 14, 15, 16, 17})
      if (P(1) >= threshold) Raise(P(1), 1);
  }
  // VANISH was inserted at 24: today's numbering from here on.
  if (Before(734)) {
    if (m_nKind >= CMD_VANISH) m_nKind += 1;
    if (Is(CMD_ARRANGE) && P(0) >= CMD_VANISH) Raise(P(0), 1);
  }
  if (Before(747) && Is(CMD_SET_TARGET)) {
    Resize(16);
    P(10) = 0;
    P(11) = 1;
    P(14) = 0;
  }
  if (Before(760) && chara && Is(CMD_FLOW_OP)) {
    Resize(4);
    P(3) = 0;
  }
  if (Before(764) && chara && Is(CMD_FLOW_OP)) NewCondList(m_Cmd.m_pCondList);
  if (Before(767)) {
    // Targets 2 to 4 were inserted after target 1 in the facing and object choices.
    if (chara && Is(CMD_TURN) && P(0) >= 4) Raise(P(0), 6);
    if (Is(CMD_WARP) && m_Cmd.m_pMove && m_Cmd.m_pMove->m_nMode >= 2)
      m_Cmd.m_pMove->m_nMode = static_cast<std::int8_t>(m_Cmd.m_pMove->m_nMode + 3);
    if (Is(CMD_SET_TARGET)) Insert(16, 0, 0);
    if (Is(CMD_STATUS_OP)) {
      if (P(0) == 0 && P(3) >= 2) Raise(P(3), 3);
      if (P(6) == 2 && P(12) >= 2) Raise(P(12), 3);
    }
    if (Is(CMD_STATUS_OP2) && P(0) >= 2) Raise(P(0), 3);
  }
  if (Before(820) && Is(CMD_STATUS_OP2)) Resize(5);

  const int kind = m_bItem ? m_nKind - kItemCmdKindOffset : m_nKind;
  m_Cmd.m_nKind = static_cast<std::int8_t>(std::min(kind, 127));
}

}  // namespace

void ConvertCommand(cEdCmd& cmd, int version) {
  if (version >= kDataVersion) return;
  cConversion(cmd, version).Run();
}
