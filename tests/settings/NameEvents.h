#pragma once

#include <QDir>
#include <QMap>
#include <QString>

#include <sys/inotify.h>
#include <unistd.h>

// What happened to the files of one folder, as the kernel reports it: how often each name was
// opened ("opened:name") and put in place, made or renamed to ("placed:name").
class NameEvents
{
public:
    explicit NameEvents(const QString &folder) : m_fd(inotify_init1(IN_NONBLOCK))
    {
        // Closes are watched too: the kernel folds two like events in a row into one.
        inotify_add_watch(m_fd, QFile::encodeName(folder).constData(),
                          IN_OPEN | IN_CLOSE | IN_CREATE | IN_MOVED_TO);
    }
    ~NameEvents() { ::close(m_fd); }
    NameEvents(const NameEvents &) = delete;
    NameEvents &operator=(const NameEvents &) = delete;

    // The counts since the last call.
    QMap<QString, int> take()
    {
        QMap<QString, int> counts;
        alignas(inotify_event) char buffer[8192];
        for (ssize_t size; (size = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (char *at = buffer; at < buffer + size;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                const QString name = QFile::decodeName(event->len ? event->name : "");
                if (event->mask & (IN_OPEN | IN_CREATE | IN_MOVED_TO))
                    counts[QString(event->mask & IN_OPEN ? "opened:" : "placed:") + name] += 1;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return counts;
    }

private:
    int m_fd;
};
