#pragma once

#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

// Real media made by the installed encoder into a temporary folder, once per test program.
class TestMedia
{
public:
    // The shared set, generated on first use and removed when the program exits.
    static const TestMedia &instance();

    QString folder() const { return m_dir.path(); }
    // A one-second clip with picture and sound in the given container
    // (avi, mp4, mkv, mpg, flv, mov or wmv).
    QString clip(const QString &container) const { return m_dir.filePath("clip." + container); }
    QString randomBytes() const { return m_dir.filePath("random.avi"); } // named like a video

    // Makes one clip; the container follows the path's extension. Returns true on success.
    static bool makeClip(const QString &path, double seconds, bool withAudio = true,
                         const QString &size = QStringLiteral("160x120"), int rate = 25);
    static QString encoder() { return QStandardPaths::findExecutable(QStringLiteral("ffmpeg")); }
    // Whether the encoder reads the file through to its end without an error.
    static bool playable(const QString &path);

private:
    TestMedia();
    QTemporaryDir m_dir;
};
