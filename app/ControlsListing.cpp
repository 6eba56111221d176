#include "app/ControlsListing.h"

#include "app/MenuKeyboard.h"

ControlsListing BuildControlsListing(std::span<const SCommand> commands,
                                     std::span<const SKeyBinding> keys,
                                     std::span<const SHeldInput> held,
                                     std::span<const SHeldInput> menuKeys)
{
    ControlsListing listing;
    SControlsSection& commandSection = listing.emplace_back();
    commandSection.title = "Commands";
    for (const SCommand& command : commands)
        if (command.handler != nullptr)
            commandSection.rows.push_back(
                {KeyName(command.key), MenuPath(command), command.effect, command.id});

    SControlsSection& keySection = listing.emplace_back();
    keySection.title = "Keys";
    for (const SKeyBinding& key : keys)
        keySection.rows.push_back({key.keys, "", key.effect, 0});

    SControlsSection& heldSection = listing.emplace_back();
    heldSection.title = "Held keys and mouse";
    for (const SHeldInput& input : held)
        heldSection.rows.push_back({input.input, "", input.effect, 0});

    SControlsSection& menuSection = listing.emplace_back();
    menuSection.title = "Menu keys";
    for (const SHeldInput& input : menuKeys)
        menuSection.rows.push_back({input.input, "", input.effect, 0});
    if (!menuKeys.empty())
    {
        // After F10 and Alt, the first of the menu's keys.
        const SHeldInput titles = MenuTitleKeys();
        menuSection.rows.insert(menuSection.rows.begin() + 1, {titles.input, "", titles.effect, 0});
    }
    return listing;
}
