#include "app/headless/HeadlessPlatform.h"

#include <GL/gl.h>

#include "app/headless/EglPbuffer.h"

CHeadlessPlatform::CHeadlessPlatform() = default;
CHeadlessPlatform::~CHeadlessPlatform() = default;

bool CHeadlessPlatform::IsKeyDown(int virtualKey) const
{
    return m_keysDown.count(virtualKey) != 0;
}

void CHeadlessPlatform::SetKeyDown(int virtualKey, bool down)
{
    if (down)
        m_keysDown.insert(virtualKey);
    else
        m_keysDown.erase(virtualKey);
}

EMessageResult CHeadlessPlatform::MessageBox(const std::string& caption, const std::string& text,
                                             EMessageButtons buttons, EMessageIcon icon)
{
    m_boxes.push_back({caption, text, buttons, icon, m_windowShown});
    if (buttons == EMessageButtons::kOk)
        return EMessageResult::kOk;
    if (m_answers.empty())
        return EMessageResult::kYes;
    const EMessageResult answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

bool CHeadlessPlatform::Failing(EHeadlessStep step, std::string& error) const
{
    const auto failure = m_failures.find(step);
    if (failure == m_failures.end())
        return false;
    error = failure->second;
    return true;
}

bool CHeadlessPlatform::OpenDisplay(std::string& error)
{
    if (Failing(EHeadlessStep::kOpenDisplay, error))
        return false;
    m_pbuffer = std::make_unique<CEglPbuffer>();
    return m_pbuffer->OpenDisplay(error);
}

bool CHeadlessPlatform::SetPixelFormat(const SPixelFormat& request, std::string& error)
{
    if (Failing(EHeadlessStep::kSetPixelFormat, error))
        return false;
    m_request = request;
    return m_pbuffer->ChooseConfig(request, error);
}

bool CHeadlessPlatform::CreateMainWindow(const std::string& caption, int width, int height,
                                         std::string& error)
{
    if (Failing(EHeadlessStep::kCreateMainWindow, error))
        return false;
    if (!m_pbuffer->CreateSurface(width, height, error))
        return false;
    m_windowWidth = width;
    m_windowHeight = height;
    m_caption = caption;
    return true;
}

bool CHeadlessPlatform::CreateContext(std::string& error)
{
    if (Failing(EHeadlessStep::kCreateContext, error))
        return false;
    return m_pbuffer->CreateContext(error);
}

SPixelFormat CHeadlessPlatform::GrantedPixelFormat() const
{
    if (m_hasGrantedOverride)
        return m_grantedOverride;
    SPixelFormat granted = m_pbuffer ? m_pbuffer->Granted() : SPixelFormat{};
    // The pbuffer has one buffer, but the program draws as if to a window's
    // back buffer; report what was asked so that both hosts look alike.
    granted.doubleBuffer = m_request.doubleBuffer;
    return granted;
}

void CHeadlessPlatform::OverrideGrantedFormat(const SPixelFormat& format)
{
    m_hasGrantedOverride = true;
    m_grantedOverride = format;
}

std::string CHeadlessPlatform::GetGLString(unsigned name) const
{
    const auto scripted = m_strings.find(name);
    if (scripted != m_strings.end())
        return scripted->second;
    const GLubyte* value = glGetString(name);
    return value != nullptr ? reinterpret_cast<const char*>(value) : "";
}

void CHeadlessPlatform::SetCaption(const std::string& caption)
{
    m_caption = caption;
    ++m_captionChanges;
}

void CHeadlessPlatform::DrawMenu(const CMenuState&, const SOverlayPanels& panels)
{
    ++m_menuDrawCount;
    m_controlsDrawn = panels.controls;
    m_statisticsDrawn = panels.statistics;
}

bool CHeadlessPlatform::PollEvent(SHostEvent& event)
{
    if (m_events.empty())
        return false;
    event = m_events.front();
    m_events.pop_front();
    return true;
}

void CHeadlessPlatform::PostQuit(int exitCode)
{
    SHostEvent quit;
    quit.type = EHostEventType::kQuit;
    quit.exitCode = exitCode;
    m_events.push_back(quit);
}
