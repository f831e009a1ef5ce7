// A story save slot: the load of the slot, then the headers and the lines of the slot menus.
#include "platform/host_file.h"
#include "project/play_data.h"
#include "project/story_save.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  FuzzMakeFolders({"user_data", "user_data\\story"});
  FuzzWriteHostFile(MakeStorySlotPath(0), data, size);
  cPlayData record;
  if (record.LoadSlot(0)) record.IsFlagSet(record.m_nStageNo);
  cVector<cSlotInfo> headers;
  LoadSlotHeaders(headers);
  for (const sSlotListLine& line : BuildSlotList(headers, 0, 4)) (void)line;
  for (const cSlotInfo& header : headers) SlotDateText(header);
  return 0;
}
