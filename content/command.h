#pragma once
// One command of a flow or of an item's command list: its kind, integer parameters as many
// as the kind table gives, a text parameter, timing, sound and animation, and the move, shot
// and condition list and nested flows that some kinds carry. A command owns its sub-records:
// copies never share them.
#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <string>

#include "content/command_tables.h"
#include "content/condition.h"
#include "content/move.h"
#include "content/shot.h"
#include "foundation/containers.h"
#include "foundation/file_data.h"

class cEdFlow;
using FlowVector = cVector<cEdFlow>;
using CondListPtr = boost::shared_ptr<cCondList>;

// How deep flows may nest inside commands in a file.
inline constexpr int kMaxFlowNesting = 16;

// Puts a new, cleared (switched-off, empty) condition list into the pointer.
void NewCondList(CondListPtr& list);

class cEdCmd : public cFileData {
 public:
  cEdCmd();
  cEdCmd(const cEdCmd& source);
  cEdCmd& operator=(const cEdCmd& source);
  cEdCmd(cEdCmd&&) noexcept;
  cEdCmd& operator=(cEdCmd&&) noexcept;
  ~cEdCmd() override;

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  // The bound fields and text cleared, the sub-records released, sound on screen only.
  void Clear();

  // Holds the parameters to their kind's count and the database references inside their
  // tables; the same for the nested flows.
  void Validate();
  // Holds references into the palettes inside the palettes' lists; the same for the nested
  // flows. Run once the palettes are loaded.
  void ClampIndexes();

  // The character kind this command stands for: its kind for a character command, kind + 15
  // for item kinds 2 and above; -1 when there is none.
  int CharaKind() const;

  std::int8_t m_nCmdSet = 0;  // eCmdSet
  std::int8_t m_nKind = 0;    // eCmdKind or eItemCmdKind
  std::int16_t m_sTime = 0;   // tenths of a second
  std::int16_t m_sTimeClone = 0;
  std::int8_t m_bParallel = 0;
  std::int16_t m_sSound = 0;
  std::int8_t m_bSoundOnScreen = 0;
  std::int16_t m_sAnime = 0;
  std::string m_strText;

  cVector<std::int32_t> m_Params;
  MovePtr m_pMove;
  ShotPtr m_pShot;
  CondListPtr m_pCondList;
  FlowVector m_Flows;
};

using CmdVector = cVector<cEdCmd>;

// Reads a command vector (a 32-bit count, then each command); on a damaged file the vector is
// left as it was.
bool LoadCmdList(CmdVector& list, cDataFile& file);
