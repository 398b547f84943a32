#include "batch/FormatOptions.h"

#include <QHash>
#include <QProcess>
#include <QSet>

namespace {
using Kind = MediaStream::Kind;

struct Alias
{
    const char *name;
    const char *specifier;
};

// Options written with the kind in their name.
const QHash<QString, Alias> &aliases()
{
    static const QHash<QString, Alias> table = {
        {QStringLiteral("vcodec"), {"c", "v"}},  {QStringLiteral("acodec"), {"c", "a"}},
        {QStringLiteral("scodec"), {"c", "s"}},  {QStringLiteral("codec"), {"c", ""}},
        {QStringLiteral("vf"), {"filter", "v"}}, {QStringLiteral("af"), {"filter", "a"}},
        {QStringLiteral("ab"), {"b", "a"}},      {QStringLiteral("vb"), {"b", "v"}},
        {QStringLiteral("qscale"), {"q", ""}},   {QStringLiteral("vtag"), {"tag", "v"}},
        {QStringLiteral("atag"), {"tag", "a"}},
    };
    return table;
}

// Options that concern one kind of stream whatever their specifier says.
std::optional<Kind> kindByName(const QString &name)
{
    static const QSet<QString> picture = {QStringLiteral("s"), QStringLiteral("r"),
                                          QStringLiteral("pix_fmt"), QStringLiteral("aspect"),
                                          QStringLiteral("vn")};
    static const QSet<QString> sound = {QStringLiteral("ar"), QStringLiteral("ac"),
                                        QStringLiteral("an")};
    if (picture.contains(name))
        return Kind::Video;
    if (sound.contains(name))
        return Kind::Audio;
    if (name == QLatin1String("sn"))
        return Kind::Subtitle;
    return std::nullopt;
}

std::optional<Kind> kindBySpecifier(const QString &specifier)
{
    const QString type = specifier.section(QLatin1Char(':'), 0, 0);
    if (type == QLatin1String("v") || type == QLatin1String("V"))
        return Kind::Video;
    if (type == QLatin1String("a"))
        return Kind::Audio;
    if (type == QLatin1String("s"))
        return Kind::Subtitle;
    return std::nullopt;
}

bool isSwitch(const QString &name)
{
    static const QSet<QString> switches = {
        QStringLiteral("vn"),          QStringLiteral("an"),     QStringLiteral("sn"),
        QStringLiteral("dn"),          QStringLiteral("y"),      QStringLiteral("n"),
        QStringLiteral("shortest"),    QStringLiteral("copyts"), QStringLiteral("nostdin"),
        QStringLiteral("hide_banner"), QStringLiteral("stats"),  QStringLiteral("nostats"),
    };
    return switches.contains(name);
}
} // namespace

FormatOptions FormatOptions::parse(const QString &options)
{
    FormatOptions result;
    const QStringList words = QProcess::splitCommand(options);
    for (int i = 0; i < words.size(); ++i) {
        const QString &word = words.at(i);
        Option option;
        if (!word.startsWith(QLatin1Char('-')) || word.size() < 2) {
            // A stray word: kept in its place, for the encoder to judge.
            option.value = word;
            result.m_options << option;
            continue;
        }
        option.name = word.mid(1).section(QLatin1Char(':'), 0, 0);
        option.specifier = word.mid(1).section(QLatin1Char(':'), 1);
        if (const auto alias = aliases().constFind(option.name); alias != aliases().constEnd()) {
            option.name = QString::fromLatin1(alias->name);
            if (option.specifier.isEmpty())
                option.specifier = QString::fromLatin1(alias->specifier);
        }
        option.isSwitch = isSwitch(option.name);
        if (!option.isSwitch && i + 1 < words.size())
            option.value = words.at(++i);
        option.kind = kindByName(option.name);
        if (!option.kind)
            option.kind = kindBySpecifier(option.specifier);
        result.m_options << option;
    }
    return result;
}

QString FormatOptions::codec(Kind kind) const
{
    QString codec;
    for (const Option &option : m_options) {
        if (option.name == QLatin1String("c") && (!option.kind || *option.kind == kind))
            codec = option.value;
    }
    return codec;
}

bool FormatOptions::excludes(Kind kind) const
{
    static const char *const switches[] = {"vn", "an", "sn"};
    return has(QString::fromLatin1(switches[int(kind)]));
}

bool FormatOptions::has(const QString &name) const
{
    for (const Option &option : m_options) {
        if (option.name == name)
            return true;
    }
    return false;
}

QStringList FormatOptions::arguments(const Option &option)
{
    if (option.name.isEmpty())
        return {option.value};
    QString word = QLatin1Char('-') + option.name;
    if (!option.specifier.isEmpty())
        word += QLatin1Char(':') + option.specifier;
    return option.isSwitch ? QStringList{word} : QStringList{word, option.value};
}
