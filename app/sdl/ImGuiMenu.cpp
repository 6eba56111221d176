#include "app/sdl/ImGuiMenu.h"

#include <imgui.h>
#include <imgui_internal.h>

#include <algorithm>
#include <cctype>

#include "app/MenuKeyboard.h"
#include "app/MenuState.h"

namespace
{
// Items are drawn on channel 1 of a window's draw list, the keyboard's
// highlight on channel 0, so that the highlight lies behind the text as the
// mouse's does.
constexpr int kBackChannel = 0;
constexpr int kFrontChannel = 1;

void DrawHighlightBehindLastItem()
{
    ImDrawList* list = ImGui::GetWindowDrawList();
    list->ChannelsSetCurrent(kBackChannel);
    list->AddRectFilled(ImGui::GetItemRectMin(), ImGui::GetItemRectMax(),
                        ImGui::GetColorU32(ImGuiCol_HeaderHovered));
    list->ChannelsSetCurrent(kFrontChannel);
}

// A line under the mnemonic letter of a label whose text starts at `origin`.
void UnderlineMnemonic(const SMenuEntry& entry, ImVec2 origin)
{
    if (entry.mnemonic == 0)
        return;
    const std::string& label = entry.label;
    const auto at = std::find_if(
        label.begin(), label.end(),
        [&](char c) { return std::toupper(static_cast<unsigned char>(c)) == entry.mnemonic; });
    if (at == label.end())
        return;
    const size_t index = static_cast<size_t>(at - label.begin());
    const float before = ImGui::CalcTextSize(label.c_str(), label.c_str() + index).x;
    const float width = ImGui::CalcTextSize(label.c_str() + index, label.c_str() + index + 1).x;
    const float y = origin.y + ImGui::GetFontSize();
    ImGui::GetWindowDrawList()->AddLine(
        ImVec2(origin.x + before, y), ImVec2(origin.x + before + width, y),
        ImGui::GetColorU32(entry.enabled ? ImGuiCol_Text : ImGuiCol_TextDisabled));
}

struct SLevel
{
    bool open;
};
} // namespace

SMenuBarFrame DrawMainMenuBar(const CMenuState& menu, CMenuKeyboard& keyboard,
                              const std::vector<size_t>& lastOpen, std::vector<int>& chosen)
{
    SMenuBarFrame frame;
    const bool apply = keyboard.TakeChange();
    const std::vector<size_t> wanted = keyboard.Path();
    if (apply)
    {
        // Popups the keys closed are closed before anything is drawn, so
        // that no frame shows them again, not even empty.
        const auto kept =
            std::mismatch(wanted.begin(), wanted.end(), lastOpen.begin(), lastOpen.end());
        const int keep = static_cast<int>(kept.first - wanted.begin());
        if (ImGui::GetCurrentContext()->OpenPopupStack.Size > keep)
            ImGui::ClosePopupToLevel(keep, false);
    }
    if (!ImGui::BeginMainMenuBar())
        return frame;
    const size_t highlight = keyboard.Highlight();
    const bool underline = keyboard.HasKeyboard();
    const float barLeft = ImGui::GetWindowPos().x;
    ImGui::GetWindowDrawList()->ChannelsSplit(2);
    ImGui::GetWindowDrawList()->ChannelsSetCurrent(kFrontChannel);

    // One entry per popup level entered: whether that popup is open (and so
    // all of its parents are).
    std::vector<SLevel> levels;
    const std::vector<SMenuEntry>& entries = menu.Entries();
    for (size_t i = 0; i < entries.size(); ++i)
    {
        const SMenuEntry& entry = entries[i];
        const bool visible = levels.empty() || levels.back().open;
        switch (entry.kind)
        {
        case EMenuEntryKind::kBeginPopup:
        {
            bool open = false;
            if (visible)
            {
                const bool keyOpen = std::find(wanted.begin(), wanted.end(), i) != wanted.end();
                if (apply && keyOpen && entry.enabled)
                    ImGui::OpenPopup(entry.label.c_str());
                open = ImGui::BeginMenu(entry.label.c_str(), entry.enabled);
                if (open && apply && !keyOpen)
                {
                    ImGui::CloseCurrentPopup();
                    ImGui::EndMenu();
                    open = false;
                }
                if (!open && i == highlight)
                    DrawHighlightBehindLastItem();
                if (levels.empty())
                    frame.width = ImGui::GetItemRectMax().x - barLeft;
                if (open)
                {
                    frame.open.push_back(i);
                    ImGui::GetWindowDrawList()->ChannelsSplit(2);
                    ImGui::GetWindowDrawList()->ChannelsSetCurrent(kFrontChannel);
                }
            }
            levels.push_back({open});
            break;
        }
        case EMenuEntryKind::kEndPopup:
            if (!levels.empty())
            {
                if (levels.back().open)
                {
                    ImGui::GetWindowDrawList()->ChannelsMerge();
                    ImGui::EndMenu();
                }
                levels.pop_back();
            }
            break;
        case EMenuEntryKind::kSeparator:
            if (visible)
                ImGui::Separator();
            break;
        case EMenuEntryKind::kItem:
            if (visible)
            {
                const ImVec2 origin = ImGui::GetCursorScreenPos();
                if (ImGui::MenuItem(entry.label.c_str(),
                                    entry.shortcut.empty() ? nullptr : entry.shortcut.c_str(),
                                    entry.checked, entry.enabled))
                    chosen.push_back(entry.command);
                if (i == highlight)
                    DrawHighlightBehindLastItem();
                if (underline)
                    UnderlineMnemonic(entry, origin);
            }
            break;
        }
    }
    ImGui::GetWindowDrawList()->ChannelsMerge();
    ImGui::EndMainMenuBar();
    // What the mouse did this frame is the keyboard's starting point for the
    // next keys; what the keys asked for has just been applied.
    if (!apply)
        keyboard.Follow(frame.open);
    return frame;
}

float TallestPopupHeight(const CMenuState& menu)
{
    const ImGuiStyle& style = ImGui::GetStyle();
    const float row = ImGui::GetFontSize() + style.ItemSpacing.y;
    const float separator = style.ItemSpacing.y + 1.0f;
    float tallest = 0.0f;
    // Rows and separators directly inside each open level.
    std::vector<float> heights;
    for (const SMenuEntry& entry : menu.Entries())
    {
        switch (entry.kind)
        {
        case EMenuEntryKind::kBeginPopup:
            if (!heights.empty())
                heights.back() += row;
            heights.push_back(0.0f);
            break;
        case EMenuEntryKind::kEndPopup:
            tallest = std::max(tallest, heights.back());
            heights.pop_back();
            break;
        case EMenuEntryKind::kSeparator:
            heights.back() += separator;
            break;
        case EMenuEntryKind::kItem:
            heights.back() += row;
            break;
        }
    }
    return tallest + style.WindowPadding.y * 2.0f;
}

bool DrawControlsWindow(const ControlsListing& listing)
{
    bool open = true;
    const ImGuiViewport* viewport = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(viewport->GetWorkCenter(), ImGuiCond_Appearing, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSize(ImVec2(viewport->WorkSize.x * 0.92f, viewport->WorkSize.y * 0.9f),
                             ImGuiCond_Appearing);
    if (ImGui::Begin("Controls", &open, ImGuiWindowFlags_NoCollapse))
    {
        for (const SControlsSection& section : listing)
        {
            ImGui::TextUnformatted(section.title.c_str());
            const bool withMenu =
                std::any_of(section.rows.begin(), section.rows.end(),
                            [](const SControlsRow& row) { return !row.menu.empty(); });
            const int columns = withMenu ? 3 : 2;
            if (ImGui::BeginTable(section.title.c_str(), columns,
                                  ImGuiTableFlags_BordersInnerH | ImGuiTableFlags_RowBg |
                                      ImGuiTableFlags_SizingStretchProp))
            {
                ImGui::TableSetupColumn("Key", ImGuiTableColumnFlags_WidthStretch, 1.0f);
                if (withMenu)
                    ImGui::TableSetupColumn("Menu", ImGuiTableColumnFlags_WidthStretch, 1.2f);
                ImGui::TableSetupColumn("Effect", ImGuiTableColumnFlags_WidthStretch, 2.0f);
                ImGui::TableHeadersRow();
                for (const SControlsRow& row : section.rows)
                {
                    ImGui::TableNextRow();
                    ImGui::TableNextColumn();
                    ImGui::TextWrapped("%s", row.input.c_str());
                    if (withMenu)
                    {
                        ImGui::TableNextColumn();
                        ImGui::TextWrapped("%s", row.menu.c_str());
                    }
                    ImGui::TableNextColumn();
                    ImGui::TextWrapped("%s", row.effect.c_str());
                }
                ImGui::EndTable();
            }
            ImGui::Spacing();
        }
    }
    ImGui::End();
    return open;
}
