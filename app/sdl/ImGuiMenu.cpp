#include "app/sdl/ImGuiMenu.h"

#include <imgui.h>

#include "app/MenuState.h"

bool DrawMainMenuBar(const CMenuState& menu, std::vector<int>& chosen)
{
    if (!ImGui::BeginMainMenuBar())
        return false;
    bool anyOpen = false;
    // One entry per popup level entered: whether that popup is open (and so
    // all of its parents are).
    std::vector<bool> levels;
    for (const SMenuEntry& entry : menu.Entries())
    {
        const bool visible = levels.empty() || levels.back();
        switch (entry.kind)
        {
        case EMenuEntryKind::kBeginPopup:
        {
            const bool open = visible && ImGui::BeginMenu(entry.label.c_str());
            anyOpen = anyOpen || open;
            levels.push_back(open);
            break;
        }
        case EMenuEntryKind::kEndPopup:
            if (!levels.empty())
            {
                if (levels.back())
                    ImGui::EndMenu();
                levels.pop_back();
            }
            break;
        case EMenuEntryKind::kSeparator:
            if (visible)
                ImGui::Separator();
            break;
        case EMenuEntryKind::kItem:
            if (visible &&
                ImGui::MenuItem(entry.label.c_str(),
                                entry.shortcut.empty() ? nullptr : entry.shortcut.c_str(),
                                entry.checked, entry.enabled))
                chosen.push_back(entry.command);
            break;
        }
    }
    ImGui::EndMainMenuBar();
    return anyOpen;
}
