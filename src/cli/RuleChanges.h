// Values the window's field rules changed in a profile: cut to a limit, or replaced.
#pragma once

#include "ControlProfile.h"

#include <QString>

#include <vector>

struct RuleChange
{
    QString key;
    QString was;
    QString now;
    bool cut = false; // both are numbers: the value was held to a limit
};

// The padding of a number ("42" to "00042") changes no value and is left out.
std::vector<RuleChange> RuleChanges(const ControlProfile &given, const ControlProfile &applied);
