#include "RecordingShutdown.h"
#include "ShutDownWindows.h"

#include <QTest>

class TestShutDownWindows : public QObject
{
    Q_OBJECT

private slots:
    void modeDecidesTheRequest_data()
    {
        QTest::addColumn<qint32>("mode");
        QTest::addColumn<QList<ShutdownAction>>("requests");
        QTest::newRow("0") << 0 << QList{ShutdownAction::EndSession};
        QTest::newRow("1") << 1 << QList{ShutdownAction::PowerOff};
        QTest::newRow("2") << 2 << QList{ShutdownAction::Reboot};
        QTest::newRow("8") << 8 << QList{ShutdownAction::PowerOff};
        for (const qint32 mode : {3, 7, 9, 16, -1, -65536})
            QTest::newRow(qPrintable(QString::number(mode))) << mode << QList<ShutdownAction>();
    }

    void modeDecidesTheRequest()
    {
        QFETCH(qint32, mode);
        QFETCH(QList<ShutdownAction>, requests);
        RecordingShutdown backend;
        ShutDownWindows(backend, mode);
        QCOMPARE(backend.privilegeRequests, 1);
        QCOMPARE(backend.requests, requests);
    }
};

QTEST_GUILESS_MAIN(TestShutDownWindows)
#include "TestShutDownWindows.moc"
