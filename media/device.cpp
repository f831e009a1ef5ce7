#include "media/device.h"

#include "foundation/report.h"
#include "foundation/strings.h"
#include "media/device_scene.h"
#include "media/palette.h"
#include "media/present.h"
#include "media/sprite_batch.h"
#include "media/surface_create.h"
#include "platform/video.h"

namespace {

bool OpenWindow(int width, int height) {
  platform::sVideoMode mode;
  mode.nWidth = width;
  mode.nHeight = height;
  mode.bFullScreen = g_nWindowMode == 0;
  mode.bVSync = g_bVSync != 0;
  std::string error;
  if (platform::OpenVideo(mode, &error)) return true;
  ErrLogF("OpenVideo : %s", error.c_str());
  return false;
}

// The pixel surface of a screen-sized buffer of the given format, owned by the record.
bool MakeScreenBuffer(DDSURFACEDATA& surface, int width, int height, D3DFORMAT format) {
  auto pixels = std::make_unique<cPixelSurface>();
  if (!pixels->Create(width, height, format)) return false;
  if (surface.lpDT) {
    surface.lpDT->lpTexture = std::move(pixels);
    surface.lpDT->lpSurface = surface.lpDT->lpTexture.get();
    surface.lpDT->Desc = D3DSURFACE_DESC{format, width, height};
  } else {
    surface.lpDDData->lpSurface7 = std::move(pixels);
  }
  return true;
}

void SetLayout(DDPIXELLAYOUT& l, int sr, int sg, int sb, int sa, int mr, int mg, int mb, int ma) {
  l = DDPIXELLAYOUT{sr, sg, sb, sa, mr, mg, mb, ma};
}

// Deletes a device object and clears its pointer in the same step.
template <class T>
void FreeObject(T*& object) {
  delete object;
  object = nullptr;
}

void DisplayLines(std::vector<std::string>& lines, int detail) {
  lines.push_back(g_nWindowMode == 1 ? "Mode : Window" : "Mode : Fullscreen");
  lines.push_back(FormatText("Bpp : %d", g_nBpp));
  if (lpDD) {
    int total = 0, free = 0;
    GetVramMB(&total, &free);
    // The host knows no video memory figure: those lines are left out.
    if (total > 0) {
      lines.push_back(FormatText("VRAM Total : %.3fMB", static_cast<double>(total)));
      lines.push_back(FormatText("VRAM Free : %.3fMB", static_cast<double>(free)));
    }
    if (const int rate = platform::DisplayRefreshRate(); rate > 0)
      lines.push_back(FormatText("RR : %u", static_cast<unsigned>(rate)));
  }
}

bool Direct3DSetUp(int width, int height) {
  const int ddi = GetDDIVersion();
  if (ddi < 9) {
    Report("ビデオカードのドライバがDirectX9をサポートしていません！ %d", ddi);
    return false;
  }
  lpD3D = new cD3D9;
  lpDTCon = new DTCONTROL;
  DTCONTROL& con = *lpDTCon;
  con.d3dpp.Windowed = g_nWindowMode == 1;
  con.d3dpp.BackBufferWidth = g_nWindowMode == 1 ? 0 : width;
  con.d3dpp.BackBufferHeight = g_nWindowMode == 1 ? 0 : height;
  con.d3dpp.FullScreen_RefreshRateInHz = g_nWindowMode == 1 ? 0 : 60;
  if (g_bVSync) {
    // The display's rate cannot be changed from here: vertical sync paces the game only on a
    // 60 Hz display, in either window mode; elsewhere the frame pacer does.
    if (!OpenWindow(width, height)) return false;
    const int rate = platform::DisplayRefreshRate();
    Report("RefreshRate : %d", rate);
    if (rate != 60) {
      g_bVSync = 0;
      Report("リフレッシュレートの変更に失敗しました！垂直同期が無効になります！");
    }
  }
  con.d3dpp.bVSync = g_bVSync;
  con.bPow2 = (con.d3dcaps.TextureCaps & D3DPTEXTURECAPS_POW2) != 0;
  con.bSquareOnly = (con.d3dcaps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0;
  con.bDynamicTexture = (con.d3dcaps.Caps2 & D3DCAPS2_DYNAMICTEXTURES) != 0;
  if (g_nBpp == 16) {
    if (g_nWindowMode == 1) {
      con.fmtBackBuffer = D3DFMT_A1R5G5B5;
      SetLayout(g_BackPixelLayout, 10, 5, 0, 15, 31, 31, 31, 1);
    } else {
      con.fmtBackBuffer = D3DFMT_R5G6B5;
      SetLayout(g_BackPixelLayout, 11, 5, 0, 16, 31, 63, 31, 0);
    }
    con.fmtTexture = D3DFMT_A1R5G5B5;
    SetLayout(g_PixelLayout, 10, 5, 0, 15, 31, 31, 31, 1);
  } else if (g_nBpp == 32) {
    con.fmtBackBuffer = D3DFMT_X8R8G8B8;
    con.fmtTexture = D3DFMT_A8R8G8B8;
    SetLayout(g_PixelLayout, 16, 8, 0, 24, 255, 255, 255, 255);
  } else {
    return false;
  }
  con.d3dpp.BackBufferFormat = con.fmtBackBuffer;
  if (!OpenWindow(width, height)) {
    ErrLog("CreateDevice Err");
    return false;
  }
  lpDevice = new cD3DDevice9;
  Report("Device HAL-HARD");
  Report("%s", FormatName(con.fmtBackBuffer));
  con.fmtAdapter = con.fmtBackBuffer;
  con.dwColor = 0xFFFFFFFF;
  con.dwColorOp = 4;
  con.dwAlphaOp = 2;

  DDAllocSurfaceData(&BackBuffer);
  BackBuffer.nWidth = BackBuffer.nTexWidth = width;
  BackBuffer.nHeight = BackBuffer.nTexHeight = height;
  BackBuffer.nDDMemory = 0;
  BackBuffer.szName = "BackBuffer";
  BackBuffer.lpDT->bRenderTarget = 1;
  BackBuffer.lpDT->bColorKey = 0;
  if (!MakeScreenBuffer(BackBuffer, width, height, con.fmtBackBuffer)) {
    Report("Back CreateVertexBuffer Err %x", 0x8007000Eu);
    return false;
  }
  BackBuffer.lpDT->nId = 0;
  con.dwSurfaceId = 1;
  con.dwFontId = 0;

  DDAllocSurfaceData(&VirBackBuffer);
  con.bVirBackBuffer = 0;
  con.lpDefaultTarget = &VirBackBuffer;
  con.bVirCopy = 0;
  DDCreateSurface(&VirBackBuffer, width, height, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
  VirBackBuffer.szName = "VirBackBuffer";
  DDAllocSurfaceData(&WorkSD);
  DDCreateSurface(&WorkSD, width, height, 0, 0, DTMEMORYTYPE_VIDEO_RT, 0, 0);
  WorkSD.szName = "WorkSD";
  if (g_nWindowMode == 0) platform::ShowMouseCursor(false);
  return true;
}

// The off-screen set-up of either window mode; returns a DDERRCODE.
int DirectDrawSetUp(int width, int height, bool fullScreen) {
  g_FadeCopy.nDDMemory = 1;
  g_Primary.nDDMemory = BackBuffer.nDDMemory = 0;
  for (DDSURFACEDATA* s : {&g_Primary, &BackBuffer, &g_FadeCopy}) {
    s->nWidth = s->nTexWidth = width;
    s->nHeight = s->nTexHeight = height;
  }
  lpDD = new cDirectDraw7;
  D3DFORMAT format;
  switch (g_nBpp) {
    case 8:
      format = D3DFMT_P8;
      break;
    case 16:
      format = D3DFMT_R5G6B5;
      break;
    case 32:
      format = D3DFMT_X8R8G8B8;
      break;
    default:
      Report("SetDisplayMode Err");
      return SETDISPLAYMODE_ERR;
  }
  if (!OpenWindow(width, height)) {
    Report(fullScreen ? "SetDisplayMode Err" : "SetCooperativeLevel Err");
    return fullScreen ? SETDISPLAYMODE_ERR : SETCOOPLEVEL_ERR;
  }
  DDAllocSurfaceData(&g_Primary);
  if (!MakeScreenBuffer(g_Primary, width, height, format)) {
    Report("Primary CreateSurface Err");
    return CREATESURFACE_ERR;
  }
  lpDD->lpPrimary = g_Primary.lpDDData->lpSurface7.get();
  if (g_nBpp > 8) DDAnalysePixelFormat(&g_PixelLayout);
  DDAllocSurfaceData(&BackBuffer);
  if (fullScreen) {
    if (!MakeScreenBuffer(BackBuffer, width, height, format)) {
      Report("GetAttachedSurface Err");
      return GETATTACHEDSURFACE_ERR;
    }
  } else if (!DDCreateSurface(&BackBuffer, width, height, 0, BackBuffer.nDDMemory, 0, 0, 0)) {
    return CREATESURFACE_ERR;
  }
  if (!DDCreateSurface(&g_FadeCopy, width, height, 0, 1, 0, 0, 0)) return CREATESURFACE_ERR;
  g_lpDDPalette = new cDDPalette;
  for (int i = 0; i < 256; ++i) {
    const bool fixed = !fullScreen && (i < 10 || i >= 246);
    g_lpDDPalette->entries[i] =
        PALETTEENTRY{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(fixed ? 0 : i), 0,
                     fixed ? PC_EXPLICIT : PC_RESERVED};
  }
  if (fullScreen) g_lpDDPalette->entries[0] = PALETTEENTRY{0, 0, 255, PC_RESERVED};
  if (!fullScreen) g_lpDDClipper = new cDDClipper;
  platform::ShowMouseCursor(!fullScreen);
  return 0;
}

}  // namespace

bool DDLogInitError(int code) {
  switch (code) {
    case CREATEEX_ERR:
    case SETCOOPLEVEL_ERR:
    case SETDISPLAYMODE_ERR:
    case CREATESURFACE_ERR:
    case GETATTACHEDSURFACE_ERR:
    case CREATEPALETTE_ERR:
    case SETPALETTE_ERR:
    case CLIPPER_ERR:
    case SETHWND_ERR:
    case SETCLIPPER_ERR:
      ErrLog(DDErrName(code));
      return false;
    default:
      return true;
  }
}

bool DDInit(int bD3D, void* hwnd, int width, int height, int bpp, int vsync, int windowMode,
            int backBufferCount, int refreshRate, int useRefreshRate, DDSURFACEDATA* surfaces,
            cBmpInfo* bitmapTable, int count) {
  g_bD3D = bD3D;
  g_hDDWnd = hwnd;
  g_nScreenWidth = width;
  g_nScreenHeight = height;
  g_nBpp = bpp;
  g_nBytesPerPixel = bpp / 8;
  g_bVSync = vsync;
  g_nWindowMode = windowMode;
  g_nBackBufferCount = backBufferCount;
  g_nRefreshRate = refreshRate;
  g_bUseRefreshRate = useRefreshRate;
  g_lpDDSurfaces = surfaces;
  g_lpDDBmpInfo = bitmapTable;
  g_nDDSurfaceCount = count;
  Report("VSync : %d", vsync);
  if (bD3D) {
    if (!Direct3DSetUp(width, height)) return false;
  } else {
    if (g_bDDInitDone) DDRelease();
    g_bD3D = 0;
    lpDDCon = new DDCONTROL;
    if (windowMode != 0 && windowMode != 1) {
      // Nothing could be drawn without a screen: refused rather than left half set up.
      ErrLogF("DDInit : window mode %d", windowMode);
      return false;
    }
    if (!DDLogInitError(DirectDrawSetUp(width, height, windowMode == 0))) return false;
  }
  g_bDeviceReady = 1;
  g_bDDInitDone = 1;
  SetFrameWaitHooks(DDFrameWaitHooks());
  DDResetHandOverReport();
  DDInstallMessageBoxHook();
  SetDisplayReportSource(DisplayLines);
  return true;
}

void DDRelease() {
  DDDiscardBatches();
  auto releaseArray = [] {
    for (int i = 0; g_lpDDSurfaces && i < g_nDDSurfaceCount; ++i)
      DDReleaseSurface(&g_lpDDSurfaces[i]);
  };
  if (lpDD || lpDDCon) {
    releaseArray();
    FreeObject(g_lpDDClipper);
    FreeObject(g_lpDDPalette);
    DDReleaseSurface(&BackBuffer);
    DDReleaseSurface(&g_Primary);
    DDReleaseSurface(&g_FadeCopy);
    FreeObject(lpDD);
    FreeObject(lpDDCon);
  }
  if (lpD3D || lpDTCon || lpDevice) {
    releaseArray();
    DDReleaseSurface(&WorkSD);
    DDReleaseSurface(&VirBackBuffer);
    DDReleaseSurface(&BackBuffer);
    FreeObject(lpDevice);
    FreeObject(lpD3D);
    FreeObject(lpDTCon);
  }
  // A message box after the release must not go through a device that is gone.
  g_bDeviceReady = 0;
  SetDisplayReportSource(nullptr);
}

void DDEnd() { DDRelease(); }
