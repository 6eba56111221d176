#include "app/MenuState.h"

void CMenuState::Check(int command, bool checked)
{
    for (SMenuEntry& entry : m_entries)
        if (entry.kind == EMenuEntryKind::kItem && entry.command == command)
            entry.checked = checked;
}

void CMenuState::Enable(int command, bool enabled)
{
    for (SMenuEntry& entry : m_entries)
        if (entry.kind == EMenuEntryKind::kItem && entry.command == command)
            entry.enabled = enabled;
}

const SMenuEntry* CMenuState::Find(int command) const
{
    for (const SMenuEntry& entry : m_entries)
        if (entry.kind == EMenuEntryKind::kItem && entry.command == command)
            return &entry;
    return nullptr;
}

bool CMenuState::IsChecked(int command) const
{
    const SMenuEntry* entry = Find(command);
    return entry != nullptr && entry->checked;
}

bool CMenuState::IsEnabled(int command) const
{
    const SMenuEntry* entry = Find(command);
    return entry != nullptr && entry->enabled;
}
