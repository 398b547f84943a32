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
        static const QStringList names{"end session", "power off", "reboot"};
        calls << names.at(int(action));
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
        QTest::addColumn<QString>("request"); // empty: nothing after the privilege
        QTest::newRow("0") << 0 << "end session";
        QTest::newRow("1") << 1 << "power off";
        QTest::newRow("2") << 2 << "reboot";
        QTest::newRow("8") << 8 << "power off";
        for (const qint32 mode : {3, 4, 5, 6, 7, 9, 12, 16, -1, std::numeric_limits<qint32>::min(),
                                  std::numeric_limits<qint32>::max()})
            QTest::newRow(qPrintable(QString::number(mode))) << mode << "";
    }

    void modeDecidesTheRequest()
    {
        QFETCH(qint32, mode);
        QFETCH(QString, request);
        RecordingBackend backend;
        ShutDownWindows(backend, mode);
        QStringList expected{"privilege"};
        if (!request.isEmpty())
            expected << request;
        QCOMPARE(backend.calls, expected);
    }
};

QTEST_GUILESS_MAIN(TestShutDownWindows)
#include "TestShutDownWindows.moc"
