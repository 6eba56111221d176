#include "app/sdl/ImGuiMessageBox.h"

#include <GL/gl.h>
#include <imgui.h>

#include <algorithm>

SFrameCopy CopyBackBuffer(int width, int height)
{
    SFrameCopy copy;
    if (width <= 0 || height <= 0)
        return copy;
    copy.width = width;
    copy.height = height;
    copy.rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4u);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPushAttrib(GL_PIXEL_MODE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, copy.rgba.data());
    glPopAttrib();
    glPopClientAttrib();
    return copy;
}

bool AnswerOfKey(SDL_Keycode key, EMessageButtons buttons, EMessageResult& answer)
{
    const bool yesNo = buttons == EMessageButtons::kYesNo;
    switch (key)
    {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_SPACE:
        answer = yesNo ? EMessageResult::kYes : EMessageResult::kOk;
        return true;
    case SDLK_ESCAPE:
        answer = yesNo ? EMessageResult::kNo : EMessageResult::kOk;
        return true;
    default:
        return false;
    }
}

namespace
{
void DrawBackground(const SFrameCopy& background, int width, int height)
{
    // Every state touched here is the program's own start state or the
    // world's viewport, and is given back.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (!background.rgba.empty())
    {
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_STENCIL_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        // The copy keeps its size; a window grown since shows it at the top
        // left.
        const float top =
            1.0f - 2.0f * static_cast<float>(background.height) / static_cast<float>(height);
        glRasterPos2f(-1.0f, std::max(top, -1.0f));
        glDrawPixels(background.width, background.height, GL_RGBA, GL_UNSIGNED_BYTE,
                     background.rgba.data());
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    glPopClientAttrib();
    glPopAttrib();
}
} // namespace

bool DrawMessageBoxFrame(const SFrameCopy& background, const std::string& caption,
                         const std::string& text, EMessageButtons buttons, EMessageResult& answer)
{
    const ImGuiIO& io = ImGui::GetIO();
    DrawBackground(background, static_cast<int>(io.DisplaySize.x),
                   static_cast<int>(io.DisplaySize.y));
    if (!ImGui::IsPopupOpen(caption.c_str()))
        ImGui::OpenPopup(caption.c_str());
    ImGui::SetNextWindowPos(ImGui::GetMainViewport()->GetCenter(), ImGuiCond_Always,
                            ImVec2(0.5f, 0.5f));
    bool answered = false;
    if (ImGui::BeginPopupModal(caption.c_str(), nullptr,
                               ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoSavedSettings))
    {
        // A window narrower than the text wraps it, so the box stays inside.
        const float margin = ImGui::GetStyle().WindowPadding.x * 4.0f;
        ImGui::PushTextWrapPos(std::max(io.DisplaySize.x - margin, ImGui::GetFontSize() * 10.0f));
        ImGui::TextUnformatted(text.c_str());
        ImGui::PopTextWrapPos();
        ImGui::Spacing();
        const float button = ImGui::GetFontSize() * 6.0f;
        if (buttons == EMessageButtons::kYesNo)
        {
            if (ImGui::Button("Yes", ImVec2(button, 0.0f)))
            {
                answer = EMessageResult::kYes;
                answered = true;
            }
            ImGui::SameLine();
            if (ImGui::Button("No", ImVec2(button, 0.0f)))
            {
                answer = EMessageResult::kNo;
                answered = true;
            }
        }
        else
        {
            ImGui::SetCursorPosX((ImGui::GetWindowWidth() - button) * 0.5f);
            if (ImGui::Button("OK", ImVec2(button, 0.0f)))
            {
                answer = EMessageResult::kOk;
                answered = true;
            }
        }
        if (answered)
            ImGui::CloseCurrentPopup();
        ImGui::EndPopup();
    }
    return answered;
}

void CloseMessageBox(const std::string& caption)
{
    if (ImGui::BeginPopupModal(caption.c_str(), nullptr, ImGuiWindowFlags_AlwaysAutoResize))
    {
        ImGui::CloseCurrentPopup();
        ImGui::EndPopup();
    }
}
