#pragma once

#include <QStringList>

// The fixed items of the custom format's lists, in the order they are shown.
class CustomLists
{
public:
    static QStringList containers();
    static QStringList sizes(); // four items end in a blank; the name before "(" is what counts
    static QStringList aspects();
    static QStringList sampleRates();
    // The item that leaves size or aspect as the input has them.
    static QString asInput();
};
