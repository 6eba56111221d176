#pragma once
// The host of the real program: one resizable SDL2 window with an OpenGL
// context, a Dear ImGui menu bar at the top of its client area and the 3D area
// below it; SDL's events turned into the application's; modal SDL message
// boxes, each also written to stderr; the system's monotonic clock. When the
// display has no visual of the pixel format asked for, the window gets the
// nearest the display offers.

#include <SDL.h>

#include <deque>
#include <vector>

#include "app/Host.h"

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
    void DrawMenu(const CMenuState& menu) override;
    void SwapBuffers() override;
    bool PollEvent(SHostEvent& event) override;
    void WaitEvent() override;
    void PostQuit(int exitCode) override;

private:
    // The application's event for an SDL event; false when it has none or the
    // menu takes the input.
    bool Translate(const SDL_Event& sdlEvent, SHostEvent& event) const;
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
    bool m_menuOpen = false;
    int m_menuBarHeight = 0; // pixels
    std::deque<SHostEvent> m_pending;
    std::vector<int> m_chosen;
};
