#include "media/device_scene.h"

#include "foundation/message_box.h"
#include "foundation/report.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "platform/video.h"

namespace {
DDSURFACEDATA* g_lpRenderTarget = nullptr;

int DeviceBox(const char* text, const char* caption, int type) {
  if (!g_bDeviceReady || g_nWindowMode != 0) return -1;
  return DDMesBox(text, caption, type);
}
}  // namespace

int DDBeginScene() {
  if (!lpDTCon || !lpDevice) return 0;
  lpDTCon->bInScene = 1;
  return 1;
}

void DDEndScene() {
  if (lpDTCon && lpDTCon->bInScene) lpDTCon->bInScene = 0;
}

int DDSetRenderTarget(int, DDSURFACEDATA* surface) {
  if (!lpDTCon || !surface || !surface->lpDT || !surface->lpDT->bRenderTarget) return 0;
  if (!surface->Pixels()) {
    Report("SetRenderTarget Err %x (%s)", 0x8876086Cu, surface->szFile.c_str());
    return 0;
  }
  g_lpRenderTarget = surface;
  return 1;
}

DDSURFACEDATA* DDCurrentRenderTarget() {
  return g_lpRenderTarget ? g_lpRenderTarget : lpDTCon ? lpDTCon->lpDefaultTarget : nullptr;
}

int DDSetDialogMode(int on) {
  if (g_nWindowMode != 0) return 1;
  if (on) {
    DDEndScene();
    platform::ShowMouseCursor(true);
  } else {
    platform::ShowMouseCursor(false);
  }
  return 1;
}

int DDMesBox(const char* text, const char* caption, int type) {
  if (!text) text = "";
  if (!caption) caption = "";
  if (!DDSetDialogMode(1)) {
    ErrLogF("DDMesBox 失敗! %s, %s", text, caption);
    return 0;
  }
  int answer =
      platform::ShowMessageBox(platform::Cp932ToUtf8(text), platform::Cp932ToUtf8(caption), type);
  if (answer == 0) answer = platform::DefaultAnswer(type);
  DDSetDialogMode(0);
  return answer;
}

void DDInstallMessageBoxHook() { SetDeviceBoxHook(DeviceBox); }
