#pragma once

#include "filelist/MediaStream.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// A format's encoder options read one by one, with their aliases resolved: "-vcodec x" is
// the option "c" for picture streams, "-ab" is "b" for sound streams. Nothing is checked
// against the encoder; an option it does not know is kept as written.
class FormatOptions
{
public:
    using Kind = MediaStream::Kind;
    struct Option
    {
        QString name;      // without dash or specifier: "c", "b", "filter", "crf"
        QString specifier; // what follows the first colon: "v", "a:0"; empty for every stream
        QString value;
        bool isSwitch = false;    // takes no value (-vn)
        std::optional<Kind> kind; // the kind of stream it is for; none when for all or the file
    };

    static FormatOptions parse(const QString &options);

    const QVector<Option> &options() const { return m_options; }
    // The last codec asked for streams of kind: an encoder name, "copy", or empty for the
    // container's own choice.
    QString codec(Kind kind) const;
    bool excludes(Kind kind) const; // -vn, -an, -sn
    bool has(const QString &name) const;
    // The option as arguments again: "-name[:specifier] [value]".
    static QStringList arguments(const Option &option);

private:
    QVector<Option> m_options;
};
