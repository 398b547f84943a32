#include "ShutDownWindows.h"

#include <QTest>

#include <limits>

namespace {
// Records what a power-off request would have asked; nothing reaches the machine.
class RecordingBackend : public ShutdownBackend
{
public:
    QStringList calls;
    void enablePrivilege() override { calls << QStringLiteral("privilege"); }
    void request(ShutdownAction action) override
    {
        switch (action) {
        case ShutdownAction::EndSession:
            calls << QStringLiteral("end session");
            break;
        case ShutdownAction::PowerOff:
            calls << QStringLiteral("power off");
            break;
        case ShutdownAction::Reboot:
            calls << QStringLiteral("reboot");
            break;
        }
    }
};
} // namespace

class TestShutDownWindows : public QObject
{
    Q_OBJECT

private slots:
    void modeDecidesTheRequest_data()
    {
        QTest::addColumn<qint32>("mode");
        QTest::addColumn<QStringList>("calls");
        const QStringList nothing{"privilege"};
        QTest::newRow("0 ends the session") << 0 << QStringList{"privilege", "end session"};
        QTest::newRow("1 powers off") << 1 << QStringList{"privilege", "power off"};
        QTest::newRow("2 reboots") << 2 << QStringList{"privilege", "reboot"};
        QTest::newRow("8 powers off") << 8 << QStringList{"privilege", "power off"};
        for (const qint32 mode : {3, 4, 5, 6, 7, 9, 12, 16})
            QTest::newRow(qPrintable(QStringLiteral("%1 asks nothing").arg(mode))) << mode << nothing;
        QTest::newRow("-1 counts as large") << -1 << nothing;
        QTest::newRow("lowest counts as large") << std::numeric_limits<qint32>::min() << nothing;
        QTest::newRow("highest") << std::numeric_limits<qint32>::max() << nothing;
    }

    void modeDecidesTheRequest()
    {
        QFETCH(qint32, mode);
        QFETCH(QStringList, calls);
        RecordingBackend backend;
        ShutDownWindows(backend, mode);
        QCOMPARE(backend.calls, calls);
    }
};

QTEST_GUILESS_MAIN(TestShutDownWindows)
#include "TestShutDownWindows.moc"
