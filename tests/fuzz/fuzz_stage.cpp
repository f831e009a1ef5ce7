// A stage file, loaded as a stage is loaded for play: the trailer test, the read on the
// loader thread, the hero test and the copy of the play data; a stage that loads must write
// a file that reads back.
#include "platform/close_request.h"
#include "project/stage.h"
#include "project/stage_loader.h"
#include "project/project_refs.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Base references are checked against the palettes' sizes, as the program checks them.
  InstallProjectRefs();
  const std::string path = FuzzInputFile(data, size, "s.stg4_000");
  FuzzSetUp();
  platform::ResetCloseRequest();
  // A stage whose trailer is wrong closes the program by design, and so does a stage without
  // a hero in test play: neither is a fault of the reader.
  if (!CheckStageFileTrailer(path)) {
    platform::ResetCloseRequest();
    return 0;
  }
  const cFuzzRun run;
  static cStage copy;
  if (!LoadStageFile(path, 0, &copy)) return 0;
  copy.Validate();
  FuzzCheckRewrite([](cDataFile& f) { g_Stage.Write(f); },
                   [](cDataFile& f) {
                     g_Stage.Read(f);
                     return !f.Failed();
                   });
  return 0;
}
