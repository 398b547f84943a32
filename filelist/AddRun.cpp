#include "filelist/AddRun.h"

#include "engine/EncoderPath.h"
#include "filelist/AddingRules.h"
#include "filelist/FileListModel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QThreadPool>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The window thread works at most this long before it handles its events again.
constexpr qint64 kSliceMs = 6;
// Files per encoder run: enough to spread its start-up cost, few enough to show rows early.
constexpr int kMaxBatch = 16;
} // namespace

AddRun::AddRun(FileListModel &model, QThreadPool &pool, const QStringList &paths, Append append,
               QObject *parent)
    : QObject(parent), m_model(model), m_pool(pool), m_append(std::move(append)),
      m_encoder(EncoderPath::program()), m_items(paths.size())
{
    for (int i = 0; i < paths.size(); ++i)
        m_items[i].path = paths.at(i);
    m_tick.setSingleShot(true);
    m_tick.setInterval(0);
    connect(&m_tick, &QTimer::timeout, this, &AddRun::work);
}

AddRun::~AddRun()
{
    cancel();
}

void AddRun::start()
{
    emit progress(0, total());
    m_tick.start();
}

void AddRun::runHere()
{
    m_here = true;
    while (!m_stop && m_committed < total()) {
        scan(nullptr);
        dispatch();
        commit(nullptr);
    }
}

void AddRun::cancel()
{
    m_stop = true;
    m_tick.stop();
    m_pool.clear();
    m_pool.waitForDone();
}

void AddRun::work()
{
    if (m_stop)
        return;
    QElapsedTimer slice;
    slice.start();
    bool outOfTime = scan(&slice);
    dispatch();
    QPointer<AddRun> self(this);
    outOfTime = commit(&slice) || outOfTime;
    if (!self || m_stop || m_committed == total())
        return;
    if (outOfTime || (m_scanned < total() && !waitsForRoom()))
        m_tick.start();
}

bool AddRun::scan(const QElapsedTimer *slice)
{
    while (m_scanned < total() && !waitsForRoom()) {
        check(m_scanned++);
        if (slice && slice->elapsed() >= kSliceMs)
            return true;
    }
    return false;
}

bool AddRun::waitsForRoom() const
{
    // Whether the next file fits depends on the files still being probed.
    return m_inFlight > 0 && m_model.rowCount() + m_inFlight >= FileListModel::MaxRows;
}

void AddRun::check(int index)
{
    Item &item = m_items[index];
    item.path = AddingRules::normalisePath(item.path);
    if (m_model.rowOfPath(item.path) >= 0) {
        item.state = State::Refused;
        return;
    }
    const auto first = m_firstOfPath.constFind(item.path);
    if (first != m_firstOfPath.cend()) {
        item.state = State::LikeEarlier;
        item.earlier = *first;
        return;
    }
    m_firstOfPath.insert(item.path, index);
    FileListRecord record;
    record.FilePath = item.path;
    // A full list or an over-long path would be refused at the end; say so before probing.
    if (!m_model.accepts(record, &item.error)) {
        item.state = State::Failed;
        return;
    }
    const QByteArray name = QFile::encodeName(item.path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0) {
        const int number = errno;
        // A name that is not valid UTF-8 arrives with replacement characters and is not found.
        const bool damaged = number == ENOENT && item.path.contains(QChar::ReplacementCharacter);
        item.state = damaged ? State::Unreadable : State::Failed;
        item.error = {number, qt_error_string(number), QString()};
        return;
    }
    // FIFOs, sockets and devices are never opened: reading a FIFO would wait forever.
    if (!S_ISREG(info.st_mode)) {
        item.state = State::Refused;
        return;
    }
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        const int number = errno;
        item.state = State::Failed;
        item.error = {number, qt_error_string(number), QString()};
        return;
    }
    ::close(descriptor);
    if (AddingRules::isRejectedExtension(AddingRules::extension(item.path))) {
        item.state = State::Refused;
        return;
    }
    item.state = State::Probing;
    m_toProbe << index;
    ++m_inFlight;
}

void AddRun::dispatch()
{
    // While the list is still being checked only full batches go; then the rest, spread
    // over the workers.
    const bool allChecked = m_scanned == total() || waitsForRoom();
    const int workers = std::max(1, m_pool.maxThreadCount());
    while (!m_toProbe.isEmpty() && (allChecked || m_toProbe.size() >= kMaxBatch)) {
        const int spread = int((m_toProbe.size() + workers - 1) / workers);
        const int size = std::clamp(spread, 1, kMaxBatch);
        const QVector<int> indices = m_toProbe.mid(0, size);
        m_toProbe.remove(0, size);
        QStringList paths;
        for (int index : indices)
            paths << m_items.at(index).path;
        if (m_here) {
            probed(indices, FileProbe::run(m_encoder, paths, m_stop, m_askEncoder));
            continue;
        }
        m_pool.start([this, indices, paths, encoder = m_encoder, ask = m_askEncoder] {
            const QVector<FileProbe::Result> results = FileProbe::run(encoder, paths, m_stop, ask);
            // The run outlives its jobs: cancel() waits for them.
            QMetaObject::invokeMethod(
                this,
                [this, indices, results] {
                    probed(indices, results);
                    work();
                },
                Qt::QueuedConnection);
        });
    }
}

void AddRun::probed(const QVector<int> &indices, const QVector<FileProbe::Result> &results)
{
    if (m_stop || results.size() != indices.size())
        return;
    for (int i = 0; i < indices.size(); ++i) {
        Item &item = m_items[indices.at(i)];
        item.probe = results.at(i);
        item.state = State::Probed;
    }
}

bool AddRun::commit(const QElapsedTimer *slice)
{
    // A message shown for a failed file lets events in; the outer call goes on afterwards.
    if (m_committing)
        return false;
    m_committing = true;
    QPointer<AddRun> self(this);
    const int before = m_committed;
    bool outOfTime = false;
    while (m_committed < total() && !m_stop) {
        Item &item = m_items[m_committed];
        if (item.state == State::Unchecked || item.state == State::Probing)
            break;
        ++m_committed;
        settle(item);
        if (!self)
            return false;
        if (slice && slice->elapsed() >= kSliceMs) {
            outOfTime = true;
            break;
        }
    }
    m_committing = false;
    if (m_stop || (m_committed == before && total() > 0))
        return outOfTime;
    emit progress(m_committed, total());
    if (self && m_committed == total())
        emit finished();
    return outOfTime;
}

void AddRun::settle(Item &item)
{
    if (item.state == State::LikeEarlier) {
        // The same path again: refused when the first one became a row, else it fares alike.
        const Item &first = m_items.at(item.earlier);
        item.state = first.state == State::Added ? State::Refused : first.state;
        item.error = first.error;
    } else if (item.state == State::Probed) {
        --m_inFlight;
        if (item.probe.verdict == FileProbe::Verdict::NotRun)
            m_encoderMissing = true;
        if (item.probe.failed) {
            item.state = State::Failed;
            item.error = item.probe.error;
        } else {
            item.state =
                m_append(item.path, item.probe, &item.error) ? State::Added : State::Failed;
        }
    }
    switch (item.state) {
    case State::Added:
        ++m_added;
        break;
    case State::Refused:
        m_anyRefused = true;
        break;
    case State::Failed:
        m_anyRefused = true;
        item.error.path = item.path;
        emit failed(item.error);
        break;
    case State::Unreadable:
        m_unreadable << item.path;
        break;
    default:
        break;
    }
}
