#include "shell/startup.h"

#include <algorithm>
#include <cstring>

#include "content/palette.h"
#include "foundation/file_data.h"
#include "foundation/message_box.h"
#include "foundation/path_utils.h"
#include "foundation/random.h"
#include "foundation/report.h"
#include "foundation/shell_services.h"
#include "foundation/timer.h"
#include "media/bgm.h"
#include "media/device.h"
#include "media/font.h"
#include "media/palette.h"
#include "media/sound.h"
#include "media/surface.h"
#include "media/surface_create.h"
#include "media/surface_list.h"
#include "platform/audio_mixer.h"
#include "platform/host_file.h"
#include "platform/input.h"
#include "platform/text_codec.h"
#include "platform/video.h"
#include "play/chara_effect.h"
#include "play/effect_anim.h"
#include "play/input.h"
#include "play/scene_manager.h"
#include "play/scr_effect.h"
#include "play/stage_start.h"
#include "project/database.h"
#include "project/option_data.h"
#include "project/paths.h"
#include "project/play_data.h"
#include "project/project_refs.h"
#include "project/system_bitmaps.h"
#include "project/system_data.h"
#include "project/system_ini.h"
#include "project/world_map.h"
#include "shell/boot_data.h"
#include "shell/dlg.h"
#include "shell/main_window.h"
#include "shell/screen_mode.h"
#include "flows/cmd_params.h"

int g_bWindowMode = 0;
int g_bCopyPresent = 0;

namespace {

StartDialogRunner g_pfnStartDialog = nullptr;
// Set when the user ended the start-up (declined the data folder, cancelled the start dialog).
bool g_bStartUpDeclined = false;

// The options' sound-effect volume levels 0 to 10 in hundredths of a decibel.
constexpr int kVolumeByLevel[11] = {-10000, -3000, -2000, -1300, -800, -500,
                                    -300,   -150,  -80,   -30,   0};
constexpr int kSystemSoundCount = 17;
constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
// A resizable window is never made smaller than this, whatever Window.dat says.
constexpr int kMinClientSize = 100;

// The client size Window.dat gave a resizable window; 0 when none.
int g_nSavedClientW = 0, g_nSavedClientH = 0;

const char* const kFreeStageFailure = "「%s」の読み込みに失敗しました！";

int BgmTableSize() { return static_cast<int>(g_DataBase.m_Bgm.size()); }

// The command line as the program's text; false for a name too long for its paths or one
// that cp932 cannot hold (reported as a file that cannot be read).
bool TakeCommandLine(const std::string& utf8, std::string& cp932) {
  cp932 = platform::Utf8ToCp932(utf8);
  const bool fits = platform::Cp932ToUtf8(cp932) == utf8 &&
                    cp932.size() < static_cast<std::size_t>(kFreeStageSize);
  if (!fits) Report(kFreeStageFailure, cp932.c_str());
  return fits;
}

void SetFreeStage(const std::string& name) {
  std::memset(g_SystemIni.FreeStage, 0, sizeof g_SystemIni.FreeStage);
  std::memcpy(g_SystemIni.FreeStage, name.data(),
              std::min(name.size(), sizeof g_SystemIni.FreeStage - 1));
}

// Steps 15 and 16: the screen mode and the window.
bool SetUpScreenMode() {
  g_nSavedClientW = g_nSavedClientH = 0;
  sScreenModeInput in;
  in.nDirect3D = g_SystemIni.Direct3D;
  in.nWindowMode = g_SystemIni.WindowMode;
  in.nBpp = g_SystemIni.Bpp;
  in.nVSync = g_SystemIni.VSync;
  in.nDesktopDepth = platform::DesktopBitsPerPixel();
  in.bTransColour = g_SystemData.m_nColourMode == 1;
  in.nBppCodeD3D = g_SystemData.m_nBppD3D;
  in.nBppCodeDD = g_SystemData.m_nBppDD;
  // Every host this runs on behaves as the later systems did: no vertical sync by default in
  // DirectDraw full screen.
  in.bVistaOrLater = 1;
  const sScreenMode mode = DecideScreenMode(in);
  g_bWindowMode = mode.bWindowMode;
  g_SystemIni.VSync = mode.nVSync;
  g_SystemIni.Bpp = mode.nBpp;
  if (mode.nError != SCREEN_MODE_OK) {
    ErrBox(ScreenModeMessage(mode.nError));
    return false;
  }
  if (mode.bResizable) {
    g_MainWnd.m_dwStyle |= WS_THICKFRAME;
    platform::SetWindowResizable(true);
  }
  return true;
}

// The window as the settings want it: its title, full screen or not, vertical sync.
void ApplyVideoMode() {
  platform::sVideoMode mode;
  mode.nWidth = kScreenWidth;
  mode.nHeight = kScreenHeight;
  mode.bFullScreen = g_bWindowMode == 0;
  mode.bVSync = g_SystemIni.VSync != 0;
  mode.strTitle = platform::Cp932ToUtf8(g_SystemData.m_strTitle);
  std::string error;
  if (!platform::OpenVideo(mode, &error)) ReportErr("%s", error.c_str());
  if (g_MainWnd.m_dwStyle & WS_THICKFRAME) {
    platform::SetWindowResizable(true);
    platform::SetWindowSizeLimits(kMinClientSize, kMinClientSize, 16384, 16384);
  }
}

void ShowMainWindow(int showCommand) {
  ApplyVideoMode();
  if (g_nSavedClientW > 0) platform::SetWindowClientSize(g_nSavedClientW, g_nSavedClientH);
  if (showCommand == SW_MAXIMIZE && g_bWindowMode) platform::MaximiseVideoWindow();
}

bool InitDevice(int showCommand) {
  const int vsync = g_SystemIni.VSync != 0 ? 1 : 0;
  auto init = [&] {
    return DDInit(g_SystemIni.Direct3D, g_hWnd.load(), kScreenWidth, kScreenHeight,
                  g_SystemIni.Bpp, vsync, g_bWindowMode, 1, 60, vsync, g_SystemSurface,
                  g_SystemBmpInfo, kSystemSurfaceCount);
  };
  if (init()) return true;
  if (g_SystemIni.Direct3D) {
    // Direct3D could not start: the same mode through DirectDraw.
    DDRelease();
    g_SystemIni.Direct3D = 0;
    ShowMainWindow(g_bWindowMode ? showCommand : SW_MAXIMIZE);
    if (init()) return true;
  }
  ErrLog("DDInit失敗");
  return false;
}

// Step 21: the window where the player left it.
void RestoreWindowPlacement(int& showCommand) {
  g_nSavedClientW = g_nSavedClientH = 0;
  if (g_SystemIni.WindowMode == 0) return;
  // A damaged or newer file is not used: the window stays where it is.
  if (!g_WindowPos.LoadFile(g_PathTable[PATH_WINDOW])) return;
  g_MainWnd.SetPos(g_WindowPos.m_nX, g_WindowPos.m_nY);
  if (g_SystemIni.Direct3D && g_SystemIni.WindowMode == 2) {
    int deskW = kScreenWidth, deskH = kScreenHeight;
    platform::DisplaySize(deskW, deskH);
    const int w = std::clamp<int>(g_WindowPos.m_nWidth, kMinClientSize,
                                  std::max(deskW, kMinClientSize));
    const int h = std::clamp<int>(g_WindowPos.m_nHeight, kMinClientSize,
                                  std::max(deskH, kMinClientSize));
    g_MainWnd.SetClientSize(w, h);
    g_nSavedClientW = w;
    g_nSavedClientH = h;
  }
  if (g_WindowPos.m_bMaximized) showCommand = SW_MAXIMIZE;
}

// Step 24: the palette and the transparent colour.
// The palette and the transparent colour are set in every drawing mode: left unset, DirectDraw
// at 16 and 32 bits would take black as the colour key and show every sprite's background.
bool SetUpPalette() {
  const char* paletteFile = g_SystemBmpInfo[0].szFile.c_str();
  if (!DDLoadPaletteFromFile(g_Palette, paletteFile)) {
    ErrLog("DDLoadPaletteFromFile失敗");
    ReportErrBoxStderr("%s の読み込みに失敗！", paletteFile);
    return false;
  }
  std::copy(std::begin(g_Palette), std::end(g_Palette), std::begin(g_WorkPalette));
  const std::uint8_t* colour = g_SystemData.m_TransColour;
  if (g_SystemData.m_nColourMode != 1 || g_nBpp == 16) {
    if (!DDSetTransmitFromFile(paletteFile)) {
      ErrLog("DDSetTransmit失敗");
      ReportErrBoxStderr("%s の読み込みに失敗！", paletteFile);
      return false;
    }
  }
  if (g_SystemData.m_nColourMode == 1) {
    if (g_nBpp == 16) {
      RGBTRIPLE& rgb = lpDTCon ? lpDTCon->rgbTransmit_16 : lpDDCon->rgbTransmit_16;
      rgb.rgbtRed = colour[0];
      rgb.rgbtGreen = colour[1];
      rgb.rgbtBlue = colour[2];
    } else {
      DDSetTransmit(colour[0], colour[1], colour[2]);
    }
  }
  return true;
}

bool SetUpFonts() {
  SetupFontDescs(g_SystemData.m_nFontFace, g_SystemIni.D3D_FontCache, g_SystemIni.DD_FontCache);
  if (!CreateFonts(g_Font, g_FontDesc, 3)) {
    ReportErrBoxStderr(
        "フォントが見つかりません！\n日本語のフォント (IPAフォントなど) をインストールして下さい。");
    return false;
  }
  g_Font[1].m_bIcons = g_SystemData.m_bFontIcons;
  g_Font[1].m_bCentre = g_SystemData.m_bFontCentre;
  if (!CreateFontDigitSurfaces(g_FontDigits, g_FontDigitInfo, 3, g_Font, g_FontDesc)) return false;
  ErrLog("3");
  return true;
}

void SetUpInput() {
  for (cInputState& input : g_Inputs) input.SetDefaultJoyButtons();
  if (!LoadKeyConfig(g_PathTable[PATH_KEY_CONFIG], g_KeyConfig)) SetDefaultKeyConfig(g_KeyConfig);
}

// Step 32: 17 system sounds, then database sound k at entry 16 + k.
void BuildSoundLists() {
  const int dbSounds = static_cast<int>(g_DataBase.m_Sound.size());
  // Entry 0 of the Sound table is "none": with it missing the list still holds the 17
  // system sounds.
  const int count = std::max(dbSounds + 16, kSystemSoundCount);
  g_SoundList.assign(static_cast<std::size_t>(count), DSSOUNDDATA{});
  g_SoundFiles.assign(static_cast<std::size_t>(count), DSSOUNDINFO{});
  auto set = [](int entry, const std::string& file) {
    DSSOUNDINFO& info = g_SoundFiles[entry];
    std::memset(info.szFile, 0, sizeof info.szFile);
    std::memcpy(info.szFile, file.data(), std::min(file.size(), sizeof info.szFile - 1));
    info.nCount = 1;
  };
  const int systemNames = static_cast<int>(g_SystemData.m_SystemSounds.size());
  for (int i = 0; i < kSystemSoundCount && i < systemNames; ++i)
    set(i, g_SystemData.m_SystemSounds[i]);
  for (int k = 1; k < dbSounds; ++k) set(16 + k, g_DataBase.m_Sound[k].m_strFile);
}

bool SetUpSound() {
  // Without a sound device the output runs on the silent driver (the game goes on silent);
  // only a silent driver that fails as well ends the start-up.
  if (!DS_Init(g_hWnd.load(), 22050, 8, 1)) {
    ErrLog("DS_Init失敗！");
    return false;
  }
  if (platform::AudioRunsSilent()) {
    ErrLog("DS_Init失敗！");
    Report("sound output cannot be opened: %s; the game runs silent",
           platform::AudioError().c_str());
  }
  ErrLog("DSCreate");
  const int level = std::clamp(g_OptionData.m_nSeVolume, 0, 10);
  DS_LoadSounds(g_SoundList, g_SoundFiles, kVolumeByLevel[level]);
  return true;
}

bool LoadWorld() {
  for (auto [record, path] : {std::pair<cFileData*, const char*>{&g_WorldMap, g_PathTable[PATH_WORLD_MAP]},
                              {&g_CommonPalette, g_PathTable[PATH_COMMON_PALETTE]}}) {
    if (!record->LoadFile(path)) {
      ReportErrBoxStderr("%s のロードに失敗！", path);
      return false;
    }
  }
  ErrLog("4");
  return true;
}

// Step 36: a stage named on the command line or in System.ini is played at once.
bool StartFreeStage() {
  if (!g_SystemIni.FreeStage[0]) return true;
  std::string name = g_SystemIni.FreeStage;
  std::string variant;
  const bool found = FindNumberedFileStr(variant, name, g_ExtTable[EXT_STAGE]) != 0;
  if (found) {
    name = variant;
    SetFreeStage(name);
  }
  if (!platform::HostFileExists(name)) {
    Report(kFreeStageFailure, name.c_str());
    SetFreeStage("");
    return true;
  }
  g_bTestPlay = 1;
  // A file without numbered variants is started under its own name.
  if (!StartStageFile(found ? g_SystemIni.FreeStage : name, found ? 1 : 0)) return false;
  g_PlayData.m_bMultiPart = 0;
  g_SceneManager.m_nPlayMode = PLAYMODE_FREE;
  g_SceneManager.m_bRanking = 1;
  g_SceneManager.m_nGameKind = GAME_FREEPLAY;
  g_SceneManager.m_nScene = SCENE_PLAY;
  g_SceneManager.m_nPrevScene = SCENE_TITLE;
  return true;
}

}  // namespace

void SetStartDialogRunner(StartDialogRunner runner) { g_pfnStartDialog = runner; }

bool StartUpDeclined() { return g_bStartUpDeclined; }

bool InitGame(const std::string& commandLine, int showCommand) {
  RandSeed(TimeGetTime());
  g_nDataVersion = kDataVersion;
  g_bStripCR = 1;
  g_bNewerDataFile = 0;
  InitCmdParamInfo();

  g_bStartUpDeclined = false;
  const int data = CreateDefaultData();
  if (data < 0) {
    // Declined: the user chose to end here.
    g_bStartUpDeclined = true;
    return false;
  }
  if (data == 0) {
    ReportErrBoxStderr("「data」フォルダの作成に失敗…\n「default」フォルダに問題がある可能性があります。");
    return false;
  }
  CreateWorkFolders();
  TimerElapsed(1);

  if (!g_DataBase.Load()) {
    ReportErrBoxStderr("データベースの読み込みに失敗…");
    return false;
  }
  // Definitions read from here on count the database's tables.
  InstallProjectRefs();
  SetSystemBgmCountSource(&BgmTableSize);
  g_DataBase.CopyEffectWork();
  BuildAnimeFrameTable(g_AnimeSequences);
  BuildEffectFrameTable(g_EffectSequences);
  PrepareCharaEffects();
  PrepareScrEffects();

  const char* systemPath = g_PathTable[PATH_SYSTEM];
  if (!g_SystemData.LoadFile(systemPath)) {
    ReportErrBoxStderr("%s の読み込みに失敗…", systemPath);
    return false;
  }
  SetSystemIniDefaults(g_SystemIni, g_SystemData.m_IniKeys);
  if (!ReadSystemIni("System.ini", g_SystemIni, g_SystemData.m_IniKeys)) {
    ReportErrBox("System.ini の読み込みに失敗しました！");
    SetSystemIniDefaults(g_SystemIni, g_SystemData.m_IniKeys);
  }

  if (g_SystemIni.Direct3D >= 2) {
    g_BootData.Load();
    if (!g_BootData.m_bNoAsk && g_pfnStartDialog && !g_pfnStartDialog()) {
      g_bStartUpDeclined = true;
      return false;
    }
    g_SystemIni.Direct3D = g_BootData.m_nDrawMode == 1 ? 1 : 0;
  }

  if (!commandLine.empty()) {
    std::string name;
    SetFreeStage(TakeCommandLine(commandLine, name) ? name : "");
  }

  g_SceneManager.m_nFps = 60;
  g_SceneManager.m_nFadeStep = 10;
  for (cInputState& input : g_Inputs) input.SetKeyRepeat(18, 6);

  if (!SetUpScreenMode()) return false;

  g_MainWnd.Init();
  platform::StartInput();
  ApplyVideoMode();
  TimerElapsed(1);

  if (g_SystemIni.Bpp == 8) g_SystemIni.DD_VideoStretch = 0;
  if (!InitDevice(showCommand)) return false;
  if (lpDTCon) {
    lpDTCon->strTexErrMsg =
        "テクスチャの作成に失敗しました！\nビデオカードの性能が十分ではないかもしれません。\n"
        "System.iniファイルで「Direct3D=0」に変更してDirect3Dを無効にすれば改善される可能性が"
        "あります。";
  }
  LinkMirrorSurfaces();
  RestoreWindowPlacement(showCommand);
  ShowMainWindow(g_SystemIni.Direct3D || g_bWindowMode ? showCommand : SW_MAXIMIZE);
  ReportDisplay(1);
  ErrLog("DDInit成功");

  if (!SetUpPalette()) return false;
  ErrLog("1");
  if (!g_SystemIni.Direct3D) {
    g_bCopyPresent = g_bWindowMode ? 1
                     : g_SystemIni.VSync && platform::DisplayRefreshRate() >= g_SceneManager.m_nFps
                         ? 0
                         : 1;
  }
  static const int kDebugBitmap[] = {1};
  if (!DDLoadSurfaces(g_SystemSurface, kDebugBitmap, 1)) return false;
  if (!SetUpFonts()) return false;

  SetUpInput();
  g_OptionData.Load();
  if (g_nBpp == 8 && !LoadHbtPalette(g_OptionData.m_nPalette)) return false;
  if (g_OptionData.m_bBgm) g_Bgm.Init(1, g_BgmOggTable, g_BgmMidTable, BGM_SLOT_COUNT);

  BuildSoundLists();
  if (!SetUpSound()) return false;
  if (!LoadWorld()) return false;
  return StartFreeStage();
}

bool InitGame(int argc, char** argv) {
  return InitGame(argc > 1 && argv[1] ? std::string(argv[1]) : std::string(), SW_SHOWNORMAL);
}

void ExitGame() {
  if (g_bDDInitDone) {
    if (g_Font[0].m_lpFastFont_FullAdd)
      Report("Font10 : %d", g_Font[0].m_lpFastFont_FullAdd->m_nCount);
    if (g_Font[1].m_lpFastFont_FullAdd)
      Report("Font16 : %d", g_Font[1].m_lpFastFont_FullAdd->m_nCount);
  }
  DS_Release();
  g_Bgm.Release();
  g_SceneManager.DeleteAll();
  for (cFont& font : g_Font) font.Release();
  for (DDSURFACEDATA& digits : g_FontDigits) DDReleaseSurface(&digits);
  DDRelease();
  cHook::Unhook();
  // Start-up bound the main window to the window list; the list may be destroyed before the
  // window object at exit.
  g_MainWnd.Bind(0, nullptr, nullptr);
}
