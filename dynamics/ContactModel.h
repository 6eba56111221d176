#pragma once
// The two contact models a world steps with. Classic is the penalty law as it
// has always been: Coulomb friction of full size at any sliding speed, a
// lying cylinder held at one rim point. Stable keeps that law for whatever
// slides, strikes or bounces, and adds what lets a body stand still: static
// friction held by a spring towards where sticking began, a cylinder lying
// or standing flat on a plane held at a point that moves smoothly as it
// tilts, and two crossing rings touching at both crossings.

#include <cstdint>
#include <string>

enum class EContactModel : uint8_t
{
    Classic,
    Stable,
};

// "classic" or "stable", as the tools' command lines take them.
const char* ContactModelName(EContactModel model);
// True, with the model, when the text is one of the two names.
bool ParseContactModel(const std::string& text, EContactModel& model);
