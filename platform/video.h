#pragma once
// The program's window and the presentation of finished frames.
//
// Every frame is drawn by the game's own pixel engine in CPU memory. The drawing thread hands
// the finished frame over with SubmitFrame (a copy is taken, so the engine can draw the next
// frame at once, and the main thread is woken); the main thread, which owns the window, calls
// PresentPendingFrame from its message loop: the frames are shown one by one in the order
// they were made, each converted to 32 bits once (through its palette in 8-bit mode),
// uploaded to one streaming texture and shown, scaled with its aspect kept.
// Without a display (SDL's dummy driver) everything runs the same and nothing is shown.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class eFrameFormat { Indexed8, R5G6B5, X1R5G5B5, X8R8G8B8 };

struct sVideoMode {
  int nWidth = 640;
  int nHeight = 480;
  bool bFullScreen = false;
  bool bVSync = false;
  std::string strTitle;  // UTF-8
};

// Opens the window, or changes the mode of the open one. Main thread only. False with a
// reason in *error when the video system or the window cannot be made.
bool OpenVideo(const sVideoMode& mode, std::string* error = nullptr);
void CloseVideo();
bool VideoOpen();
// True when a real display shows the window (not the dummy driver).
bool VideoHasDisplay();
// The refresh rate of the window's display in Hz; 0 when unknown.
int DisplayRefreshRate();
void ShowMouseCursor(bool show);
// The desktop's colour depth as bytes per pixel x 8 (32 on a 24-bit visual); 0 when unknown.
int DesktopBitsPerPixel();
// Main thread: a frame the user can drag to another size (the picture keeps its aspect).
void SetWindowResizable(bool resizable);
void SetWindowClientSize(int width, int height);
void MaximiseVideoWindow();
// The window's title (UTF-8) and whether it covers the screen.
std::string VideoWindowTitle();
bool VideoFullScreen();

// Drawing side: hands a finished frame over; it waits behind the frames not yet shown.
// palette holds 256 colours 0x00RRGGBB and is read only for Indexed8. Never waits: when the
// main thread is kFrameQueueLength frames behind, the oldest waiting frame is dropped and
// false returned.
constexpr int kFrameQueueLength = 4;
bool SubmitFrame(const void* pixels, int pitchBytes, int width, int height, eFrameFormat format,
                 const std::uint32_t* palette);
// Main thread: presents the oldest frame not yet shown. True when a frame was waiting.
bool PresentPendingFrame();
// The frames submitted and not yet shown.
int PendingFrameCount();
// What the hand-over has seen since the video was opened: frames submitted, frames shown and
// frames that were replaced before they could be shown.
struct sFrameStats {
  std::uint64_t nSubmitted = 0;
  std::uint64_t nPresented = 0;
  std::uint64_t nDropped = 0;
};
sFrameStats FrameStats();
// The last frame PresentPendingFrame converted, 0x00RRGGBB, top-down.
bool LastPresentedFrame(std::vector<std::uint32_t>& pixels, int& width, int& height);
// Main thread: the window's current picture read back from the renderer, 0x00RRGGBB.
bool ReadWindowPixels(std::vector<std::uint32_t>& pixels, int& width, int& height);
// Main thread: handles the window system's pending events (keeps the window responsive).
void PumpVideoEvents();

// What the window system tells the main window, in the terms of its handler.
enum class eWindowEvent {
  Close,       // the close box
  Escape,      // the Esc key went down while the window had the keyboard
  Activate,    // keyboard focus gained, or the window shown or restored
  Deactivate,  // keyboard focus lost, or the window minimised
  Moved,       // x, y: the client area's new top-left corner on the screen
  Resized,     // x, y: the client area's new width and height
  Exposed,     // the picture must be shown again
};
struct sWindowEvent {
  eWindowEvent kind = eWindowEvent::Exposed;
  int x = 0, y = 0;
};
// Main thread: takes the next event of the window (others are dropped; the keyboard state
// stays readable). False when none is waiting.
bool PollWindowEvent(sWindowEvent& out);
// Main thread: true when the window's close box was used and the event waits to be taken
// (it stays for PollWindowEvent).
bool WindowCloseWaiting();
// True when the video driver reports keyboard focus (a real display, not the dummy driver).
bool VideoReportsFocus();
// The window's client area on the screen; false without a window.
bool WindowClientRect(int& x, int& y, int& width, int& height);
bool WindowMinimised();
bool WindowMaximised();
void SetWindowPosition(int x, int y);
void SetWindowSizeLimits(int minWidth, int minHeight, int maxWidth, int maxHeight);
// The usable area of the display the window is on (or of the first display).
bool DisplayWorkArea(int& x, int& y, int& width, int& height);
// The full size of the display (the full-screen client size).
bool DisplaySize(int& width, int& height);
// Main thread: shows the last presented frame again (after the window was uncovered).
void RepresentLastFrame();
// The mouse on the screen and its two buttons; false when the video system is not running.
bool GlobalMouse(int& x, int& y, bool& left, bool& right);
// Asks the window system for the keyboard focus.
void RaiseVideoWindow();

// Converts one frame to 0x00RRGGBB (16-bit channels widened by bit replication).
void ConvertFrame(const void* pixels, int pitchBytes, int width, int height, eFrameFormat format,
                  const std::uint32_t* palette, std::vector<std::uint32_t>& out);

}  // namespace platform
