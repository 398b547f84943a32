#pragma once

#include <QString>
#include <QStringList>

// A two-hour 1080p MKV with H.264 picture, AAC sound and SubRip subtitles, kept in a cache
// folder between runs. Two minutes are encoded once and repeated without encoding again.
class LongSource
{
public:
    static constexpr int kSeconds = 7200;

    // The file in folder, made when missing or unreadable; empty on failure, error says why.
    static QString ensure(const QString &folder, QString *error);
    // Its streams as ProbeSummary names them.
    static QStringList streams();

private:
    static bool writeSubtitles(const QString &path, int seconds);
    static bool runEncoder(const QStringList &arguments, QString *error);
};
