#pragma once

#include "filelist/MediaStream.h"

#include <QString>
#include <QStringList>
#include <QVector>

// What a conversion does with each stream of a file, decided before it starts from what the
// media library found when the file was added: copy it as it is, encode it as the format
// asks, convert it to what the container can hold, or leave it out. Also the encoder options
// and output extension that carry it out.
class StreamPlan
{
public:
    enum class Action { Copy, Encode, Convert, Leave };
    struct Step
    {
        MediaStream stream;
        Action action = Action::Encode;
        QString encoder; // for Encode and Convert; empty: the container's own choice
        QString why;     // for Convert and Leave, and for an Encode that could not copy
    };

    // extension "auto" stands for the container that fits the file's own sound (or MKV
    // when the format keeps the picture).
    static StreamPlan make(const MediaStreams &streams, const QString &options,
                           const QString &extension, bool copyWhenPossible);

    // The extension the file's result gets: extension itself, unless it is "auto".
    static QString outputExtension(const MediaStreams &streams, const QString &options,
                                   const QString &extension);

    const QVector<Step> &steps() const { return m_steps; }
    QString options() const { return m_options; }
    QString extension() const { return m_extension; }
    bool copiesAny() const;
    // One line per stream, such as "audio 2 (PCM, fra): convert to aac (MP4 cannot hold PCM)".
    QStringList lines() const;

private:
    QVector<Step> m_steps;
    QString m_options;
    QString m_extension;
};
