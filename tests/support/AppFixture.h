#pragma once
// A CApplication on the headless host, started in the folder of the program's
// own textures. Start() runs the start-up; the host stays scriptable before
// and after it.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/Application.h"
#include "app/headless/HeadlessPlatform.h"

class CAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(std::filesystem::path(CLATTERBOX_SOURCE_DIR) / "assets");
    }
    void TearDown() override
    {
        app.reset();
        std::filesystem::current_path(m_previousDirectory);
    }

    bool Start()
    {
        app = std::make_unique<CApplication>(host);
        return app->Initialize();
    }

    // Started, with the clock at t milliseconds and the first frame done, so
    // that the step clock runs.
    void StartRunning(uint32_t t = 1000)
    {
        host.SetTime(t);
        ASSERT_TRUE(Start());
        app->Advance();
    }

    void Push(const SHostEvent& event) { host.PushEvent(event); }
    // shortcutOnly: pressed with the pointer on the menu bar.
    void PushKey(int virtualKey, bool shortcutOnly = false)
    {
        SHostEvent event;
        event.type = EHostEventType::kKeyDown;
        event.key = virtualKey;
        event.shortcutOnly = shortcutOnly;
        host.PushEvent(event);
    }
    // Runs the loop over everything queued so far, then a quit.
    void RunQueued()
    {
        host.PostQuit(0);
        app->Run();
    }

    CHeadlessPlatform host;
    std::unique_ptr<CApplication> app;

private:
    std::filesystem::path m_previousDirectory;
};
