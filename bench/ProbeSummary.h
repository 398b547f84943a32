#pragma once

#include <QString>
#include <QStringList>

// What ffprobe reads from a file: its length and, in order, each stream's kind and codec
// ("video h264", "subtitle mov_text").
struct ProbeSummary
{
    bool opened = false;
    double seconds = -1; // -1 when the file tells no length
    QStringList streams;

    static ProbeSummary of(const QString &path);
    // Opened, as long as seconds within a second, and holding exactly these streams.
    bool matches(double expectedSeconds, const QStringList &expectedStreams) const;
};
