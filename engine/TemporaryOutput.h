#pragma once

#include <QString>

#include <functional>

// The file a conversion writes before it is done: hidden, beside the final name, with the
// same extension so the encoder still picks the container, created exclusively so nothing
// of anyone else's is ever written over. commit() moves it to its final name without
// replacing anything; a temporary file neither committed nor kept is removed.
class TemporaryOutput
{
public:
    TemporaryOutput() = default;
    TemporaryOutput(const TemporaryOutput &) = delete;
    TemporaryOutput &operator=(const TemporaryOutput &) = delete;
    ~TemporaryOutput();

    // Creates the file for finalPath; false with the system's error number when it cannot.
    bool create(const QString &finalPath, int *errorNumber);
    QString path() const { return m_path; }
    // Moves the file to finalPath; when that name was taken meanwhile, to the names
    // nextFree() gives until one is free. Returns the name used; empty on failure, with the
    // error number, the file staying where it is.
    QString commit(const QString &finalPath, const std::function<QString()> &nextFree,
                   int *errorNumber);
    void discard();

private:
    QString m_path;
};
