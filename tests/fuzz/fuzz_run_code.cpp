// The run-code text of a stage's command, run for a character with a target in slot 2, the
// common and stage variables and a play scene: whatever the text, the statuses and variables
// stay within their ranges and the program goes on.
#include <string_view>

#include "flows/run_code.h"
#include "objects/chara.h"
#include "play/play_scene.h"
#include "project/play_data.h"
#include "tests/fuzz/fuzz_target.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const cFuzzRun run;
  static cPlayScene scene;
  g_pPlayScene = &scene;
  scene.m_StageVar.assign(1001, 0);
  g_PlayData.m_CommonVar.assign(1001, 7);
  cChara me, other;
  me.Reset(nullptr, 0, 0, 0);
  me.m_Def.m_nMaxHP = 100;
  me.m_HP.m_nValue = 95;
  other.Reset(nullptr, 0, 0, 0);
  other.m_Def.m_nMaxHP = 50;
  other.m_HP.m_nValue = 50;
  me.m_Targets[1] = &other;
  g_nCodeError = 0;
  ExecCode(std::string_view(reinterpret_cast<const char*>(data), size), &me);
  me.m_Targets[1] = nullptr;
  g_pPlayScene = nullptr;
  // An assignment holds HP to the maximum the text's words found when they were read, so
  // "mhp = 0 hp = 5" leaves HP above the new maximum, as it always has; HP never leaves the
  // range of the status itself.
  for (const cChara* chara : {&me, &other}) {
    if (chara->m_HP.m_nValue < 0 || chara->m_HP.m_nValue > 999999) FuzzFail("HP out of range");
    if (chara->m_Def.m_nMaxHP < 1 || chara->m_Def.m_nMaxHP > 999999)
      FuzzFail("max HP out of range");
  }
  for (std::int32_t v : g_PlayData.m_CommonVar)
    if (v < -999999 || v > 999999) FuzzFail("a common variable outside its range");
  return 0;
}
