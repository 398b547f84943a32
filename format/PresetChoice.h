#pragma once

#include <QString>

// One preset as the lists name it: category, label and output extension.
struct PresetChoice
{
    QString category;
    QString label;
    QString extension;
};
