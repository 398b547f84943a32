#include "app/WindowArguments.h"

#include "services/Version.h"

WindowArguments WindowArguments::parse(const QStringList &arguments)
{
    WindowArguments result;
    bool optionsEnded = false;
    bool help = false;
    bool version = false;
    for (const QString &argument : arguments) {
        if (optionsEnded || argument.size() < 2 || !argument.startsWith(QLatin1Char('-')))
            result.files << argument;
        else if (argument == QLatin1String("--"))
            optionsEnded = true;
        else if (argument == QLatin1String("-h") || argument == QLatin1String("--help"))
            help = true;
        else if (argument == QLatin1String("--version"))
            version = true;
        else if (result.unknownOption.isEmpty())
            result.unknownOption = argument;
    }
    // A question is answered whatever else the line holds.
    if (help)
        result.action = Action::Help;
    else if (version)
        result.action = Action::Version;
    else if (!result.unknownOption.isEmpty())
        result.action = Action::Unknown;
    return result;
}

QString WindowArguments::helpText()
{
    return QStringLiteral(
        "Usage: reelforge [FILE|FOLDER]... [-- FILE...]\n"
        "Collect video files in a list and convert them with ffmpeg, in a window.\n"
        "\n"
        "Files and folders given are added to the list, or handed to the window that is\n"
        "already open in this session.\n"
        "\n"
        "  -h, --help     print this help and exit\n"
        "      --version  print the version and exit\n"
        "      --         take every argument after it as a file\n"
        "\n"
        "The standard Qt options (-style NAME, say) are accepted too. To convert without\n"
        "a window, see reelforge-cli --help.\n");
}

QString WindowArguments::versionText()
{
    return QStringLiteral("reelforge %1\n").arg(QLatin1String(Version::Text));
}
