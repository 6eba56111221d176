#pragma once
// The host of the real program: one resizable SDL2 window with an OpenGL
// context, a Dear ImGui menu bar at the top of its client area and the 3D area
// below it; SDL's events turned into the application's, the menu's keys
// first; modal message boxes, each also written to stderr (SDL's own until
// the window is shown, then drawn inside it, centred); the system's
// monotonic clock. When the display has no visual of the pixel format asked
// for, the window gets the nearest the display offers.

#include <SDL.h>

#include <deque>
#include <vector>

#include "app/Host.h"
#include "app/MenuKeyboard.h"

class CSdlHost : public IHost
{
public:
    CSdlHost() = default;
    ~CSdlHost() override;
    CSdlHost(const CSdlHost&) = delete;
    CSdlHost& operator=(const CSdlHost&) = delete;

    // IPlatform
    // False for every key while the menu has the keyboard.
    bool IsKeyDown(int virtualKey) const override;
    EMessageResult MessageBox(const std::string& caption, const std::string& text,
                              EMessageButtons buttons, EMessageIcon icon) override;
    // Milliseconds of CLOCK_MONOTONIC (since system start), wrapping.
    uint32_t TimeGetTime() const override;

    // IHost
    bool OpenDisplay(std::string& error) override;
    bool SetPixelFormat(const SPixelFormat& request, std::string& error) override;
    bool CreateMainWindow(const std::string& caption, int width, int height,
                          std::string& error) override;
    bool CreateContext(std::string& error) override;
    SPixelFormat GrantedPixelFormat() const override;
    void ShowMainWindow() override;
    std::string GetGLString(unsigned name) const override;
    int MenuBarHeight() const override { return m_menuBarHeight; }
    void SetCaption(const std::string& caption) override;
    void DrawMenu(const CMenuState& menu, const SOverlayPanels& panels) override;
    void SwapBuffers() override;
    bool PollEvent(SHostEvent& event) override;
    void WaitEvent() override;
    void PostQuit(int exitCode) override;

private:
    // The application's event for an SDL event; false when it has none or the
    // menu takes the input.
    bool Translate(const SDL_Event& sdlEvent, SHostEvent& event);
    // The box drawn inside the shown main window, over its last frame; the
    // window's own events (resize, close) wait in the queue until it is
    // answered, and a close answers it as Esc would.
    EMessageResult MessageBoxInWindow(const std::string& caption, const std::string& text,
                                      EMessageButtons buttons);
    // Starts an ImGui frame with the pointer where SDL last saw it.
    void NewImGuiFrame();
    // A key press: the menu's when it takes it, then Esc closes the Controls
    // window, else it is the application's.
    bool TranslateKeyDown(const SDL_KeyboardEvent& key, SHostEvent& event);
    // The smallest window at which the whole menu bar and its tallest popup
    // fit; a window made smaller (no window manager holds it) grows back.
    void KeepMinimumSize();
    bool MenuWantsMouse() const;
    // While a menu is open, keys are the menu's: none reaches the world,
    // held or pressed. With the pointer on the bar only the accelerators,
    // which are the menu's shortcuts, still act; held keys read as up.
    bool MenuWantsKeyboard() const;
    bool PointerOverBar() const;

    bool m_videoStarted = false;
    bool m_imguiStarted = false;
    bool m_imguiBackendsStarted = false;
    SDL_Window* m_window = nullptr;
    SDL_GLContext m_context = nullptr;
    bool m_windowShown = false;
    bool m_quitSignalSeen = false;
    SPixelFormat m_requested = kProgramPixelFormat;
    bool m_frameDrawn = false; // the menu of a frame has been drawn
    bool m_menuOpen = false;
    int m_menuBarHeight = 0; // pixels
    // The menu of the last frame drawn, for the keys between frames.
    const CMenuState* m_menu = nullptr;
    CMenuKeyboard m_keyboard;
    std::vector<size_t> m_openPopups; // after the last frame drawn
    bool m_controlsShown = false;     // in the last frame drawn
    bool m_controlsCloseSent = false; // its command is on its way
    int m_minimumWidth = 0;           // pixels; 0 until the bar was measured
    int m_minimumHeight = 0;          // pixels
    // Display density: menu font and spacing are scaled by it.
    float m_uiScale = 1.0f;
    std::deque<SHostEvent> m_pending;
    std::vector<int> m_chosen;
};
