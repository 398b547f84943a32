#include "FileListModel.h"
#include "FileListStatus.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {
FileListRecord makeRecord(const QString &path, qint32 tick = 0)
{
    FileListRecord record;
    record.CheckBox = tick;
    record.FilePath = path;
    record.Status = FileListStatus::WaitingConversion;
    record.Duration = QStringLiteral("00:00:01");
    record.FileSize = QStringLiteral("1.5 KB");
    return record;
}
} // namespace

class TestFileListModel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void appendsRowsInOrder();
    void refusesValuesWiderThanTheirField_data();
    void refusesValuesWiderThanTheirField();
    void refusesRowsBeyondTheLimit();
    void checkBoxColumnIsTheOnlyEditableOne();
    void anyNonZeroTickReadsAsChecked();
    void textColoursFollowCellsAndVanishOnRebuild();
    void statusIsRawTextAndWidthChecked();
    void rowOfPathIsExactAndCaseSensitive();

private:
    FileListModel *m_model = nullptr;
    QAbstractItemModelTester *m_tester = nullptr;
};

void TestFileListModel::init()
{
    m_model = new FileListModel;
    m_tester = new QAbstractItemModelTester(m_model,
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
}

void TestFileListModel::cleanup()
{
    delete m_tester;
    delete m_model;
}

void TestFileListModel::appendsRowsInOrder()
{
    QCOMPARE(m_model->rowCount(), 0);
    QCOMPARE(m_model->columnCount(), 6);
    QSignalSpy inserted(m_model, &QAbstractItemModel::rowsInserted);
    QVERIFY(m_model->append(makeRecord("/v/a.avi"), nullptr));
    QVERIFY(m_model->append(makeRecord("/v/b.mkv"), nullptr));
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(m_model->rowCount(), 2);
    QCOMPARE(m_model->index(1, FileListModel::FilePath).data().toString(), "/v/b.mkv");
    QCOMPARE(m_model->index(0, FileListModel::Duration).data().toString(), "00:00:01");
    QCOMPARE(m_model->index(0, FileListModel::FileSize).data().toString(), "1.5 KB");
    QCOMPARE(m_model->index(0, FileListModel::ID).data().toInt(), 0);
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
        QString *target[] = {nullptr, nullptr, &record.FilePath, &record.Status, &record.Duration,
                             &record.FileSize};
        *target[field] = value;
        return record;
    };
    QVERIFY(m_model->append(withValue(QString(width, 'x')), nullptr));

    FileListError error;
    QVERIFY(!m_model->append(withValue(QString(width + 1, 'x')), &error));
    QVERIFY(error.number != 0);
    QVERIFY(!error.description.isEmpty());
    QCOMPARE(m_model->rowCount(), 1);

    QVERIFY(!m_model->rebuild({makeRecord("/v/b.avi"), withValue(QString(width + 1, 'y'))}, &error));
    QCOMPARE(m_model->rowCount(), 1);
    QCOMPARE(m_model->record(0).FilePath, withValue(QString(width, 'x')).FilePath);
}

void TestFileListModel::refusesRowsBeyondTheLimit()
{
    QVector<FileListRecord> full;
    for (int row = 0; row < FileListModel::MaxRows; ++row)
        full.append(makeRecord(QStringLiteral("/v/%1.avi").arg(row)));
    QVERIFY(m_model->rebuild(full, nullptr));
    QCOMPARE(m_model->rowCount(), 32767);

    FileListError error;
    QVERIFY(!m_model->accepts(makeRecord("/v/more.avi"), &error));
    QVERIFY(!m_model->append(makeRecord("/v/more.avi"), &error));
    QVERIFY(error.description.contains("Overflow"));
    QCOMPARE(m_model->rowCount(), 32767);
    full.append(makeRecord("/v/more.avi"));
    QVERIFY(!m_model->rebuild(full, &error));
    QCOMPARE(m_model->rowCount(), 32767);
}

void TestFileListModel::checkBoxColumnIsTheOnlyEditableOne()
{
    m_model->append(makeRecord("/v/a.avi"), nullptr);
    const QModelIndex tick = m_model->index(0, FileListModel::CheckBox);
    QVERIFY(m_model->flags(tick) & Qt::ItemIsUserCheckable);
    QCOMPARE(tick.data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);

    QVERIFY(m_model->setData(tick, Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(m_model->record(0).CheckBox, 1);
    QVERIFY(m_model->setData(tick, Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(m_model->record(0).CheckBox, 0);

    for (int column : {FileListModel::ID, FileListModel::FilePath, FileListModel::Status,
                       FileListModel::Duration, FileListModel::FileSize}) {
        const QModelIndex cell = m_model->index(0, column);
        QVERIFY(!(m_model->flags(cell) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)));
        QVERIFY(!m_model->setData(cell, "changed", Qt::EditRole));
        QVERIFY(!m_model->setData(cell, Qt::Checked, Qt::CheckStateRole));
    }
    QCOMPARE(m_model->record(0).FilePath, "/v/a.avi");
}

void TestFileListModel::anyNonZeroTickReadsAsChecked()
{
    m_model->append(makeRecord("/v/a.avi", -1), nullptr);
    m_model->append(makeRecord("/v/b.avi", 7), nullptr);
    m_model->append(makeRecord("/v/c.avi", 0), nullptr);
    const auto state = [this](int row) {
        return m_model->index(row, FileListModel::CheckBox).data(Qt::CheckStateRole).value<Qt::CheckState>();
    };
    QCOMPARE(state(0), Qt::Checked);
    QCOMPARE(state(1), Qt::Checked);
    QCOMPARE(state(2), Qt::Unchecked);

    QSignalSpy changed(m_model, &QAbstractItemModel::dataChanged);
    m_model->setAllCheckBoxes(1);
    QCOMPARE(changed.count(), 1);
    for (const FileListRecord &record : m_model->records())
        QCOMPARE(record.CheckBox, 1);
}

void TestFileListModel::textColoursFollowCellsAndVanishOnRebuild()
{
    m_model->append(makeRecord("/v/a.avi"), nullptr);
    m_model->append(makeRecord("/v/b.avi"), nullptr);
    const QColor red(220, 10, 10);
    m_model->setTextColor(1, FileListModel::Status, red);
    QCOMPARE(m_model->index(1, FileListModel::Status).data(Qt::ForegroundRole).value<QColor>(), red);
    QVERIFY(!m_model->index(0, FileListModel::Status).data(Qt::ForegroundRole).isValid());
    QVERIFY(!m_model->index(1, FileListModel::Duration).data(Qt::ForegroundRole).isValid());

    QSignalSpy reset(m_model, &QAbstractItemModel::modelReset);
    QVERIFY(m_model->rebuild(m_model->records(), nullptr));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(m_model->rowCount(), 2);
    QVERIFY(!m_model->index(1, FileListModel::Status).data(Qt::ForegroundRole).isValid());
}

void TestFileListModel::statusIsRawTextAndWidthChecked()
{
    m_model->append(makeRecord("/v/a.avi"), nullptr);
    QSignalSpy changed(m_model, &QAbstractItemModel::dataChanged);
    QVERIFY(m_model->setStatus(0, "42"));
    QCOMPARE(m_model->index(0, FileListModel::Status).data().toString(), "42");
    QCOMPARE(changed.count(), 1);
    QVERIFY(m_model->setStatus(0, "12345.678901" + FileListStatus::SecondsConverted));
    QVERIFY(!m_model->setStatus(0, QString(31, 'x')));
    QVERIFY(!m_model->setStatus(1, FileListStatus::Complete));
    QCOMPARE(m_model->record(0).Status, "12345.678901 Seconds Converted");
}

void TestFileListModel::rowOfPathIsExactAndCaseSensitive()
{
    m_model->append(makeRecord("/V/A.AVI"), nullptr);
    m_model->append(makeRecord("/V/a.avi"), nullptr);
    QCOMPARE(m_model->rowOfPath("/V/a.avi"), 1);
    QCOMPARE(m_model->rowOfPath("/V/A.AVI"), 0);
    QCOMPARE(m_model->rowOfPath("/V/A.avi"), -1);
    QCOMPARE(m_model->rowOfPath("/V/a.avi "), -1);
}

QTEST_GUILESS_MAIN(TestFileListModel)
#include "TestFileListModel.moc"
