// The text of a stage's message command with its variable codes expanded and measured, as a
// message shows it: any text, any variable values.
#include <string>

#include "play/message.h"
#include "play/play_scene.h"
#include "project/play_data.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  static cPlayScene scene;
  g_pPlayScene = &scene;
  // The first bytes choose the variables' values, the rest is the text.
  const std::int32_t value =
      size >= 4 ? static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 | data[3] << 24)
                : -12345;
  scene.m_StageVar.assign(1001, value);
  // The common variables hold the negated value, wrapping as the program's own arithmetic does.
  g_PlayData.m_CommonVar.assign(1001,
                                static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(value)));
  std::string text(reinterpret_cast<const char*>(data), size);
  const std::size_t before = text.size();
  ExpandMessageCodes(text);
  // A code gives at most 12 characters (a sign, a plus and ten digits, or a width digit's
  // blanks); a text grows by no more than that per code, that is per number sign.
  std::size_t signs = 0;
  for (std::size_t i = 0; i < before; ++i) signs += data[i] == '#' ? 1 : 0;
  if (text.size() > before + 12 * signs) FuzzFail("the text grew beyond its codes");
  int width = 0, height = 0;
  MeasureMessageText(text, width, height);
  if (width < 0 || height < 0) FuzzFail("a negative size");
  g_pPlayScene = nullptr;
  return 0;
}
