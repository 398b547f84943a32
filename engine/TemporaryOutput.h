#pragma once

#include <QString>

#include <functional>

// The file a conversion writes before it is done. It lives in a private hidden folder of its
// own (made exclusively, mode 0700) inside the destination folder, under the final file name
// itself: the encoder still picks the container from the extension, the name is never longer
// than the final one, and no other user can swap it for a link. commit() moves it to its final
// name without replacing anything, on every filesystem; a file neither committed nor kept is
// removed with its folder. The folder is recorded in the crash journal while it exists.
class TemporaryOutput
{
public:
    // Why create() failed: the destination folder takes no file at all, or only this name.
    enum class Failure { None, Folder, Name };

    TemporaryOutput() = default;
    TemporaryOutput(const TemporaryOutput &) = delete;
    TemporaryOutput &operator=(const TemporaryOutput &) = delete;
    ~TemporaryOutput();

    // Creates the private folder and the empty file for finalPath; the system's error number
    // in errorNumber when it cannot.
    Failure create(const QString &finalPath, int *errorNumber);
    QString path() const { return m_path; }
    // Moves the file to finalPath; when that name was taken meanwhile, to the names
    // nextFree() gives until one is free. Returns the name used; empty on failure, with the
    // error number, the file staying where it is.
    QString commit(const QString &finalPath, const std::function<QString()> &nextFree,
                   int *errorNumber);
    // Keeps the file for the user under a visible name beside finalPath that carries label
    // ("clip.check-failed.avi"); where even that cannot be made, where it is. Returns the path
    // of the kept file, which is no longer removed nor recorded.
    QString keep(const QString &finalPath, const QString &label);
    void discard();

    // Whether a folder name is one that create() makes.
    static bool isPrivateFolderName(const QString &name);
    // Removes the entries of a private folder and the folder itself; returns the files
    // removed. Anything that is not such a folder of this user is left alone.
    static QStringList removePrivateFolder(const QString &folder);

private:
    void release();

    QString m_folder; // the private folder
    QString m_path;   // the file in it
};
