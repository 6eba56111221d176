#pragma once
// The main menu as the host draws it: popups, items and separators in order,
// each item with its label, its shortcut text, its command and its check mark
// and enabled state. The application keeps the marks in step with its state;
// the host only reads it.

#include <string>
#include <vector>

enum class EMenuEntryKind
{
    kItem,
    kSeparator,
    kBeginPopup, // label: the popup's title; its entries follow up to kEndPopup
    kEndPopup,
};

struct SMenuEntry
{
    EMenuEntryKind kind = EMenuEntryKind::kItem;
    std::string label;    // as shown, without the '&' of its mnemonic
    std::string shortcut; // shown right of the label; empty for none
    char mnemonic = 0;    // upper-case letter that chooses the item in an open menu; 0 for none
    int command = 0;      // kItem only
    bool checked = false;
    bool enabled = true;
};

class CMenuState
{
public:
    CMenuState() = default;
    explicit CMenuState(std::vector<SMenuEntry> entries) : m_entries(std::move(entries)) {}

    // Every item of the command; a command without an item is ignored.
    void Check(int command, bool checked);
    void Enable(int command, bool enabled);

    // Of the command's first item; false when it has none.
    bool IsChecked(int command) const;
    bool IsEnabled(int command) const;
    const SMenuEntry* Find(int command) const;

    const std::vector<SMenuEntry>& Entries() const { return m_entries; }

private:
    std::vector<SMenuEntry> m_entries;
};
