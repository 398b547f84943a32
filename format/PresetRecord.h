#pragma once

#include <QString>

// One ready-made output format read from presets.xml.
struct PresetRecord
{
    QString label;
    QString params;
    QString extension;
    QString category; // empty: the record is free and the next entry is read into it
};
