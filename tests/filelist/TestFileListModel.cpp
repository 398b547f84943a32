#include "FileListModel.h"
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

FileListRecord makeRecord(const QString &path, qint32 tick = 0)
{
    return {0,
            tick,
            path,
            QStringLiteral("Waiting Conversion"),
            path.right(8),
            QStringLiteral("1.5 KB")};
}

QStringList paths(const FileListModel &model)
{
    QStringList all;
    for (const FileListRecord &record : model.records())
        all << record.FilePath;
    return all;
}
} // namespace

// The model under QAbstractItemModelTester, and the operations on rows already listed.
class TestFileListModel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void refusesValuesWiderThanTheirField_data();
    void refusesValuesWiderThanTheirField();
    void onlyTheTickIsEditable();
    void removeKeepsUntickedRowsInOrder();
    void playOpensTopmostHighlightedRow_data();
    void playOpensTopmostHighlightedRow();

private:
    FileListModel *m_model = nullptr;
    QAbstractItemModelTester *m_tester = nullptr;
    RecordingShell m_shell;
    ListOperations *m_operations = nullptr;
};

void TestFileListModel::init()
{
    m_model = new FileListModel;
    m_tester = new QAbstractItemModelTester(m_model,
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_shell.opened.clear();
    m_operations = new ListOperations(*m_model, m_shell);
}

void TestFileListModel::cleanup()
{
    delete m_operations;
    delete m_tester;
    delete m_model;
}

void TestFileListModel::refusesValuesWiderThanTheirField_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("width");
    QTest::newRow("FilePath") << int(FileListModel::FilePath) << 250;
    QTest::newRow("Status") << int(FileListModel::Status) << 30;
    QTest::newRow("Duration") << int(FileListModel::Duration) << 30;
    QTest::newRow("FileSize") << int(FileListModel::FileSize) << 15;
}

void TestFileListModel::refusesValuesWiderThanTheirField()
{
    QFETCH(int, field);
    QFETCH(int, width);
    const auto withValue = [field](const QString &value) {
        FileListRecord record = makeRecord("/v/a.avi");
        QString *target[] = {nullptr,        nullptr,          &record.FilePath,
                             &record.Status, &record.Duration, &record.FileSize};
        *target[field] = value;
        return record;
    };
    QVERIFY(m_model->append(withValue(QString(width, 'x')), nullptr));
    FileListError error;
    QVERIFY(!m_model->append(withValue(QString(width + 1, 'x')), &error));
    QVERIFY(error.number != 0 && !error.description.isEmpty());
    QVERIFY(
        !m_model->rebuild({makeRecord("/v/b.avi"), withValue(QString(width + 1, 'y'))}, &error));
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_model->index(0, field).data().toString(), QString(width, 'x'));
}

void TestFileListModel::onlyTheTickIsEditable()
{
    m_model->append(makeRecord("/v/a.avi", -1), nullptr);
    const QModelIndex tick = m_model->index(0, FileListModel::CheckBox);
    QCOMPARE(tick.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    QVERIFY(m_model->setData(tick, Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(m_model->record(0).CheckBox, 0);
    QVERIFY(m_model->setData(tick, Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(m_model->record(0).CheckBox, 1);
    for (int column : {0, 2, 3, 4, 5}) {
        const QModelIndex cell = m_model->index(0, column);
        QVERIFY(!(m_model->flags(cell) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)));
        QVERIFY(!m_model->setData(cell, "changed", Qt::EditRole));
        QVERIFY(!m_model->setData(cell, Qt::Checked, Qt::CheckStateRole));
    }
    QCOMPARE(m_model->record(0).FilePath, "/v/a.avi");
}

void TestFileListModel::removeKeepsUntickedRowsInOrder()
{
    QSignalSpy cleared(m_operations, &ListOperations::selectAllCleared);
    m_operations->Remove();
    QCOMPARE(cleared.count(), 0); // an empty list is left alone
    const QVector<FileListRecord> rows = {makeRecord("/v/a.avi"), makeRecord("/v/b.avi", 1),
                                          makeRecord("/v/c c.mkv"), makeRecord("/v/d.avi", -1),
                                          makeRecord("/v/e.avi")};
    for (FileListRecord row : rows) {
        row.Status = row.FilePath.mid(3, 1);
        QVERIFY(m_model->append(row, nullptr));
    }
    m_model->setTextColor(2, FileListModel::Status, QColor(220, 10, 10));
    QCOMPARE(m_model->index(2, FileListModel::Status).data(Qt::ForegroundRole),
             QColor(220, 10, 10));
    QSignalSpy reset(m_model, &QAbstractItemModel::modelReset);
    m_operations->Remove();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(cleared.count(), 1);
    // Colours stay with the old rows, not the rebuilt ones.
    QVERIFY(!m_model->index(1, FileListModel::Status).data(Qt::ForegroundRole).isValid());
    QVERIFY(!m_model->index(2, FileListModel::Status).data(Qt::ForegroundRole).isValid());
    QCOMPARE(paths(*m_model), QStringList({"/v/a.avi", "/v/c c.mkv", "/v/e.avi"}));
    QCOMPARE(m_model->record(1).Status, "c");
    QCOMPARE(m_model->record(1).Duration, rows.at(2).Duration);

    m_operations->SelectAll(true);
    for (const FileListRecord &record : m_model->records())
        QCOMPARE(record.CheckBox, 1);
    m_operations->SelectAll(false);
    m_model->setCheckBox(2, -1);
    m_operations->Remove();
    QCOMPARE(paths(*m_model), QStringList({"/v/a.avi", "/v/c c.mkv"}));
}

void TestFileListModel::playOpensTopmostHighlightedRow_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("current");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("current row only") << QList<int>{} << 1 << QStringList{"/v/b b.avi"};
    QTest::newRow("topmost of several") << QList<int>{2, 1} << 2 << QStringList{"/v/b b.avi"};
    QTest::newRow("current above the selection") << QList<int>{2} << 0 << QStringList{"/v/a.avi"};
    QTest::newRow("stale rows ignored") << QList<int>{7} << 9 << QStringList{};
}

void TestFileListModel::playOpensTopmostHighlightedRow()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, current);
    QFETCH(QStringList, opened);
    for (const QString &path : {"/v/a.avi", "/v/b b.avi", "/v/c.avi"})
        m_model->append(makeRecord(path), nullptr);
    m_operations->Play(selected, current);
    QCOMPARE(m_shell.opened, opened);
}

QTEST_GUILESS_MAIN(TestFileListModel)
#include "TestFileListModel.moc"
