// Real copies of the program on a private session bus: files given to a second start reach
// the first copy's list; a start without files runs a window of its own.
#include "TestMedia.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
// A copy of the program started in the media folder; it prints each row its list gains.
std::unique_ptr<QProcess> start(const QString &folder, const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("REELFORGE_ECHO_ADDED", "1");
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(folder);
    process->start(QCoreApplication::applicationDirPath() + "/reelforge", arguments);
    return process;
}

QStringList addedRows(QProcess &process, QString *output)
{
    *output += QString::fromUtf8(process.readAllStandardOutput());
    QStringList rows;
    for (const QString &line : output->split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith("added "))
            rows << line.mid(6);
    }
    return rows;
}

bool endsWithin(QProcess &process, int milliseconds)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(milliseconds);
}
} // namespace

class TestSecondStart : public QObject
{
    Q_OBJECT

private slots:
    void filesGoToTheRunningCopy()
    {
        QTemporaryDir media;
        QVERIFY(QDir(media.path()).mkpath("Folder"));
        for (const char *name : {"a.mkv", "b c.mp4", "Folder/d.avi", "e.mov"})
            QVERIFY(TestMedia::makeClip(media.filePath(name), 0.4));
        const QString folder = media.path();

        auto first = start(folder, {"a.mkv"});
        QString firstOutput;
        QTRY_COMPARE_WITH_TIMEOUT(addedRows(*first, &firstOutput),
                                  QStringList{media.filePath("a.mkv")}, 20000);

        auto second = start(folder, {"b c.mp4", "Folder/"});
        QVERIFY(endsWithin(*second, 20000) && second->exitCode() == 0);
        QTRY_COMPARE_WITH_TIMEOUT(addedRows(*first, &firstOutput),
                                  (QStringList{media.filePath("a.mkv"), media.filePath("b c.mp4"),
                                               media.filePath("Folder/d.avi")}),
                                  20000);

        // Without files a second copy opens its own window and keeps running.
        auto own = start(folder, {});
        QVERIFY(own->waitForStarted());
        QVERIFY(!own->waitForFinished(2000));

        // Once the first copy ends, the one still running takes the files of later starts.
        first->terminate();
        QVERIFY(endsWithin(*first, 20000));
        auto later = start(folder, {"e.mov"});
        QVERIFY(endsWithin(*later, 20000) && later->exitCode() == 0);
        QString ownOutput;
        QTRY_COMPARE_WITH_TIMEOUT(addedRows(*own, &ownOutput), QStringList{media.filePath("e.mov")},
                                  20000);
        own->terminate();
        QVERIFY(endsWithin(*own, 20000) && own->exitCode() == 0);
    }
};

QTEST_GUILESS_MAIN(TestSecondStart)
#include "TestSecondStart.moc"
