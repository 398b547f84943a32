// Journals a full list of 32,767 rows: what one write costs the writer thread (joining the
// rows' parts, replacing the file with a synced copy), what encoding every row costs the window
// thread when the whole list is replaced, and, while rows change every 2 ms for 3 s as a batch
// changes them, the longest single change of the list and the longest pause of the window
// thread, with the journal on and without it.

#include "bench/BenchFolder.h"
#include "bench/StallMeter.h"
#include "filelist/FileListModel.h"
#include "filelist/JournalFile.h"
#include "filelist/ListJournal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSaveFile>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace {
constexpr int kRounds = 5;

void fill(FileListModel &list)
{
    QVector<FileListRecord> rows(FileListModel::MaxRows);
    for (int i = 0; i < rows.size(); ++i) {
        FileListRecord &row = rows[i];
        row.FilePath = QStringLiteral("/home/someone/Videos/Holiday 2024/Day %1/clip %2.mkv")
                           .arg(i / 100)
                           .arg(i, 5, 10, QLatin1Char('0'));
        row.Duration = QStringLiteral("00:03:%1").arg(i % 60, 2, 10, QLatin1Char('0'));
        row.FileSize = QStringLiteral("%1.4 MB").arg(i % 900);
        row.durationMs = 180000 + i;
        row.CheckBox = i % 2;
        if (i % 3 == 0) {
            row.status = RowStatus::State::Complete;
            row.output = QStringLiteral("/home/someone/Converted Files/clip %1.mp4").arg(i);
        }
    }
    list.rebuild(rows, nullptr);
}
struct Pass
{
    int changes = 0;
    qint64 longestChangeNs = 0;
    qint64 longestGapMs = 0;
};

// Changes a row every 2 ms for 3 s, as a batch does: progress, and now and then a row ending.
Pass changeRows(FileListModel &list)
{
    Pass pass;
    QTimer batch;
    batch.setInterval(2);
    QObject::connect(&batch, &QTimer::timeout, &list, [&] {
        const int row = (pass.changes * 7919) % FileListModel::MaxRows;
        QElapsedTimer change;
        change.start();
        list.setStatus(row, pass.changes % 25 == 0
                                ? RowStatus(RowStatus::State::Error)
                                : RowStatus::percent(qint16(pass.changes % 100)));
        pass.longestChangeNs = std::max(pass.longestChangeNs, change.nsecsElapsed());
        ++pass.changes;
    });
    StallMeter meter(1);
    pass.longestGapMs = meter.measure([&] {
        QEventLoop loop;
        batch.start();
        QTimer::singleShot(3000, &loop, &QEventLoop::quit);
        loop.exec();
        batch.stop();
    });
    return pass;
}

QString milliseconds(qint64 ns)
{
    return QString::number(double(ns) / 1e6, 'f', 2);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    BenchFolder dir;
    FileListModel list;
    fill(list);

    // The window thread encodes every row only when the whole list is replaced; the writer
    // thread joins the rows' parts and replaces the file with a synced copy.
    QList<qint64> encodes, writes;
    QElapsedTimer timer;
    qint64 bytes = 0;
    for (int round = 0; round < kRounds; ++round) {
        timer.start();
        QVector<QByteArray> parts;
        parts.reserve(list.rowCount());
        for (const FileListRecord &row : list.records())
            parts.append(JournalFile::encodeRow(row));
        encodes << timer.restart();
        const QByteArray journal = JournalFile::assemble(parts);
        QSaveFile file(dir.filePath(QStringLiteral("journal.list")));
        file.setDirectWriteFallback(false);
        if (!file.open(QIODevice::WriteOnly) || file.write(journal) != journal.size() ||
            !file.commit()) {
            out << "could not write the journal\n";
            return 1;
        }
        writes << timer.elapsed();
        bytes = journal.size();
    }
    std::sort(encodes.begin(), encodes.end());
    std::sort(writes.begin(), writes.end());

    // The same changes without a journal, then with one; each pass starts from the same rows.
    const Pass bare = changeRows(list);
    const Pass journaled = [&list] {
        ListJournal journal(list, ListJournal::defaultFolder());
        return changeRows(list);
    }();

    out << "rows=" << list.rowCount() << " journal_bytes=" << bytes
        << " changes=" << journaled.changes << '\n';
    out << "journal_write_ms=" << writes.at(kRounds / 2)
        << " encode_all_rows_ms=" << encodes.at(kRounds / 2)
        << " longest_change_ms=" << milliseconds(journaled.longestChangeNs)
        << " longest_change_bare_ms=" << milliseconds(bare.longestChangeNs)
        << " longest_gap_ms=" << journaled.longestGapMs
        << " longest_gap_bare_ms=" << bare.longestGapMs << '\n';
    return 0;
}
