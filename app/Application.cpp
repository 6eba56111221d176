#include "app/Application.h"

#include <GL/gl.h>

#include <cstdio>
#include <iostream>

#include "app/Commands.h"
#include "app/MenuKeyboard.h"
#include "app/Screenshot.h"
#include "render/DataFiles.h"
#include "render/Diagnostics.h"
#include "render/GlStartState.h"
#include "render/SceneTextures.h"
#include "render/StartupState.h"
#include "render/Texture.h"
#include "world/MouseState.h"
#include "world/SceneTable.h"
#include "world/World.h"

namespace
{
constexpr const char* kErrorCaption = "Clatterbox Error";
constexpr const char* kWarningCaption = "Clatterbox Warning";
constexpr const char* kColourWarning =
    "Clatterbox is optimized for 32 bits colors. \nDo you want to run this demo in the current "
    "display mode anyway? \n(It may be very slow.)";
constexpr const char* kAboutText =
    "Clatterbox version 1.05\n"
    "\n"
    "Mouse with the left button or Ctrl held: slide the pusher over the floor.\n"
    "Mouse with the right button or Shift held: raise and lower the pusher.\n"
    "Arrow keys, Home, End: orbit the camera.\n"
    "0 to 9: follow a body; keypad minus: follow the pusher; F: following on/off.\n"
    "F4: throw every body; F5: add a ball; F6: remove the last body.\n"
    "F1, F2, F3: next, previous, reset scene.\n"
    "Pause: pause; Space: single step while paused; Esc: exit.";

// The longest elapsed time one frame may account for, milliseconds.
constexpr uint32_t kMaxFrameMilliseconds = 50;
// The caption is refreshed once more than this has passed, milliseconds.
constexpr uint32_t kRateWindowMilliseconds = 500;
// snprintf buffer of the caption, terminator included.
constexpr size_t kCaptionBufferSize = 80;
// How long a screenshot's message stays in the caption, milliseconds.
constexpr uint32_t kStatusMilliseconds = 8000;

constexpr SCommand kCommandTable[] = {
    {kCommandAbout, "File", "About...", 0, &CApplication::OnAbout,
     "the program's version and controls"},
    {kCommandPause, "File", "&Pause", kVkPause, &CApplication::OnPause,
     "pause or resume; the picture is still drawn and the camera still moves", true},
    {kCommandSingleStep, "File", "&Single Step", kVkSpace, &CApplication::OnSingleStep,
     "one step while paused"},
    {kCommandSaveScreenshot, "File", "Save Screens&hot", kVkF1 + 11,
     &CApplication::OnSaveScreenshot, "save the 3D view as a PNG picture in the pictures folder",
     true},
    {kCommandExit, "File", "&Exit", kVkEscape, &CApplication::OnExit, "exit", true},
    {kCommandEnvironmentMapping, "Options", "Enviroment Mapping", 0,
     &CApplication::OnEnvironmentMapping, "reflections of the surroundings on or off"},
    {kCommandShadowNone, "Options/Shadowing", "None", 0, &CApplication::OnShadowNone, "no shadows"},
    {kCommandFakeShadow, "Options/Shadowing", "Fake Shadow", 0, &CApplication::OnFakeShadow,
     "dark blobs under the bodies"},
    {kCommandTrueShadow, "Options/Shadowing", "True Shadow", 0, &CApplication::OnTrueShadow,
     "the bodies' shapes cast on the floor"},
    {kCommandNextScene, "Options", "Next Scene", kVkF1, &CApplication::OnNextScene, "next scene",
     true},
    {kCommandPreviousScene, "Options", "Previous Scene", kVkF2, &CApplication::OnPreviousScene,
     "previous scene"},
    {kCommandResetScene, "Options", "Reset Scene", kVkF3, &CApplication::OnResetScene,
     "build the scene again"},
    {kCommandContactsClassic, "Options/Contacts", "Classic", 0, &CApplication::OnContactsClassic,
     "the contact laws as first written: resting bodies creep and stacks settle", true},
    {kCommandContactsStable, "Options/Contacts", "Stable", 0, &CApplication::OnContactsStable,
     "static friction and rolling resistance near rest: scenes stand until struck"},
    {kCommandFollow, nullptr, nullptr, kVkF, &CApplication::OnFollow,
     "following on or off (off: the camera looks at the centre of the floor)"},
    {kCommandStatistics, "View", "&Statistics", 'S', &CApplication::OnStatistics,
     "statistics overlay on or off: bodies, contacts, steps, times, frame rate"},
    {kCommandContactPoints, "View", "&Contact Points", 'C', &CApplication::OnContactPoints,
     "every contact of the last step on or off: floor and walls cyan, bodies orange, normals "
     "as long as the force"},
    // Items whose handlers are not built yet stay greyed, and their keys do
    // nothing, until they are.
    {kCommandTimeline, "View", "&Timeline", 'T', nullptr, "timeline window on or off"},
    {kCommandSpeed1of16, "View/Speed", "1/16", 0, &CApplication::OnSpeed1of16, "1/16 of real time",
     true},
    {kCommandSpeed1of8, "View/Speed", "1/8", 0, &CApplication::OnSpeed1of8, "1/8 of real time"},
    {kCommandSpeed1of4, "View/Speed", "1/4", 0, &CApplication::OnSpeed1of4, "1/4 of real time"},
    {kCommandSpeed1of2, "View/Speed", "1/2", 0, &CApplication::OnSpeed1of2, "1/2 of real time"},
    {kCommandSpeedRealTime, "View/Speed", "1 (Real Time)", kVkBack, &CApplication::OnSpeedRealTime,
     "real time"},
    {kCommandSpeedSlower, "View/Speed", "Slower", kVkOemMinus, &CApplication::OnSpeedSlower,
     "slower", true},
    {kCommandSpeedFaster, "View/Speed", "Faster", kVkOemPlus, &CApplication::OnSpeedFaster,
     "faster"},
    {kCommandControls, "Help", "&Controls", kVkOem2 | kKeyShift, &CApplication::OnControls,
     "this list of every command, key and mouse gesture"},
};

constexpr SKeyBinding kKeyTable[] = {
    {kVk0, kVk9, 0, "0 to 9", "follow that body", &CApplication::SelectTarget},
    {kVkNumpad0, kVkNumpad9, 0, "Keypad 0 to 9", "follow that body", &CApplication::SelectTarget},
    {kVkSubtract, kVkSubtract, -1, "Keypad -", "follow the pusher", &CApplication::SelectTarget},
    {kVkF4, kVkF4, 0, "F4", "throw every body in again at random", &CApplication::ThrowAllBodies},
    {kVkF5, kVkF5, 0, "F5", "add a ball (held, it keeps adding)", &CApplication::AddBall},
    {kVkF6, kVkF6, 0, "F6", "remove the last body", &CApplication::RemoveLastBody},
};

constexpr SHeldInput kHeldInputs[] = {
    {"Mouse with the left button (or Ctrl) held",
     "slides the pusher over the floor: up and down along the view, left and right sideways"},
    {"Mouse with the right button (or Shift) held",
     "moves the pusher sideways, and raises or lowers it"},
    {"Left, Right", "orbit the camera around the point it looks at"},
    {"Up, Down", "raise or lower the camera"},
    {"Home, End", "move the camera nearer or farther"},
    {"Middle click on a body", "follow that body"},
    {"Middle drag on a body",
     "hold it on a soft spring towards the pointer, in the plane facing the camera"},
};

const SCommand* FindCommand(int id)
{
    for (const SCommand& command : kCommandTable)
        if (command.id == id)
            return &command;
    return nullptr;
}
} // namespace

std::span<const SCommand> CApplication::Commands()
{
    return kCommandTable;
}

std::span<const SKeyBinding> CApplication::Keys()
{
    return kKeyTable;
}

std::span<const SHeldInput> CApplication::HeldInputs()
{
    return kHeldInputs;
}

const SCommand* CApplication::FindAccelerator(int virtualKey)
{
    // Shift is part of a key only for the rows that name it; the others act
    // with or without it, as they always have.
    for (const int key : {virtualKey, virtualKey & ~kKeyShift})
        for (const SCommand& command : kCommandTable)
            if (command.handler != nullptr && command.key != 0 && command.key == key)
                return &command;
    return nullptr;
}

CApplication::CApplication(IHost& host)
    : m_host(host), m_menu(BuildMenuEntries(kCommandTable)),
      m_controls(BuildControlsListing(kCommandTable, kKeyTable, kHeldInputs, MenuKeys()))
{
    SetPlatform(&host);
    g_mouseState = MouseState{};
}

CApplication::~CApplication()
{
    // The world's display lists and the textures belong to the context, which
    // the host keeps current until after the application is gone.
    m_world.reset();
    m_textures.reset();
    SetPlatform(nullptr);
}

void CApplication::ReportStartFailure(const char* what, const std::string& systemText)
{
    m_host.MessageBox(kErrorCaption, std::string(what) + "\n\n" + systemText, EMessageButtons::kOk,
                      EMessageIcon::kError);
}

bool CApplication::Initialize()
{
    if (!CreateMainWindow())
        return false;
    if (!InitGraphics())
        return false;
    UpdateMenu();
    m_ready = true;
    return true;
}

bool CApplication::CreateMainWindow()
{
    std::string error;
    if (!m_host.OpenDisplay(error))
    {
        ReportStartFailure("Failed to initialize Window.", error);
        return false;
    }
    // The toolkit fixes a window's framebuffer format when it creates the
    // window, so the format is asked for first and read back afterwards.
    if (!SetupPixelFormat())
        return false;
    if (!m_host.CreateMainWindow(m_name, m_clientWidth, m_clientHeight + m_host.MenuBarHeight(),
                                 error))
    {
        ReportStartFailure("Failed to initialize Window.", error);
        return false;
    }
    if (!CreateRenderingContext())
        return false;
    m_host.ShowMainWindow();
    return true;
}

bool CApplication::SetupPixelFormat()
{
    std::string error;
    if (!m_host.SetPixelFormat(kProgramPixelFormat, error))
    {
        ReportStartFailure("Failed to set pixel format.", error);
        return false;
    }
    return true;
}

bool CApplication::CreateRenderingContext()
{
    std::string error;
    if (!m_host.CreateContext(error))
    {
        ReportStartFailure("Failed to create OpenGL context.", error);
        return false;
    }
    const SPixelFormat granted = m_host.GrantedPixelFormat();
    if (granted.redBits + granted.greenBits + granted.blueBits < 24 &&
        m_host.MessageBox(kWarningCaption, kColourWarning, EMessageButtons::kYesNo,
                          EMessageIcon::kWarning) == EMessageResult::kNo)
        return false;
    g_stencilBits = granted.stencilBits;
    return true;
}

bool CApplication::InitGraphics()
{
    Resize(m_clientWidth, m_clientHeight);

    const std::string version = m_host.GetGLString(GL_VERSION);
    if (IsOpenGl10(version.c_str()))
    {
        m_host.MessageBox(kErrorCaption, "This demo requires OpenGL 1.1 or later.",
                          EMessageButtons::kOk, EMessageIcon::kError);
        return false;
    }
    // Clear values, light model, separate specular colour by version or
    // extension (never on a RIVA TNT), depth, stencil, culling.
    const std::string renderer = m_host.GetGLString(GL_RENDERER);
    const std::string extensions = m_host.GetGLString(GL_EXTENSIONS);
    ApplyStartState(version.c_str(), renderer.c_str(), extensions.c_str());

    m_textures = std::make_unique<CSceneTextures>();

    m_world = std::make_unique<CWorld>();
    m_world->Initialize();
    return true;
}

void CApplication::Run()
{
    for (;;)
    {
        SHostEvent event;
        if (m_host.PollEvent(event))
        {
            if (event.type == EHostEventType::kQuit)
                return;
            if (event.type == EHostEventType::kKeyDown &&
                (TranslateAccelerator(event.key | (event.shift ? kKeyShift : 0)) ||
                 event.shortcutOnly))
                continue;
            WindowProc(event);
        }
        else if (m_ready)
        {
            Idle();
        }
        else
        {
            m_host.WaitEvent();
        }
    }
}

bool CApplication::TranslateAccelerator(int virtualKey)
{
    const SCommand* command = FindAccelerator(virtualKey);
    if (command == nullptr)
        return false;
    OnCommand(command->id);
    return true;
}

void CApplication::WindowProc(const SHostEvent& event)
{
    switch (event.type)
    {
    case EHostEventType::kClose:
        m_host.PostQuit(0);
        break;
    case EHostEventType::kKeyDown:
        OnKeyDown(event.key);
        break;
    case EHostEventType::kCommand:
        OnCommand(event.command);
        break;
    case EHostEventType::kMouseMove:
        // A zero-sized (minimised) area has no position to give.
        if (m_clientWidth > 0 && m_clientHeight > 0)
        {
            g_mouseState.position.x =
                static_cast<float>(event.x) / static_cast<float>(m_clientWidth);
            g_mouseState.position.y =
                -static_cast<float>(event.y) / static_cast<float>(m_clientHeight);
            if (m_mouseGrab.Held() && m_world != nullptr)
                m_mouseGrab.Move(*m_world, event.x, event.y, m_clientWidth, m_clientHeight);
        }
        break;
    case EHostEventType::kButtonDown:
    case EHostEventType::kButtonUp:
    {
        const bool down = event.type == EHostEventType::kButtonDown;
        if (event.button == EMouseButton::kLeft)
            g_mouseState.leftButtonDown = down;
        else if (event.button == EMouseButton::kRight)
            g_mouseState.rightButtonDown = down;
        else if (m_world != nullptr && down)
            m_mouseGrab.Press(*m_world, event.x, event.y, m_clientWidth, m_clientHeight);
        else if (m_world != nullptr)
        {
            const int followed = m_mouseGrab.Release(*m_world);
            if (followed >= 0)
                SetStatus("following body " + std::to_string(followed));
        }
        break;
    }
    case EHostEventType::kSize:
        Resize(event.width, event.height);
        break;
    case EHostEventType::kPaint:
        Render();
        break;
    case EHostEventType::kQuit:
        break;
    }
}

void CApplication::Resize(int width, int height)
{
    m_clientWidth = width;
    m_clientHeight = height;
    ApplyProjection(width, height);
}

void CApplication::Idle()
{
    // The clock is read only while the figures are shown, three times a
    // frame: nothing is measured for a panel nobody sees.
    if (m_statisticsShown)
    {
        const auto physicsStart = std::chrono::steady_clock::now();
        Advance();
        const auto drawStart = std::chrono::steady_clock::now();
        Render();
        const auto drawEnd = std::chrono::steady_clock::now();
        RecordFrame(std::chrono::duration<double, std::milli>(drawStart - physicsStart).count(),
                    std::chrono::duration<double, std::milli>(drawEnd - drawStart).count(),
                    m_simulatedSeconds);
    }
    else
    {
        Advance();
        Render();
    }
    UpdateCaption();
}

void CApplication::RecordFrame(double physicsMilliseconds, double drawMilliseconds,
                               double simulatedSeconds)
{
    // Wall time on the clock that paces the simulation, so that their ratio
    // is exact.
    const uint32_t now = m_host.TimeGetTime();
    SFrameFigures frame;
    frame.bodies = m_world->BodyCount();
    frame.planeContacts = m_world->stepPlaneContacts;
    frame.bodyContacts = m_world->stepContacts - m_world->stepPlaneContacts;
    frame.steps = m_world->frameSteps;
    frame.physicsMilliseconds = physicsMilliseconds;
    frame.drawMilliseconds = drawMilliseconds;
    frame.frameMilliseconds = m_frameClockStarted ? static_cast<double>(now - m_frameStart) : 0.0;
    frame.simulatedSeconds = simulatedSeconds;
    m_frameStart = now;
    m_frameClockStarted = true;
    m_statistics.AddFrame(frame);
}

void CApplication::Advance()
{
    const uint32_t now = m_host.TimeGetTime();
    if (!m_stepClockStarted)
    {
        m_lastStepTime = now;
        m_stepClockStarted = true;
    }
    // Unsigned, so that a wrap of the millisecond clock is harmless.
    uint32_t elapsed = now - m_lastStepTime;
    if (elapsed > kMaxFrameMilliseconds)
        elapsed = kMaxFrameMilliseconds;
    m_timeStep = static_cast<float>(elapsed) * 0.0005f + m_timeStep * 0.5f;

    // A long run of frames shorter than a millisecond halves the step down to
    // zero; the velocity then keeps its last value rather than turning into
    // infinity or NaN.
    MouseState& mouse = g_mouseState;
    if (m_timeStep > 0.0f)
    {
        mouse.velocity.x = mouse.velocity.x * 0.5f +
                           ((mouse.position.x - mouse.previousPosition.x) / m_timeStep) * 0.5f;
        mouse.velocity.y = mouse.velocity.y * 0.5f +
                           ((mouse.position.y - mouse.previousPosition.y) / m_timeStep) * 0.5f;
        mouse.velocity.z = mouse.velocity.z * 0.5f +
                           ((mouse.position.z - mouse.previousPosition.z) / m_timeStep) * 0.5f;
    }
    mouse.previousPosition = mouse.position;

    const double simulatedBefore = g_simulatedTime;
    m_world->Update(m_timeStep, m_paused, kSpeeds[m_speedIndex].scale);
    m_simulatedSeconds = g_simulatedTime - simulatedBefore;
    m_lastStepTime = now;
}

void CApplication::Render()
{
    if (!m_ready)
        return;
    DrawFrame();
    TakePendingScreenshot();
    m_host.SwapBuffers();
}

void CApplication::DrawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    m_world->Draw();
    SOverlayPanels panels;
    panels.controls = m_controlsShown ? &m_controls : nullptr;
    if (m_statisticsShown)
    {
        panels.statistics = &m_statistics;
        panels.status = m_status;
    }
    m_host.DrawMenu(m_menu, panels);
    glFlush();
}

void CApplication::TakePendingScreenshot()
{
    if (!m_screenshotPending)
        return;
    m_screenshotPending = false;
    std::string path;
    std::string reason;
    // The back buffer holds the frame as it is about to be shown; the 3D
    // area is its bottom part, below the menu bar.
    if (SaveScreenshot(m_clientWidth, m_clientHeight, path, reason))
    {
        SetStatus("saved " + path);
        std::cout << "Screenshot saved to " << path << std::endl;
    }
    else
    {
        SetStatus("screenshot not saved: " + reason);
        std::cerr << "Screenshot not saved: " << reason << std::endl;
    }
}

void CApplication::SetStatus(const std::string& text)
{
    m_status = text;
    m_statusSetAt = m_host.TimeGetTime();
}

EMessageResult CApplication::ShowBox(const char* caption, const char* text, EMessageButtons buttons,
                                     EMessageIcon icon)
{
    // A box the running program shows lies over a finished frame, drawn
    // without the menu that chose it; the host puts the box over it.
    if (m_ready)
        DrawFrame();
    return m_host.MessageBox(caption, text, buttons, icon);
}

std::string CApplication::FormatCaption(double framesPerSecond) const
{
    const int32_t index = WrapSceneIndex(m_world->sceneIndex);
    char caption[kCaptionBufferSize];
    // The speed joins the diagnostic note only while it is not real time, so
    // that at real time the caption is what it always was.
    std::string note = g_diagnosticNote;
    if (m_speedIndex != kRealTimeSpeed)
        note += (note.empty() ? "speed " : "  speed ") + std::string(kSpeeds[m_speedIndex].name);
    if (m_statisticsShown && m_statistics.FramesPerSecond() > 0.0)
    {
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "sim %.2fx real", m_statistics.SimulatedPerWall());
        note += (note.empty() ? "" : "  ") + std::string(ratio);
    }
    std::snprintf(caption, sizeof caption, "%s - %s  (%.1f fps)   %s", m_name.c_str(),
                  g_sceneNames[index], framesPerSecond, note.c_str());
    // A path may be long: the message goes after the fields, whole.
    std::string text = caption;
    if (!m_status.empty())
        text += (note.empty() ? "" : "  ") + m_status;
    return text;
}

void CApplication::UpdateCaption()
{
    const uint32_t now = m_host.TimeGetTime();
    if (!m_captionClockStarted)
    {
        m_rateWindowStart = now;
        m_captionClockStarted = true;
    }
    // Measured as an unsigned difference of milliseconds, so that the caption
    // keeps refreshing across a wrap of the clock.
    const uint32_t windowLength = now - m_rateWindowStart;
    if (!m_status.empty() && now - m_statusSetAt > kStatusMilliseconds)
        m_status.clear();
    if (windowLength > kRateWindowMilliseconds)
    {
        const double rate = static_cast<double>(m_framesCounted) / (windowLength * 0.001);
        m_framesCounted = 0;
        m_rateWindowStart = now;
        m_host.SetCaption(FormatCaption(rate));
    }
    ++m_framesCounted;
}

void CApplication::OnCommand(int command)
{
    const SCommand* entry = FindCommand(command);
    // Commands act on the world, which exists once start-up has made it.
    if (entry != nullptr && m_world != nullptr)
        (this->*entry->handler)();
    UpdateMenu();
}

void CApplication::OnKeyDown(int virtualKey)
{
    if (m_world == nullptr)
        return;
    for (const SKeyBinding& binding : kKeyTable)
        if (virtualKey >= binding.firstKey && virtualKey <= binding.lastKey)
        {
            (this->*binding.handler)(binding.firstArgument + (virtualKey - binding.firstKey));
            return;
        }
}

void CApplication::SelectTarget(int index)
{
    m_world->SelectTarget(index);
}

void CApplication::ThrowAllBodies(int)
{
    m_world->ThrowAllBodies();
}

void CApplication::AddBall(int)
{
    m_world->AddBall();
}

void CApplication::RemoveLastBody(int)
{
    m_world->RemoveLastBody();
}

void CApplication::UpdateMenu()
{
    m_menu.Check(kCommandPause, m_paused);
    m_menu.Check(kCommandStatistics, m_statisticsShown);
    m_menu.Enable(kCommandSingleStep, m_paused);
    if (m_world != nullptr)
    {
        m_menu.Check(kCommandEnvironmentMapping, m_world->environmentMapping != 0);
        m_menu.Check(kCommandShadowNone, m_world->shadowMode == 0);
        m_menu.Check(kCommandFakeShadow, m_world->shadowMode == 1);
        m_menu.Check(kCommandTrueShadow, m_world->shadowMode == 2);
        m_menu.Check(kCommandContactsClassic, m_world->contactModel == EContactModel::Classic);
        m_menu.Check(kCommandContactsStable, m_world->contactModel == EContactModel::Stable);
        m_menu.Check(kCommandContactPoints, m_world->recordContacts);
    }
    for (int i = 0; i < kSpeedCount; ++i)
        m_menu.Check(kSpeeds[i].command, i == m_speedIndex);
    m_menu.Enable(kCommandSpeedSlower, m_speedIndex > 0);
    m_menu.Enable(kCommandSpeedFaster, m_speedIndex < kRealTimeSpeed);
    m_menu.Enable(kCommandFakeShadow, g_stencilBits >= 1);
    m_menu.Enable(kCommandTrueShadow, g_stencilBits >= 2);
}

void CApplication::OnAbout()
{
    ShowBox(kAboutCaption, kAboutText, EMessageButtons::kOk, EMessageIcon::kInformation);
}

void CApplication::OnPause()
{
    m_paused = !m_paused;
}

void CApplication::OnSingleStep()
{
    if (!m_paused)
        return;
    m_paused = false;
    Advance();
    m_paused = true;
}

void CApplication::OnExit()
{
    m_host.PostQuit(0);
}

void CApplication::OnEnvironmentMapping()
{
    m_world->environmentMapping = m_world->environmentMapping != 0 ? 0 : 1;
}

void CApplication::OnShadowNone()
{
    m_world->shadowMode = 0;
}
void CApplication::OnFakeShadow()
{
    m_world->shadowMode = 1;
}
void CApplication::OnTrueShadow()
{
    m_world->shadowMode = 2;
}
void CApplication::OnFollow()
{
    m_world->follow = m_world->follow != 0 ? 0 : 1;
}
void CApplication::OnNextScene()
{
    m_world->ChangeScene(+1);
}
void CApplication::OnPreviousScene()
{
    m_world->ChangeScene(-1);
}
void CApplication::OnResetScene()
{
    m_world->BuildScene();
}
void CApplication::OnContactsClassic()
{
    m_world->contactModel = EContactModel::Classic;
}
void CApplication::OnContactsStable()
{
    m_world->contactModel = EContactModel::Stable;
}

void CApplication::OnControls()
{
    m_controlsShown = !m_controlsShown;
}

void CApplication::OnSpeed1of16()
{
    m_speedIndex = 0;
}
void CApplication::OnSpeed1of8()
{
    m_speedIndex = 1;
}
void CApplication::OnSpeed1of4()
{
    m_speedIndex = 2;
}
void CApplication::OnSpeed1of2()
{
    m_speedIndex = 3;
}
void CApplication::OnSpeedRealTime()
{
    m_speedIndex = kRealTimeSpeed;
}
void CApplication::OnSpeedSlower()
{
    m_speedIndex = SlowerSpeed(m_speedIndex);
}
void CApplication::OnSpeedFaster()
{
    m_speedIndex = FasterSpeed(m_speedIndex);
}

void CApplication::OnStatistics()
{
    m_statisticsShown = !m_statisticsShown;
    // Shown again, the panel starts from its first frame.
    m_statistics = CFrameStatistics{};
    m_frameClockStarted = false;
}

void CApplication::OnContactPoints()
{
    m_world->recordContacts = !m_world->recordContacts;
    // Off, the points of the last step go at once, also while paused.
    if (!m_world->recordContacts)
        ClearDiagnosticMarkers();
}

void CApplication::OnSaveScreenshot()
{
    m_screenshotPending = true;
}

int ApplicationMain(IHost& host)
{
    auto application = std::make_unique<CApplication>(host);
    if (!application->Initialize())
        return -1;
    application->Run();
    application.reset();
    return 0;
}
