#pragma once
// The application shell: starts the window, the OpenGL context and start
// state, the textures and the world; runs the loop that handles one event or,
// when none waits, advances and draws one frame; turns menu commands, keys and
// the mouse into changes of the world. It talks to the system only through its
// host, so that the SDL2 window and the headless layer drive it alike.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "app/CommandTable.h"
#include "app/ControlsListing.h"
#include "app/FrameStatistics.h"
#include "app/Host.h"
#include "app/MenuState.h"
#include "app/MouseGrab.h"
#include "app/Speed.h"

class CSceneTextures;
class CWorld;

// The program name: window caption at start and first field of the frame-rate
// caption.
inline constexpr const char* kProgramName = "Clatterbox";
inline constexpr const char* kAboutCaption = "About Clatterbox";
inline constexpr int kInitialClientWidth = 640;  // pixels of the 3D area
inline constexpr int kInitialClientHeight = 480; // pixels of the 3D area

class CApplication
{
public:
    // Installs the host as the process-wide platform and resets the mouse.
    explicit CApplication(IHost& host);
    ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // The window, the graphics, the menu marks; false (after its message box)
    // when start-up failed, and the program must end with -1.
    bool Initialize();
    bool CreateMainWindow();
    // Asks the host for the framebuffer format the window is created with.
    bool SetupPixelFormat();
    // The context of the created window; the granted format's colour depth
    // check and g_stencilBits.
    bool CreateRenderingContext();
    bool InitGraphics();

    // Until a quit is taken from the queue.
    void Run();
    // An accelerator key (kKeyShift or-ed in while Shift is held) becomes its
    // command; true when the key was one.
    bool TranslateAccelerator(int virtualKey);
    void WindowProc(const SHostEvent& event);

    // The 3D area's size in pixels: viewport and projection.
    void Resize(int width, int height);
    void Idle();
    void Advance();
    void Render();
    void UpdateCaption();

    void OnCommand(int command);
    void OnKeyDown(int virtualKey);
    void UpdateMenu();

    // The tables behind the menu, the keys and the Controls window.
    static std::span<const SCommand> Commands();
    static std::span<const SKeyBinding> Keys();
    static std::span<const SHeldInput> HeldInputs();
    // The built command of an accelerator key, or null. A key with kKeyShift
    // or-ed in finds a Shift row first, else the row of the bare key.
    static const SCommand* FindAccelerator(int virtualKey);

    bool Ready() const { return m_ready; }
    bool Paused() const { return m_paused; }
    float TimeStep() const { return m_timeStep; }
    int ClientWidth() const { return m_clientWidth; }
    int ClientHeight() const { return m_clientHeight; }
    CWorld* World() const { return m_world.get(); }
    const CMenuState& Menu() const { return m_menu; }
    const ControlsListing& Controls() const { return m_controls; }
    bool ControlsShown() const { return m_controlsShown; }
    // The caption text for a rate in frames per second.
    std::string FormatCaption(double framesPerSecond) const;

    // Command handlers, reached through the command table.
    void OnAbout();
    void OnPause();
    void OnSingleStep();
    void OnExit();
    void OnEnvironmentMapping();
    void OnShadowNone();
    void OnFakeShadow();
    void OnTrueShadow();
    void OnFollow();
    void OnNextScene();
    void OnPreviousScene();
    void OnResetScene();
    // The contact model of the next step; the scene stays as it is.
    void OnContactsClassic();
    void OnContactsStable();
    void OnControls();
    // Slow motion: the share of real time the simulation keeps up with.
    void OnSpeed1of16();
    void OnSpeed1of8();
    void OnSpeed1of4();
    void OnSpeed1of2();
    void OnSpeedRealTime();
    void OnSpeedSlower();
    void OnSpeedFaster();
    // The speed's index in kSpeeds (app/Speed.h); the last is real time.
    int SpeedIndex() const { return m_speedIndex; }
    void OnStatistics();
    void OnContactPoints();
    // The 3D area of the next frame drawn is saved as a picture.
    void OnSaveScreenshot();
    bool StatisticsShown() const { return m_statisticsShown; }
    // A screenshot waits for the next frame drawn.
    bool ScreenshotPending() const { return m_screenshotPending; }
    const CFrameStatistics& Statistics() const { return m_statistics; }
    // What the last screenshot did, shown for a few seconds in the caption
    // and the statistics panel; empty when there is nothing to say.
    const std::string& Status() const { return m_status; }

    // Plain-key handlers, reached through the key table.
    void SelectTarget(int index);
    void ThrowAllBodies(int);
    void AddBall(int);
    void RemoveLastBody(int);

private:
    // Clears, draws the world and the menu, and flushes; no swap.
    void DrawFrame();
    // Saves the frame just drawn when a screenshot was asked for.
    void TakePendingScreenshot();
    void SetStatus(const std::string& text);
    // One frame's figures for the statistics panel.
    void RecordFrame(double physicsMilliseconds, double drawMilliseconds, double simulatedSeconds);
    // A message box while the program runs, over a frame drawn for it.
    EMessageResult ShowBox(const char* caption, const char* text, EMessageButtons buttons,
                           EMessageIcon icon);
    void ReportStartFailure(const char* what, const std::string& systemText);

    IHost& m_host;
    std::string m_name = kProgramName;
    int32_t m_clientWidth = kInitialClientWidth;   // pixels of the 3D area
    int32_t m_clientHeight = kInitialClientHeight; // pixels of the 3D area
    bool m_ready = false;
    bool m_paused = false;
    float m_timeStep = 0.01f; // seconds, the smoothed step of the last frame
    std::unique_ptr<CSceneTextures> m_textures;
    std::unique_ptr<CWorld> m_world;
    CMenuState m_menu;
    ControlsListing m_controls;
    bool m_controlsShown = false;
    int m_speedIndex = kRealTimeSpeed;
    bool m_statisticsShown = false;
    CFrameStatistics m_statistics;
    bool m_screenshotPending = false;
    std::string m_status;
    uint32_t m_statusSetAt = 0; // milliseconds
    CMouseGrab m_mouseGrab;
    // When the last frame was recorded, milliseconds of the host's clock.
    bool m_frameClockStarted = false;
    uint32_t m_frameStart = 0;
    double m_simulatedSeconds = 0.0; // of the last Advance

    // Frame bookkeeping.
    bool m_stepClockStarted = false;
    uint32_t m_lastStepTime = 0; // milliseconds
    bool m_captionClockStarted = false;
    uint32_t m_rateWindowStart = 0; // milliseconds
    uint32_t m_framesCounted = 0;
};

// The entry point's work: start the application on the host and run it.
// Returns 0 after Exit or closing the window, -1 when start-up failed.
int ApplicationMain(IHost& host);
