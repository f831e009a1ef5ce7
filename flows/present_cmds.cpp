// The bodies of the graphic, animation, character and screen effect, screen colour,
// background, sound and music commands.
#include "flows/present_cmds.h"

#include "content/command.h"
#include "flows/flow_run.h"
#include "media/present.h"
#include "media/sound.h"
#include "objects/chara_base.h"
#include "play/play_scene.h"
#include "play/scr_effect.h"
#include "play/stage_draw.h"
#include "project/database.h"
#include "project/stage.h"

void ExecChangeGraphic(cCharaBase* chara, cEdCmd& cmd) {
  const auto kind = static_cast<std::int8_t>(CmdParam(cmd, 0));
  const auto number = static_cast<std::int16_t>(CmdParam(cmd, 1));
  chara->m_Def.m_nGraphicKind = static_cast<std::uint8_t>(kind);
  chara->m_nGraphic = number;
  chara->m_Def.m_sGraphic = number;
  chara->m_Def.m_sGraphicFrame = static_cast<std::int16_t>(CmdParam(cmd, 2));
}

void ExecChangeAnimeSet(cCharaBase* chara, cEdCmd& cmd) {
  chara->SetAnimeSet(static_cast<std::uint16_t>(CmdParam(cmd, 0)), 0);
}

void ExecPlayAnime(cCharaBase* chara, cEdCmd& cmd, int key) {
  AnimeRuns runs;
  runs.push_back(g_AnimeSequences[CmdParam(cmd, 0)]);
  cOneShotAnime& anime = chara->m_OneShotAnime.emplace_front();
  anime.m_Anime.Init(runs);
  anime.m_nKey = key;
  anime.m_bPaused = 0;
  anime.m_bStart = 1;
  anime.m_Anime.Set(0, 1);
}

void ExecCharaEffect(cCharaBase* chara, cEdCmd& cmd) {
  chara->m_CharaEffect.Start(static_cast<std::int16_t>(CmdParam(cmd, 0)), CmdParam(cmd, 1),
                             CmdParam(cmd, 2));
}

void ExecScreenEffect(cCharaBase*, cEdCmd& cmd) {
  cPlayScene* scene = g_pPlayScene;
  if (!scene) return;
  scene->m_ScrEffect.Start(static_cast<std::int16_t>(CmdParam(cmd, 0)), CmdParam(cmd, 1),
                           CmdParam(cmd, 2));
  if (scene->m_ScrEffect.m_nEntry == 0) StopVirBackBuffer();
}

void ExecScreenColor(cCharaBase*, cEdCmd& cmd) {
  if (!g_pPlayScene) return;
  int p[8];
  for (int i = 0; i < 8; ++i) p[i] = CmdParam(cmd, i);
  SetFlash(g_pPlayScene->m_Flash, p);
}

void ExecBackground(cCharaBase*, cEdCmd& cmd) {
  const std::uint32_t layer = static_cast<std::uint32_t>(CmdParam(cmd, 0)) - 1u;
  if (layer >= g_Stage.m_BackLayers.size()) return;
  std::int32_t& shown = g_Stage.m_BackLayers[layer].m_bShow;
  switch (CmdParam(cmd, 1)) {
    case 0:
      shown = 1;
      break;
    case 1:
      shown = 0;
      break;
    case 2:
      shown = !shown;
      break;
    default:
      break;
  }
}

void ExecSound(cCharaBase* chara, cEdCmd& cmd) {
  if (cmd.m_bSoundOnScreen != 0 && !(chara && chara->IsOnScreen())) return;
  PlayDatabaseSound(static_cast<std::int16_t>(CmdParam(cmd, 0)));
}

void ExecBgm(cCharaBase*, cEdCmd& cmd) { RequestBgm(CmdParam(cmd, 0), CmdParam(cmd, 1)); }
