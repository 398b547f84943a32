#pragma once

#include <QString>

// One codec offered in the custom format, read from codecs.xml.
struct CodecRecord
{
    QString name;
    QString description; // empty: the record is free and the next entry is read into it
    QString type;        // "video codec", "audio codec" or "general"
};
