// Time from process start to the main window's first paint, with the shipped data files: on a
// first start (no settings file) and on a start with a settings file holding every choice.
// The program starts itself several times each way (offscreen) and prints the medians. As a
// yardstick for the machine, it also times a bare window holding an empty table, started from
// this same program.

#include "bench/BenchWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QProcess>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {
// Prints the wall-clock time of the window's first paint, then quits.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTextStream(stdout) << QDateTime::currentMSecsSinceEpoch() << '\n';
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool m_seen = false;
};

// "--once FILE" paints once; "--save FILE" closes the window at once, which stores every choice;
// "--bare FILE" paints a bare window with an empty table instead.
int runChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaint watcher;
    if (QByteArray(argv[1]) == "--bare") {
        QStandardItemModel model(0, 6);
        QTableView table;
        table.setModel(&model);
        table.resize(640, 480);
        table.installEventFilter(&watcher);
        table.show();
        return app.exec();
    }
    BenchWindow bench(QString::fromLocal8Bit(argv[2]));
    if (QByteArray(argv[1]) == "--save")
        return bench.window->close() ? 0 : 1;
    bench.window->installEventFilter(&watcher);
    bench.window->show();
    return app.exec();
}

// Starts the bench as a child with the mode and settings file; false when it failed.
bool runChild(const QString &mode, const QString &settingsFile, QString *painted)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {mode, settingsFile});
    if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0)
        return false;
    *painted = QString::fromLatin1(child.readAllStandardOutput().trimmed());
    return true;
}

// The median milliseconds to the first paint over several starts; -1 when a start failed.
qint64 medianStart(QTextStream &out, const QString &label, const QTemporaryDir &folder,
                   bool withSettings, const QString &mode = QStringLiteral("--once"))
{
    QList<qint64> times;
    for (int run = 0; run < 9; ++run) {
        const QString file = withSettings
                                 ? folder.filePath(QStringLiteral("settings.ini"))
                                 : folder.filePath(QStringLiteral("first-%1.ini").arg(run));
        QString painted;
        const qint64 started = QDateTime::currentMSecsSinceEpoch();
        if (!runChild(mode, file, &painted)) {
            out << label << " run " << run << " failed\n";
            return -1;
        }
        times << painted.toLongLong() - started;
        out << label << " run " << run << ": " << times.last() << " ms\n";
    }
    std::sort(times.begin(), times.end());
    out << label << " median_ms=" << times.at(times.size() / 2) << " min_ms=" << times.first()
        << " max_ms=" << times.last() << '\n';
    return times.at(times.size() / 2);
}
} // namespace

int main(int argc, char *argv[])
{
    const QByteArray mode = argc > 2 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--once" || mode == "--save" || mode == "--bare")
        return runChild(argc, argv);

    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    QString unused;
    if (!folder.isValid() || !runChild(QStringLiteral("--save"),
                                       folder.filePath(QStringLiteral("settings.ini")), &unused)) {
        out << "could not store the choices\n";
        return 1;
    }
    const qint64 first = medianStart(out, QStringLiteral("first start"), folder, false);
    const qint64 withSettings = medianStart(out, QStringLiteral("with settings"), folder, true);
    const qint64 bare =
        medianStart(out, QStringLiteral("bare table"), folder, false, QStringLiteral("--bare"));
    if (first < 0 || withSettings < 0 || bare < 0)
        return 1;
    out << "first_start_ms=" << first << " with_settings_ms=" << withSettings
        << " bare_table_ms=" << bare << '\n';
    return 0;
}
