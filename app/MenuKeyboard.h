#pragma once
// The menu bar driven from the keyboard, as desktop menus are: F10 or Alt
// alone gives the bar the keyboard, Alt and a title's first letter opens that
// menu, the arrows move between menus and items, Enter or Space chooses, the
// letter after an item's '&' chooses it, Esc closes one level at a time and
// then leaves the bar. It works on the entries of a CMenuState and knows no
// toolkit; the host draws what it says and tells it what the mouse did.

#include <cstddef>
#include <span>
#include <vector>

#include "app/CommandTable.h"
#include "app/MenuState.h"

// What became of a key offered to the menu.
struct SMenuKeyResult
{
    bool consumed = false; // the key is the menu's and reaches nothing else
    int command = 0;       // the command chosen; 0 for none
};

// The keys of the menu itself, for the Controls window; the Alt and letter
// keys of the titles are MenuTitleKeys().
std::span<const SHeldInput> MenuKeys();
// "Alt+F, Alt+O, ..." and "open File, Options, ...", from kMenuTitles.
SHeldInput MenuTitleKeys();

class CMenuKeyboard
{
public:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // A key pressed; `alt`: Alt is held. Keys the menu does not take while it
    // has no keyboard are left to the application.
    SMenuKeyResult OnKeyDown(const CMenuState& menu, int key, bool alt);
    // A key released: Alt released with no key pressed since it went down
    // gives the bar the keyboard, or takes it back.
    void OnKeyUp(const CMenuState& menu, int key);
    // A mouse button pressed: Alt is no longer alone, and a bar without an
    // open menu lets go of the keyboard.
    void OnMouseButton();
    // The window lost the keyboard (Alt+Tab to another window): the Alt
    // released there is not Alt alone, and the bar lets go as for a click.
    void OnFocusLost() { OnMouseButton(); }
    // The popups the host found open after the mouse had its say, outermost
    // first (indices of their kBeginPopup entries).
    void Follow(const std::vector<size_t>& open);

    // The bar or an open menu takes every key.
    bool HasKeyboard() const { return m_barActive || !m_path.empty(); }
    // The open popups, outermost first.
    const std::vector<size_t>& Path() const { return m_path; }
    // The highlighted entry: an item or submenu of the innermost open popup,
    // or a popup title of the bar when none is open; kNone for none.
    size_t Highlight() const { return m_highlight; }
    // Whether keys have changed the open popups since the last call; the host
    // then opens and closes its menus to match Path().
    bool TakeChange();

private:
    SMenuKeyResult InMenu(const CMenuState& menu, int key, bool alt);
    void Open(const CMenuState& menu, size_t popup, bool fromEnd = false);
    void OpenTitle(const CMenuState& menu, size_t title);
    void CloseInnermost();
    void Leave();
    // Chooses or opens the entry; returns the command chosen.
    int Activate(const CMenuState& menu, size_t entry);

    std::vector<size_t> m_path;
    size_t m_highlight = kNone;
    bool m_barActive = false;
    bool m_changed = false;
    bool m_altAlone = false;
};
