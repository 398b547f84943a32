#pragma once

#include <QByteArray>
#include <QString>

// Puts folder first on PATH, or alone there, for as long as it lives: the program finds the
// encoder (an "ffmpeg" in folder, or none) as it does on a user's machine.
class EncoderSearchPath
{
public:
    explicit EncoderSearchPath(const QString &folder, bool alone = false) : m_saved(qgetenv("PATH"))
    {
        qputenv("PATH", folder.toLocal8Bit() + (alone ? QByteArray() : ':' + m_saved));
    }
    ~EncoderSearchPath() { qputenv("PATH", m_saved); }
    EncoderSearchPath(const EncoderSearchPath &) = delete;
    EncoderSearchPath &operator=(const EncoderSearchPath &) = delete;

private:
    QByteArray m_saved;
};
