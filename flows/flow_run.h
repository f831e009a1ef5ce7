#pragma once
// The run-time records of flows: one running flow of a character and one running command.
// Only what the character base needs of them is declared here; the flow runtime completes
// them.
#include <cstdint>

class cEdChara;
class cEdFlow;

// One running command (its movement speeds and facing request).
class cCmdRun {
 public:
  double m_dVelX = 0;
  double m_dVelY = 0;
  std::int32_t m_nFaceReq = 0;  // 0 none, 1 face left, 2 face right
};

// One running flow of a character.
class cFlowRun {
 public:
  // Points the run at the flow of the same index in another copy of the definition (a
  // copied character runs its own definition's flows).
  void Repoint(cEdChara& def);

  const cEdFlow* m_pFlow = nullptr;
  std::int32_t m_nIndex = 0;  // index of the flow in the definition's flow list
};
