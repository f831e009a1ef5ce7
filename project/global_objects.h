#pragma once
// The program's long-lived objects, all built by static initialisation before start-up runs
// and destroyed at exit in the reverse order. They are listed here in the order they are
// meant to be built:
//   thGame, thPause, g_RankingThread, g_StageLoadThread   no thread          foundation/thread.h
//   g_Cursor                                             one zeroed level   media/cursor.h
//   g_SystemSurface, g_Font, g_FontDigits                all zero           system_bitmaps.h, font.h
//   g_FontNames, g_PathTable, g_ExtTable                 filled             system_bitmaps.h, paths.h
//   g_SystemBmpInfo, g_FontDesc, g_FontDigitInfo         filled             project/system_bitmaps.h
//   g_SoundList, g_SoundFiles                            empty              media/sound.h
//   g_Bgm                                                not initialised    media/bgm.h
//   g_CommonPalette                                      one "none" entry a list
//   g_SystemData                                         bound for 821, defaults
//   g_DataBase                                           its defaults
//   g_AnimeSequences                                     empty until the database is loaded
//   g_Stage, g_StageCopy, g_WorldMap                     their defaults
//   g_PlayData, g_PlayDataAtStart, g_PrevPlayDataAtStart, g_OptionData    their defaults
//   g_SlotInfo                                           99 empty slot headers
//   g_Ranking                                            five tables of 20 free entries
// and, above this folder (their headers cannot be included here):
//   g_Inputs                                             one fresh record   play/input.h
//   g_KeyConfig                                          all zero           play/input.h
//   g_Heroes, g_CharaList, g_ItemList                    empty              play/play_scene.h
//   g_MenuPos                                            three positions    play/play_scene.h
//   g_CharaExcSurfaces ... g_MessageSurfaces, with their descriptions   empty   play/play_graphics.h
//   g_MapCells, g_MapCellHits                            empty              play/map_cells.h
//   g_ReplayLog, g_PrevReplayLog, g_nReplayNoticeWait    empty, seed 0, 0   play/replay_log.h
//   g_bInStageSetup                                      zero               objects/chara_flows.h
//   CmdExecFunc, ItemCmdFunc                             filled             flows/cmd_dispatch.h
//   g_SceneManager, g_pPlayScene, g_nFrameCount          no scene, zero     play/scene_manager.h
//   g_MenuSurfaces, g_FlashColours, g_FpsRing            empty, zero        play/scene_manager.h
//   g_nMeasuredFps                                       zero               play/scene_manager.h
//   g_bActive, g_bRequestDone, g_bRequestResult,
//   g_bNameEntryDone                                     zero               play/requests.h
//   g_WndList                                            empty              shell/wnd.h
//   g_MainWnd, g_hWnd, g_bStarted, g_rcClientScreen      no window, zero    shell/main_window.h
//   g_WindowPos                                          zero               shell/main_window.h
//   g_BootData                                           Direct3D, ask      shell/boot_data.h
//   g_bWindowMode, g_bCopyPresent                        zero               shell/startup.h
// No constructor of these reads another of them (they read only tables fixed at compile time),
// so the order in which the linker runs their initialisers cannot change what start-up finds.
// Their media (surfaces, fonts, sounds, music) is released by the shut-down before they are
// destroyed; their destructors free memory and write no file, and a thread object stops its
// thread first.
#include "content/palette.h"
#include "foundation/thread.h"
#include "media/bgm.h"
#include "media/cursor.h"
#include "media/font.h"
#include "media/sound.h"
#include "project/database.h"
#include "project/option_data.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/ranking.h"
#include "project/stage.h"
#include "project/story_save.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/world_map.h"
