#pragma once

#include "filelist/MediaStream.h"

#include <QPair>
#include <QSet>
#include <QString>
#include <QVector>

// Which codecs a container holds as they are, and what a stream it cannot hold is converted
// to. Containers without a table take every stream as asked, and the encoder judges.
class ContainerCodecs
{
public:
    using Kind = MediaStream::Kind;
    // An option for one output stream: its name and value, such as {"c", "aac"}.
    using Setting = QPair<QString, QString>;
    struct Table; // one container's codecs

    static ContainerCodecs forExtension(const QString &extension);
    // The container that holds a file's sound as it is: m4a for AAC, mp3 for one MP3
    // stream, mka for anything else.
    static QString soundContainer(const MediaStreams &streams);

    bool known() const { return m_known; }
    QString name() const { return m_name; }
    bool soundOnly() const { return m_soundOnly; }
    bool holds(Kind kind, const QString &codec) const;
    // How to convert a stream it cannot hold; empty when it cannot be carried at all.
    QVector<Setting> conversion(Kind kind, const QString &codec) const;

private:
    bool m_known = false;
    bool m_soundOnly = false;
    QString m_name;
    const Table *m_table = nullptr;
};
