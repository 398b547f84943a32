#include "services/FileHandoff.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>

const QString FileHandoff::ServiceName = QStringLiteral("org.tarnwick.Reelforge");
const QString FileHandoff::ObjectPath = QStringLiteral("/org/tarnwick/Reelforge");

namespace {
// A running copy answers at once; it only queues the paths.
constexpr int kCallTimeoutMs = 5000;
} // namespace

FileHandoff::FileHandoff(const QDBusConnection &bus, QObject *parent) : QObject(parent), m_bus(bus)
{
}

QStringList FileHandoff::absolutePaths(const QStringList &arguments, const QString &folder)
{
    const QDir base(folder);
    QStringList paths;
    for (const QString &argument : arguments)
        paths << QDir::cleanPath(base.absoluteFilePath(argument));
    return paths;
}

bool FileHandoff::handOver(const QStringList &paths)
{
    if (!m_bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(ServiceName, ObjectPath, ServiceName,
                                                       QStringLiteral("OpenFiles"));
    call << paths;
    // Without an owner the bus answers at once with an error instead of starting anything.
    call.setAutoStartService(false);
    return m_bus.call(call, QDBus::Block, kCallTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

bool FileHandoff::listen()
{
    if (!m_bus.isConnected() ||
        !m_bus.registerObject(ObjectPath, this, QDBusConnection::ExportScriptableSlots))
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(ServiceName, QDBusConnectionInterface::QueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid();
}

void FileHandoff::OpenFiles(const QStringList &paths)
{
    emit filesReceived(paths);
}
