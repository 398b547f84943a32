#pragma once

#include <QString>
#include <QStringList>

// What the window's command line asks for. Read from the raw arguments, so --help and
// --version are answered before any platform, bus or settings file is touched.
struct WindowArguments
{
    enum class Action { Open, Help, Version, Unknown };

    Action action = Action::Open;
    QStringList files;     // in the order given; "--" ends the options
    QString unknownOption; // the first one, for Action::Unknown

    // The arguments without the program's name. A lone "-" is a file.
    static WindowArguments parse(const QStringList &arguments);
    static QString helpText();
    static QString versionText();
};
