#include "dynamics/ContactModel.h"

const char* ContactModelName(EContactModel model)
{
    return model == EContactModel::Classic ? "classic" : "stable";
}

bool ParseContactModel(const std::string& text, EContactModel& model)
{
    if (text == "classic")
    {
        model = EContactModel::Classic;
        return true;
    }
    if (text == "stable")
    {
        model = EContactModel::Stable;
        return true;
    }
    return false;
}
