#include "app/MenuKeyboard.h"

#include <algorithm>
#include <string>
#include <utility>

#include "render/Platform.h"

namespace
{
constexpr SHeldInput kMenuKeys[] = {
    {"F10, or Alt alone", "the menu bar takes the keyboard; again: it lets go"},
    {"Left, Right", "in the menu bar: the menu before or after"},
    {"Up, Down", "in an open menu: the item above or below"},
    {"Enter, Space", "choose the highlighted item, or open its submenu"},
    {"Underlined letter", "in an open menu: choose that item (File: P, S, E)"},
    {"Esc", "close the open menu, one level at a time, then leave the bar; close the Controls "
            "window or a message box; with none of them open: exit"},
    {"Click outside an open menu", "close it; the click reaches nothing else"},
};

// The entries directly inside the popup that begins at `popup` (items and
// submenus, no separators); kNone: the popups of the bar.
std::vector<size_t> Children(const CMenuState& menu, size_t popup)
{
    const std::vector<SMenuEntry>& entries = menu.Entries();
    std::vector<size_t> children;
    int depth = 0;
    const size_t start = popup == CMenuKeyboard::kNone ? 0 : popup + 1;
    const int top = popup == CMenuKeyboard::kNone ? 0 : 1;
    depth = top;
    for (size_t i = start; i < entries.size(); ++i)
    {
        const EMenuEntryKind kind = entries[i].kind;
        if (kind == EMenuEntryKind::kEndPopup)
        {
            if (--depth < top)
                break;
            continue;
        }
        if (depth == top && kind != EMenuEntryKind::kSeparator)
            children.push_back(i);
        if (kind == EMenuEntryKind::kBeginPopup)
            ++depth;
    }
    return children;
}

bool IsPopup(const CMenuState& menu, size_t entry)
{
    return entry < menu.Entries().size() &&
           menu.Entries()[entry].kind == EMenuEntryKind::kBeginPopup;
}

// The child after (step +1) or before (-1) `current`, wrapping; the first or
// last when nothing is highlighted.
size_t Step(const std::vector<size_t>& children, size_t current, int step)
{
    if (children.empty())
        return CMenuKeyboard::kNone;
    const auto at = std::find(children.begin(), children.end(), current);
    if (at == children.end())
        return step > 0 ? children.front() : children.back();
    const size_t index = static_cast<size_t>(at - children.begin());
    const size_t count = children.size();
    return children[step > 0 ? (index + 1) % count : (index + count - 1) % count];
}

bool IsLetter(int key)
{
    return key >= 'A' && key <= 'Z';
}
} // namespace

std::span<const SHeldInput> MenuKeys()
{
    return kMenuKeys;
}

SHeldInput MenuTitleKeys()
{
    // Made once from the titles, so that a new popup is listed with its key.
    static const auto [keys, effect] = []
    {
        std::string keys;
        std::string effect = "open ";
        for (const char* title : kMenuTitles)
        {
            const bool first = keys.empty();
            keys += std::string(first ? "" : ", ") + "Alt+" + title[0];
            effect += std::string(first ? "" : ", ") + title;
        }
        return std::pair{keys, effect};
    }();
    return {keys.c_str(), effect.c_str()};
}

bool CMenuKeyboard::TakeChange()
{
    const bool changed = m_changed;
    m_changed = false;
    return changed;
}

void CMenuKeyboard::Leave()
{
    m_changed = m_changed || !m_path.empty();
    m_path.clear();
    m_highlight = kNone;
    m_barActive = false;
}

void CMenuKeyboard::Open(const CMenuState& menu, size_t popup, bool fromEnd)
{
    m_path.push_back(popup);
    const std::vector<size_t> children = Children(menu, popup);
    m_highlight = children.empty() ? kNone : (fromEnd ? children.back() : children.front());
    m_changed = true;
}

void CMenuKeyboard::OpenTitle(const CMenuState& menu, size_t title)
{
    m_path.clear();
    m_barActive = true;
    Open(menu, title);
}

void CMenuKeyboard::CloseInnermost()
{
    m_highlight = m_path.back();
    m_path.pop_back();
    m_changed = true;
}

int CMenuKeyboard::Activate(const CMenuState& menu, size_t entry)
{
    if (entry == kNone)
        return 0;
    const SMenuEntry& chosen = menu.Entries()[entry];
    if (!chosen.enabled)
        return 0;
    if (chosen.kind == EMenuEntryKind::kBeginPopup)
    {
        Open(menu, entry);
        return 0;
    }
    const int command = chosen.command;
    Leave();
    return command;
}

void CMenuKeyboard::OnKeyUp(const CMenuState& menu, int key)
{
    if (key != kVkMenu)
        return;
    if (m_altAlone)
    {
        if (HasKeyboard())
        {
            Leave();
        }
        else
        {
            const std::vector<size_t> titles = Children(menu, kNone);
            m_barActive = true;
            m_highlight = titles.empty() ? kNone : titles.front();
        }
    }
    m_altAlone = false;
}

void CMenuKeyboard::OnMouseButton()
{
    m_altAlone = false;
    if (m_path.empty() && m_barActive)
        Leave();
}

void CMenuKeyboard::Follow(const std::vector<size_t>& open)
{
    if (open == m_path)
        return;
    m_path = open;
    m_highlight = kNone;
    if (m_path.empty())
        m_barActive = false;
}

SMenuKeyResult CMenuKeyboard::OnKeyDown(const CMenuState& menu, int key, bool alt)
{
    if (key == kVkMenu)
    {
        m_altAlone = true;
        return {true, 0};
    }
    m_altAlone = false;

    const std::vector<size_t> titles = Children(menu, kNone);
    if (alt)
    {
        // Alt with a title's first letter opens that menu; no other Alt
        // combination is a key of the program.
        for (const size_t title : titles)
            if (IsLetter(key) && !menu.Entries()[title].label.empty() &&
                menu.Entries()[title].label[0] == key)
                OpenTitle(menu, title);
        return {true, 0};
    }
    if (key == kVkF10)
    {
        if (HasKeyboard())
        {
            Leave();
        }
        else
        {
            m_barActive = true;
            m_highlight = titles.empty() ? kNone : titles.front();
        }
        return {true, 0};
    }
    if (!HasKeyboard())
        return {};
    return InMenu(menu, key, alt);
}

SMenuKeyResult CMenuKeyboard::InMenu(const CMenuState& menu, int key, bool /*alt*/)
{
    const std::vector<size_t> titles = Children(menu, kNone);
    SMenuKeyResult result{true, 0};
    // The bar has the keyboard, no menu is open: a title is highlighted.
    if (m_path.empty())
    {
        switch (key)
        {
        case kVkLeft:
        case kVkRight:
            m_highlight = Step(titles, m_highlight, key == kVkRight ? 1 : -1);
            break;
        case kVkDown:
        case kVkUp:
        case kVkReturn:
        case kVkSpace:
            if (m_highlight != kNone)
                Open(menu, m_highlight, key == kVkUp);
            break;
        case kVkEscape:
            Leave();
            break;
        default:
            for (const size_t title : titles)
                if (IsLetter(key) && menu.Entries()[title].label[0] == key)
                    OpenTitle(menu, title);
            break;
        }
        return result;
    }

    const std::vector<size_t> children = Children(menu, m_path.back());
    const size_t outer = m_path.front();
    switch (key)
    {
    case kVkUp:
    case kVkDown:
        m_highlight = Step(children, m_highlight, key == kVkDown ? 1 : -1);
        break;
    case kVkRight:
        if (IsPopup(menu, m_highlight) && menu.Entries()[m_highlight].enabled)
            Open(menu, m_highlight);
        else
            OpenTitle(menu, Step(titles, outer, 1));
        break;
    case kVkLeft:
        if (m_path.size() > 1)
            CloseInnermost();
        else
            OpenTitle(menu, Step(titles, outer, -1));
        break;
    case kVkReturn:
    case kVkSpace:
        result.command = Activate(menu, m_highlight);
        break;
    case kVkEscape:
        if (m_path.size() > 1)
        {
            CloseInnermost();
        }
        else if (m_barActive)
        {
            // Back to the bar with the menu's title highlighted.
            CloseInnermost();
        }
        else
        {
            // A menu the mouse opened: closing it leaves the bar.
            Leave();
        }
        break;
    default:
        if (IsLetter(key))
            for (const size_t child : children)
                if (menu.Entries()[child].mnemonic == key)
                {
                    result.command = Activate(menu, child);
                    break;
                }
        break;
    }
    return result;
}
