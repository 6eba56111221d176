#pragma once
// The host for tests and tools: an offscreen EGL framebuffer in place of the
// window, and everything a person would do scripted by the caller: the keys
// held, the events queued, the answers to Yes/No boxes, the clock. Message
// boxes are recorded instead of shown. Links neither SDL nor ImGui.
//
//   CHeadlessPlatform platform;
//   SetPlatform(&platform);          // for code that only needs IPlatform
//   platform.SetTime(1000);          // milliseconds
//   platform.SetKeyDown(kVkLeft, true);
//   platform.QueueAnswer(EMessageResult::kNo);
//   ... platform.MessageBoxes()[0].caption ...
//
// For a plain current GL context see HeadlessGL.h.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/Host.h"

class CEglPbuffer;

// One message box as the code under test asked for it.
struct SMessageBoxRecord
{
    std::string caption;
    std::string text;
    EMessageButtons buttons = EMessageButtons::kOk;
    EMessageIcon icon = EMessageIcon::kNone;
    // Whether the main window had been shown when the box came up.
    bool windowShown = false;
};

// The start-up steps of IHost that a test can make fail.
enum class EHeadlessStep
{
    kOpenDisplay,
    kSetPixelFormat,
    kCreateMainWindow,
    kCreateContext,
};

class CHeadlessPlatform : public IHost
{
public:
    CHeadlessPlatform();
    ~CHeadlessPlatform() override;
    CHeadlessPlatform(const CHeadlessPlatform&) = delete;
    CHeadlessPlatform& operator=(const CHeadlessPlatform&) = delete;

    // IPlatform
    bool IsKeyDown(int virtualKey) const override;
    // Records the box; a Yes/No box takes the next queued answer, or Yes (the
    // default button) when none is queued.
    EMessageResult MessageBox(const std::string& caption, const std::string& text,
                              EMessageButtons buttons, EMessageIcon icon) override;
    uint32_t TimeGetTime() const override { return m_time; }

    // IHost
    bool OpenDisplay(std::string& error) override;
    bool SetPixelFormat(const SPixelFormat& request, std::string& error) override;
    bool CreateMainWindow(const std::string& caption, int width, int height,
                          std::string& error) override;
    bool CreateContext(std::string& error) override;
    SPixelFormat GrantedPixelFormat() const override;
    void ShowMainWindow() override { m_windowShown = true; }
    std::string GetGLString(unsigned name) const override;
    int MenuBarHeight() const override { return m_menuBarHeight; }
    void SetCaption(const std::string& caption) override;
    void DrawMenu(const CMenuState& menu, const SOverlayPanels& panels) override;
    void SwapBuffers() override { ++m_swapCount; }
    bool PollEvent(SHostEvent& event) override;
    // Nothing can arrive while the caller waits, so this returns at once.
    void WaitEvent() override { ++m_waitCount; }
    void PostQuit(int exitCode) override;

    // Scripting.
    void SetKeyDown(int virtualKey, bool down);
    void SetTime(uint32_t milliseconds) { m_time = milliseconds; }
    void AdvanceTime(uint32_t milliseconds) { m_time += milliseconds; }
    void QueueAnswer(EMessageResult answer) { m_answers.push_back(answer); }
    void PushEvent(const SHostEvent& event) { m_events.push_back(event); }
    // The step fails with `error` as the system's text.
    void FailStep(EHeadlessStep step, const std::string& error) { m_failures[step] = error; }
    // What GrantedPixelFormat reports instead of the real framebuffer's
    // sizes: a 16-bit display, a framebuffer without stencil.
    void OverrideGrantedFormat(const SPixelFormat& format);
    // What GetGLString returns for `name` instead of the context's string.
    void OverrideGLString(unsigned name, const std::string& value) { m_strings[name] = value; }
    void SetMenuBarHeight(int pixels) { m_menuBarHeight = pixels; }

    // Observations.
    const std::vector<SMessageBoxRecord>& MessageBoxes() const { return m_boxes; }
    const std::string& Caption() const { return m_caption; }
    int CaptionChanges() const { return m_captionChanges; }
    bool WindowShown() const { return m_windowShown; }
    int WindowWidth() const { return m_windowWidth; }
    int WindowHeight() const { return m_windowHeight; }
    int SwapCount() const { return m_swapCount; }
    int MenuDrawCount() const { return m_menuDrawCount; }
    // The Controls window of the last frame drawn; null when it was not shown.
    const ControlsListing* ControlsDrawn() const { return m_controlsDrawn; }
    // The statistics panel of the last DrawMenu, or null.
    const CFrameStatistics* StatisticsDrawn() const { return m_statisticsDrawn; }
    int WaitCount() const { return m_waitCount; }
    size_t PendingEvents() const { return m_events.size(); }

private:
    bool Failing(EHeadlessStep step, std::string& error) const;

    std::unique_ptr<CEglPbuffer> m_pbuffer;
    SPixelFormat m_request;
    bool m_hasGrantedOverride = false;
    SPixelFormat m_grantedOverride;
    std::map<unsigned, std::string> m_strings;
    std::map<EHeadlessStep, std::string> m_failures;
    std::set<int> m_keysDown;
    std::deque<EMessageResult> m_answers;
    std::deque<SHostEvent> m_events;
    std::vector<SMessageBoxRecord> m_boxes;
    std::string m_caption;
    uint32_t m_time = 0;      // milliseconds
    int m_menuBarHeight = 19; // pixels, as Dear ImGui's default font gives
    int m_windowWidth = 0;    // pixels
    int m_windowHeight = 0;   // pixels
    int m_captionChanges = 0;
    int m_swapCount = 0;
    int m_menuDrawCount = 0;
    const ControlsListing* m_controlsDrawn = nullptr;
    const CFrameStatistics* m_statisticsDrawn = nullptr;
    int m_waitCount = 0;
    bool m_windowShown = false;
};
