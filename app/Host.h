#pragma once
// What the application shell asks of the system it runs on, beyond the
// services the simulation uses (IPlatform): the display, the main window with
// its OpenGL context, the event queue, the caption, buffer swaps and the menu
// bar. The SDL2 window (app/sdl/) and the headless EGL layer (app/headless/)
// each provide one; the application knows neither.

#include <string>

#include "app/ControlsListing.h"
#include "render/Platform.h"

class CFrameStatistics;
class CMenuState;

// The windows drawn over the 3D area with the menu bar; a null one is not
// shown.
struct SOverlayPanels
{
    const ControlsListing* controls = nullptr;
    const CFrameStatistics* statistics = nullptr;
    // A passing message for the statistics panel (where a screenshot went).
    std::string status;
};

// Framebuffer sizes in bits, asked for or granted.
struct SPixelFormat
{
    int redBits = 0;
    int greenBits = 0;
    int blueBits = 0;
    int alphaBits = 0;
    int depthBits = 0;
    int stencilBits = 0;
    bool doubleBuffer = false;
};

// The framebuffer the program asks every host for: true colour, depth 24,
// stencil 8, double-buffered.
inline constexpr SPixelFormat kProgramPixelFormat{8, 8, 8, 0, 24, 8, true};

enum class EHostEventType
{
    kClose,     // the user closed the window
    kQuit,      // a quit posted with PostQuit has reached the front of the queue
    kKeyDown,   // key: a virtual key; key repeat sends more
    kCommand,   // command: a menu item was chosen
    kMouseMove, // x, y: pixels in the 3D area, y downwards
    kButtonDown,
    kButtonUp, // button: which one
    kSize,     // width, height: pixels of the 3D area
    kPaint,    // the window needs redrawing
};

enum class EMouseButton
{
    kLeft,
    kRight,
    kMiddle,
};

struct SHostEvent
{
    EHostEventType type = EHostEventType::kPaint;
    int key = 0;
    int command = 0;
    int x = 0;
    int y = 0;
    EMouseButton button = EMouseButton::kLeft;
    int width = 0;
    int height = 0;
    int exitCode = 0;
    // A key pressed while the pointer rests on the menu bar: it may be a menu
    // shortcut (an accelerator) but reaches nothing else.
    bool shortcutOnly = false;
    // Shift was held with the key (kKeyDown).
    bool shift = false;
};

class IHost : public IPlatform
{
public:
    // Each step of start-up returns false with the system's text for the
    // failure in `error`.
    // Connects to the display (or the headless device).
    virtual bool OpenDisplay(std::string& error) = 0;
    // Asks for a framebuffer format; the window created next gets it.
    virtual bool SetPixelFormat(const SPixelFormat& request, std::string& error) = 0;
    // A hidden window whose client area is width x height pixels, menu bar
    // included.
    virtual bool CreateMainWindow(const std::string& caption, int width, int height,
                                  std::string& error) = 0;
    // Creates the OpenGL context of the window and makes it current.
    virtual bool CreateContext(std::string& error) = 0;
    // What the context actually got.
    virtual SPixelFormat GrantedPixelFormat() const = 0;
    virtual void ShowMainWindow() = 0;

    // glGetString of the current context (GL_VERSION, GL_RENDERER,
    // GL_EXTENSIONS); never null.
    virtual std::string GetGLString(unsigned name) const = 0;

    // Height in pixels of the menu bar at the top of the client area; the 3D
    // area is below it.
    virtual int MenuBarHeight() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    // Draws the menu bar over the finished 3D picture, with the check marks and
    // greyed items of `menu`, and the panels that are not null; chosen items
    // come back as kCommand events, and closing the Controls window as its
    // command.
    virtual void DrawMenu(const CMenuState& menu, const SOverlayPanels& panels) = 0;
    virtual void SwapBuffers() = 0;

    // Takes the next event without blocking; false when none waits.
    virtual bool PollEvent(SHostEvent& event) = 0;
    // Blocks until an event waits.
    virtual void WaitEvent() = 0;
    // Queues a kQuit event behind those already waiting.
    virtual void PostQuit(int exitCode) = 0;
};
