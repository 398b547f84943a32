#include "FileListModel.h"
#include "FileListStatus.h"
#include "ListOperations.h"
#include "ShellOpener.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {
class RecordingShell : public ShellOpener
{
public:
    void open(const QString &target) override { opened << target; }
    QStringList opened;
};

FileListRecord makeRecord(const QString &path, qint32 tick, const QString &status)
{
    FileListRecord record;
    record.ID = 0;
    record.CheckBox = tick;
    record.FilePath = path;
    record.Status = status;
    record.Duration = QStringLiteral("00:00:0%1").arg(path.size() % 10);
    record.FileSize = QStringLiteral("%1 KB").arg(path.size());
    return record;
}

QStringList paths(const FileListModel &model)
{
    QStringList all;
    for (const FileListRecord &record : model.records())
        all << record.FilePath;
    return all;
}
} // namespace

class TestListOperations : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void removeKeepsUntickedRowsInOrder();
    void removeWithNothingTickedKeepsEverything();
    void removeOnEmptyListDoesNothing();
    void selectAllTicksAndClears();
    void playOpensTopmostHighlightedRow_data();
    void playOpensTopmostHighlightedRow();

private:
    FileListModel *m_model = nullptr;
    QAbstractItemModelTester *m_tester = nullptr;
    RecordingShell m_shell;
    ListOperations *m_operations = nullptr;
};

void TestListOperations::init()
{
    m_model = new FileListModel;
    m_tester = new QAbstractItemModelTester(m_model,
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_shell.opened.clear();
    m_operations = new ListOperations(*m_model, m_shell);
}

void TestListOperations::cleanup()
{
    delete m_operations;
    delete m_tester;
    delete m_model;
}

void TestListOperations::removeKeepsUntickedRowsInOrder()
{
    const FileListRecord a = makeRecord("/v/a.avi", 0, FileListStatus::Complete);
    const FileListRecord b = makeRecord("/v/b.avi", 1, FileListStatus::WaitingConversion);
    const FileListRecord c = makeRecord("/v/c c.mkv", 0, FileListStatus::UnkownFormat);
    const FileListRecord d = makeRecord("/v/d.avi", -1, FileListStatus::Error);
    const FileListRecord e = makeRecord("/v/e.avi", 0, "42");
    for (const FileListRecord &record : {a, b, c, d, e})
        QVERIFY(m_model->append(record, nullptr));
    m_model->setTextColor(2, FileListModel::Status, QColor(220, 10, 10));

    QSignalSpy cleared(m_operations, &ListOperations::selectAllCleared);
    m_operations->Remove();
    QCOMPARE(cleared.count(), 1);
    QCOMPARE(paths(*m_model), QStringList({"/v/a.avi", "/v/c c.mkv", "/v/e.avi"}));
    int row = 0;
    for (const FileListRecord &kept : {a, c, e}) {
        const FileListRecord &now = m_model->record(row++);
        QCOMPARE(now.ID, kept.ID);
        QCOMPARE(now.CheckBox, kept.CheckBox);
        QCOMPARE(now.Status, kept.Status);
        QCOMPARE(now.Duration, kept.Duration);
        QCOMPARE(now.FileSize, kept.FileSize);
    }
    // Colours belong to the old rows and do not move onto the new ones.
    QVERIFY(!m_model->index(1, FileListModel::Status).data(Qt::ForegroundRole).isValid());
}

void TestListOperations::removeWithNothingTickedKeepsEverything()
{
    m_model->append(makeRecord("/v/a.avi", 0, FileListStatus::Complete), nullptr);
    m_model->append(makeRecord("/v/b.avi", 0, FileListStatus::Cancelled), nullptr);
    m_operations->Remove();
    QCOMPARE(paths(*m_model), QStringList({"/v/a.avi", "/v/b.avi"}));
    m_operations->SelectAll(true);
    m_operations->Remove();
    QCOMPARE(m_model->rowCount(), 0);
}

void TestListOperations::removeOnEmptyListDoesNothing()
{
    QSignalSpy reset(m_model, &QAbstractItemModel::modelReset);
    QSignalSpy cleared(m_operations, &ListOperations::selectAllCleared);
    m_operations->Remove();
    QCOMPARE(reset.count(), 0);
    QCOMPARE(cleared.count(), 0);
}

void TestListOperations::selectAllTicksAndClears()
{
    m_operations->SelectAll(true); // an empty list stays empty
    QCOMPARE(m_model->rowCount(), 0);
    m_model->append(makeRecord("/v/a.avi", 0, FileListStatus::Complete), nullptr);
    m_model->append(makeRecord("/v/b.avi", -1, FileListStatus::Complete), nullptr);
    m_model->append(makeRecord("/v/c.avi", 0, FileListStatus::Complete), nullptr);
    m_operations->SelectAll(true);
    for (const FileListRecord &record : m_model->records())
        QCOMPARE(record.CheckBox, 1);
    m_operations->SelectAll(false);
    for (const FileListRecord &record : m_model->records())
        QCOMPARE(record.CheckBox, 0);
}

void TestListOperations::playOpensTopmostHighlightedRow_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("current row only") << QList<int>{} << 1 << QStringList{"/v/b b.avi"};
    QTest::newRow("topmost of several") << QList<int>{2, 1} << 2 << QStringList{"/v/b b.avi"};
    QTest::newRow("current above the selection") << QList<int>{2} << 0 << QStringList{"/v/a.avi"};
    QTest::newRow("selection without current") << QList<int>{2} << -1 << QStringList{"/v/c.avi"};
    QTest::newRow("nothing highlighted") << QList<int>{} << -1 << QStringList{};
    QTest::newRow("stale rows ignored") << QList<int>{7} << 9 << QStringList{};
}

void TestListOperations::playOpensTopmostHighlightedRow()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    QFETCH(QStringList, opened);
    for (const QString &path : {"/v/a.avi", "/v/b b.avi", "/v/c.avi"})
        m_model->append(makeRecord(path, 0, FileListStatus::Complete), nullptr);
    m_operations->Play(selected, current);
    QCOMPARE(m_shell.opened, opened);
}

QTEST_GUILESS_MAIN(TestListOperations)
#include "TestListOperations.moc"
