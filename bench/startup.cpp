// Time from process start to the main window's first paint, with the shipped data files.
// The program starts itself several times (offscreen) and prints the median.

#include "bench/BenchWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QProcess>
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

int runOnce(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir settings;
    BenchWindow bench(settings.filePath(QStringLiteral("settings.ini")));
    FirstPaint watcher;
    bench.window->installEventFilter(&watcher);
    bench.window->show();
    return app.exec();
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && QByteArray(argv[1]) == "--once")
        return runOnce(argc, argv);

    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QList<qint64> times;
    for (int run = 0; run < 9; ++run) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        const qint64 started = QDateTime::currentMSecsSinceEpoch();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--once")});
        if (!child.waitForFinished(30000) || child.exitCode() != 0) {
            out << "run " << run << " failed\n";
            return 1;
        }
        const qint64 painted = child.readAllStandardOutput().trimmed().toLongLong();
        times << painted - started;
        out << "run " << run << ": " << times.last() << " ms\n";
    }
    std::sort(times.begin(), times.end());
    out << "runs=" << times.size() << " median_ms=" << times.at(times.size() / 2)
        << " min_ms=" << times.first() << " max_ms=" << times.last() << '\n';
    return 0;
}
