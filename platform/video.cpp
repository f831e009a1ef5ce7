#include "platform/video.h"

#include "platform/input.h"
#include "platform/thread_messages.h"

#include <SDL.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

struct sVideo {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  bool vsync = false;
  int width = 0, height = 0;
  bool ownsVideoInit = false;
};
sVideo g_video;

// The frame hand-over: a few frames kept in order. The drawing thread fills the slot after
// the last waiting frame; the main thread takes the oldest and shows it, so every frame is
// shown once. Only when the main thread falls a whole queue behind is the oldest replaced.
constexpr int kFrameSlots = kFrameQueueLength;
struct sFrame {
  std::vector<std::uint8_t> bytes;
  std::uint32_t palette[256] = {};
  int pitch = 0, width = 0, height = 0;
  eFrameFormat format = eFrameFormat::X8R8G8B8;
};
struct sHandOver {
  std::mutex lock;
  sFrame slots[kFrameSlots];
  int first = 0, count = 0;
  sFrameStats stats;
};
sHandOver g_handOver;
// The frame being shown: the main thread's own, swapped with a slot so no pixels are copied.
sFrame g_showing;

std::mutex g_shownLock;
std::vector<std::uint32_t> g_shown;
int g_shownWidth = 0, g_shownHeight = 0;

// A 16-bit pixel (red at shiftR, green greenBits wide) to 8 bits a channel by bit replication.
inline std::uint32_t Widen16(std::uint32_t p, int shiftR, int greenBits) {
  std::uint32_t r = (p >> shiftR) & 31, g = (p >> 5) & ((1u << greenBits) - 1), b = p & 31;
  r = (r << 3) | (r >> 2);
  g = (g << (8 - greenBits)) | (g >> (2 * greenBits - 8));
  b = (b << 3) | (b >> 2);
  return (r << 16) | (g << 8) | b;
}

// Every 16-bit value widened once: a table look-up per pixel beats the shifts.
const std::uint32_t* WideTable(bool is565) {
  auto make = [](int shiftR, int greenBits) {
    std::vector<std::uint32_t> t(65536);
    for (std::uint32_t p = 0; p < 65536; ++p) t[p] = Widen16(p, shiftR, greenBits);
    return t;
  };
  static const std::vector<std::uint32_t> t565 = make(11, 6);
  static const std::vector<std::uint32_t> t555 = make(10, 5);
  return is565 ? t565.data() : t555.data();
}

// The main thread's idle wait while a window is shown: window events end it, and so does the
// event another thread pushes to wake it.
std::uint32_t g_wakeEvent = 0;
void WaitForWindow(std::uint32_t timeoutMs) {
  SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs));
}
void WakeWindowWait() {
  SDL_Event event{};
  event.type = g_wakeEvent;
  SDL_PushEvent(&event);
}

// True when the renderer draws through OpenGL carried out on the CPU (a display without a
// graphics driver): SDL's own software renderer does the same work for much less.
bool RendersThroughSoftwareGl(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name ||
      std::strncmp(info.name, "opengl", 6) != 0)
    return false;
  using GetString = const unsigned char* (*)(unsigned);
  auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const auto* name = getString ? reinterpret_cast<const char*>(getString(0x1F01)) : nullptr;
  if (!name) return false;
  for (const char* soft : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"})
    if (std::strstr(name, soft)) return true;
  return false;
}

// True when the machine shows no graphics device: OpenGL would run on the CPU, and loading
// it only to find that out costs a large part of the start.
bool NoGraphicsDevice() {
  struct stat st;
  if (::stat("/dev/dri", &st) == 0) return false;
  return ::stat("/dev/nvidia0", &st) != 0 && ::stat("/dev/nvidiactl", &st) != 0;
}

void DestroyRenderer() {
  if (g_video.texture) SDL_DestroyTexture(g_video.texture);
  if (g_video.renderer) SDL_DestroyRenderer(g_video.renderer);
  g_video.texture = nullptr;
  g_video.renderer = nullptr;
}

}  // namespace

void ConvertFrame(const void* pixels, int pitchBytes, int width, int height, eFrameFormat format,
                  const std::uint32_t* palette, std::vector<std::uint32_t>& out) {
  out.resize(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const auto* row =
        static_cast<const std::uint8_t*>(pixels) + static_cast<std::size_t>(y) * pitchBytes;
    std::uint32_t* dst = &out[static_cast<std::size_t>(y) * width];
    switch (format) {
      case eFrameFormat::Indexed8:
        for (int x = 0; x < width; ++x) dst[x] = palette[row[x]] & 0xFFFFFF;
        break;
      case eFrameFormat::R5G6B5:
      case eFrameFormat::X1R5G5B5: {
        const std::uint32_t* table = WideTable(format == eFrameFormat::R5G6B5);
        const auto* p = reinterpret_cast<const std::uint16_t*>(row);
        for (int x = 0; x < width; ++x) dst[x] = table[p[x]];
        break;
      }
      case eFrameFormat::X8R8G8B8: {
        const auto* p = reinterpret_cast<const std::uint32_t*>(row);
        for (int x = 0; x < width; ++x) dst[x] = p[x] & 0xFFFFFF;
        break;
      }
    }
  }
}

bool OpenVideo(const sVideoMode& mode, std::string* error) {
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + ": " + SDL_GetError();
    return false;
  };
  if (!SDL_WasInit(SDL_INIT_VIDEO)) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return fail("SDL_InitSubSystem");
    g_video.ownsVideoInit = true;
    // SDL fell back to an invisible window: say so, unless that driver was asked for.
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (!VideoHasDisplay() && !(asked && *asked))
      std::fputs("No display found: running headless (nothing is shown).\n", stderr);
  }
  const Uint32 fullFlag = mode.bFullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  if (!g_video.window) {
    g_video.window = SDL_CreateWindow(mode.strTitle.c_str(), SDL_WINDOWPOS_CENTERED,
                                      SDL_WINDOWPOS_CENTERED, mode.nWidth, mode.nHeight, fullFlag);
    if (!g_video.window) return fail("SDL_CreateWindow");
  } else {
    SDL_SetWindowTitle(g_video.window, mode.strTitle.c_str());
    SDL_SetWindowFullscreen(g_video.window, fullFlag);
    if (!mode.bFullScreen) SDL_SetWindowSize(g_video.window, mode.nWidth, mode.nHeight);
  }
  if (!g_video.renderer || g_video.vsync != mode.bVSync || g_video.width != mode.nWidth ||
      g_video.height != mode.nHeight) {
    DestroyRenderer();
    Uint32 flags = mode.bVSync ? SDL_RENDERER_PRESENTVSYNC : 0;
    // Found once: OpenGL carried out on the CPU stays so for the whole run.
    const char* chosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool choose = !(chosen && *chosen);
    static bool softwareGl = choose && NoGraphicsDevice();
    if (softwareGl) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (!softwareGl) {
      g_video.renderer = SDL_CreateRenderer(g_video.window, -1, flags);
      if (g_video.renderer && choose && RendersThroughSoftwareGl(g_video.renderer)) {
        softwareGl = true;
        SDL_DestroyRenderer(g_video.renderer);
        g_video.renderer = nullptr;
        // The window's own pixels go straight to the display, not through OpenGL again.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
      }
    }
    if (!g_video.renderer)
      g_video.renderer = SDL_CreateRenderer(g_video.window, -1, SDL_RENDERER_SOFTWARE);
    if (!g_video.renderer) return fail("SDL_CreateRenderer");
    // Full screen shows the frame as large as fits, with its aspect kept (bars at the sides).
    SDL_RenderSetLogicalSize(g_video.renderer, mode.nWidth, mode.nHeight);
    g_video.texture = SDL_CreateTexture(g_video.renderer, SDL_PIXELFORMAT_RGB888,
                                        SDL_TEXTUREACCESS_STREAMING, mode.nWidth, mode.nHeight);
    if (!g_video.texture) return fail("SDL_CreateTexture");
  }
  g_video.vsync = mode.bVSync;
  g_video.width = mode.nWidth;
  g_video.height = mode.nHeight;
  SDL_ShowWindow(g_video.window);
  if (VideoHasDisplay()) {
    if (g_wakeEvent == 0) g_wakeEvent = SDL_RegisterEvents(1);
    if (g_wakeEvent != static_cast<std::uint32_t>(-1) && g_wakeEvent != 0)
      SetMainThreadWaiter({&WaitForWindow, &WakeWindowWait});
  }
  return true;
}

void CloseVideo() {
  SetMainThreadWaiter({});
  StopInput();
  DestroyRenderer();
  if (g_video.window) SDL_DestroyWindow(g_video.window);
  if (g_video.ownsVideoInit) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    // The last subsystem gone: SDL's own helpers (the desktop bus connection) go too.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
  }
  g_video = sVideo{};
  {
    std::lock_guard<std::mutex> guard(g_handOver.lock);
    g_handOver.first = g_handOver.count = 0;
  }
}

bool VideoOpen() { return g_video.window != nullptr; }

bool VideoHasDisplay() {
  const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : nullptr;
  return driver && std::strcmp(driver, "dummy") != 0 && std::strcmp(driver, "offscreen") != 0;
}

int DisplayRefreshRate() {
  if (!g_video.window) return 0;
  SDL_DisplayMode mode;
  const int display = SDL_GetWindowDisplayIndex(g_video.window);
  if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) return 0;
  return mode.refresh_rate;
}

void ShowMouseCursor(bool show) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

int DesktopBitsPerPixel() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return 0;
  const int display = g_video.window ? SDL_GetWindowDisplayIndex(g_video.window) : 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return 0;
  // Bytes per pixel: a 24-bit visual keeps its pixels in 32 bits.
  return SDL_BYTESPERPIXEL(mode.format) * 8;
}

void SetWindowResizable(bool resizable) {
  if (g_video.window) SDL_SetWindowResizable(g_video.window, resizable ? SDL_TRUE : SDL_FALSE);
}

void SetWindowClientSize(int width, int height) {
  if (g_video.window && width > 0 && height > 0) SDL_SetWindowSize(g_video.window, width, height);
}

void MaximiseVideoWindow() {
  if (g_video.window) SDL_MaximizeWindow(g_video.window);
}

std::string VideoWindowTitle() {
  return g_video.window ? SDL_GetWindowTitle(g_video.window) : std::string();
}

bool VideoFullScreen() {
  return g_video.window && (SDL_GetWindowFlags(g_video.window) & SDL_WINDOW_FULLSCREEN) != 0;
}

bool SubmitFrame(const void* pixels, int pitchBytes, int width, int height, eFrameFormat format,
                 const std::uint32_t* palette) {
  if (!pixels || width <= 0 || height <= 0 || pitchBytes <= 0) return true;
  bool kept = true;
  {
    std::lock_guard<std::mutex> guard(g_handOver.lock);
    ++g_handOver.stats.nSubmitted;
    if (g_handOver.count == kFrameSlots) {
      // The main thread is a whole queue behind: the oldest frame gives way.
      g_handOver.first = (g_handOver.first + 1) % kFrameSlots;
      --g_handOver.count;
      ++g_handOver.stats.nDropped;
      kept = false;
    }
    sFrame& frame = g_handOver.slots[(g_handOver.first + g_handOver.count) % kFrameSlots];
    frame.bytes.assign(
        static_cast<const std::uint8_t*>(pixels),
        static_cast<const std::uint8_t*>(pixels) + static_cast<std::size_t>(pitchBytes) * height);
    if (format == eFrameFormat::Indexed8 && palette)
      std::memcpy(frame.palette, palette, sizeof(frame.palette));
    frame.pitch = pitchBytes;
    frame.width = width;
    frame.height = height;
    frame.format = format;
    ++g_handOver.count;
  }
  WakeMainThread();
  return kept;
}

int PendingFrameCount() {
  std::lock_guard<std::mutex> guard(g_handOver.lock);
  return g_handOver.count;
}

bool PresentPendingFrame() {
  {
    std::lock_guard<std::mutex> guard(g_handOver.lock);
    if (g_handOver.count == 0) return false;
    sFrame& frame = g_handOver.slots[g_handOver.first];
    g_showing.bytes.swap(frame.bytes);
    std::memcpy(g_showing.palette, frame.palette, sizeof(frame.palette));
    g_showing.pitch = frame.pitch;
    g_showing.width = frame.width;
    g_showing.height = frame.height;
    g_showing.format = frame.format;
    g_handOver.first = (g_handOver.first + 1) % kFrameSlots;
    --g_handOver.count;
    ++g_handOver.stats.nPresented;
  }
  const int width = g_showing.width, height = g_showing.height;
  std::vector<std::uint32_t> converted;
  ConvertFrame(g_showing.bytes.data(), g_showing.pitch, width, height, g_showing.format,
               g_showing.palette, converted);
  if (g_video.renderer && g_video.texture && width == g_video.width && height == g_video.height) {
    SDL_UpdateTexture(g_video.texture, nullptr, converted.data(), width * 4);
    SDL_SetRenderDrawColor(g_video.renderer, 0, 0, 0, 255);
    SDL_RenderClear(g_video.renderer);
    SDL_RenderCopy(g_video.renderer, g_video.texture, nullptr, nullptr);
    SDL_RenderPresent(g_video.renderer);
  }
  std::lock_guard<std::mutex> guard(g_shownLock);
  g_shown.swap(converted);
  g_shownWidth = width;
  g_shownHeight = height;
  return true;
}

sFrameStats FrameStats() {
  std::lock_guard<std::mutex> guard(g_handOver.lock);
  return g_handOver.stats;
}

bool LastPresentedFrame(std::vector<std::uint32_t>& pixels, int& width, int& height) {
  std::lock_guard<std::mutex> guard(g_shownLock);
  if (g_shown.empty()) return false;
  pixels = g_shown;
  width = g_shownWidth;
  height = g_shownHeight;
  return true;
}

bool ReadWindowPixels(std::vector<std::uint32_t>& pixels, int& width, int& height) {
  if (!g_video.renderer || !g_video.texture) return false;
  // Draw the last frame again without presenting it, so the read sees a complete picture
  // whatever the swap chain did with the presented one.
  SDL_RenderClear(g_video.renderer);
  SDL_RenderCopy(g_video.renderer, g_video.texture, nullptr, nullptr);
  int w = 0, h = 0;
  if (SDL_GetRendererOutputSize(g_video.renderer, &w, &h) != 0 || w <= 0 || h <= 0) return false;
  pixels.assign(static_cast<std::size_t>(w) * h, 0);
  if (SDL_RenderReadPixels(g_video.renderer, nullptr, SDL_PIXELFORMAT_RGB888, pixels.data(),
                           w * 4) != 0)
    return false;
  for (auto& p : pixels) p &= 0xFFFFFF;
  width = w;
  height = h;
  return true;
}

void PumpVideoEvents() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  // The key table and the joystick snapshots are fed from the same pump.
  StartInput();
  SDL_PumpEvents();
  UpdateInputDevices();
}

bool PollWindowEvent(sWindowEvent& out) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_QUIT:
        out = {eWindowEvent::Close, 0, 0};
        return true;
      case SDL_KEYDOWN:
        if (event.key.keysym.sym != SDLK_ESCAPE || event.key.repeat) continue;
        out = {eWindowEvent::Escape, 0, 0};
        return true;
      case SDL_WINDOWEVENT:
        switch (event.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            out = {eWindowEvent::Close, 0, 0};
            return true;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
          case SDL_WINDOWEVENT_SHOWN:
          case SDL_WINDOWEVENT_RESTORED:
            out = {eWindowEvent::Activate, 0, 0};
            return true;
          case SDL_WINDOWEVENT_FOCUS_LOST:
          case SDL_WINDOWEVENT_MINIMIZED:
            out = {eWindowEvent::Deactivate, 0, 0};
            return true;
          case SDL_WINDOWEVENT_MOVED:
            out = {eWindowEvent::Moved, event.window.data1, event.window.data2};
            return true;
          // Every change of size, dragged or asked for by the program, comes as this one.
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            out = {eWindowEvent::Resized, event.window.data1, event.window.data2};
            return true;
          case SDL_WINDOWEVENT_EXPOSED:
            out = {eWindowEvent::Exposed, 0, 0};
            return true;
          default:
            continue;
        }
      default:
        continue;
    }
  }
  return false;
}

bool WindowCloseWaiting() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  SDL_PumpEvents();
  SDL_Event events[64];
  if (SDL_PeepEvents(events, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) return true;
  const int n = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
  for (int i = 0; i < n; ++i)
    if (events[i].window.event == SDL_WINDOWEVENT_CLOSE) return true;
  return false;
}

bool VideoReportsFocus() { return VideoHasDisplay(); }

bool WindowClientRect(int& x, int& y, int& width, int& height) {
  if (!g_video.window) return false;
  SDL_GetWindowPosition(g_video.window, &x, &y);
  SDL_GetWindowSize(g_video.window, &width, &height);
  return true;
}

bool WindowMinimised() {
  return g_video.window && (SDL_GetWindowFlags(g_video.window) & SDL_WINDOW_MINIMIZED) != 0;
}

bool WindowMaximised() {
  return g_video.window && (SDL_GetWindowFlags(g_video.window) & SDL_WINDOW_MAXIMIZED) != 0;
}

void SetWindowPosition(int x, int y) {
  if (g_video.window) SDL_SetWindowPosition(g_video.window, x, y);
}

void SetWindowSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight) {
  if (!g_video.window) return;
  SDL_SetWindowMinimumSize(g_video.window, minWidth, minHeight);
  SDL_SetWindowMaximumSize(g_video.window, maxWidth, maxHeight);
}

bool DisplayWorkArea(int& x, int& y, int& width, int& height) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  const int display = g_video.window ? SDL_GetWindowDisplayIndex(g_video.window) : 0;
  SDL_Rect r;
  if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &r) != 0) return false;
  x = r.x;
  y = r.y;
  width = r.w;
  height = r.h;
  return true;
}

bool DisplaySize(int& width, int& height) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  const int display = g_video.window ? SDL_GetWindowDisplayIndex(g_video.window) : 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return false;
  width = mode.w;
  height = mode.h;
  return true;
}

void RepresentLastFrame() {
  if (!g_video.renderer || !g_video.texture) return;
  SDL_SetRenderDrawColor(g_video.renderer, 0, 0, 0, 255);
  SDL_RenderClear(g_video.renderer);
  SDL_RenderCopy(g_video.renderer, g_video.texture, nullptr, nullptr);
  SDL_RenderPresent(g_video.renderer);
}

bool GlobalMouse(int& x, int& y, bool& left, bool& right) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  const Uint32 buttons = SDL_GetGlobalMouseState(&x, &y);
  left = (buttons & SDL_BUTTON_LMASK) != 0;
  right = (buttons & SDL_BUTTON_RMASK) != 0;
  return true;
}

void RaiseVideoWindow() {
  if (g_video.window) SDL_RaiseWindow(g_video.window);
}

}  // namespace platform
