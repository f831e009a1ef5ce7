#pragma once
// A flow: one behaviour script of a character with its identifier, exclusive group, trigger,
// start conditions, key-input conditions and commands.
#include <cstdint>
#include <string>

#include "content/command.h"
#include "content/condition.h"
#include "content/key_condition.h"
#include "foundation/file_data.h"

class cEdFlow : public cFileData {
 public:
  cEdFlow();
  cEdFlow(const cEdFlow& source);
  cEdFlow& operator=(const cEdFlow& source);
  cEdFlow(cEdFlow&&) noexcept;
  cEdFlow& operator=(cEdFlow&&) noexcept;

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;

  void Validate();
  void ClampIndexes();

  std::string m_strName;  // emptied after reading: the player keeps no flow names
  std::int8_t m_nID = 0;  // 0 none, 1 to 26 "A" to "Z"
  std::int8_t m_nGroup = 0;
  std::int8_t m_bTestPlayOnly = 0;
  std::int8_t m_nCondMode = 0;  // eCondMode
  std::int8_t m_bCondOnce = 0;
  std::int8_t m_nTrigger = 0;  // eFlowTrigger
  std::int8_t m_bPartnerAsTarget = 0;
  std::int8_t m_nTargetSlot = 0;
  std::int8_t m_nKeyTolerance = 0;
  std::int8_t m_bKeyRepeat = 0;
  CondVector m_Conds;
  KeyCondVector m_KeyConds;
  CmdVector m_Cmds;
};

// Reads a flow vector (a 32-bit count, then each flow); on a damaged file the vector is left
// as it was.
bool LoadFlowList(FlowVector& list, cDataFile& file);
void WriteFlowList(FlowVector& list, cDataFile& file);
// Erases the flows that exist for test play only, keeping the others in their order.
void RemoveTestPlayOnlyFlows(FlowVector& list);
// Whether flows marked for test play only stay: in the editor's test play, or when the
// project keeps them.
bool KeepTestPlayOnlyFlows();
