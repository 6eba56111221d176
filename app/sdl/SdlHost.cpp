#include "app/sdl/SdlHost.h"

#include <GL/gl.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "app/Commands.h"
#include "app/MenuState.h"
#include "app/UiScale.h"
#include "app/sdl/DisplayDpi.h"
#include "app/sdl/ImGuiMenu.h"
#include "app/sdl/ImGuiMessageBox.h"
#include "app/sdl/QuitSignals.h"
#include "app/sdl/SdlKeys.h"
#include "app/sdl/StatisticsWindow.h"

namespace
{
constexpr int kYesButton = 1;
constexpr int kNoButton = 2;
constexpr int kOkButton = 3;

Uint32 MessageBoxFlags(EMessageIcon icon)
{
    switch (icon)
    {
    case EMessageIcon::kError:
        return SDL_MESSAGEBOX_ERROR;
    case EMessageIcon::kWarning:
        return SDL_MESSAGEBOX_WARNING;
    case EMessageIcon::kInformation:
        return SDL_MESSAGEBOX_INFORMATION;
    case EMessageIcon::kNone:
        break;
    }
    return 0;
}

bool DisplayNamed()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

// SDL's text for a failure to reach the display, with the display it tried.
std::string DisplayError(const char* sdlText)
{
    const char* x11 = std::getenv("DISPLAY");
    std::string text = sdlText;
    text += x11 != nullptr && *x11 != '\0' ? "\nDISPLAY=" + std::string(x11)
                                           : std::string("\nDISPLAY is not set");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland != nullptr && *wayland != '\0')
        text += "\nWAYLAND_DISPLAY=" + std::string(wayland);
    return text;
}

int BitCount(Uint32 mask)
{
    int count = 0;
    for (; mask != 0; mask &= mask - 1)
        ++count;
    return count;
}

// The formats to fall back on when the display has no visual for the one
// asked for: the colour depth the display offers, first with the depth and
// stencil asked for, then with less of each. The application compares what it
// gets with what it asked for (the colour warning, the shadow modes the
// stencil allows).
std::vector<SPixelFormat> FallbackFormats(const SPixelFormat& request)
{
    SPixelFormat offered = request;
    SDL_DisplayMode mode{};
    int bits = 0;
    Uint32 red = 0;
    Uint32 green = 0;
    Uint32 blue = 0;
    Uint32 alpha = 0;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 &&
        SDL_PixelFormatEnumToMasks(mode.format, &bits, &red, &green, &blue, &alpha) == SDL_TRUE &&
        red != 0 && green != 0 && blue != 0)
    {
        offered.redBits = std::min(request.redBits, BitCount(red));
        offered.greenBits = std::min(request.greenBits, BitCount(green));
        offered.blueBits = std::min(request.blueBits, BitCount(blue));
    }
    else
    {
        // Each size is a minimum: 1 takes the most the display has.
        offered.redBits = offered.greenBits = offered.blueBits = 1;
    }
    offered.alphaBits = 0;
    std::vector<SPixelFormat> formats;
    for (const int stencil : {request.stencilBits, 1, 0})
    {
        for (const int depth : {request.depthBits, 16})
        {
            SPixelFormat format = offered;
            format.depthBits = std::min(depth, request.depthBits);
            format.stencilBits = std::min(stencil, request.stencilBits);
            formats.push_back(format);
        }
    }
    return formats;
}

bool SetGlAttributes(const SPixelFormat& format, std::string& error)
{
    const std::pair<SDL_GLattr, int> attributes[] = {
        {SDL_GL_RED_SIZE, format.redBits},
        {SDL_GL_GREEN_SIZE, format.greenBits},
        {SDL_GL_BLUE_SIZE, format.blueBits},
        {SDL_GL_ALPHA_SIZE, format.alphaBits},
        {SDL_GL_DEPTH_SIZE, format.depthBits},
        {SDL_GL_STENCIL_SIZE, format.stencilBits},
        {SDL_GL_DOUBLEBUFFER, format.doubleBuffer ? 1 : 0},
    };
    for (const auto& [attribute, value] : attributes)
    {
        if (SDL_GL_SetAttribute(attribute, value) != 0)
        {
            error = SDL_GetError();
            return false;
        }
    }
    return true;
}
} // namespace

CSdlHost::~CSdlHost()
{
    if (m_imguiBackendsStarted)
    {
        ImGui_ImplOpenGL2_Shutdown();
        ImGui_ImplSDL2_Shutdown();
    }
    if (m_imguiStarted)
        ImGui::DestroyContext();
    if (m_context != nullptr)
        SDL_GL_DeleteContext(m_context);
    if (m_window != nullptr)
        SDL_DestroyWindow(m_window);
    if (m_videoStarted)
        SDL_Quit();
}

bool CSdlHost::IsKeyDown(int virtualKey) const
{
    if (MenuWantsKeyboard() || PointerOverBar())
        return false;
    return IsVirtualKeyHeld(SDL_GetKeyboardState(nullptr), virtualKey);
}

EMessageResult CSdlHost::MessageBox(const std::string& caption, const std::string& text,
                                    EMessageButtons buttons, EMessageIcon icon)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    // Win32's first button is the default; with no box to show it is the answer.
    const EMessageResult unanswered =
        buttons == EMessageButtons::kYesNo ? EMessageResult::kYes : EMessageResult::kOk;
    if (!m_videoStarted && !DisplayNamed())
        return unanswered;
    if (m_windowShown && m_imguiBackendsStarted)
        return MessageBoxInWindow(caption, text, buttons);

    const SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kYesButton, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kNoButton, "No"},
    };
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         kOkButton, "OK"},
    };
    SDL_MessageBoxData data{};
    data.flags = MessageBoxFlags(icon);
    data.window = m_windowShown ? m_window : nullptr;
    data.title = caption.c_str();
    data.message = text.c_str();
    if (buttons == EMessageButtons::kYesNo)
    {
        data.numbuttons = 2;
        data.buttons = yesNo;
    }
    else
    {
        data.numbuttons = 1;
        data.buttons = ok;
    }
    int pressed = 0;
    EnterModalBox();
    const int shown = SDL_ShowMessageBox(&data, &pressed);
    LeaveModalBox();
    if (shown != 0)
        return unanswered;
    if (pressed == kNoButton)
        return EMessageResult::kNo;
    if (pressed == kYesButton)
        return EMessageResult::kYes;
    // Closed without a button: Escape's button.
    return buttons == EMessageButtons::kYesNo ? EMessageResult::kNo : EMessageResult::kOk;
}

uint32_t CSdlHost::TimeGetTime() const
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t milliseconds =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(milliseconds);
}

bool CSdlHost::OpenDisplay(std::string& error)
{
    // Left to itself SDL falls back on drivers that draw nowhere (offscreen,
    // dummy) when no display is there, and the program would run unseen. Only
    // drivers that show a window are tried, unless SDL_VIDEODRIVER names one.
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i)
    {
        const std::string name = SDL_GetVideoDriver(i);
        if (name == "offscreen" || name == "dummy" || name == "evdev")
            continue;
        drivers += (drivers.empty() ? "" : ",") + name;
    }
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers.c_str(), SDL_HINT_DEFAULT);
    // SIGTERM and SIGINT are the demo's own (app/sdl/QuitSignals.h).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
    {
        error = DisplayError(SDL_GetError());
        return false;
    }
    m_videoStarted = true;

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    m_imguiStarted = true;
    ImGuiIO& io = ImGui::GetIO();
    // Nothing of the menu is kept between runs.
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    ImGui::StyleColorsDark();
    m_uiScale = UiScaleOfDpi(DisplayDpi());
    ImFontConfig font;
    font.SizePixels = std::round(13.0f * m_uiScale);
    io.Fonts->AddFontDefault(&font);
    io.Fonts->Build();
    ImGui::GetStyle().ScaleAllSizes(m_uiScale);
    // The height BeginMainMenuBar gives the bar: one line of text and the
    // frame padding above and below it.
    m_menuBarHeight = static_cast<int>(
        std::ceil(io.Fonts->Fonts[0]->FontSize + ImGui::GetStyle().FramePadding.y * 2.0f));
    return true;
}

bool CSdlHost::SetPixelFormat(const SPixelFormat& request, std::string& error)
{
    m_requested = request;
    return SetGlAttributes(request, error);
}

bool CSdlHost::CreateMainWindow(const std::string& caption, int width, int height,
                                std::string& error)
{
    const auto create = [&]
    {
        return SDL_CreateWindow(caption.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                width, height,
                                SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    };
    m_window = create();
    if (m_window != nullptr)
        return true;
    // The toolkit fails the window when no visual has the colour asked for
    // (a 16-bit display offers no 8/8/8); ask again for what the display has.
    const std::string firstError = SDL_GetError();
    for (const SPixelFormat& format : FallbackFormats(m_requested))
    {
        std::string ignored;
        if (!SetGlAttributes(format, ignored))
            continue;
        m_window = create();
        if (m_window != nullptr)
            return true;
    }
    error = DisplayError(firstError.c_str());
    return false;
}

bool CSdlHost::CreateContext(std::string& error)
{
    m_context = SDL_GL_CreateContext(m_window);
    if (m_context == nullptr)
    {
        error = SDL_GetError();
        return false;
    }
    if (SDL_GL_MakeCurrent(m_window, m_context) != 0)
    {
        error = SDL_GetError();
        return false;
    }
    ImGui_ImplSDL2_InitForOpenGL(m_window, m_context);
    ImGui_ImplOpenGL2_Init();
    m_imguiBackendsStarted = true;
    return true;
}

SPixelFormat CSdlHost::GrantedPixelFormat() const
{
    auto get = [](SDL_GLattr attribute)
    {
        int value = 0;
        SDL_GL_GetAttribute(attribute, &value);
        return value;
    };
    SPixelFormat granted;
    granted.redBits = get(SDL_GL_RED_SIZE);
    granted.greenBits = get(SDL_GL_GREEN_SIZE);
    granted.blueBits = get(SDL_GL_BLUE_SIZE);
    granted.alphaBits = get(SDL_GL_ALPHA_SIZE);
    granted.depthBits = get(SDL_GL_DEPTH_SIZE);
    granted.stencilBits = get(SDL_GL_STENCIL_SIZE);
    granted.doubleBuffer = get(SDL_GL_DOUBLEBUFFER) != 0;
    return granted;
}

void CSdlHost::ShowMainWindow()
{
    SDL_ShowWindow(m_window);
    m_windowShown = true;
}

std::string CSdlHost::GetGLString(unsigned name) const
{
    const GLubyte* value = glGetString(name);
    return value != nullptr ? reinterpret_cast<const char*>(value) : "";
}

void CSdlHost::SetCaption(const std::string& caption)
{
    SDL_SetWindowTitle(m_window, caption.c_str());
}

EMessageResult CSdlHost::MessageBoxInWindow(const std::string& caption, const std::string& text,
                                            EMessageButtons buttons)
{
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(m_window, &width, &height);
    // Before the first frame (a texture that failed at start-up) there is no
    // picture to put the box over, only black.
    const SFrameCopy background = m_frameDrawn ? CopyBackBuffer(width, height) : SFrameCopy{};
    EMessageResult answer = EMessageResult::kOk;
    bool answered = false;
    // The box's loop reads no quit signal, so one that arrives while it is
    // open ends the demo at once, as with SDL's own boxes.
    EnterModalBox();
    while (!answered)
    {
        SDL_Event sdlEvent;
        while (!answered && SDL_PollEvent(&sdlEvent) != 0)
        {
            ImGui_ImplSDL2_ProcessEvent(&sdlEvent);
            if (sdlEvent.type == SDL_KEYDOWN)
            {
                answered = AnswerOfKey(sdlEvent.key.keysym.sym, buttons, answer);
                continue;
            }
            if (sdlEvent.type != SDL_QUIT && sdlEvent.type != SDL_WINDOWEVENT)
                continue;
            SHostEvent event;
            if (Translate(sdlEvent, event))
            {
                if (event.type == EHostEventType::kClose)
                    answered = AnswerOfKey(SDLK_ESCAPE, buttons, answer);
                m_pending.push_back(event);
            }
        }
        if (answered)
            break;
        NewImGuiFrame();
        answered = DrawMessageBoxFrame(background, caption, text, buttons, answer);
        ImGui::Render();
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        SDL_GL_SwapWindow(m_window);
        if (!answered)
            SDL_WaitEventTimeout(nullptr, 50);
    }
    LeaveModalBox();
    // The modal window must not outlive the box in ImGui's state.
    NewImGuiFrame();
    CloseMessageBox(caption);
    ImGui::EndFrame();
    return answer;
}

void CSdlHost::NewImGuiFrame()
{
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    // The backend reads the pointer from SDL's global mouse state, which on
    // X11 can lag behind the events by many frames (it is refreshed only on
    // XInput2 raw motion). The menu would then miss that the pointer is over
    // it; SDL's window-relative position follows every motion event.
    if (SDL_GetMouseFocus() == m_window)
    {
        int x = 0;
        int y = 0;
        SDL_GetMouseState(&x, &y);
        ImGui::GetIO().MousePos = ImVec2(static_cast<float>(x), static_cast<float>(y));
    }
    ImGui::NewFrame();
}

void CSdlHost::DrawMenu(const CMenuState& menu, const SOverlayPanels& panels)
{
    const ControlsListing* const controls = panels.controls;
    m_menu = &menu;
    m_frameDrawn = true;
    NewImGuiFrame();
    const SMenuBarFrame bar = DrawMainMenuBar(menu, m_keyboard, m_openPopups, m_chosen);
    m_openPopups = bar.open;
    m_menuOpen = !bar.open.empty();
    if (controls != nullptr && !DrawControlsWindow(*controls) && !m_controlsCloseSent)
    {
        m_chosen.push_back(kCommandControls);
        m_controlsCloseSent = true;
    }
    if (panels.statistics != nullptr)
        DrawStatisticsWindow(*panels.statistics, panels.status,
                             static_cast<float>(m_menuBarHeight));
    m_controlsShown = controls != nullptr;
    if (controls == nullptr)
        m_controlsCloseSent = false;
    if (m_minimumWidth == 0)
    {
        m_minimumWidth = static_cast<int>(std::ceil(bar.width + ImGui::GetStyle().WindowPadding.x));
        m_minimumHeight = m_menuBarHeight + static_cast<int>(std::ceil(TallestPopupHeight(menu)));
        KeepMinimumSize();
    }
    ImGui::Render();
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    for (const int command : m_chosen)
    {
        SHostEvent event;
        event.type = EHostEventType::kCommand;
        event.command = command;
        m_pending.push_back(event);
    }
    m_chosen.clear();
}

void CSdlHost::KeepMinimumSize()
{
    if (m_window == nullptr || m_minimumWidth == 0)
        return;
    SDL_SetWindowMinimumSize(m_window, m_minimumWidth, m_minimumHeight);
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(m_window, &width, &height);
    if (width < m_minimumWidth || height < m_minimumHeight)
        SDL_SetWindowSize(m_window, std::max(width, m_minimumWidth),
                          std::max(height, m_minimumHeight));
}

void CSdlHost::SwapBuffers()
{
    SDL_GL_SwapWindow(m_window);
}

bool CSdlHost::MenuWantsMouse() const
{
    return m_menuOpen || (m_imguiStarted && ImGui::GetIO().WantCaptureMouse);
}

bool CSdlHost::MenuWantsKeyboard() const
{
    return m_menuOpen || m_keyboard.HasKeyboard() ||
           (m_imguiStarted && ImGui::GetIO().WantCaptureKeyboard);
}

bool CSdlHost::PointerOverBar() const
{
    // SDL's window-relative position follows every motion event (see
    // DrawMenu), and the focus is dropped when the pointer leaves the window.
    if (m_window == nullptr || SDL_GetMouseFocus() != m_window)
        return false;
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    return y >= 0 && y < m_menuBarHeight;
}

bool CSdlHost::TranslateKeyDown(const SDL_KeyboardEvent& key, SHostEvent& event)
{
    const int virtualKey = VirtualKeyOfScancode(key.keysym.scancode);
    if (m_menu != nullptr)
    {
        const bool alt = (key.keysym.mod & KMOD_ALT) != 0 && virtualKey != kVkMenu;
        const SMenuKeyResult result = m_keyboard.OnKeyDown(*m_menu, virtualKey, alt);
        if (result.command != 0)
        {
            event.type = EHostEventType::kCommand;
            event.command = result.command;
            return true;
        }
        if (result.consumed)
            return false;
    }
    if (MenuWantsKeyboard())
        return false;
    // Esc closes the Controls window before it can mean Exit.
    if (virtualKey == kVkEscape && m_controlsShown)
    {
        if (m_controlsCloseSent)
            return false;
        m_controlsCloseSent = true;
        event.type = EHostEventType::kCommand;
        event.command = kCommandControls;
        return true;
    }
    event.type = EHostEventType::kKeyDown;
    event.key = virtualKey;
    event.shift = (key.keysym.mod & KMOD_SHIFT) != 0;
    // The menu's shortcuts, Esc among them, still work with the pointer
    // on the bar; the world's keys do not.
    event.shortcutOnly = PointerOverBar();
    return event.key != 0;
}

bool CSdlHost::Translate(const SDL_Event& sdlEvent, SHostEvent& event)
{
    switch (sdlEvent.type)
    {
    case SDL_QUIT:
        event.type = EHostEventType::kClose;
        return true;
    case SDL_WINDOWEVENT:
        switch (sdlEvent.window.event)
        {
        case SDL_WINDOWEVENT_CLOSE:
            event.type = EHostEventType::kClose;
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            KeepMinimumSize();
            event.type = EHostEventType::kSize;
            event.width = sdlEvent.window.data1;
            event.height = std::max(0, sdlEvent.window.data2 - m_menuBarHeight);
            return true;
        case SDL_WINDOWEVENT_EXPOSED:
            event.type = EHostEventType::kPaint;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            m_keyboard.OnFocusLost();
            return false;
        default:
            return false;
        }
    case SDL_KEYDOWN:
        return TranslateKeyDown(sdlEvent.key, event);
    case SDL_KEYUP:
        if (m_menu != nullptr)
            m_keyboard.OnKeyUp(*m_menu, VirtualKeyOfScancode(sdlEvent.key.keysym.scancode));
        return false;
    case SDL_MOUSEMOTION:
        // Over the bar the pointer is the menu's, as over a window's menu.
        if (MenuWantsMouse() || sdlEvent.motion.y < m_menuBarHeight)
            return false;
        event.type = EHostEventType::kMouseMove;
        event.x = sdlEvent.motion.x;
        event.y = sdlEvent.motion.y - m_menuBarHeight;
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    {
        const bool down = sdlEvent.type == SDL_MOUSEBUTTONDOWN;
        if (down)
            m_keyboard.OnMouseButton();
        const Uint8 button = sdlEvent.button.button;
        if (button != SDL_BUTTON_LEFT && button != SDL_BUTTON_RIGHT && button != SDL_BUTTON_MIDDLE)
            return false;
        // A release always gets through, so that no button stays held.
        if (down && (MenuWantsMouse() || sdlEvent.button.y < m_menuBarHeight))
            return false;
        event.type = down ? EHostEventType::kButtonDown : EHostEventType::kButtonUp;
        event.button = button == SDL_BUTTON_LEFT    ? EMouseButton::kLeft
                       : button == SDL_BUTTON_RIGHT ? EMouseButton::kRight
                                                    : EMouseButton::kMiddle;
        event.x = sdlEvent.button.x;
        event.y = sdlEvent.button.y - m_menuBarHeight;
        return true;
    }
    default:
        return false;
    }
}

bool CSdlHost::PollEvent(SHostEvent& event)
{
    // A quit signal closes the window once, as the user would.
    if (QuitSignalled() && !m_quitSignalSeen)
    {
        m_quitSignalSeen = true;
        event = SHostEvent{};
        event.type = EHostEventType::kClose;
        return true;
    }
    if (!m_pending.empty())
    {
        event = m_pending.front();
        m_pending.pop_front();
        return true;
    }
    SDL_Event sdlEvent;
    while (SDL_PollEvent(&sdlEvent) != 0)
    {
        if (m_imguiBackendsStarted)
            ImGui_ImplSDL2_ProcessEvent(&sdlEvent);
        event = SHostEvent{};
        if (Translate(sdlEvent, event))
            return true;
    }
    return false;
}

void CSdlHost::WaitEvent()
{
    // Bounded, so that a quit signal is seen within a tenth of a second.
    if (m_pending.empty() && !QuitSignalled())
        SDL_WaitEventTimeout(nullptr, 100);
}

void CSdlHost::PostQuit(int exitCode)
{
    SHostEvent quit;
    quit.type = EHostEventType::kQuit;
    quit.exitCode = exitCode;
    m_pending.push_back(quit);
}
