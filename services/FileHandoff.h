#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

// Hands the files of a new start to the copy of the program already running, over the
// session bus, so that "Open with" adds to the list in use. The first copy owns the service
// name; later copies queue for it and take it over when the first one ends.
class FileHandoff : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tarnwick.Reelforge")
public:
    static const QString ServiceName;
    static const QString ObjectPath;

    explicit FileHandoff(const QDBusConnection &bus, QObject *parent = nullptr);

    // Full paths of command-line arguments given relative to the folder the program was
    // started in; the running copy has a folder of its own.
    static QStringList absolutePaths(const QStringList &arguments, const QString &folder);

    // Asks the copy that owns the name to add the paths; false when none answers.
    bool handOver(const QStringList &paths);
    // Offers the open method on the bus and owns or queues for the name; false without a bus.
    bool listen();

public slots:
    // The method other copies call; the window adds the paths later, from its event loop.
    Q_SCRIPTABLE void OpenFiles(const QStringList &paths);

signals:
    void filesReceived(const QStringList &paths);

private:
    QDBusConnection m_bus;
};
