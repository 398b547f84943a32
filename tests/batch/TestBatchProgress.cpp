#include "BatchProgress.h"

#include <QTest>

// The overall line of a batch, from progress events at known times.
class TestBatchProgress : public QObject
{
    Q_OBJECT

private slots:
    void estimatesFromDurationsAndSpeed_data()
    {
        QTest::addColumn<QList<double>>("lengths"); // seconds per row; 0: unknown
        // Each event: row index, media seconds reported (-1: the row ended), at wall ms.
        QTest::addColumn<QList<QList<double>>>("events");
        QTest::addColumn<qint64>("nowMs");
        QTest::addColumn<QString>("summary");
        QTest::newRow("nothing converted yet") << QList<double>{60, 60} << QList<QList<double>>{}
                                               << qint64(1000) << "0 of 2 files · 0 %";
        // 30 media seconds in 10 s: 3× real time; 90 s of media left take 30 s.
        QTest::newRow("weighted by length")
            << QList<double>{60, 60} << QList<QList<double>>{{0, 30, 10000}} << qint64(10000)
            << "0 of 2 files · 25 % · about 30 s left · 3.0× real time";
        // Two encoders at once add their speeds; an ended row counts whole.
        QTest::newRow("two at once")
            << QList<double>{600, 600, 1200}
            << QList<QList<double>>{{0, 300, 60000}, {1, 600, 60000}, {1, -1, 60000}}
            << qint64(60000) << "1 of 3 files · 38 % · about 2 min left · 15.0× real time";
        QTest::newRow("hours") << QList<double>{36000} << QList<QList<double>>{{0, 60, 60000}}
                               << qint64(60000)
                               << "0 of 1 files · 0 % · about 9 h 59 min left · 1.0× real time";
        // Unknown lengths weigh nothing but still show the speed; times beyond a length are cut.
        QTest::newRow("unknown length and overshoot")
            << QList<double>{0, 10} << QList<QList<double>>{{0, 20, 10000}, {1, 15, 10000}}
            << qint64(10000) << "0 of 2 files · 100 % · about 0 s left · 3.0× real time";
        QTest::newRow("all ended")
            << QList<double>{0, 0} << QList<QList<double>>{{0, -1, 500}, {1, -1, 900}}
            << qint64(1000) << "2 of 2 files · 100 %";
    }

    void estimatesFromDurationsAndSpeed()
    {
        QFETCH(QList<double>, lengths);
        QFETCH(QList<QList<double>>, events);
        QFETCH(qint64, nowMs);
        QFETCH(QString, summary);
        qint64 clock = 0;
        BatchProgress progress([&clock] { return clock; });
        progress.begin();
        for (int row = 0; row < lengths.size(); ++row)
            progress.addRow(quint64(row + 1), lengths.at(row));
        for (const QList<double> &event : events) {
            clock = qint64(event.at(2));
            const quint64 key = quint64(event.at(0)) + 1;
            if (event.at(1) < 0)
                progress.rowEnded(key, BatchProgress::Ending::Succeeded);
            else
                progress.mediaTime(key, event.at(1));
        }
        clock = nowMs;
        QCOMPARE(progress.summary(), summary);
    }
};

QTEST_GUILESS_MAIN(TestBatchProgress)
#include "TestBatchProgress.moc"
