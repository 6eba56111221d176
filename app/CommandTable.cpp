#include "app/CommandTable.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "app/Commands.h"
#include "render/Platform.h"

namespace
{
struct SKeyName
{
    int key;
    const char* name;
};

constexpr SKeyName kKeyNames[] = {
    {kVkBack, "Backspace"}, {kVkReturn, "Enter"}, {kVkPause, "Pause"}, {kVkEscape, "Esc"},
    {kVkSpace, "Space"},    {kVkEnd, "End"},      {kVkHome, "Home"},   {kVkLeft, "Left"},
    {kVkUp, "Up"},          {kVkRight, "Right"},  {kVkDown, "Down"},   {kVkSubtract, "Keypad -"},
    {kVkOemPlus, "="},      {kVkOemMinus, "-"},   {kVkOem2, "/"},      {kVkOem2 | kKeyShift, "?"},
};

SMenuEntry Marker(EMenuEntryKind kind)
{
    SMenuEntry entry;
    entry.kind = kind;
    return entry;
}

// Appends the entries of the popup at `path` (its rows and, where the first
// row of a submenu stands, that whole submenu).
void AppendPopup(std::span<const SCommand> commands, const std::string& path,
                 std::vector<SMenuEntry>& entries)
{
    bool empty = true;
    std::vector<std::string> submenusDone;
    for (const SCommand& command : commands)
    {
        if (command.menu == nullptr)
            continue;
        const std::string_view menu = command.menu;
        const bool here = menu == path;
        const bool below =
            menu.size() > path.size() + 1 && menu.starts_with(path) && menu[path.size()] == '/';
        if (!here && !below)
            continue;
        std::string submenu;
        if (below)
        {
            const std::string_view rest = menu.substr(path.size() + 1);
            submenu = std::string(rest.substr(0, rest.find('/')));
            if (std::find(submenusDone.begin(), submenusDone.end(), submenu) != submenusDone.end())
                continue;
            submenusDone.push_back(submenu);
        }
        if (command.separatorBefore && !empty)
            entries.push_back(Marker(EMenuEntryKind::kSeparator));
        empty = false;
        if (below)
        {
            SMenuEntry begin;
            begin.kind = EMenuEntryKind::kBeginPopup;
            begin.label = submenu;
            entries.push_back(begin);
            AppendPopup(commands, path + "/" + submenu, entries);
            entries.push_back(Marker(EMenuEntryKind::kEndPopup));
            continue;
        }
        SMenuEntry item;
        item.command = command.id;
        item.label = LabelText(command.label);
        item.mnemonic = Mnemonic(command.label);
        item.shortcut = KeyName(command.key);
        item.enabled = command.handler != nullptr;
        entries.push_back(item);
    }
}

} // namespace

std::string KeyName(int key)
{
    for (const SKeyName& name : kKeyNames)
        if (name.key == key)
            return name.name;
    const int bare = key & ~kKeyShift;
    std::string prefix = (key & kKeyShift) != 0 ? "Shift+" : "";
    if (bare >= 'A' && bare <= 'Z')
        return prefix + static_cast<char>(bare);
    if (bare >= kVk0 && bare <= kVk9)
        return prefix + static_cast<char>(bare);
    if (bare >= kVkF1 && bare <= kVkF1 + 11)
        return prefix + "F" + std::to_string(bare - kVkF1 + 1);
    return "";
}

std::string LabelText(const char* label)
{
    std::string text;
    for (const char* c = label; c != nullptr && *c != '\0'; ++c)
        if (*c != '&')
            text += *c;
    return text;
}

char Mnemonic(const char* label)
{
    for (const char* c = label; c != nullptr && *c != '\0'; ++c)
        if (*c == '&' && c[1] != '\0')
            return static_cast<char>(std::toupper(static_cast<unsigned char>(c[1])));
    return 0;
}

std::vector<SMenuEntry> BuildMenuEntries(std::span<const SCommand> commands)
{
    std::vector<SMenuEntry> entries;
    for (const char* title : kMenuTitles)
    {
        SMenuEntry begin;
        begin.kind = EMenuEntryKind::kBeginPopup;
        begin.label = title;
        entries.push_back(begin);
        AppendPopup(commands, title, entries);
        entries.push_back(Marker(EMenuEntryKind::kEndPopup));
    }
    return entries;
}

std::string MenuPath(const SCommand& command)
{
    if (command.menu == nullptr)
        return "";
    std::string path;
    for (const char* c = command.menu; *c != '\0'; ++c)
        path += *c == '/' ? std::string(" > ") : std::string(1, *c);
    return path + " > " + LabelText(command.label);
}
