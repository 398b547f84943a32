// Converts one file through the batch queue, slowed to real time, and says "running" once the
// encoder is under way; the queue test kills it there, as a crash would.

#include "ConversionQueue.h"
#include "FileListModel.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    FileListModel list;
    FileListRecord record;
    record.FilePath = QString::fromLocal8Bit(argv[1]);
    list.append(record, nullptr);
    ConversionQueue queue(list);
    QObject::connect(&list, &QAbstractItemModel::dataChanged, &app, [&list] {
        if (list.record(0).status.state() == RowStatus::State::SecondsConverted) {
            QTextStream(stdout) << "running" << Qt::endl;
        }
    });
    QObject::connect(&queue, &ConversionQueue::batchFinished, &app, &QCoreApplication::quit);
    queue.start({QStringLiteral("-vf realtime -vcodec mpeg4"), QStringLiteral("avi"), false,
                 QString::fromLocal8Bit(argv[2]), QString()},
                false, 1);
    return app.exec();
}
