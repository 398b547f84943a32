#pragma once

#include <QString>

#include <cstddef>

// A reader of the media library, which is loaded on the first use rather than at start-up:
// the library and what it links (curl, TLS, Kerberos) would cost every start of the window
// and of the command line about 20 ms. Readers may live on any thread, one file at a time;
// several read at once.
class MediaLibrary
{
public:
    // The library's stream kinds, numbered as its C interface numbers them.
    enum class Kind { General = 0, Video = 1, Audio = 2, Text = 3 };

    MediaLibrary();
    ~MediaLibrary();
    MediaLibrary(const MediaLibrary &) = delete;
    MediaLibrary &operator=(const MediaLibrary &) = delete;

    // False when the library is missing or cannot be loaded: then nothing opens.
    bool isLoaded() const { return m_handle != nullptr; }
    bool open(const QString &path);
    std::size_t count(Kind kind) const;
    // The text of a field, such as "Duration", of a stream of the open file.
    QString text(Kind kind, std::size_t number, const wchar_t *field) const;

private:
    void close();

    void *m_handle = nullptr;
};
